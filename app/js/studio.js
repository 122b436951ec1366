// The studio: lays out the window, connects the modules and holds the commands that the
// menus, the toolbar and the keyboard run.
Studio.layout = function () {
    var el = Studio.util.el;
    var tool = function (name, text, title) {
        return el('button', {type: 'button', 'class': 'tool', 'data-tool': name, title: title}, [text]);
    };
    var command = function (name, text, title) {
        return el('button', {type: 'button', 'class': 'tool', 'data-command': name, title: title}, [text]);
    };
    var parts = {
        parameters: el('div', {'class': 'panel-scroll'}),
        viewport: el('div', {'class': 'viewport'}),
        placed: el('div', {'class': 'group-body'}),
        presets: el('div', {'class': 'group-body'}),
        exports: el('div', {'class': 'group-body'}),
        status: el('div', {'class': 'status-message'}),
        timing: el('div', {'class': 'timing', 'data-info': 'timing'}),
        size: el('div', {'class': 'timing', 'data-info': 'canvas'}),
        busy: el('div', {'class': 'busy'}, [el('div', {'class': 'spinner'}), el('div', {'class': 'busy-label'})])
    };
    var toolbar = el('header', {'class': 'toolbar'}, [
        el('div', {'class': 'brand'}, [el('span', {'class': 'logo'}), 'Lumatrace']),
        el('div', {'class': 'tool-group'}, [
            tool('select', '↖ Select', 'Select and move items'),
            tool('chips', '▣ Chip', 'Click on the artwork to place a chip'),
            tool('modificators', '╱ Modifier', 'Drag a segment on the artwork to add a modifier'),
            tool('adjustments', '◎ Adjustment', 'Click on the artwork to place an adjustment')]),
        el('div', {'class': 'tool-group'}, [
            command('view.overlays', '◐ Overlays', 'Show or hide overlays (Ctrl+H)'),
            command('view.fit', 'Fit', 'Zoom to fit (Ctrl+0)'),
            command('view.actual', '100 %', 'Actual size (Ctrl+1)')]),
        el('div', {'class': 'tool-group'}, [
            command('edit.undo', '↶', 'Undo (Ctrl+Z)'),
            command('edit.redo', '↷', 'Redo (Ctrl+Shift+Z)'),
            command('edit.randomize', '⚄ Seed', 'Randomize the seed (Ctrl+R)')]),
        el('div', {'class': 'spacer'}),
        parts.timing
    ]);
    var right = el('aside', {'class': 'panel right'}, [el('div', {'class': 'panel-scroll'}, [
        Studio.util.section('Placed on the artwork', parts.placed, 'placed'),
        Studio.util.section('Presets', parts.presets, 'presets'),
        Studio.util.section('Export', parts.exports, 'exports')])]);
    parts.viewport.appendChild(parts.busy);
    document.body.appendChild(el('div', {'class': 'studio'}, [
        toolbar,
        el('div', {'class': 'main'}, [el('aside', {'class': 'panel left'}, [parts.parameters]), parts.viewport, right]),
        el('footer', {'class': 'statusbar'}, [parts.status, parts.size])]));
    return parts;
};

Studio.Busy = function (element) {
    this.element = element;
};

Studio.Busy.prototype = {
    show: function (text) {
        $(this.element).find('.busy-label').text(text);
        $(this.element).addClass('on');
    },
    hide: function () {
        $(this.element).removeClass('on');
    },
    isOn: function () {
        return $(this.element).hasClass('on');
    }
};

// The last state and the recent seeds, kept in the database for the next start.
Studio.saveState = function (s) {
    s.store.setValue('last_state', s.model.map);
    s.store.setValue('recent_seeds', s.seeds.recent);
};

Studio.start = function (args) {
    var parts = Studio.layout();
    Studio.status.element = parts.status;
    app.setAppName('Lumatrace');
    app.loadPlugin(Studio.pluginPath(args[0]));
    if (typeof llumatrace !== 'object') {
        Studio.status.error('The Lumatrace1 plug-in was not found beside the program: ' + Studio.pluginPath(args[0]));
        return;
    }
    var store = new Studio.Store(Studio.Store.defaultFile());
    var saved = store.value('last_state', null);
    var model = new Studio.Model(saved || Studio.schema.defaults);
    if (!model.get('mask_font')) model.map.mask_font = Studio.masks.defaultFont();
    var history = new Studio.History(model);
    var controls = new Studio.Controls(parts.parameters, model, history);
    var seeds = new Studio.Seeds(model, history);
    seeds.restore(store.value('recent_seeds', []));
    controls.appendToGroup('canvas', seeds.element);
    controls.appendToGroup('mask', Studio.masks.createThumbnail());
    controls.refresh(['mask_type'], null, model);
    var preview = new Studio.Preview(parts.viewport, model, 80);
    var placement = new Studio.Placement(preview, model, history);
    var placed = new Studio.PlacedList(parts.placed, model, history, placement);
    var presets = new Studio.Presets(parts.presets, store, model, history);
    var exports = new Studio.Exports(parts.exports, model, new Studio.Busy(parts.busy));
    Studio.studio = {model: model, history: history, controls: controls, seeds: seeds, preview: preview,
                     placement: placement, placed: placed, presets: presets, exports: exports, store: store};
    Studio.connect(parts, Studio.studio);
    Studio.explore.attach(parts, Studio.studio);
    var saveSoon = Studio.util.debounce(function () { Studio.saveState(Studio.studio); }, 400);
    model.onChange(saveSoon);
    seeds.onChange(saveSoon);
    Studio.buildMenus(app.win);
    placement.setTool('select');
    $('.toolbar [data-command="view.overlays"]').addClass('active');
    preview.request();
    Studio.status.show(saved ? 'Welcome back: your last artwork is restored.' : 'Welcome to Lumatrace.');
    Studio.ready = true;
};

