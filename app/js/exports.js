// Export panel and export runs: PNG (scale in percent or a target print width; layers),
// SVG (layers), raw RGB and animated loops, each through a save dialog. An export blocks the page, so the
// busy indicator is shown first and the export starts once it has been painted.
Studio.Exports = function (container, model, busy) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.busy = busy;
    this.container = container;
    this.directory = '';
    this.pngScale = el('input', {type: 'number', min: 1, max: 100000, step: 1, value: 200, 'data-key': 'export-png-scale', 'class': 'number'});
    this.pngWidth = el('input', {type: 'number', min: 16, max: Studio.Exports.facts().maxSide, step: 1, value: 3600, 'data-key': 'export-png-width', 'class': 'number'});
    this.pngByWidth = el('input', {type: 'checkbox', 'data-key': 'export-png-by-width'});
    this.pngSeparate = el('input', {type: 'checkbox', 'data-key': 'export-png-separate'});
    this.pngSize = el('span', {'class': 'hint'});
    this.svgSeparate = el('input', {type: 'checkbox', 'data-key': 'export-svg-separate'});
    this.rgbScale = el('input', {type: 'number', min: 1, max: 100000, step: 1, value: 100, 'data-key': 'export-rgb-scale', 'class': 'number'});
    this.rgbSize = el('span', {'class': 'hint'});
    this.loopFormat = el('select', {'data-key': 'export-loop-format'}, Studio.Exports.loopFormats.map(function (f) {
        return el('option', {value: f.id}, [f.label]);
    }));
    this.loopFrames = el('input', {type: 'number', min: 2, max: 1000, step: 1, value: 48, 'data-key': 'export-loop-frames', 'class': 'number'});
    this.loopFps = el('input', {type: 'number', min: 1, max: 60, step: 1, value: 24, 'data-key': 'export-loop-fps', 'class': 'number'});
    this.loopScale = el('input', {type: 'number', min: 1, max: 100000, step: 1, value: 100, 'data-key': 'export-loop-scale', 'class': 'number'});
    this.loopDuration = el('span', {'data-info': 'loop-duration'});
    this.loopSize = el('span', {'data-info': 'loop-size'});
    var button = function (action, text) {
        var b = el('button', {type: 'button', 'class': 'primary', 'data-action': action}, [text]);
        $(b).on('click', function () { self[action](); });
        return b;
    };
    var row = function (label, children) {
        return el('div', {'class': 'field'}, [el('label', {}, [label])].concat(children));
    };
    container.appendChild(el('div', {'class': 'export-block'}, [
        el('h5', {}, ['PNG']),
        row('Scale %', [this.pngScale]),
        row('Print width', [this.pngByWidth, this.pngWidth, el('span', {'class': 'unit'}, ['px'])]),
        row('Layers', [this.pngSeparate, el('span', {'class': 'hint'}, ['separate files'])]),
        el('div', {'class': 'button-row'}, [this.pngSize, button('exportPng', 'Export PNG…')])]));
    container.appendChild(el('div', {'class': 'export-block'}, [
        el('h5', {}, ['SVG']),
        row('Layers', [this.svgSeparate, el('span', {'class': 'hint'}, ['separate files'])]),
        el('p', {'class': 'hint vector-note'}, [Studio.Exports.vectorNote]),
        el('div', {'class': 'button-row'}, [el('span', {'class': 'hint'}, ['Colours, chips, layers']),
                                            button('exportSvg', 'Export SVG…')]),
        el('div', {'class': 'button-row'}, [
            el('span', {'class': 'hint'}, ['White on black, no chips']),
            el('button', {type: 'button', 'data-action': 'exportMaskSvg', title: Studio.Exports.maskSvgTitle},
               ['Layer masks SVG…'])])]));
    $(container).find('[data-action=exportMaskSvg]').on('click', function () { self.exportMaskSvg(); });
    container.appendChild(el('div', {'class': 'export-block'}, [
        el('h5', {}, ['Raw RGB']),
        row('Scale %', [this.rgbScale]),
        el('div', {'class': 'button-row'}, [this.rgbSize, button('exportRgb', 'Export RGB…')])]));
    container.appendChild(el('div', {'class': 'export-block loop-export'}, [
        el('h5', {}, ['Loop (animated)']),
        row('Format', [this.loopFormat]),
        row('Frames', [this.loopFrames, el('span', {'class': 'unit'}, ['at']), this.loopFps,
                       el('span', {'class': 'unit'}, ['fps'])]),
        row('Scale %', [this.loopScale]),
        el('div', {'class': 'button-row'}, [el('span', {'class': 'hint loop-facts'}, [this.loopDuration, ' · ', this.loopSize]),
                                            button('exportLoop', 'Export loop…')])]));
    $(container).find('input, select').on('input change', function () { self.showSizes(); });
    model.onChange(function () { self.showSizes(); });
    this.showSizes();
};

