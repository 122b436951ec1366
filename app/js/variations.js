// The variation grid: the current artwork beside a page of variations (other seeds, or the
// unlocked parameters jittered), drawn small, one thumbnail per event-loop turn so the
// window keeps answering. Click or Enter adopts one as an undoable step; "More" draws the
// next page, and ‹ and › go back to the pages drawn before (while the grid is open). ☆ marks a
// favourite, which ★ gathers on a page of their own and the studio keeps for the next start;
// ⤢ shows one large before it is taken.
// The arrow keys move between thumbnails and Escape closes the large look, then the grid.
Studio.Variations = function (viewport, model, history, locks, store) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.history = history;
    this.locks = locks;
    this.columns = 3;
    this.count = 9;
    this.thumbSide = 220;
    this.cells = [];
    this.selected = 0;
    this.rendered = 0;
    this.timing = null;
    this.generation = 0;
    // The pages drawn since the grid opened, each {base, maps, bySeed}; `shownPage` indexes them.
    this.pages = [];
    this.shownPage = -1;
    // Maps starred, kept in the store; a damaged entry is dropped.
    this.store = store;
    this.favourites = (store.value('variation_favourites', []) || []).filter(function (map) {
        return map && typeof map === 'object' && !Array.isArray(map);
    }).map(Studio.schema.normalise);
    this.mode = el('select', {'data-key': 'variation-mode'}, [
        el('option', {value: 'seeds'}, ['Other seeds']),
        el('option', {value: 'small'}, ['Jitter: small']),
        el('option', {value: 'medium'}, ['Jitter: medium']),
        el('option', {value: 'large'}, ['Jitter: large'])]);
    var button = function (action, text, fn) {
        var b = el('button', {type: 'button', 'data-action': action, title: Studio.Variations.titles[action] || ''}, [text]);
        $(b).on('click', fn);
        return b;
    };
    this.current = el('div', {'class': 'variation current-artwork'}, [el('img', {alt: ''}), el('span', {}, ['Current'])]);
    this.grid = el('div', {'class': 'variation-grid', tabindex: '0'});
    this.info = el('span', {'class': 'hint', 'data-info': 'variations'});
    this.element = el('div', {'class': 'variations'}, [
        el('div', {'class': 'variation-bar'}, [
            el('strong', {}, ['Variations']), this.mode,
            button('variations-more', 'More', function () {
                self.page();
                self.grid.focus();
            }),
            this.earlier = button('variations-earlier', '‹', function () { self.showPage(self.shownPage - 1); }),
            this.later = button('variations-later', '›', function () { self.showPage(self.shownPage + 1); }),
            button('variations-favourites', '★', function () { self.showFavourites(); }),
            button('variations-close', 'Close', function () { self.close(); }), this.info]),
        el('div', {'class': 'variation-body'}, [this.current, this.grid])]);
    this.lookImage = el('img', {alt: '', 'data-info': 'variation-look'});
    this.look = el('div', {'class': 'variation-look'}, [this.lookImage, el('div', {'class': 'button-row'}, [
        button('variation-look-back', 'Back', function () { self.closeLook(); }),
        button('variation-look-use', 'Use this', function () { self.adopt(self.lookAt); })])]);
    this.element.appendChild(this.look);
    viewport.appendChild(this.element);
    $(this.mode).on('change', function () { self.page(); });
    $(this.element).on('keydown', function (e) { self.key(e); });
    model.onChange(function (keys, source) {
        if (self.isOpen() && source !== self) self.page();
    });
};

Studio.Variations.key = function (map) {
    return JSON.stringify(Studio.schema.normalise(map));
};

Studio.Variations.titles = {
    'variations-more': 'Draw another page of variations',
    'variations-earlier': 'The page drawn before',
    'variations-later': 'The page drawn after',
    'variations-favourites': 'The variations you starred',
    'variation-look-use': 'Make it your artwork (Undo goes back)'
};

