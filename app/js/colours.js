// Palettes for the four colours: named ones (built in, or saved and imported by the user),
// shown as swatches with the name of the one in use, and a new harmonious one on demand.
// A colour locked in `locks` (the same lock that Randomize and variations keep) stays as it is.
Studio.Colours = function (controls, model, history, locks, store) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.history = history;
    this.locks = locks;
    this.store = store;
    this.own = (store.value('palettes', []) || []).filter(Studio.Colours.isPalette);
    this.select = el('select', {'data-key': 'palette', title: 'Apply a named palette'});
    var fresh = el('button', {type: 'button', 'data-action': 'new-palette', title: 'A new palette; locked colours stay'},
                   ['⚄ New']);
    var button = function (action, text, title, fn) {
        var b = el('button', {type: 'button', 'data-action': action, title: title}, [text]);
        $(b).on('click', fn);
        return b;
    };
    this.current = el('span', {'class': 'hint palette-current', 'data-info': 'palette-name'});
    this.swatches = el('div', {'class': 'palette-swatches', 'data-info': 'palettes'});
    var body = $(controls.container).find('[data-group="colours"] .group-body');
    body.prepend(this.swatches);
    body.prepend(el('div', {'class': 'field palette-tools'}, [
        this.current,
        button('save-palette', 'Save…', 'Keep these four colours as a palette of your own', function () { self.saveOwn(); }),
        button('import-palette', 'Import…', 'A palette from a palette file or a preset\'s colours', function () {
            self.importFile();
        })]));
    body.prepend(el('div', {'class': 'field palette-row'}, [el('label', {}, ['Palette']), this.select, fresh]));
    $(this.select).on('change', function () {
        if (self.select.value !== '') self.applyNamed(Number(self.select.value));
        self.select.value = '';
    });
    $(fresh).on('click', function () { self.applyNew(); });
    model.onChange(function (keys) {
        if (keys.some(function (key) { return Studio.Colours.keys.indexOf(key) >= 0; })) self.showCurrent();
    });
    this.render();
    // A picker closes when the user works elsewhere; after the click, since closing it may
    // shorten the panel and move what is under the mouse.
    $(document).on('click', function (e) {
        if (!$(e.target).closest('.picker, .swatch').length) $('.picker.open').removeClass('open');
    });
};

// Whether `p` is a palette: {name, colours: four [r, g, b]}.
Studio.Colours.isPalette = function (p) {
    return !!p && typeof p.name === 'string' && $.trim(p.name) !== '' && Array.isArray(p.colours)
           && p.colours.length === 4 && p.colours.every(function (c) {
               return Array.isArray(c) && c.length === 3 && c.every(function (v) { return isFinite(v) && v >= 0 && v <= 255; });
           });
};

Studio.Colours.keys = ['bg_color', 'wire_color', 'inside_hole_color', 'signal_color'];

Studio.Colours.palettes = [
    {name: 'Studio teal', colours: [[9, 20, 34], [86, 214, 190], [9, 20, 34], [255, 196, 96]]},
    {name: 'Classic green board', colours: [[12, 64, 34], [96, 196, 104], [214, 186, 104], [226, 255, 170]]},
    {name: 'Gold on black', colours: [[8, 8, 8], [212, 175, 55], [8, 8, 8], [255, 236, 170]]},
    {name: 'Blueprint', colours: [[18, 56, 118], [222, 236, 255], [18, 56, 118], [140, 204, 255]]},
    {name: 'Neon', colours: [[12, 6, 24], [255, 64, 204], [12, 6, 24], [64, 240, 255]]},
    {name: 'Copper', colours: [[30, 18, 12], [214, 122, 72], [30, 18, 12], [255, 204, 140]]},
    {name: 'Paper', colours: [[238, 234, 224], [40, 46, 60], [238, 234, 224], [230, 80, 60]]}
];

