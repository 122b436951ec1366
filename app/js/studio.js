// The studio: lays out the window, connects the modules and holds the commands that the
// menus, the toolbar and the keyboard run.
Studio.layout = function () {
    var el = Studio.util.el;
    // A button with an icon and a label; in a narrow window only the icon shows.
    var button = function (attribute, name, icon, text, title) {
        var attributes = {type: 'button', 'class': 'tool', title: title};
        attributes[attribute] = name;
        var children = icon ? [el('span', {'class': 'icon-part'}, [icon]), el('span', {'class': 'label-part'}, [text])]
            : [el('span', {}, [text])];
        return el('button', attributes, children);
    };
    var tool = function (name, icon, text, title) { return button('data-tool', name, icon, text, title); };
    var command = function (name, icon, text, title) { return button('data-command', name, icon, text, title); };
    var parts = {
        parameters: el('div', {'class': 'panel-scroll'}),
        viewport: el('div', {'class': 'viewport'}),
        placed: el('div', {'class': 'group-body'}),
        presets: el('div', {'class': 'group-body'}),
        exports: el('div', {'class': 'group-body'}),
        status: el('div', {'class': 'status-message'}),
        size: el('div', {'class': 'timing', 'data-info': 'canvas'}),
        zoom: el('span', {'class': 'zoom-readout', 'data-info': 'zoom'}),
        busy: el('div', {'class': 'busy'}, [el('div', {'class': 'spinner'}), el('div', {'class': 'busy-label'}),
                                             el('progress', {'class': 'busy-progress', max: 100, value: 0}),
                                             el('button', {type: 'button', 'class': 'busy-cancel', 'data-action': 'cancel-export'}, ['Cancel'])])
    };
    var toolbar = el('header', {'class': 'toolbar'}, [
        el('div', {'class': 'brand'}, [el('span', {'class': 'logo'}), el('span', {'class': 'label-part'}, ['Lumatrace'])]),
        el('div', {'class': 'tool-group'}, [
            tool('select', '↖', 'Select', 'Select and move items; drag the artwork to move the view'),
            tool('chips', '▣', 'Chip', 'Click on the artwork to place a chip'),
            tool('modificators', '╱', 'Modifier', 'Drag a segment on the artwork to add a modifier'),
            tool('adjustments', '◎', 'Adjustment', 'Click on the artwork to place an adjustment')]),
        el('div', {'class': 'tool-group'}, [
            command('view.overlays', '◐', 'Overlays', 'Show or hide overlays (Ctrl+H)'),
            command('view.fit', '', 'Fit', 'Zoom to fit (Ctrl+0); the wheel zooms at the mouse, space-drag moves'),
            command('view.actual', '', '100 %', 'Actual size (Ctrl+1)'),
            command('view.double', '', '200 %', 'Double size (Ctrl+2)'),
            parts.zoom]),
        el('div', {'class': 'tool-group'}, [
            command('view.keepA', '', 'Keep A', 'Keep the artwork as snapshot A (Ctrl+Shift+K)'),
            command('view.flip', '', 'A/B', 'Flip between snapshot A and the current artwork B (Ctrl+K)'),
            command('view.split', '', 'A|B', 'Snapshot A left, the current artwork B right; drag the line (Ctrl+Shift+J)')]),
        el('div', {'class': 'tool-group'}, [
            command('edit.undo', '', '↶', 'Undo (Ctrl+Z)'),
            command('edit.redo', '', '↷', 'Redo (Ctrl+Shift+Z)'),
            command('edit.randomize', '⚄', 'Seed', 'Randomize the seed (Ctrl+R)')]),
        el('div', {'class': 'spacer'})
    ]);
    var right = el('aside', {'class': 'panel right'}, [el('div', {'class': 'panel-scroll'}, [
        Studio.util.section('Placed on the artwork', parts.placed, 'placed'),
        Studio.util.section('Presets', parts.presets, 'presets'),
        Studio.util.section('Export', parts.exports, 'exports')])]);
    // Play sits on the artwork it animates, where a first look finds it, and leaves the
    // toolbar its room.
    parts.loopReadout = el('span', {'class': 'loop-readout', 'data-info': 'loop-readout'});
    parts.viewport.appendChild(el('div', {'class': 'play-control'}, [
        command('view.play', '▶', 'Play', Studio.playTitle(false)), parts.loopReadout]));
    parts.viewport.appendChild(parts.busy);
    document.body.appendChild(el('div', {'class': 'studio'}, [
        toolbar,
        el('div', {'class': 'main'}, [el('aside', {'class': 'panel left'}, [parts.parameters]), parts.viewport, right]),
        el('footer', {'class': 'statusbar'}, [parts.status, parts.size])]));
    return parts;
};

