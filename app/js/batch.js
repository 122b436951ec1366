// Batch export: the current artwork for every seed of a list ("1-50, 77, 1000-1010") in one
// format and size, into a folder, or as loops with the Loop block's frames, fps and scale.
// One export runs per event-loop turn, so the progress bar moves and Cancel is heard
// between two files.
Studio.Batch = function (container, model, print) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.print = print;
    this.folder = '';
    this.running = null;
    this.seeds = el('input', {type: 'text', 'data-key': 'batch-seeds', placeholder: '1-50, 77, 1000-1010', value: '1-10'});
    var option = function (k) { return el('option', {value: k.id}, [k.label]); };
    this.kind = el('select', {'data-key': 'batch-kind'}, [
        el('optgroup', {label: 'Still'}, Studio.PrintExport.kinds.map(option)),
        el('optgroup', {label: 'Loop (animated)'}, Studio.Batch.loopKinds().map(option))]);
    this.loopHint = el('span', {'class': 'hint', 'data-info': 'batch-loop', title: 'As set in the Loop block above'});
    this.sizeMode = el('select', {'data-key': 'batch-size-mode'}, [
        el('option', {value: 'percent'}, ['Scale %']), el('option', {value: 'print'}, ['Print page & DPI'])]);
    this.percent = el('input', {type: 'number', min: 1, max: 2000, step: 1, value: 100, 'data-key': 'batch-scale', 'class': 'number'});
    this.folderName = el('span', {'class': 'file-name', 'data-info': 'batch-folder'}, ['No folder']);
    this.sheet = el('input', {type: 'checkbox', 'data-key': 'batch-sheet'});
    this.progress = el('progress', {max: 1, value: 0, 'data-info': 'batch-progress'});
    this.startButton = el('button', {type: 'button', 'class': 'primary', 'data-action': 'batch-start'}, ['Export all']);
    this.cancelButton = el('button', {type: 'button', 'data-action': 'batch-cancel', disabled: 'disabled'}, ['Cancel']);
    var choose = el('button', {type: 'button', 'data-action': 'batch-folder'}, ['Folder…']);
    var row = function (label, children) {
        return el('div', {'class': 'field'}, [el('label', {}, [label])].concat(children));
    };
    this.sizeRow = row('Size', [this.sizeMode, this.percent]);
    this.loopRow = row('Loop', [this.loopHint]);
    container.appendChild(el('div', {'class': 'export-block batch-export'}, [
        el('h5', {}, ['Batch over seeds']),
        row('Seeds', [this.seeds]),
        row('Kind', [this.kind]),
        this.sizeRow,
        this.loopRow,
        row('Folder', [this.folderName, choose]),
        row('Sheet', [this.sheet, el('span', {'class': 'hint'}, ['contact sheet of every seed'])]),
        el('div', {'class': 'button-row'}, [this.progress, this.cancelButton, this.startButton])]));
    $(choose).on('click', function () { self.chooseFolder(); });
    $(this.startButton).on('click', function () { self.start(); });
    $(this.cancelButton).on('click', function () { self.cancel(); });
    $(this.sizeMode).on('change', function () { $(self.percent).toggle(self.sizeMode.value === 'percent'); });
    $(this.kind).on('change', function () { self.showKind(); });
    $(container).on('input change', '.loop-export', function () { self.showKind(); });
    this.showKind();
};

// Above this many files the batch asks before it starts.
Studio.Batch.askAbove = 300;

// The loop formats as batch kinds; their frames, fps and scale come from the Loop block.
Studio.Batch.loopKinds = function () {
    return Studio.Exports.loopFormats.map(function (f) {
        return {id: 'loop-' + f.id, label: 'Loop: ' + f.label, suffix: f.suffix, loop: f};
    });
};

