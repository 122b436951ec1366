// Print export: a page (paper or custom size, orientation) and a resolution, with the pixel
// size the plug-in will render shown before anything is written; every export kind goes
// through the save dialog. The canvas section gets aspect presets so a design can be made
// in the paper's proportions from the start.
Studio.PrintExport = function (container, model, exports) {
    var self = this;
    var el = Studio.util.el;
    var facts = Studio.Exports.facts();
    this.model = model;
    this.exports = exports;
    var select = function (key, options) {
        return el('select', {'data-key': key}, options.map(function (o) {
            return el('option', {value: o[0]}, [o[1]]);
        }));
    };
    this.kind = select('print-kind', Studio.PrintExport.kinds.map(function (k) { return [k.id, k.label]; }));
    this.paper = select('print-paper', facts.papers.map(function (p) { return [p, p]; })
                        .concat([['custom', 'Custom size']]));
    this.paper.value = 'A4';
    this.orientation = select('print-orientation', [['portrait', 'Portrait'], ['landscape', 'Landscape']]);
    this.customWidth = el('input', {type: 'number', min: 0.1, step: 0.1, value: 210, 'data-key': 'print-width', 'class': 'number'});
    this.customHeight = el('input', {type: 'number', min: 0.1, step: 0.1, value: 297, 'data-key': 'print-height', 'class': 'number'});
    this.unit = select('print-unit', [['mm', 'mm'], ['in', 'in']]);
    this.dpi = el('input', {type: 'number', min: facts.minDpi, max: facts.maxDpi, step: 1, value: facts.defaultDpi,
                             'data-key': 'print-dpi', 'class': 'number'});
    this.fit = select('print-fit', [['page', 'Whole page'], ['artwork', 'Artwork alone']]);
    this.margin = el('input', {type: 'number', min: 0, max: 100, step: 0.5, value: 10, 'data-key': 'print-margin', 'class': 'number'});
    this.bleed = el('input', {type: 'number', min: 0, max: 25, step: 0.5, value: 0, 'data-key': 'print-bleed', 'class': 'number'});
    this.pen = el('input', {type: 'number', min: 0.05, max: 5, step: 0.05, value: 0.5, 'data-key': 'print-pen', 'class': 'number'});
    this.separate = el('input', {type: 'checkbox', 'data-key': 'print-separate'});
    this.background = el('input', {type: 'checkbox', 'data-key': 'print-background', checked: 'checked'});
    this.size = el('span', {'class': 'hint', 'data-info': 'print-size'});
    this.vectorNote = el('p', {'class': 'hint vector-note'}, [Studio.Exports.vectorNote]);
    var button = el('button', {type: 'button', 'class': 'primary', 'data-action': 'print-export'}, ['Export…']);
    var row = function (label, children) {
        return el('div', {'class': 'field'}, [el('label', {}, [label])].concat(children));
    };
    this.customRow = row('Size', [this.customWidth, el('span', {'class': 'unit'}, ['×']), this.customHeight, this.unit]);
    this.marginRow = row('Margin', [this.margin, el('span', {'class': 'unit'}, ['mm'])]);
    this.bleedRow = row('Bleed', [this.bleed, el('span', {'class': 'unit'}, ['mm'])]);
    this.penRow = row('Pen', [this.pen, el('span', {'class': 'unit'}, ['mm'])]);
    container.appendChild(el('div', {'class': 'export-block print-export'}, [
        el('h5', {}, ['Print']),
        row('Kind', [this.kind]),
        row('Paper', [this.paper]),
        this.customRow,
        row('Orientation', [this.orientation]),
        row('DPI', [this.dpi]),
        row('Fit', [this.fit]),
        this.marginRow,
        this.bleedRow,
        this.penRow,
        row('Layers', [this.separate, el('span', {'class': 'hint'}, ['separate files'])]),
        row('Background', [this.background]),
        this.vectorNote,
        el('div', {'class': 'button-row'}, [this.size, button])]));
    $(button).on('click', function () { self.exportNow(); });
    var showSoon = Studio.util.debounce(function () { self.showLayout(); }, 120);
    $(container).find('.print-export').find('input, select').on('input change', function () { self.showLayout(); });
    model.onChange(function (keys) {
        if (keys.indexOf('width') >= 0 || keys.indexOf('height') >= 0) showSoon();
    });
    this.showLayout();
};

