// Compare: keeps a snapshot of the artwork (A) and flips between it and the current one (B).
// The snapshot is an image element loaded from the preview while it showed A; an image
// element keeps its picture, so A needs no new generation to be shown again.
Studio.Compare = function (preview, model) {
    var self = this;
    var el = Studio.util.el;
    this.preview = preview;
    this.model = model;
    this.map = null;
    this.showingA = false;
    this.split = false;
    this.splitAt = 0.5;
    this.image = el('img', {'class': 'artwork snapshot', alt: '', draggable: 'false', 'data-info': 'snapshot'});
    this.badge = el('div', {'class': 'compare-badge', 'data-info': 'compare-badge'});
    // In the split view A shows left of the divider and B right of it; the divider drags.
    this.divider = el('div', {'class': 'split-divider', 'data-info': 'split-divider', title: 'Drag to move the split'});
    preview.stage.appendChild(this.image);
    preview.stage.appendChild(this.divider);
    $(this.divider).on('mousedown', function (e) {
        e.preventDefault();
        e.stopPropagation();
        self.dragging = true;
    });
    $(document).on('mousemove', function (e) {
        if (!self.dragging) return;
        var box = preview.stage.getBoundingClientRect();
        self.splitAt = Studio.util.clamp((e.clientX - box.left) / box.width, 0, 1);
        self.render();
    }).on('mouseup', function () { self.dragging = false; });
    preview.on('layout', function () { self.render(); });
    preview.viewport.appendChild(this.badge);
    this.listeners = [];
    // An edit is made to B, so B is what the user should see (beside A in the split view).
    model.onChange(function () {
        if (self.showingA) self.show(false);
    });
    this.render();
};

Studio.Compare.prototype = {
    // fn() when the snapshot is kept or the shown side changes.
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    hasSnapshot: function () {
        return !!this.map;
    },

    // Keeps the artwork on screen as A, once the preview shows the current map.
    keep: function () {
        var self = this;
        var preview = this.preview;
        if (preview.pending || preview.timer || preview.shownCount !== preview.imageCount) {
            preview.on('shown', function once() {
                preview.listeners.shown.splice(preview.listeners.shown.indexOf(once), 1);
                self.keep();
            });
            if (!preview.timer) preview.request();
            return;
        }
        this.map = this.model.snapshot();
        this.image.src = 'drc:lumatrace_result?snapshot=' + preview.imageCount;
        this.show(false);
        Studio.status.show('Kept this artwork as A: flip between A and the current artwork (B) with A/B or Ctrl+K.');
    },

    // Brings back the snapshot of the last session (a map or null), drawn anew from its map.
    restore: function (map) {
        if (!map || typeof map !== 'object') return;
        this.map = Studio.schema.normalise(map);
        var effective = Studio.masks.effective(this.map);
        var longer = Math.max(effective.width, effective.height);
        var side = Math.round(Studio.previewScale.renderScale(this.preview, effective) * longer) || longer;
        llumatrace.generatePreview(effective, side, 'lumatrace_snapshot');
        this.image.src = 'drc:lumatrace_snapshot?restored';
        this.show(false);
    },

    // Shows A (true) or B (false); without a snapshot only B.
    show: function (a) {
        this.showingA = !!a && this.hasSnapshot();
        this.render();
        this.listeners.forEach(function (fn) { fn(); });
    },

    // A beside B, or B alone again.
    toggleSplit: function () {
        if (!this.hasSnapshot()) {
            Studio.status.show('Keep a snapshot first (Keep A), then see it beside the current artwork.');
            return;
        }
        this.split = !this.split;
        this.show(false);
    },

    flip: function () {
        if (!this.hasSnapshot()) {
            Studio.status.show('Keep a snapshot first (Keep A), then flip between it and the current artwork.');
            return;
        }
        this.show(!this.showingA);
    },

    // Makes A the current artwork (an undoable edit).
    useA: function (history) {
        if (!this.map) return;
        this.model.replace(this.map);
        history.commit();
        Studio.status.show('The snapshot A is the current artwork again.');
    },

    render: function () {
        var split = this.split && !this.showingA && this.hasSnapshot();
        var width = this.preview.stage.offsetWidth;
        $(this.image).toggle(this.showingA || split);
        // Clipped on the stage's own pixels, so the split stays put while zooming.
        this.image.style.clip = split ? 'rect(0px, ' + Math.round(width * this.splitAt) + 'px, auto, 0px)' : 'auto';
        $(this.divider).toggle(split);
        this.divider.style.left = (this.splitAt * 100) + '%';
        $(this.preview.viewport).toggleClass('showing-a', this.showingA).toggleClass('split', split);
        this.badge.textContent = this.showingA ? 'A · snapshot' : split ? 'A · snapshot  |  B · current' : 'B · current';
        $(this.badge).toggle(this.hasSnapshot());
    }
};
