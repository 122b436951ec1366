// Chips, modifiers and adjustments placed on the preview. Overlays draw them over the
// artwork; clicking adds a chip or an adjustment, dragging a segment adds a modifier,
// dragging a handle moves what it belongs to. Positions are normalized to the grid, whose
// last column and row may reach past the canvas, exactly as the generator places them.
Studio.Placement = function (preview, model, history) {
    var self = this;
    this.preview = preview;
    this.model = model;
    this.history = history;
    this.tool = 'select';
    this.selected = null;
    this.drag = null;
    this.zoom = 1;
    this.listeners = [];
    this.overlay = Studio.util.svg('svg', {'class': 'overlay', preserveAspectRatio: 'none'});
    preview.stage.appendChild(this.overlay);
    $(preview.stage).on('mousedown', function (e) { self.mouseDown(e); });
    $(document).on('mousemove', function (e) { self.mouseMove(e); })
               .on('mouseup', function (e) { self.mouseUp(e); });
    preview.on('layout', function (factor) {
        self.zoom = factor;
        self.render();
    });
    model.onChange(function (keys) {
        var relevant = ['chips', 'modificators', 'adjustments', 'width', 'height', 'scale'];
        if (keys.some(function (k) { return relevant.indexOf(k) >= 0; })) self.render();
    });
};

Studio.Placement.directionOfAngle = function (dx, dy) {
    // Screen y grows downwards, so an up-right drag is the north-east diagonal.
    var degrees = (Math.atan2(-dy, dx) * 180 / Math.PI + 180) % 180;
    if (degrees < 22.5 || degrees >= 157.5) return 3;
    if (degrees < 67.5) return 2;
    if (degrees < 112.5) return 1;
    return 4;
};

// An adjustment weighs a cell by e^(−d² / radius), d its distance from the centre: the
// outline is drawn where the weight has fallen to a quarter (inside it the adjustment acts
// clearly) and the faint band reaches where it has faded to a twentieth.
Studio.Placement.rimWeight = 1 / 4;
Studio.Placement.fadeWeight = 1 / 20;

// The distance from the centre, in grid fractions, at which the weight falls to `weight`,
// and the radius that puts it at `reach`.
Studio.Placement.reach = function (radius, weight) {
    return Math.sqrt(radius * Math.log(1 / weight));
};

Studio.Placement.radiusFor = function (reach, weight) {
    return reach * reach / Math.log(1 / weight);
};