Studio.playTitle = function (playing) {
    return playing ? 'Pause the loop and show the still artwork (P)'
                   : 'Play the loop on the artwork (P): the signals travel along their wires. Frames and speed: Export › Loop';
};

Studio.Busy = function (element) {
    this.element = element;
};

Studio.Busy.prototype = {
    // With onCancel, a progress bar and a Cancel button that calls it.
    show: function (text, onCancel) {
        $(this.element).find('.busy-label').text(text);
        $(this.element).find('.busy-progress').val(0).toggle(!!onCancel);
        $(this.element).find('.busy-cancel').prop('disabled', false).toggle(!!onCancel).off('click')
            .on('click', function () { $(this).prop('disabled', true); onCancel(); });
        $(this.element).addClass('on');
    },
    progress: function (percent) {
        $(this.element).find('.busy-progress').val(percent);
    },
    hide: function () {
        $(this.element).removeClass('on');
    },
    isOn: function () {
        return $(this.element).hasClass('on');
    }
};

// The last state, the recent seeds, the preset in use and the view and export choices,
// kept in the database for the next start.
Studio.saveState = function (s) {
    s.store.setValue('last_state', s.model.map);
    s.store.setValue('recent_seeds', s.seeds.recent);
    s.store.setValue('last_preset', s.presets.currentName);
    s.store.setValue('export_settings', s.exports.settings());
    if (s.print) s.store.setValue('print_settings', s.print.settings());
    if (s.batch) s.store.setValue('batch_settings', s.batch.settings());
    s.store.setValue('snapshot_a', s.compare.map);
    s.store.setValue('zoom', s.preview.zoomMode);
};

Studio.start = function (args) {
    var parts = Studio.layout();
    Studio.status.element = parts.status;
    Studio.status.notice = new Studio.Notice(parts.viewport);
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
    var locks = new Studio.Locks(parts.parameters, model, history, store);
    var colours = new Studio.Colours(controls, model, history, locks, store);
    var seeds = new Studio.Seeds(model, history);
    seeds.restore(store.value('recent_seeds', []));
    controls.appendToGroup('canvas', seeds.element);
    controls.appendToGroup('mask', Studio.masks.createThumbnail());
    controls.refresh(['mask_type'], null, model);
    var preview = new Studio.Preview(parts.viewport, model, 80);
    Studio.masks.attach(model, history, preview);
    var placement = new Studio.Placement(preview, model, history);
    var placed = new Studio.PlacedList(parts.placed, model, history, placement);
    var compare = new Studio.Compare(preview, model);
    compare.restore(store.value('snapshot_a', null));
    var presets = new Studio.Presets(parts.presets, store, model, history);
    presets.artwork = preview.image;
    preview.on('shown', function () {
        if (!preview.pending && !preview.timer) presets.shown();
    });
    var starters = new Studio.Starters(parts.presets, model, history, presets);
    var exports = new Studio.Exports(parts.exports, model, new Studio.Busy(parts.busy));
    exports.restore(store.value('export_settings', null));
    var player = new Studio.Player(preview, function () { return exports.loopOptions(); }, function () {
        var s = Studio.studio;
        return !exports.busy.isOn() && !(s.batch && s.batch.running) && !(s.variations && s.variations.isOpen());
    });
    preview.setZoom(Studio.Preview.validZoom(store.value('zoom', 'fit')));
    var lastPreset = store.value('last_preset', '');
    if (saved && typeof lastPreset === 'string' && lastPreset && store.presetId(lastPreset) !== null)
        presets.setCurrent(lastPreset);
    history.reset();
    Studio.studio = {model: model, history: history, controls: controls, locks: locks, colours: colours, seeds: seeds,
                     preview: preview, placement: placement, placed: placed, compare: compare, presets: presets,
                     starters: starters, exports: exports, store: store, player: player};
    Studio.connect(parts, Studio.studio);
    Studio.explore.attach(parts, Studio.studio);
    var saveSoon = Studio.util.debounce(function () { Studio.saveState(Studio.studio); }, 400);
    model.onChange(saveSoon);
    seeds.onChange(saveSoon);
    exports.onChange(saveSoon);
    presets.onChange(saveSoon);
    compare.onChange(saveSoon);
    preview.on('zoom', saveSoon);
    Studio.buildMenus(app.win);
    placement.setTool('select');
    $('.toolbar [data-command="view.overlays"]').addClass('active');
    preview.request();
    var maskProblem = Studio.masks.problemMessage();
    if (maskProblem)
        Studio.status.error('Your last artwork is restored, but without its mask: ' + maskProblem,
                            [['Locate…', function () { Studio.masks.locate(); }]]);
    else Studio.status.show(saved ? 'Welcome back: your last artwork is restored.' : 'Welcome to Lumatrace.');
    Studio.ready = true;
};