Studio.PrintExport.kinds = [
    {id: 'png', label: 'PNG', suffix: '.png', filter: 'PNG images (*.png)'},
    {id: 'artwork-svg', label: 'SVG', suffix: '.svg', filter: 'SVG documents (*.svg)', vector: true},
    {id: 'svg', label: 'Layer masks SVG', suffix: '.svg', filter: 'SVG documents (*.svg)', vector: true},
    {id: 'pdf', label: 'PDF', suffix: '.pdf', filter: 'PDF documents (*.pdf)', vector: true},
    {id: 'plotter-svg', label: 'Plotter SVG', suffix: '.svg', filter: 'SVG documents (*.svg)', vector: true},
    {id: 'plotter-pdf', label: 'Plotter PDF', suffix: '.pdf', filter: 'PDF documents (*.pdf)', vector: true},
    {id: 'bin', label: 'Raw RGB (BIN)', suffix: '.bin', filter: 'Raw RGB (*.bin *.rgb);;All files (*)'}
];

// Writes a PNG at `percent` tagged with `dpi`; the plug-in's resolution-aware slot when it
// has one, else the plain export (whose PNG then carries the default resolution).
Studio.PrintExport.writePng = function (path, percent, separate, dpi) {
    if (typeof llumatrace.exportPNGAt === 'function') return llumatrace.exportPNGAt(path, percent, separate, dpi);
    return llumatrace.exportPNG(path, percent, separate);
};

Studio.PrintExport.prototype = {
    controls: function () {
        return {kind: this.kind, paper: this.paper, orientation: this.orientation, width: this.customWidth,
                height: this.customHeight, unit: this.unit, dpi: this.dpi, separate: this.separate,
                background: this.background, fit: this.fit, margin: this.margin, bleed: this.bleed, pen: this.pen};
    },

    // The block's choices, kept for the next start.
    settings: function () {
        return Studio.util.formValues(this.controls());
    },

    restore: function (settings) {
        Studio.util.setFormValues(this.controls(), settings);
        this.showLayout();
    },

    kindOf: function () {
        var id = this.kind.value;
        return Studio.PrintExport.kinds.filter(function (k) { return k.id === id; })[0];
    },

    // The page as the plug-in's slots take it: {paper | size, landscape}.
    page: function () {
        var page = {landscape: this.orientation.value === 'landscape'};
        if (this.paper.value === 'custom')
            page.size = Number(this.customWidth.value) + 'x' + Number(this.customHeight.value) + this.unit.value;
        else
            page.paper = this.paper.value;
        return page;
    },

    // Kinds that draw the page the margin belongs to; BIN and the plain SVG have no page.
    hasSheet: function (kind) {
        return kind !== 'bin' && kind !== 'svg';
    },

    options: function () {
        var kind = this.kind.value;
        var options = this.page();
        options.dpi = Number(this.dpi.value);
        options.separate = this.separate.checked;
        options.background = this.background.checked;
        if (this.hasSheet(kind) && this.fit.value === 'page') options.margin = Number(this.margin.value);
        if (kind === 'pdf' || kind === 'plotter-pdf') options.bleed = Number(this.bleed.value);
        if (kind.indexOf('plotter') === 0) options.pen = Number(this.pen.value);
        return options;
    },

    // The plug-in's layout for the current canvas and page.
    layout: function () {
        llumatrace.updateGenerator(this.model.snapshot());
        return llumatrace.printLayout(this.options());
    },

    showLayout: function () {
        $(this.customRow).toggle(this.paper.value === 'custom');
        var kind = this.kind.value;
        var plotter = kind.indexOf('plotter') === 0;
        $(this.separate).prop('disabled', kind === 'pdf' || kind === 'bin' || plotter);
        $(this.background).prop('disabled', kind !== 'artwork-svg' && kind !== 'pdf');
        $(this.fit).prop('disabled', !this.hasSheet(kind));
        $(this.marginRow).toggle(this.hasSheet(kind) && this.fit.value === 'page');
        $(this.bleedRow).toggle(kind === 'pdf' || kind === 'plotter-pdf');
        $(this.penRow).toggle(plotter);
        $(this.vectorNote).toggle(!!this.kindOf().vector);
        var layout = this.layout();
        this.lastLayout = layout;
        if (!layout.ok) {
            this.size.textContent = layout.error;
            $(this.size).addClass('error');
            return;
        }
        $(this.size).removeClass('error');
        this.size.textContent = Studio.PrintExport.describe(kind, layout, this.hasSheet(kind) && this.fit.value === 'page');
    },

    exportNow: function () {
        this.showLayout();
        var layout = this.lastLayout;
        if (!layout.ok) {
            Studio.status.error('Print export: ' + layout.error);
            return;
        }
        var kind = this.kindOf();
        var options = this.options();
        var path = this.exports.chooseFile('Export ' + kind.label, kind.filter, kind.suffix);
        if (!path) return;
        var files = this.filesOf(kind.id, path, options.separate);
        options.title = path.replace(/^.*[\\/]/, '').replace(/\.[^.]*$/, '');
        var label = kind.label + ' (' + this.size.textContent + ')';
        this.exports.run(label, files, function () {
            return Studio.PrintExport.write(kind.id, path, options, layout.scalePercent);
        });
    },

    filesOf: function (kind, path, separate) {
        var suffixes = Studio.Exports.facts().layerSuffixes;
        var layers = {png: suffixes.png, 'artwork-svg': suffixes.artworkSvg, svg: suffixes.svg}[kind];
        return this.exports.filesOf(path, separate && layers ? layers : []);
    }
};