// The plug-in sits in the program's own folder; a bare program name means the current one.
Studio.pluginPath = function (programPath) {
    var path = String(programPath);
    var folder = /[\/\\]/.test(path) ? path.replace(/[\/\\][^\/\\]*$/, '') : '.';
    return folder + '/libLumatrace1.so';
};

// Toolbar, timing line, window title and keyboard.
Studio.connect = function (parts, s) {
    $('.toolbar [data-tool]').on('click', function () { s.placement.setTool(this.getAttribute('data-tool')); });
    $('.toolbar [data-command]').on('click', function () { Studio.run(this.getAttribute('data-command')); });
    s.placement.onChange(function () {
        $('.toolbar [data-tool]').each(function () {
            $(this).toggleClass('active', this.getAttribute('data-tool') === s.placement.tool);
        });
    });
    s.preview.on('generated', function (map, ms) {
        parts.timing.textContent = 'Generated in ' + Studio.util.duration(ms);
        parts.size.textContent = map.width + ' × ' + map.height + ' px · seed ' + map.seed;
        Studio.masks.generated(map);
    });
    s.preview.on('layout', function (factor) {
        $('.toolbar [data-command="view.fit"]').toggleClass('active', s.preview.zoomMode === 'fit');
        $('.toolbar [data-command="view.actual"]').toggleClass('active', s.preview.zoomMode === 1);
        parts.viewport.setAttribute('data-zoom', Math.round(factor * 100));
    });
    var showUndo = function () {
        $('.toolbar [data-command="edit.undo"]').prop('disabled', !s.history.canUndo());
        $('.toolbar [data-command="edit.redo"]').prop('disabled', !s.history.canRedo());
    };
    s.history.onChange(showUndo);
    showUndo();
    s.presets.onChange(function (name) { app.win.setTitle(name ? 'Lumatrace — ' + name : 'Lumatrace'); });
    $(document).on('keydown', function (e) {
        var typing = /^(INPUT|SELECT|TEXTAREA)$/.test(e.target.tagName);
        if (!typing && (e.which === 46 || e.which === 8)) {
            e.preventDefault();
            s.placement.removeSelected();
        }
    });
};

Studio.commands = {
    'file.new': function (s) {
        var map = Studio.util.clone(Studio.schema.defaults);
        map.seed = Studio.util.randomSeed();
        map.mask_font = Studio.masks.defaultFont();
        s.model.replace(map);
        s.history.commit();
        s.placement.select(null);
        s.presets.setCurrent('');
        Studio.status.show('New artwork with seed ' + map.seed + '.');
    },
    'file.open': function (s) { s.presets.reveal(); },
    'file.save': function (s) { s.presets.save(); },
    'file.saveAs': function (s) { s.presets.saveAsPrompted(); },
    'file.import': function (s) { s.presets.importFile(); },
    'file.export': function (s) { s.presets.exportFile(); },
    'file.exportPng': function (s) { s.exports.exportPng(); },
    'file.exportSvg': function (s) { s.exports.exportSvg(); },
    'file.exportRgb': function (s) { s.exports.exportRgb(); },
    'file.quit': function (s) {
        Studio.saveState(s);
        app.exit(0);
    },
    'edit.undo': function (s) { s.history.undo(); },
    'edit.redo': function (s) { s.history.redo(); },
    'edit.randomize': function (s) { s.seeds.randomize(); },
    'edit.deleteSelected': function (s) { s.placement.removeSelected(); },
    'edit.reset': function (s) {
        var map = Studio.util.clone(Studio.schema.defaults);
        map.seed = s.model.get('seed');
        map.mask_font = Studio.masks.defaultFont();
        s.model.replace(map);
        s.history.commit();
        s.placement.select(null);
        Studio.status.show('Parameters reset to their defaults (seed kept).');
    },
    'view.overlays': function (s) {
        s.placement.setVisible(!s.placement.isVisible());
        $('.toolbar [data-command="view.overlays"]').toggleClass('active', s.placement.isVisible());
    },
    'view.fit': function (s) { s.preview.setZoom('fit'); },
    'view.actual': function (s) { s.preview.setZoom(1); },
    'help.about': function () {
        app.info('Lumatrace studio\n\nGenerative circuit-board artwork, grown from a seed.\n'
                 + 'Runs in Tressil with the Lumatrace1 plug-in.', 'About Lumatrace');
    }
};

Studio.run = function (name) {
    if (Studio.studio && Studio.commands[name]) Studio.commands[name](Studio.studio);
};