// The plug-in sits in the program's own folder; a bare program name means the current one.
Studio.pluginPath = function (programPath) {
    var path = String(programPath);
    var folder = /[\/\\]/.test(path) ? path.replace(/[\/\\][^\/\\]*$/, '') : '.';
    return folder + '/libLumatrace1.so';
};

// Toolbar, canvas line, window title and keyboard.
Studio.connect = function (parts, s) {
    $('.toolbar [data-tool]').on('click', function () { s.placement.setTool(this.getAttribute('data-tool')); });
    $('.toolbar [data-command], .play-control [data-command]').on('click', function () {
        Studio.run(this.getAttribute('data-command'));
    });
    // A clicked tool keeps no focus, so the space bar then pans instead of pressing it again.
    $('.toolbar, .play-control').on('mousedown', 'button', function (e) { e.preventDefault(); });
    s.placement.onChange(function () {
        $('.toolbar [data-tool]').each(function () {
            $(this).toggleClass('active', this.getAttribute('data-tool') === s.placement.tool);
        });
    });
    s.preview.on('generated', function (map, ms) {
        // The artist sees the canvas and the seed; how long the drawing took is for the curious
        // (a tooltip) and for the benchmarks (in milliseconds).
        parts.size.textContent = map.width + ' × ' + map.height + ' px · seed ' + map.seed;
        parts.size.title = 'Drawn in ' + Studio.util.duration(ms);
        parts.size.setAttribute('data-ms', String(Math.round(ms)));
        Studio.masks.generated(map);
    });
    s.preview.on('layout', function (factor) {
        $('.toolbar [data-command="view.fit"]').toggleClass('active', s.preview.zoomMode === 'fit');
        $('.toolbar [data-command="view.actual"]').toggleClass('active', s.preview.zoomMode === 1);
        $('.toolbar [data-command="view.double"]').toggleClass('active', s.preview.zoomMode === 2);
        parts.zoom.textContent = Math.round(factor * 100) + ' %';
        parts.viewport.setAttribute('data-zoom', Math.round(factor * 100));
    });
    s.compare.onChange(function () {
        $('.toolbar [data-command="view.flip"]').toggleClass('active', s.compare.showingA)
            .prop('disabled', !s.compare.hasSnapshot());
        $('.toolbar [data-command="view.split"]').toggleClass('active', s.compare.split && !s.compare.showingA)
            .prop('disabled', !s.compare.hasSnapshot());
        $(s.placement.overlay).toggleClass('hidden-for-a', s.compare.showingA);
    });
    $('.toolbar [data-command="view.flip"], .toolbar [data-command="view.split"]').prop('disabled', !s.compare.hasSnapshot());
    var showUndo = function () {
        $('.toolbar [data-command="edit.undo"]').prop('disabled', !s.history.canUndo());
        $('.toolbar [data-command="edit.redo"]').prop('disabled', !s.history.canRedo());
    };
    s.history.onChange(showUndo);
    showUndo();
    s.player.onChange(function (playing) {
        var button = $('.play-control [data-command="view.play"]').toggleClass('active', playing);
        button.find('.icon-part').text(playing ? '❚❚' : '▶');
        button.find('.label-part').text(playing ? 'Pause' : 'Play');
        button.attr('title', Studio.playTitle(playing));
        $(parts.viewport).toggleClass('playing', playing);
    });
    var showLoop = function () {
        var loop = s.exports.loopOptions();
        parts.loopReadout.textContent = loop.frames + ' frames · ' + loop.fps + ' fps';
    };
    s.exports.onChange(showLoop);
    showLoop();
    var showTitle = function (name, modified) {
        app.win.setTitle(name ? 'Lumatrace — ' + name + (modified ? ' (unsaved changes)' : '') : 'Lumatrace');
    };
    s.presets.onChange(showTitle);
    // The preset of the last session, with its unsaved-changes mark, was set before this.
    showTitle(s.presets.currentName, s.presets.modified);
    // Over a number field the wheel scrolls the panel, as over the rest of it: a focused
    // field would otherwise take the wheel as steps and change its value unnoticed.
    $(document).on('mousewheel', 'input[type=number]', function (e) {
        e.preventDefault();
        var scroller = $(this).closest('.panel-scroll').get(0);
        var wheel = e.originalEvent;
        if (scroller) scroller.scrollTop -= wheel.wheelDeltaY !== undefined ? wheel.wheelDeltaY : wheel.wheelDelta;
    });
    $(document).on('keydown', function (e) {
        var typing = /^(INPUT|SELECT|TEXTAREA)$/.test(e.target.tagName);
        if (!typing && (e.which === 46 || e.which === 8)) {
            e.preventDefault();
            s.placement.removeSelected();
        }
        // A plain key, as space is for panning: the menu cannot bind it without taking the
        // letter from every text field.
        if (!typing && e.which === 80 && !e.ctrlKey && !e.altKey && !e.metaKey && !e.shiftKey) {
            e.preventDefault();
            s.player.toggle();
        }
    });
};