// What the plug-in says of exports: the largest raster canvas (maxSide, maxPixels), the
// papers and resolutions of print exports and the suffixes of separate layer files. The
// studio starts only with the plug-in loaded, so it asks the core instead of keeping copies.
Studio.Exports.facts = function () {
    if (!Studio.Exports.knownFacts) Studio.Exports.knownFacts = llumatrace.exportFacts();
    return Studio.Exports.knownFacts;
};

// What a vector file leaves out, said where a vector export is chosen.
Studio.Exports.vectorNote = 'Vector: the glow, shadow and vignette are raster effects and are left out.';
Studio.Exports.maskSvgTitle = 'Wires, pads and signals as white-on-black masks, one file per layer with "separate'
                              + ' files"; no chips and the artwork\'s colours only in the first file';

// Loop formats by the suffix that chooses them in exportAnimation. MP4 and WebM encode
// even sides only, so the plug-in repeats the last row or column of an odd side.
Studio.Exports.loopFormats = [
    {id: 'mp4', label: 'MP4 video (H.264)', suffix: '.mp4', filter: 'MP4 video (*.mp4)', evenSides: true},
    {id: 'webm', label: 'WebM video (VP9)', suffix: '.webm', filter: 'WebM video (*.webm)', evenSides: true},
    {id: 'webp', label: 'WebP (lossless)', suffix: '.webp', filter: 'WebP images (*.webp)'},
    {id: 'gif', label: 'GIF', suffix: '.gif', filter: 'GIF images (*.gif)'},
    {id: 'png', label: 'Animated PNG', suffix: '.png', filter: 'Animated PNG (*.png)'}
];

// The loop encoders hold whole frames: WebP's largest side and 40 Mpx a frame. The plug-in
// refuses more with a reason; these let the panel say so before the dialog.
Studio.Exports.loopLimits = {maxSide: 16383, maxPixels: 40000000};

Studio.Exports.loopFormat = function (id) {
    return Studio.Exports.loopFormats.filter(function (f) { return f.id === id; })[0] || Studio.Exports.loopFormats[0];
};

// What is wrong with a picture of `size` under `limits` {maxSide, maxPixels}; '' when none.
// `per` says what the pixel limit counts ('in all', 'a frame').
Studio.Exports.limitProblem = function (size, limits, per) {
    var grouped = Studio.util.grouped;
    if (size.width < 1 || size.height < 1) return 'no pixels at this scale';
    if (size.width > limits.maxSide || size.height > limits.maxSide)
        return 'too large: at most ' + grouped(limits.maxSide) + ' px a side';
    if (size.width * size.height > limits.maxPixels)
        return 'too large: at most ' + grouped(limits.maxPixels / 1000000) + ' Mpx ' + per;
    return '';
};

