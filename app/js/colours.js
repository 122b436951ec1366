// Palettes for the four colours: named ones and a new harmonious one on demand. A colour
// locked in `locks` (the same lock that Randomize and variations keep) stays as it is.
Studio.Colours = function (controls, model, history, locks) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.history = history;
    this.locks = locks;
    this.select = el('select', {'data-key': 'palette', title: 'Apply a named palette'},
                     [el('option', {value: ''}, ['Palette…'])].concat(Studio.Colours.palettes.map(function (p, i) {
                         return el('option', {value: String(i)}, [p.name]);
                     })));
    var fresh = el('button', {type: 'button', 'data-action': 'new-palette', title: 'A new palette; locked colours stay'},
                   ['⚄ New']);
    var row = el('div', {'class': 'field palette-row'}, [el('label', {}, ['Palette']), this.select, fresh]);
    $(controls.container).find('[data-group="colours"] .group-body').prepend(row);
    $(this.select).on('change', function () {
        if (self.select.value !== '') self.applyNamed(Number(self.select.value));
        self.select.value = '';
    });
    $(fresh).on('click', function () { self.applyNew(); });
    // A picker closes when the user works elsewhere; after the click, since closing it may
    // shorten the panel and move what is under the mouse.
    $(document).on('click', function (e) {
        if (!$(e.target).closest('.picker, .swatch').length) $('.picker.open').removeClass('open');
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

    applyNamed: function (index) {
        var palette = Studio.Colours.palettes[index];
        if (palette) this.apply(palette.colours, 'Palette “' + palette.name + '” applied');
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