// What an export of `kind` with this layout writes, in the words the panel shows: the
// pixels and the paper, and where the artwork lies on it.
Studio.PrintExport.describe = function (kind, layout, wholePage) {
    var mm = function (w, h) { return Math.round(w) + ' × ' + Math.round(h) + ' mm'; };
    var page = mm(layout.widthMm, layout.heightMm);
    var artwork = mm(layout.artworkWidthMm, layout.artworkHeightMm);
    if (kind === 'bin' || (kind === 'png' && !wholePage))
        return layout.width + ' × ' + layout.height + ' px: the artwork alone, ' + artwork + ' (fitted to ' + page + ')';
    if (kind === 'png')
        return layout.sheetWidth + ' × ' + layout.sheetHeight + ' px: the whole ' + page + ' page, the artwork ' +
               artwork + ' inside the margin';
    if (kind === 'svg') return 'canvas size, no page';
    return page + ' page, the artwork ' + artwork + (wholePage ? ' inside the margin' : '');
};

// One export of `kind` from the generator's stored settings.
Studio.PrintExport.write = function (kind, path, options, percent) {
    var page = {landscape: options.landscape, background: options.background, title: options.title};
    ['paper', 'size', 'margin', 'bleed', 'pen', 'dpi'].forEach(function (key) {
        if (options[key] !== undefined) page[key] = options[key];
    });
    switch (kind) {
    case 'png':
        if ((!page.paper && !page.size) || typeof llumatrace.exportPrintPNG !== 'function')
            return Studio.PrintExport.writePng(path, percent, options.separate, options.dpi);
        page.separate = options.separate;
        return llumatrace.exportPrintPNG(path, page);
    case 'artwork-svg':
        page.separate = options.separate;
        return llumatrace.exportArtworkSVG(path, page);
    case 'plotter-svg':
        page.plotter = true;
        return llumatrace.exportArtworkSVG(path, page);
    case 'plotter-pdf':
        page.plotter = true;
        return llumatrace.exportPDF(path, page);
    case 'svg': return llumatrace.exportSVG(path, options.separate);
    case 'pdf': return llumatrace.exportPDF(path, page);
    case 'bin': return llumatrace.exportBIN(path, percent);
    }
    return false;
};

// Canvas aspect presets: the longer side stays, the other follows the ratio (width / height).
Studio.AspectPresets = function (model, history) {
    var el = Studio.util.el;
    var presets = Studio.AspectPresets.list;
    var select = el('select', {'data-key': 'canvas-aspect'}, [el('option', {value: ''}, ['Choose…'])].concat(
            presets.map(function (p, i) { return el('option', {value: String(i)}, [p[0]]); })));
    $(select).on('change', function () {
        if (select.value === '') return;
        Studio.AspectPresets.apply(model, presets[Number(select.value)][1]);
        history.commit();
        select.value = '';
    });
    this.element = el('div', {'class': 'field'}, [el('label', {title: 'Set the canvas to a proportion'}, ['Aspect']), select]);
};

Studio.AspectPresets.list = [
    ['A paper, portrait (1 : 1.414)', 1 / Math.SQRT2], ['A paper, landscape', Math.SQRT2],
    ['Letter, portrait', 215.9 / 279.4], ['Letter, landscape', 279.4 / 215.9],
    ['Legal, portrait', 215.9 / 355.6], ['Tabloid, portrait', 279.4 / 431.8], ['Tabloid, landscape', 431.8 / 279.4],
    ['Square', 1], ['16 : 9', 16 / 9], ['9 : 16', 9 / 16], ['Phone (9 : 19.5)', 9 / 19.5]
];

Studio.AspectPresets.apply = function (model, ratio) {
    var longer = Math.max(model.get('width'), model.get('height'));
    var size = ratio >= 1 ? {width: longer, height: Math.round(longer / ratio)}
                          : {width: Math.round(longer * ratio), height: longer};
    model.update(size);
};