Studio.commands = {
    'file.new': function (s) {
        var map = Studio.util.clone(Studio.schema.defaults);
        map.seed = Studio.util.randomSeed();
        map.mask_font = Studio.masks.defaultFont();
        s.presets.setCurrent('');
        s.model.replace(map);
        s.history.commit();
        s.placement.select(null);
        Studio.status.show('New artwork with seed ' + map.seed + '.');
    },
    'file.open': function (s) { s.presets.reveal(); },
    'file.save': function (s) { s.presets.save(); },
    'file.saveAs': function (s) { s.presets.saveAsPrompted(); },
    'file.import': function (s) { s.presets.importFile(); },
    'file.export': function (s) { s.presets.exportFile(); },
    'file.exportPng': function (s) { s.exports.exportPng(); },
    'file.exportSvg': function (s) { s.exports.exportSvg(); },
    'file.exportMaskSvg': function (s) { s.exports.exportMaskSvg(); },
    'file.exportRgb': function (s) { s.exports.exportRgb(); },
    'file.exportLoop': function (s) { s.exports.exportLoop(); },
    'file.quit': function (s) {
        Studio.saveState(s);
        app.exit(0);
    },
    'edit.undo': function (s) { Studio.stepHistory(s, 'undo'); },
    'edit.redo': function (s) { Studio.stepHistory(s, 'redo'); },
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
    'view.play': function (s) { s.player.toggle(); },
    'view.fit': function (s) { s.preview.setZoom('fit'); },
    'view.actual': function (s) { s.preview.setZoom(1); },
    'view.double': function (s) { s.preview.setZoom(2); },
    'view.zoomIn': function (s) { s.preview.zoomBy(1); },
    'view.zoomOut': function (s) { s.preview.zoomBy(-1); },
    'view.keepA': function (s) { s.compare.keep(); },
    'view.flip': function (s) { s.compare.flip(); },
    'view.split': function (s) { s.compare.toggleSplit(); },
    'view.useA': function (s) { s.compare.useA(s.history); }
};

// Undo or redo; an error said about the state left behind no longer stands in red.
Studio.stepHistory = function (s, direction) {
    var can = direction === 'undo' ? s.history.canUndo() : s.history.canRedo();
    s.history[direction]();
    if (can && Studio.status.kind === 'error') Studio.status.show(direction === 'undo' ? 'Undone.' : 'Redone.');
};

Studio.run = function (name) {
    if (Studio.studio && Studio.commands[name]) Studio.commands[name](Studio.studio);
};