// The seeds of a list such as "1-50, 77, 1000-1010", in order, without repeats:
// {seeds} or {error}. Ranges run either way; at most `limit` seeds.
Studio.Batch.parseSeeds = function (text, limit) {
    limit = limit || 100000;
    var seeds = [];
    var seen = {};
    var parts = String(text).split(',').map(function (p) { return p.trim(); }).filter(function (p) { return p; });
    if (!parts.length) return {error: 'no seeds given'};
    for (var i = 0; i < parts.length; ++i) {
        var m = /^(\d+)(?:\s*-\s*(\d+))?$/.exec(parts[i]);
        if (!m) return {error: '"' + parts[i] + '" is neither a seed nor a range'};
        var from = Number(m[1]);
        var to = m[2] === undefined ? from : Number(m[2]);
        var step = to >= from ? 1 : -1;
        for (var s = from; ; s += step) {
            if (!seen[s]) {
                seen[s] = true;
                seeds.push(s);
                if (seeds.length > limit) return {error: 'more than ' + limit + ' seeds'};
            }
            if (s === to) break;
        }
    }
    return {seeds: seeds};
};

Studio.Batch.prototype = {
    controls: function () {
        return {seeds: this.seeds, kind: this.kind, sizeMode: this.sizeMode, percent: this.percent, sheet: this.sheet};
    },

    // The block's choices and folder, kept for the next start.
    settings: function () {
        var settings = Studio.util.formValues(this.controls());
        settings.folder = this.folder;
        return settings;
    },

    restore: function (settings) {
        if (!settings) return;
        Studio.util.setFormValues(this.controls(), settings);
        if (typeof settings.folder === 'string' && settings.folder) this.setFolder(settings.folder);
        $(this.percent).toggle(this.sizeMode.value === 'percent');
        this.showKind();
    },

    chooseFolder: function () {
        var folder = app.dialogOpenDir('Batch export folder', this.folder || Studio.util.userFolder('pictures'));
        if (!folder) return;
        this.setFolder(folder);
        $(this.folderName).trigger('settings-changed');
    },

    setFolder: function (folder) {
        this.folder = folder;
        this.folderName.textContent = Studio.util.fileName(folder) || folder;
        this.folderName.title = folder;
    },

    kindOf: function () {
        var id = this.kind.value;
        return Studio.PrintExport.kinds.concat(Studio.Batch.loopKinds()).filter(function (k) { return k.id === id; })[0];
    },

    // A loop takes its size from the Loop block, which the row says instead of a size.
    showKind: function () {
        var loop = this.kindOf().loop;
        $(this.sizeRow).toggle(!loop);
        $(this.loopRow).toggle(!!loop);
        if (!loop) return;
        var o = this.print.exports.loopOptions();
        this.loopHint.textContent = o.frames + ' frames at ' + o.fps + ' fps, ' + Studio.util.roundToStep(o.scale, 0.1) + ' %';
    },

    start: function () {
        if (this.running) return;
        var parsed = Studio.Batch.parseSeeds(this.seeds.value);
        if (parsed.error) return Studio.status.error('Batch export: ' + parsed.error + '.');
        if (!this.folder) return Studio.status.error('Batch export: choose a folder first.');
        if (!app.fs.dirExists(this.folder) && !app.fs.mkdir(this.folder, true))
            return Studio.status.error('Batch export: cannot create the folder ' + this.folder + '.');
        var kind = this.kindOf();
        if (kind.loop) {
            var exports = this.print.exports;
            var loopSize = exports.loopSizeAt(exports.loopOptions().scale, kind.loop);
            var problem = exports.loopProblem(loopSize);
            if (problem) return Studio.status.error('Batch export: loops of ' + loopSize.width + ' × ' + loopSize.height + ' px: ' + problem + '.');
        }
        var options = kind.loop ? this.print.exports.loopOptions() : this.print.options();
        if (!this.confirmed(parsed.seeds, kind, options)) return Studio.status.show('Batch export not started.');
        var percent = Math.max(1, Number(this.percent.value) || 100);
        if (kind.loop) {
            percent = options.scale;
        } else if (this.sizeMode.value === 'print') {
            var layout = this.print.layout();
            if (!layout.ok) return Studio.status.error('Batch export: ' + layout.error + '.');
            percent = layout.scalePercent;
        } else {
            delete options.paper;
            delete options.size;
            delete options.margin;
            delete options.bleed;
        }
        this.running = {kind: kind, options: options, percent: percent, seeds: parsed.seeds, map: this.model.snapshot(),
                        index: 0, failed: [], cancelled: false, sheet: this.sheet.checked};
        this.progress.max = parsed.seeds.length;
        this.progress.value = 0;
        $(this.startButton).prop('disabled', true);
        $(this.cancelButton).prop('disabled', false);
        Studio.status.show('Batch export of ' + parsed.seeds.length + ' seeds started…');
        this.step();
    },

    // The contact sheet of a batch, beside its files.
    sheetFile: function () {
        return this.folder + '/lumatrace-contact-sheet.png';
    },

    // The file of `seed`: the folder, "lumatrace-" and the seed.
    fileOf: function (seed, kind) {
        return this.folder + '/lumatrace-' + seed + (kind || this.running.kind).suffix;
    },

    // Whether the user wants the batch: asked when it writes many files, and again when it
    // would replace files that are in the folder already.
    confirmed: function (seeds, kind, options) {
        var self = this;
        var grouped = Studio.util.grouped;
        var perSeed = function (seed) {
            return kind.loop ? [self.fileOf(seed, kind)] : self.print.filesOf(kind.id, self.fileOf(seed, kind), options.separate);
        };
        var files = seeds.length * perSeed(seeds[0]).length + (this.sheet.checked ? 1 : 0);
        if (files > Studio.Batch.askAbove
            && !app.confirm('This batch writes ' + grouped(files) + ' files into ' + this.folder + '. Start it?',
                            'Batch export', 'Write ' + grouped(files) + ' files', 'Cancel'))
            return false;
        var present = {};
        (app.fs.dirContent(this.folder).files || []).forEach(function (name) { present[name] = true; });
        var existing = [];
        var all = this.sheet.checked ? [this.sheetFile()] : [];
        seeds.forEach(function (seed) { all = all.concat(perSeed(seed)); });
        all.forEach(function (file) {
            if (present[Studio.util.fileName(file)]) existing.push(Studio.util.fileName(file));
        });
        if (!existing.length) return true;
        return app.confirm(grouped(existing.length) + ' of the ' + grouped(files) + ' files exist already in ' + this.folder
                           + ' (' + existing.slice(0, 3).join(', ') + (existing.length > 3 ? ', …' : '')
                           + '). Replace them?', 'Batch export', 'Replace', 'Cancel');
    },

    step: function () {
        var self = this;
        var run = this.running;
        if (!run) return;
        if (run.cancelled || run.index >= run.seeds.length) return this.finish();
        var seed = run.seeds[run.index];
        var map = Studio.util.clone(run.map);
        map.seed = seed;
        llumatrace.updateGenerator(map);
        var ok = run.kind.loop ? llumatrace.exportAnimation(this.fileOf(seed), run.options)
                               : Studio.PrintExport.write(run.kind.id, this.fileOf(seed), run.options, run.percent);
        if (!ok) run.failed.push(seed);
        run.index += 1;
        this.progress.value = run.index;
        Studio.status.show('Batch export: ' + run.index + ' of ' + run.seeds.length + '…');
        setTimeout(function () { self.step(); }, 0);
    },

    cancel: function () {
        if (this.running) this.running.cancelled = true;
    },

    finish: function () {
        var run = this.running;
        this.running = null;
        $(this.startButton).prop('disabled', false);
        $(this.cancelButton).prop('disabled', true);
        var written = run.index - run.failed.length;
        // The sheet shows every seed of a batch that ran to its end, as the command line's does.
        var sheetFailed = run.sheet && !run.cancelled && !llumatrace.exportContactSheet(this.sheetFile(), run.seeds);
        var text = 'Batch export ' + (run.cancelled ? 'cancelled' : 'done') + ': ' + written + ' of '
                   + run.seeds.length + ' files' + (run.sheet && !run.cancelled && !sheetFailed ? ' and a contact sheet' : '')
                   + ' — ' + this.folder + (sheetFailed ? '; the contact sheet could not be written' : '');
        if (run.failed.length || sheetFailed)
            Studio.status.error(text + (run.failed.length ? '; failed seeds: ' + run.failed.join(', ') : ''));
        else Studio.status.show(text);
        this.lastRun = {written: written, failed: run.failed, cancelled: run.cancelled, total: run.seeds.length};
    }
};
