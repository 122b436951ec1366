// The starter gallery under the presets: a dozen artworks that show what the generator can
// do, each a new artwork to start from (one undoable step). They are built in, so they
// never mix with the user's own presets, and their pictures are drawn small at each start,
// one per event-loop turn.
Studio.Starters = function (container, model, history, presets) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.history = history;
    this.presets = presets;
    this.rendered = 0;
    this.grid = el('div', {'class': 'starter-grid', 'data-info': 'starters'});
    Studio.Starters.list.forEach(function (starter, i) {
        var tile = el('button', {type: 'button', 'class': 'starter', 'data-starter': starter.name, title: 'Start from this'},
                      [el('img', {alt: ''}), el('span', {}, [starter.name])]);
        $(tile).on('click', function () { self.use(i); });
        self.grid.appendChild(tile);
    });
    container.appendChild(el('h4', {'class': 'starter-title'}, ['Start from']));
    container.appendChild(this.grid);
    setTimeout(function () { self.renderNext(0); }, 0);
};

// Each starter is the default artwork with these changes.
Studio.Starters.list = [
    {name: 'Teal night', changes: {}},
    {name: 'Green board', changes: {seed: 1187, bg_color: [12, 64, 34], wire_color: [96, 196, 104],
        inside_hole_color: [214, 186, 104], signal_color: [226, 255, 170], wire_roundness: 0, tendency_hv: 1.2,
        signal_glowing: 0.6, chips: [{x: 0.3, y: 0.35, w: 6, h: 4, connections: 3, render: true},
                                     {x: 0.7, y: 0.65, w: 8, h: 5, connections: 3, render: true}]}},
    {name: 'Gold on black', changes: {seed: 2024, bg_color: [8, 8, 8], wire_color: [212, 175, 55],
        inside_hole_color: [8, 8, 8], signal_color: [255, 236, 170], wire_thickness: 0.8, dot_size: 1, scale: 0.5,
        signal_amount: 0.2, vignetting: 0.9}},
    {name: 'Blueprint', changes: {seed: 77, bg_color: [18, 56, 118], wire_color: [222, 236, 255],
        inside_hole_color: [18, 56, 118], signal_color: [140, 204, 255], wire_roundness: 0, tendency_straight: 1.6,
        tendency_hv: 2, signal_amount: 0, glowing_dots_amount: 0, wire_shadow: 0, vignetting: 0.2, chips: []}},
    {name: 'Neon rush', changes: {seed: 31337, bg_color: [12, 6, 24], wire_color: [255, 64, 204],
        inside_hole_color: [12, 6, 24], signal_color: [64, 240, 255], signal_amount: 0.9, signal_size: 0.6,
        signal_glowing: 2.5, glowing_dots_amount: 0.4}},
    {name: 'Copper', changes: {seed: 904, bg_color: [30, 18, 12], wire_color: [214, 122, 72],
        inside_hole_color: [30, 18, 12], signal_color: [255, 204, 140], wire_thickness: 2, wire_thick_percent: 0.4,
        dot_size: 2, scale: 0.9, dense_amount: 0.7}},
    {name: 'Paper print', changes: {seed: 5150, bg_color: [238, 234, 224], wire_color: [40, 46, 60],
        inside_hole_color: [238, 234, 224], signal_color: [230, 80, 60], wire_shadow: 0, vignetting: 0,
        signal_glowing: 0.3, glowing_dots_amount: 0}},
    {name: 'Dense city', changes: {seed: 808, scale: 0.35, loops: 4, dense_amount: 0.8, wire_length: 0.2,
        cutoff_length: 0, chips: []}},
    {name: 'Wide orbits', changes: {seed: 64, scale: 1.4, wire_length: 0.8, wire_roundness: 3, tendency_straight: 0.2,
        tendency_homogenity: 1.4, loops: 1, chips: []}},
    {name: 'Diagonal rain', changes: {seed: 2718, tendency_hv: 0, tendency_homogenity: 1.8, tendency_straight: 1.2,
        signal_color: [150, 200, 255], chips: []}},
    {name: 'Word mask', changes: {seed: 4242, mask_type: 'text', mask_text: 'LUMA', masking: 1, chips: []}},
    {name: 'Modules', changes: {seed: 99, chips: [
        {x: 0.2, y: 0.3, w: 6, h: 4, connections: 3, render: true}, {x: 0.5, y: 0.6, w: 10, h: 6, connections: 3, render: true},
        {x: 0.8, y: 0.3, w: 4, h: 4, connections: 3, render: true}, {x: 0.8, y: 0.75, w: 6, h: 3, connections: 3, render: true}]}}
];

// The full map of starter `index`.
Studio.Starters.map = function (index) {
    var map = $.extend(Studio.util.clone(Studio.schema.defaults), Studio.util.clone(Studio.Starters.list[index].changes));
    map.mask_font = Studio.masks.defaultFont();
    return Studio.schema.normalise(map);
};

Studio.Starters.prototype = {
    // Draws the picture of starter `index`, then lets the event loop run before the next.
    // (A playing loop notices that the generator read another map and draws the preview anew.)
    renderNext: function (index) {
        var self = this;
        var tiles = this.grid.querySelectorAll('.starter');
        if (index >= tiles.length) return;
        var img = tiles[index].querySelector('img');
        llumatrace.generatePreview(Studio.masks.effective(Studio.Starters.map(index)), 96, 'lumatrace_starter');
        $(img).one('load error', function () {
            self.rendered += 1;
            setTimeout(function () { self.renderNext(index + 1); }, 0);
        });
        img.src = 'drc:lumatrace_starter?i=' + index;
    },

    // Starts a new artwork from starter `index` (one undo step).
    use: function (index) {
        this.presets.setCurrent('');
        this.model.replace(Studio.Starters.map(index));
        this.history.commit();
        Studio.status.show('Started from “' + Studio.Starters.list[index].name + '”: change anything, Undo goes back.');
    }
};