Studio.Colours.prototype = {
    isLocked: function (key) {
        return this.locks.isLocked(key);
    },

    // Sets the unlocked colours of `colours` (in the order of the keys) as one undo step.
    apply: function (colours, what) {
        var self = this;
        var values = {};
        Studio.Colours.keys.forEach(function (key, i) {
            if (!self.isLocked(key)) values[key] = colours[i];
        });
        var kept = Studio.Colours.keys.length - Object.keys(values).length;
        if (kept < Studio.Colours.keys.length) this.model.update(values);
        this.history.commit();
        Studio.status.show(kept === Studio.Colours.keys.length ? 'Every colour is locked: unlock one to change it.'
            : what + (kept ? ' (' + kept + ' locked colour' + (kept > 1 ? 's' : '') + ' kept).' : '.'));
    },

    // The built-in palettes, then the user's own.
    all: function () {
        return Studio.Colours.palettes.concat(this.own);
    },

    applyNamed: function (index) {
        var palette = this.all()[index];
        if (palette) this.apply(palette.colours, 'Palette “' + palette.name + '” applied');
    },

    // The name of the palette the four colours are, or ''.
    currentName: function () {
        var colours = JSON.stringify(Studio.Colours.keys.map(this.model.get, this.model));
        var found = this.all().filter(function (p) { return JSON.stringify(p.colours) === colours; })[0];
        return found ? found.name : '';
    },

    showCurrent: function () {
        var name = this.currentName();
        this.current.textContent = name || 'Your own colours';
        this.current.title = 'In use: ' + (name ? 'the palette “' + name + '”' : 'colours of no saved palette');
        $(this.swatches).children().each(function () {
            $(this).toggleClass('current', this.getAttribute('data-palette') === name);
        });
    },

    render: function () {
        var self = this;
        var el = Studio.util.el;
        $(this.select).empty().append(el('option', {value: ''}, ['Palette…']));
        $(this.swatches).empty();
        this.all().forEach(function (p, i) {
            self.select.appendChild(el('option', {value: String(i)}, [p.name]));
            var swatch = el('button', {type: 'button', 'class': 'palette', 'data-palette': p.name, title: p.name},
                            p.colours.map(function (c) { return el('span', {style: 'background: rgb(' + c.join(',') + ')'}); }));
            $(swatch).on('click', function () { self.applyNamed(i); });
            self.swatches.appendChild(swatch);
        });
        this.showCurrent();
    },

    // Adds or replaces the user's palette `name`; a built-in name is refused. True when kept.
    keep: function (name, colours) {
        name = $.trim(name || '');
        if (!name) return false;
        if (Studio.Colours.palettes.some(function (p) { return p.name === name; })) {
            Studio.status.error('“' + name + '” is a built-in palette: give yours another name.');
            return false;
        }
        this.own = this.own.filter(function (p) { return p.name !== name; }).concat([{name: name, colours: colours}]);
        this.store.setValue('palettes', this.own);
        this.render();
        return true;
    },

    saveOwn: function () {
        var name = app.prompt('Name of the palette:', 'Save palette', 'My palette ' + (this.own.length + 1));
        if (this.keep(name, Studio.Colours.keys.map(this.model.get, this.model)))
            Studio.status.show('Saved the palette “' + $.trim(name) + '”.');
    },

    // A palette file ({name, colours}) or a preset, whose four colours become a palette
    // named after it.
    importFile: function () {
        var path = app.dialogOpenFile('Import palette', 'Palettes and presets (*.json);;All files (*)',
                                      Studio.util.userFolder('documents'));
        if (!path) return;
        var data = null;
        try {
            data = JSON.parse(app.fs.fileGetContents(path));
        } catch (e) {
            data = null;
        }
        var name = Studio.util.fileName(Studio.util.basePath(path));
        var palette = Studio.Colours.isPalette(data) ? data
            : {name: name, colours: Studio.Colours.keys.map(function (key) { return data && data[key]; })};
        if (!Studio.Colours.isPalette(palette)) {
            Studio.status.error('Could not import ' + Studio.util.fileName(path) + ': it holds no palette and no four colours.');
            return;
        }
        if (this.keep(palette.name, palette.colours)) Studio.status.show('Imported the palette “' + palette.name + '”.');
    },

    applyNew: function () {
        this.apply(this.harmonious(), 'A new palette');
    },

    // A dark background, bright wires of a neighbouring or opposite hue, and a warm or
    // contrasting glow; the hue follows a locked background or locked wires.
    harmonious: function () {
        var util = Studio.util;
        var random = function (min, max) { return min + Math.random() * (max - min); };
        var hue = random(0, 360);
        if (this.isLocked('bg_color')) hue = util.hsvOf(this.model.get('bg_color')).h;
        else if (this.isLocked('wire_color')) hue = util.hsvOf(this.model.get('wire_color')).h;
        var wireHue = (hue + [0, 30, -30, 180][Math.floor(random(0, 4))] + 360) % 360;
        var background = util.rgbOfHsv(hue, random(0.5, 0.9), random(0.07, 0.2));
        var wires = util.rgbOfHsv(wireHue, random(0.35, 0.8), random(0.75, 0.95));
        var hole = Math.random() < 0.7 ? background : util.rgbOfHsv((wireHue + 40) % 360, random(0.3, 0.6), random(0.7, 0.9));
        var glow = util.rgbOfHsv((wireHue + random(150, 210)) % 360, random(0.4, 0.7), 1);
        return [background, wires, hole, glow];
    }
};