Studio.Exports.prototype = {
    // The panel's choices, kept for the next start.
    settings: function () {
        return {pngScale: Number(this.pngScale.value), pngWidth: Number(this.pngWidth.value),
                pngByWidth: this.pngByWidth.checked, pngSeparate: this.pngSeparate.checked,
                svgSeparate: this.svgSeparate.checked, rgbScale: Number(this.rgbScale.value), directory: this.directory,
                loopFormat: this.loopFormat.value, loopFrames: Number(this.loopFrames.value),
                loopFps: Number(this.loopFps.value), loopScale: Number(this.loopScale.value)};
    },

    restore: function (settings) {
        if (!settings) return;
        var number = function (input, value) {
            if (isFinite(value) && value !== null) input.value = Studio.util.clamp(value, Number(input.min), Number(input.max));
        };
        number(this.pngScale, settings.pngScale);
        number(this.pngWidth, settings.pngWidth);
        number(this.rgbScale, settings.rgbScale);
        number(this.loopFrames, settings.loopFrames);
        number(this.loopFps, settings.loopFps);
        number(this.loopScale, settings.loopScale);
        if (typeof settings.loopFormat === 'string') this.loopFormat.value = Studio.Exports.loopFormat(settings.loopFormat).id;
        this.pngByWidth.checked = !!settings.pngByWidth;
        this.pngSeparate.checked = !!settings.pngSeparate;
        this.svgSeparate.checked = !!settings.svgSeparate;
        this.directory = typeof settings.directory === 'string' ? settings.directory : '';
        this.showSizes();
    },

    // fn() when a choice of the panel changed: a control, or a folder chosen in a dialog.
    onChange: function (fn) {
        $(this.container).on('change', 'input, select', fn).on('settings-changed', fn);
    },

    // Scale in percent of the PNG export: given, or from the wanted print width.
    pngPercent: function () {
        if (this.pngByWidth.checked)
            return Math.max(1, Number(this.pngWidth.value) || 0) / this.model.get('width') * 100;
        return Math.max(1, Number(this.pngScale.value) || 100);
    },

    rgbPercent: function () {
        return Math.max(1, Number(this.rgbScale.value) || 100);
    },

    // The loop as exportAnimation and the live preview take it, numbers kept within range.
    loopOptions: function () {
        var whole = function (input, fallback) {
            var value = Math.round(Number(input.value));
            return isFinite(value) && input.value !== '' ? Studio.util.clamp(value, Number(input.min), Number(input.max)) : fallback;
        };
        return {frames: whole(this.loopFrames, 48), fps: whole(this.loopFps, 24),
                scale: Math.max(1, Number(this.loopScale.value) || 100)};
    },

    // Pixel size of a loop file at `percent` in `format`, odd sides rounded up where needed.
    loopSizeAt: function (percent, format) {
        var size = this.sizeAt(percent);
        if (format.evenSides) size = {width: size.width + size.width % 2, height: size.height + size.height % 2};
        return size;
    },

    loopProblem: function (size) {
        return Studio.Exports.limitProblem(size, Studio.Exports.loopLimits, 'a frame');
    },

    // Pixel size of a render at `percent`, as the renderer rounds it.
    sizeAt: function (percent) {
        var s = percent / 100;
        return {width: Math.round(this.model.get('width') * s), height: Math.round(this.model.get('height') * s)};
    },

    // What is wrong with a raster export of `size`; '' when it can be made.
    sizeProblem: function (size) {
        return Studio.Exports.limitProblem(size, Studio.Exports.facts(), 'in all');
    },

    showSizes: function () {
        var png = this.sizeAt(this.pngPercent());
        var rgb = this.sizeAt(this.rgbPercent());
        var pngProblem = this.sizeProblem(png), rgbProblem = this.sizeProblem(rgb);
        this.pngSize.textContent = png.width + ' × ' + png.height + ' px' + (pngProblem ? ': ' + pngProblem : '');
        this.rgbSize.textContent = rgb.width + ' × ' + rgb.height + ' px' + (rgbProblem ? ': ' + rgbProblem : ', 3 bytes each');
        $(this.pngSize).toggleClass('error', !!pngProblem);
        $(this.rgbSize).toggleClass('error', !!rgbProblem);
        $(this.pngWidth).prop('disabled', !this.pngByWidth.checked);
        $(this.pngScale).prop('disabled', this.pngByWidth.checked);
        var loop = this.loopOptions();
        var loopSize = this.loopSizeAt(loop.scale, Studio.Exports.loopFormat(this.loopFormat.value));
        var loopProblem = this.loopProblem(loopSize);
        this.loopDuration.textContent = (loop.frames / loop.fps).toFixed(1) + ' s';
        this.loopSize.textContent = loopSize.width + ' × ' + loopSize.height + ' px' + (loopProblem ? ': ' + loopProblem : '');
        $(this.loopSize).parent().toggleClass('error', !!loopProblem);
    },

    exportPng: function () {
        var percent = this.pngPercent();
        if (this.refused('PNG', this.sizeAt(percent))) return;
        var separate = this.pngSeparate.checked;
        var path = this.chooseFile('Export PNG', 'PNG images (*.png)', '.png');
        if (path) this.run('PNG', this.filesOf(path, separate ? Studio.Exports.facts().layerSuffixes.png : []), function () {
            return llumatrace.exportPNG(path, percent, separate);
        });
    },

    // The artwork as drawn (colours, chips, a layer each), without the raster effects.
    exportSvg: function () {
        var separate = this.svgSeparate.checked;
        var path = this.chooseFile('Export SVG', 'SVG documents (*.svg)', '.svg');
        if (path) this.run('SVG', this.filesOf(path, separate ? Studio.Exports.facts().layerSuffixes.artworkSvg : []), function () {
            return llumatrace.exportArtworkSVG(path, {separate: separate, background: true});
        });
    },

    // The generator's plain SVG: the layers as masks for cutting and plotting.
    exportMaskSvg: function () {
        var separate = this.svgSeparate.checked;
        var path = this.chooseFile('Export layer masks SVG', 'SVG documents (*.svg)', '.svg');
        if (path) this.run('layer masks SVG', this.filesOf(path, separate ? Studio.Exports.facts().layerSuffixes.svg : []),
                           function () { return llumatrace.exportSVG(path, separate); });
    },

    exportRgb: function () {
        var percent = this.rgbPercent();
        var size = this.sizeAt(percent);
        if (this.refused('RGB', size)) return;
        var path = this.chooseFile('Export raw RGB', 'Raw RGB (*.rgb *.bin);;All files (*)', '.rgb');
        if (path) this.run('RGB (' + size.width + ' × ' + size.height + ')', [path], function () {
            return llumatrace.exportBIN(path, percent);
        });
    },

    exportLoop: function () {
        var loop = this.loopOptions();
        var format = Studio.Exports.loopFormat(this.loopFormat.value);
        var size = this.loopSizeAt(loop.scale, format);
        var problem = this.loopProblem(size);
        if (problem) {
            Studio.status.error('Loop export of ' + size.width + ' × ' + size.height + ' px refused: ' + problem);
            return;
        }
        var path = this.chooseFile('Export loop', format.filter, format.suffix);
        if (!path) return;
        var label = 'loop (' + format.label + ', ' + loop.frames + ' frames at ' + loop.fps + ' fps, '
                    + size.width + ' × ' + size.height + ')';
        var self = this;
        this.run(label, [path], function () {
            var ok = llumatrace.exportAnimation(path, loop);
            // The encoder and the option checks say why; a bare "could not write" would mislead.
            if (!ok) self.reason = llumatrace.lastError();
            return ok;
        });
    },

    // Says why an export of `size` cannot be made, before any dialog; true then.
    refused: function (label, size) {
        var problem = this.sizeProblem(size);
        if (problem) Studio.status.error(label + ' export of ' + size.width + ' × ' + size.height + ' px refused: ' + problem);
        return !!problem;
    },

    chooseFile: function (title, filter, suffix) {
        var directory = this.directory && app.fs.dirExists(this.directory) ? this.directory
                                                                           : Studio.util.userFolder('pictures');
        var path = app.dialogSaveFile(title, filter, directory + '/lumatrace-' + this.model.get('seed') + suffix);
        if (!path) return '';
        this.directory = path.replace(/[\/\\][^\/\\]*$/, '');
        $(this.container).trigger('settings-changed');
        return /\.[^\/\\.]+$/.test(path) ? path : path + suffix;
    },

    filesOf: function (path, layerSuffixes) {
        var base = Studio.util.basePath(path);
        return [path].concat(layerSuffixes.map(function (suffix) { return base + suffix; }));
    },

    // Runs `write` after the busy indicator is on screen; reports files and sizes.
    // Large exports report progress between their bands, and the Cancel button stops them.
    run: function (label, files, write) {
        var self = this;
        var cancelled = false;
        this.busy.show('Exporting ' + label + '…', function () {
            cancelled = true;
            llumatrace.cancelExport();
        });
        if (!this.progressConnected && llumatrace.exportProgress) {
            llumatrace.exportProgress.connect(function (percent) { self.busy.progress(percent); });
            this.progressConnected = true;
        }
        setTimeout(function () {
            // The export draws from the generator's stored settings; hand it the current map
            // in case the preview has not caught up with the last change yet.
            llumatrace.updateGenerator(Studio.masks.effective(self.model.snapshot()));
            self.reason = '';
            var ok = write();
            self.busy.hide();
            self.report(label, files, ok, cancelled);
        }, 30);
    },

    report: function (label, files, ok, cancelled) {
        if (!ok && cancelled) {
            Studio.status.show(label + ' export cancelled; no file was left under its name.');
            return;
        }
        if (!ok && this.reason) {
            Studio.status.error(label + ' export failed: ' + this.reason);
            return;
        }
        if (!ok) {
            var missing = files.filter(function (f) { return !app.fs.fileExists(f); })[0] || files[0];
            Studio.status.error(label + ' export failed: could not write ' + missing
                                + ' (the folder may be missing or read-only, or the disk full)');
            return;
        }
        var written = files.map(function (f) {
            return Studio.util.fileName(f) + ' (' + Studio.util.byteSize(app.fs.fileSize(f)) + ')';
        });
        Studio.status.show('Exported ' + label + ': ' + written.join(', ')
                           + ' — ' + this.directory);
    }
};