Studio.Placement.prototype = {
    // fn() whenever the selection or the tool changes.
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    notify: function () {
        this.listeners.forEach(function (fn) { fn(); });
    },

    setTool: function (tool) {
        this.tool = tool;
        $(this.preview.stage).attr('data-tool', tool);
        this.notify();
    },

    setVisible: function (visible) {
        $(this.overlay).toggle(visible);
    },

    isVisible: function () {
        return $(this.overlay).is(':visible');
    },

    select: function (listName, index) {
        this.selected = listName === null ? null : {list: listName, index: index};
        this.render();
        this.notify();
    },

    isSelected: function (listName, index) {
        return !!this.selected && this.selected.list === listName && this.selected.index === index;
    },

    removeSelected: function () {
        if (!this.selected) return;
        this.model.removeItem(this.selected.list, this.selected.index);
        this.history.commit();
        this.select(null);
    },

    // Grid geometry of the current map: cell size, columns, rows and the grid's extent.
    grid: function () {
        var cell = 20 * this.model.get('scale');
        var columns = Math.ceil(this.model.get('width') / cell);
        var rows = Math.ceil(this.model.get('height') / cell);
        return {cell: cell, columns: columns, rows: rows, width: columns * cell, height: rows * cell};
    },

    // Normalized grid position of a mouse event.
    pointOf: function (event) {
        var rect = this.preview.stage.getBoundingClientRect();
        var grid = this.grid();
        var px = (event.clientX - rect.left) / rect.width * this.model.get('width');
        var py = (event.clientY - rect.top) / rect.height * this.model.get('height');
        return {
            x: Studio.util.roundToStep(Studio.util.clamp(px / grid.width, 0, 1), 0.001),
            y: Studio.util.roundToStep(Studio.util.clamp(py / grid.height, 0, 1), 0.001)
        };
    },

    mouseDown: function (event) {
        if (event.which !== 1 || this.preview.spaceHeld) return;
        event.preventDefault();
        // The view does not pan under an item being placed or moved.
        event.stopPropagation();
        var active = document.activeElement;
        if (active && /^(INPUT|SELECT|TEXTAREA)$/.test(active.tagName)) active.blur();
        var point = this.pointOf(event);
        var handle = event.target.getAttribute && event.target.getAttribute('data-handle');
        if (handle) {
            var list = event.target.getAttribute('data-list');
            var index = Number(event.target.getAttribute('data-index'));
            this.select(list, index);
            this.drag = {kind: 'move', list: list, index: index, part: handle, start: point,
                         origin: Studio.util.clone(this.model.items(list)[index])};
            return;
        }
        if (this.tool === 'modificators') {
            this.drag = {kind: 'segment', start: point, end: point};
            this.render();
        } else if (this.tool === 'chips' || this.tool === 'adjustments') {
            this.add(this.tool, {x: point.x, y: point.y});
        } else {
            // A drag on the artwork itself, away from every item, moves the view.
            this.select(null);
            this.preview.startPan(event);
        }
    },

    mouseMove: function (event) {
        if (!this.drag) return;
        var point = this.pointOf(event);
        if (this.drag.kind === 'segment') {
            this.drag.end = point;
            this.render();
            return;
        }
        this.model.updateItem(this.drag.list, this.drag.index, this.moved(this.drag, point), this);
    },

    mouseUp: function () {
        var drag = this.drag;
        if (!drag) return;
        this.drag = null;
        if (drag.kind === 'segment') {
            this.render();
            this.addSegment(drag.start, drag.end);
        } else {
            this.history.commit();
        }
    },

    // New values of an item dragged by one of its handles: its body or centre moves it,
    // a chip's corner sizes it, an adjustment's rim sets its radius, a modifier's ends move
    // alone and keep its wire direction along the segment.
    moved: function (drag, point) {
        var dx = point.x - drag.start.x;
        var dy = point.y - drag.start.y;
        var o = drag.origin;
        var round = function (v) { return Studio.util.roundToStep(Studio.util.clamp(v, 0, 1), 0.001); };
        if (drag.part === 'size') return this.sized(o, drag.start, point);
        if (drag.part === 'radius') return this.radiusAt(o, drag.start, point);
        if (drag.part === 'start') return this.aligned(o, {x1: round(o.x1 + dx), y1: round(o.y1 + dy)});
        if (drag.part === 'end') return this.aligned(o, {x2: round(o.x2 + dx), y2: round(o.y2 + dy)});
        if (drag.part === 'segment')
            return {x1: round(o.x1 + dx), y1: round(o.y1 + dy), x2: round(o.x2 + dx), y2: round(o.y2 + dy)};
        return {x: round(o.x + dx), y: round(o.y + dy)};
    },

    // A chip sized symmetrically about its centre by its bottom-right corner: each cell the
    // corner moves adds two to the size.
    sized: function (chip, start, point) {
        var grid = this.grid();
        return {w: Studio.util.clamp(chip.w + Math.round(2 * (point.x - start.x) * grid.columns), 0, 60),
                h: Studio.util.clamp(chip.h + Math.round(2 * (point.y - start.y) * grid.rows), 0, 60)};
    },

    // The radius whose rim lies as much farther from the centre as the mouse is than where
    // the drag began (the rim handle of a small adjustment sits outside the rim, clear of
    // the centre).
    radiusAt: function (adj, start, point) {
        var grid = this.grid();
        var distance = function (p) {
            return Math.sqrt(Math.pow((p.x - adj.x) * grid.width, 2) + Math.pow((p.y - adj.y) * grid.height, 2));
        };
        var rim = Studio.Placement.reach(adj.radius, Studio.Placement.rimWeight)
                  + (distance(point) - distance(start)) / grid.width;
        var radius = Studio.Placement.radiusFor(Math.max(0, rim), Studio.Placement.rimWeight);
        return {radius: Studio.util.roundToStep(Studio.util.clamp(radius, 0.001, 0.5), 0.001)};
    },

    // Moved ends of a modifier that favours a wire direction favour the new segment's one.
    aligned: function (mod, ends) {
        var next = $.extend({}, mod, ends);
        if (mod.direction >= 1 && mod.direction <= 4) {
            var grid = this.grid();
            var dx = (next.x2 - next.x1) * grid.width;
            var dy = (next.y2 - next.y1) * grid.height;
            if (Math.sqrt(dx * dx + dy * dy) >= grid.cell) ends.direction = Studio.Placement.directionOfAngle(dx, dy);
        }
        return ends;
    },

    add: function (listName, position) {
        var item = $.extend({}, Studio.schema.newItems[listName], position);
        var index = this.model.addItem(listName, item);
        this.history.commit();
        this.select(listName, index);
    },

    addSegment: function (start, end) {
        var grid = this.grid();
        var dx = (end.x - start.x) * grid.width;
        var dy = (end.y - start.y) * grid.height;
        if (Math.sqrt(dx * dx + dy * dy) < grid.cell) return; // a click, not a drag
        this.add('modificators', {x1: start.x, y1: start.y, x2: end.x, y2: end.y,
                                  direction: Studio.Placement.directionOfAngle(dx, dy)});
    },

    render: function () {
        var grid = this.grid();
        var width = this.model.get('width');
        var height = this.model.get('height');
        this.overlay.setAttribute('viewBox', '0 0 ' + width + ' ' + height);
        $(this.overlay).empty();
        var draw = {
            grid: grid,
            handle: 6 / (this.zoom || 1),
            x: function (u) { return u * grid.width; },
            y: function (v) { return v * grid.height; }
        };
        var self = this;
        this.model.items('adjustments').forEach(function (item, i) { self.drawAdjustment(draw, item, i); });
        this.model.items('modificators').forEach(function (item, i) { self.drawModificator(draw, item, i); });
        this.model.items('chips').forEach(function (item, i) { self.drawChip(draw, item, i); });
        if (this.drag && this.drag.kind === 'segment') {
            this.overlay.appendChild(Studio.util.svg('line', {'class': 'rubber',
                x1: draw.x(this.drag.start.x), y1: draw.y(this.drag.start.y),
                x2: draw.x(this.drag.end.x), y2: draw.y(this.drag.end.y), 'stroke-width': draw.handle / 2}));
        }
    },

    group: function (listName, index) {
        var g = Studio.util.svg('g', {'class': 'item ' + listName + (this.isSelected(listName, index) ? ' selected' : ''),
                                      'data-list': listName, 'data-index': index});
        this.overlay.appendChild(g);
        return g;
    },

    handle: function (g, draw, listName, index, part, x, y, kind) {
        g.appendChild(Studio.util.svg('circle', {'class': 'handle' + (kind ? ' ' + kind : ''), cx: x, cy: y, r: draw.handle,
            'stroke-width': draw.handle / 3, 'data-handle': part, 'data-list': listName, 'data-index': index}));
    },

    drawChip: function (draw, chip, index) {
        var grid = draw.grid;
        var clampColumn = function (c) { return Studio.util.clamp(c, 0, grid.columns - 1); };
        var clampRow = function (r) { return Studio.util.clamp(r, 0, grid.rows - 1); };
        // Floor equals the generator's truncation here: negative starts are clamped to 0 anyway.
        var colStart = clampColumn(Math.floor(chip.x * grid.columns - Math.floor(chip.w / 2)));
        var rowStart = clampRow(Math.floor(chip.y * grid.rows - Math.floor(chip.h / 2)));
        var colEnd = clampColumn(colStart + chip.w);
        var rowEnd = clampRow(rowStart + chip.h);
        var g = this.group('chips', index);
        var right = (colEnd + 1) * grid.cell;
        var bottom = (rowEnd + 1) * grid.cell;
        g.appendChild(Studio.util.svg('rect', {'class': 'outline body', x: colStart * grid.cell, y: rowStart * grid.cell,
            width: right - colStart * grid.cell, height: bottom - rowStart * grid.cell,
            'stroke-width': draw.handle / 3, 'data-handle': 'centre', 'data-list': 'chips', 'data-index': index}));
        this.handle(g, draw, 'chips', index, 'centre', draw.x(chip.x), draw.y(chip.y));
        this.handle(g, draw, 'chips', index, 'size', right, bottom, 'resize');
    },

    drawModificator: function (draw, mod, index) {
        var g = this.group('modificators', index);
        if (mod.type !== 0) g.setAttribute('class', g.getAttribute('class') + ' inactive');
        // The ridge falls to 1/e at a distance of sqrt(spread / 50) from the segment's line.
        var band = 2 * Math.sqrt(mod.spread / 50) * Math.sqrt(draw.grid.width * draw.grid.height);
        var ends = {x1: draw.x(mod.x1), y1: draw.y(mod.y1), x2: draw.x(mod.x2), y2: draw.y(mod.y2)};
        g.appendChild(Studio.util.svg('line', $.extend({'class': 'band', 'stroke-width': band}, ends)));
        g.appendChild(Studio.util.svg('line', $.extend({'class': 'outline', 'stroke-width': draw.handle / 2,
            'data-handle': 'segment', 'data-list': 'modificators', 'data-index': index}, ends)));
        this.handle(g, draw, 'modificators', index, 'start', ends.x1, ends.y1);
        this.handle(g, draw, 'modificators', index, 'end', ends.x2, ends.y2);
    },

    drawAdjustment: function (draw, adj, index) {
        var g = this.group('adjustments', index);
        var cx = draw.x(adj.x);
        var cy = draw.y(adj.y);
        // The generator measures the distance in fractions of the grid's width and height,
        // so on a canvas that is not square the adjustment acts in an ellipse.
        var reach = Studio.Placement.reach(adj.radius, Studio.Placement.fadeWeight);
        var core = Studio.Placement.reach(adj.radius, Studio.Placement.rimWeight);
        g.appendChild(Studio.util.svg('ellipse', {'class': 'band', cx: cx, cy: cy,
            rx: reach * draw.grid.width, ry: reach * draw.grid.height}));
        g.appendChild(Studio.util.svg('ellipse', {'class': 'outline', cx: cx, cy: cy,
            rx: core * draw.grid.width, ry: core * draw.grid.height, 'stroke-width': draw.handle / 3}));
        this.handle(g, draw, 'adjustments', index, 'centre', cx, cy);
        var rim = Math.max(core * draw.grid.width, 3 * draw.handle);
        this.handle(g, draw, 'adjustments', index, 'radius', cx + rim, cy, 'resize');
    }
};