Studio.Variations.prototype = {
    isOpen: function () {
        return $(this.element).hasClass('open');
    },

    open: function () {
        $(this.element).addClass('open');
        $('.toolbar [data-command="view.variations"]').addClass('active');
        this.page();
        this.grid.focus();
    },

    close: function () {
        this.generation += 1;
        $(this.look).removeClass('open');
        this.pages = [];
        this.shownPage = -1;
        $(this.element).removeClass('open');
        $('.toolbar [data-command="view.variations"]').removeClass('active');
    },

    toggle: function () {
        if (this.isOpen()) this.close();
        else this.open();
    },

    // The maps of a new page around the current artwork.
    variants: function () {
        var base = this.model.snapshot();
        var mode = this.mode.value;
        var result = [];
        for (var i = 0; i < this.count; ++i) {
            var map;
            if (mode === 'seeds') {
                map = Studio.util.clone(base);
                map.seed = Studio.util.randomSeed();
            } else {
                map = this.locks.vary(base, Studio.Locks.amounts[mode], Math.random);
            }
            result.push(map);
        }
        return result;
    },

    // Draws a new page around the current artwork, kept for ‹ and ›.
    page: function () {
        this.pages.push({base: this.model.snapshot(), maps: this.variants(), bySeed: this.mode.value === 'seeds'});
        this.showPage(this.pages.length - 1);
    },

    showPage: function (index) {
        var self = this;
        var shown = this.pages[index];
        if (!shown) return;
        this.shownPage = index;
        $(this.look).removeClass('open');
        $(this.earlier).prop('disabled', index === 0);
        $(this.later).prop('disabled', index === this.pages.length - 1);
        this.generation += 1;
        $(this.grid).empty();
        this.cells = [{map: shown.base, img: this.current.querySelector('img'), element: this.current}];
        shown.maps.forEach(function (map, i) {
            var img = Studio.util.el('img', {alt: ''});
            var star = Studio.util.el('button', {type: 'button', 'class': 'variation-star', 'data-action': 'favourite',
                                                 title: 'Keep as a favourite (★ shows them all)'});
            var look = Studio.util.el('button', {type: 'button', 'class': 'variation-zoom', 'data-action': 'look',
                                                 title: 'Look at it large first'}, ['⤢']);
            var cell = Studio.util.el('div', {'class': 'variation pending', 'data-variation': i}, [
                img, Studio.util.el('span', {}, [shown.bySeed ? 'Seed ' + map.seed : '#' + (i + 1)]), star, look]);
            $(cell).on('click', function () { self.adopt(i); });
            $(star).on('click', function (e) {
                e.stopPropagation();
                self.toggleFavourite(map);
            });
            $(look).on('click', function (e) {
                e.stopPropagation();
                self.showLook(i);
            });
            self.grid.appendChild(cell);
            self.cells.push({map: map, img: img, element: cell});
        });
        this.showStars();
        this.rendered = 0;
        this.timing = {started: Date.now(), first: null, last: null};
        this.say(shown.maps.length ? 'drawing ' + shown.maps.length + ' variations…'
                                   : 'no favourites yet: ☆ on a variation keeps it here.');
        this.select(this.selected);
        var generation = this.generation;
        setTimeout(function () { self.renderNext(generation, 0); }, 0);
    },

    // Draws thumbnail `index` (0 is the current artwork), then lets the event loop run before
    // the next one.
    renderNext: function (generation, index) {
        var self = this;
        if (generation !== this.generation || index >= this.cells.length) return;
        var cell = this.cells[index];
        llumatrace.generatePreview(cell.map, this.thumbSide, 'lumatrace_variation');
        $(cell.img).one('load error', function () {
            if (generation !== self.generation) return;
            $(cell.element).removeClass('pending');
            if (index > 0) self.thumbnailDone();
            setTimeout(function () { self.renderNext(generation, index + 1); }, 0);
        });
        cell.img.src = 'drc:lumatrace_variation?g=' + generation + '&i=' + index;
    },

    thumbnailDone: function () {
        var ms = Date.now() - this.timing.started;
        this.rendered += 1;
        if (this.rendered === 1) this.timing.first = ms;
        if (this.rendered === this.cells.length - 1) {
            this.timing.last = ms;
            this.say('click one to make it your artwork (Undo goes back); More draws others.');
        }
    },

    // The hint beside the bar's buttons, with the page it is about; whole in its tooltip,
    // since a narrow window cuts it short.
    say: function (text) {
        var page = this.pages.length > 1 ? 'Page ' + (this.shownPage + 1) + ' of ' + this.pages.length + ': ' : '';
        this.info.textContent = page + text;
        this.info.title = page + text;
    },

    select: function (index) {
        this.selected = Studio.util.clamp(index, 0, Math.max(0, this.cells.length - 2));
        var selected = this.selected;
        $(this.grid).children().each(function (i) { $(this).toggleClass('selected', i === selected); });
    },

    key: function (e) {
        var moves = {37: -1, 39: 1, 38: -this.columns, 40: this.columns};
        if (moves[e.which] !== undefined) {
            e.preventDefault();
            this.select(this.selected + moves[e.which]);
        } else if (e.which === 13) {
            e.preventDefault();
            this.adopt(this.selected);
        } else if (e.which === 27) {
            e.preventDefault();
            if ($(this.look).hasClass('open')) this.closeLook();
            else this.close();
        }
    },

    // Maps compare as the studio keeps them, whatever order their keys came in.
    isFavourite: function (map) {
        var text = Studio.Variations.key(map);
        return this.favourites.some(function (f) { return Studio.Variations.key(f) === text; });
    },

    toggleFavourite: function (map) {
        var text = Studio.Variations.key(map);
        if (this.isFavourite(map))
            this.favourites = this.favourites.filter(function (f) { return Studio.Variations.key(f) !== text; });
        else this.favourites.push(map);
        this.store.setValue('variation_favourites', this.favourites);
        this.showStars();
    },

    showStars: function () {
        var self = this;
        this.cells.slice(1).forEach(function (cell) {
            var on = self.isFavourite(cell.map);
            $(cell.element).toggleClass('favourite', on).find('.variation-star').text(on ? '★' : '☆');
        });
        $(this.element).find('[data-action=variations-favourites]').text(this.favourites.length ? '★ ' + this.favourites.length : '★');
    },

    // A page of the starred variations, around the current artwork.
    showFavourites: function () {
        this.pages.push({base: this.model.snapshot(), maps: this.favourites.slice(), bySeed: false});
        this.showPage(this.pages.length - 1);
    },

    // Variation `index` drawn as large as the view shows it, to look at before taking it.
    showLook: function (index) {
        var cell = this.cells[index + 1];
        if (!cell) return;
        this.lookAt = index;
        var side = Math.min(Math.max(this.element.clientWidth, this.element.clientHeight),
                            Math.max(cell.map.width, cell.map.height));
        llumatrace.generatePreview(cell.map, side, 'lumatrace_variation_look');
        this.lookImage.src = 'drc:lumatrace_variation_look?g=' + this.generation + '&i=' + index;
        $(this.look).addClass('open');
    },

    closeLook: function () {
        $(this.look).removeClass('open');
        this.grid.focus();
    },

    // Makes variation `index` the artwork (one undo step) and draws a page around it.
    adopt: function (index) {
        var cell = this.cells[index + 1];
        if (!cell) return;
        $(this.look).removeClass('open');
        this.select(index);
        this.model.replace(cell.map, this);
        this.history.commit();
        Studio.status.show('Adopted variation ' + (index + 1) + ' (seed ' + cell.map.seed + '); Undo goes back.');
        this.page();
        this.grid.focus();
    }
};
