// Named presets in the studio's database, and presets as JSON files (the same JSON the
// lumatrace tool reads).
Studio.Presets = function (container, store, model, history) {
    var self = this;
    var el = Studio.util.el;
    this.store = store;
    this.model = model;
    this.history = history;
    this.currentName = '';
    this.savedState = '';
    this.modified = false;
    this.listeners = [];
    this.nameInput = el('input', {type: 'text', 'data-key': 'preset-name', placeholder: 'Preset name'});
    var save = el('button', {type: 'button', 'data-action': 'save-preset', 'class': 'primary'}, ['Save']);
    this.list = el('ul', {'class': 'preset-list'});
    var importButton = el('button', {type: 'button', 'data-action': 'import-preset'}, ['Import JSON…']);
    var exportButton = el('button', {type: 'button', 'data-action': 'export-preset'}, ['Export JSON…']);
    container.appendChild(el('div', {'class': 'preset-save'}, [this.nameInput, save]));
    container.appendChild(this.list);
    container.appendChild(el('div', {'class': 'button-row'}, [importButton, exportButton]));
    $(save).on('click', function () { self.saveAs(self.nameInput.value); });
    $(this.nameInput).on('keydown', function (e) {
        if (e.which === 13) self.saveAs(self.nameInput.value);
    });
    $(importButton).on('click', function () { self.importFile(); });
    $(exportButton).on('click', function () { self.exportFile(); });
    history.track(function () { return self.currentName; }, function (name) { self.setCurrent(name || ''); });
    model.onChange(function () { self.showModified(); });
    this.render();
};

Studio.Presets.prototype = {
    // fn(name, modified) when the current preset's name or its unsaved-changes mark changes.
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    notify: function () {
        var self = this;
        this.listeners.forEach(function (fn) { fn(self.currentName, self.modified); });
    },

    // The stored map of a preset, its mask image put back where its file is missing; or null.
    stored: function (name) {
        var id = name ? this.store.presetId(name) : null;
        var map = id !== null ? this.store.preset(id) : null;
        return map ? Studio.portable.materialise(map, false) : null;
    },

    // What the database keeps of a map: the full parameter map and the embedded mask.
    storable: function (map) {
        var result = Studio.schema.normalise(map);
        if (map.mask_image) result.mask_image = map.mask_image;
        return result;
    },

    // Once the artwork of a preset without a picture is on screen, it becomes its picture.
    shown: function () {
        if (!this.currentName || this.modified || this.store.thumbnail(this.currentName)) return;
        var image = Studio.portable.thumbnail(this.artwork);
        if (!image) return;
        this.store.setThumbnail(this.currentName, image);
        this.render();
    },

    setCurrent: function (name) {
        var map = this.stored(name);
        this.currentName = name;
        this.savedState = map ? JSON.stringify(Studio.schema.normalise(map)) : '';
        this.nameInput.value = name;
        this.modified = this.isModified();
        this.render();
        this.notify();
    },

    // True when the artwork differs from the stored preset of the current name.
    isModified: function () {
        return !!this.currentName && JSON.stringify(this.model.map) !== this.savedState;
    },

    showModified: function () {
        var modified = this.isModified();
        if (modified === this.modified) return;
        this.modified = modified;
        $(this.list).find('li.current').toggleClass('modified', modified);
        this.notify();
    },

    render: function () {
        var self = this;
        var el = Studio.util.el;
        $(this.list).empty();
        var presets = this.store.presets();
        if (!presets.length)
            this.list.appendChild(el('li', {'class': 'empty'}, ['Your saved presets are listed here. Or start from one of these:']));
        presets.forEach(function (preset) {
            var name = el('span', {'class': 'preset-name', title: 'Load'}, [preset.name]);
            var rename = el('button', {type: 'button', 'class': 'icon', 'data-action': 'rename', title: 'Rename'}, ['✎']);
            var remove = el('button', {type: 'button', 'class': 'icon', 'data-action': 'delete', title: 'Delete'}, ['✕']);
            var thumbnail = el('img', {'class': 'preset-thumbnail', alt: '', title: 'Load'});
            if (preset.thumbnail) thumbnail.src = preset.thumbnail;
            else thumbnail.className += ' none';
            var item = el('li', {'data-preset': preset.name}, [thumbnail, name, rename, remove]);
            $(thumbnail).on('click', function () { self.load(preset.id); });
            if (preset.name === self.currentName) item.className = 'current' + (self.modified ? ' modified' : '');
            $(name).on('click', function () { self.load(preset.id); });
            $(rename).on('click', function () { self.rename(preset.id, preset.name); });
            $(remove).on('click', function () { self.remove(preset.id, preset.name); });
            self.list.appendChild(item);
        });
    },

    // Saves the artwork under `name`. Replacing another preset asks first, and the replaced
    // version can be brought back.
    saveAs: function (name) {
        var self = this;
        name = $.trim(name || '');
        if (!name) {
            Studio.status.error('Give the preset a name first.');
            this.nameInput.focus();
            return false;
        }
        var id = this.store.presetId(name);
        var previous = id !== null ? this.store.preset(id) : null;
        if (previous && name !== this.currentName
            && !app.confirm('A preset named “' + name + '” exists already. Replace it with the current artwork?',
                            'Replace preset', 'Replace', 'Cancel'))
            return false;
        var previousThumbnail = this.store.thumbnail(name);
        this.store.savePreset(name, Studio.portable.withMask(this.model.snapshot(), previous));
        this.store.setThumbnail(name, Studio.portable.thumbnail(this.artwork));
        this.setCurrent(name);
        if (previous && JSON.stringify(Studio.schema.normalise(previous)) !== this.savedState)
            Studio.status.offer('Saved preset “' + name + '”, replacing its earlier version.',
                                [['Undo', function () { self.restoreVersion(name, previous, previousThumbnail); }]]);
        else Studio.status.show('Saved preset “' + name + '”.');
        return true;
    },

    // Puts a replaced or deleted preset back as it was.
    restoreVersion: function (name, map, thumbnail) {
        this.store.savePreset(name, map);
        this.store.setThumbnail(name, thumbnail || '');
        this.setCurrent(this.currentName);
        Studio.status.show('Preset “' + name + '” is back as it was.');
    },

    // Saves under the current name, or asks for one.
    save: function () {
        if (this.currentName) this.saveAs(this.currentName);
        else this.saveAsPrompted();
    },

    saveAsPrompted: function () {
        var name = app.prompt('Name of the preset:', 'Save preset', this.currentName || 'Artwork ' + this.model.get('seed'));
        if (name) this.saveAs(name);
    },

    load: function (id) {
        var name = (this.store.presets().filter(function (p) { return p.id === id; })[0] || {}).name;
        var map = this.stored(name);
        if (!map) return;
        this.setCurrent(name);
        this.model.replace(map);
        this.history.commit();
        this.showModified();
        Studio.status.show('Loaded preset “' + name + '”.');
    },

    rename: function (id, oldName) {
        var name = $.trim(app.prompt('New name of “' + oldName + '”:', 'Rename preset', oldName) || '');
        if (!name || name === oldName) return;
        if (!this.store.renamePreset(id, name)) {
            Studio.status.error('A preset named “' + name + '” exists already.');
            return;
        }
        if (this.currentName === oldName) this.setCurrent(name);
        else this.render();
        Studio.status.show('Renamed “' + oldName + '” to “' + name + '”.');
    },

    remove: function (id, name) {
        var self = this;
        if (!app.confirm('Delete the preset “' + name + '”?', 'Delete preset', 'Delete', 'Keep')) return;
        var map = this.store.preset(id);
        var thumbnail = this.store.thumbnail(name);
        this.store.deletePreset(id);
        this.setCurrent(this.currentName === name ? '' : this.currentName);
        Studio.status.offer('Deleted preset “' + name + '”.',
                            [['Undo', function () { self.restoreVersion(name, map, thumbnail); }]]);
    },

    // Focuses the preset list (File ▸ Open preset).
    reveal: function () {
        $(this.list).closest('section').removeClass('collapsed');
        this.list.scrollIntoView();
        var first = $(this.list).find('.preset-name').get(0);
        Studio.status.show(first ? 'Choose a preset from the list.' : 'There are no presets yet: save one first.');
    },

    // What is wrong with an imported map, or '' when it is one.
    importProblem: function (map) {
        if (!map || typeof map !== 'object' || Array.isArray(map)) return 'it is not a parameter map in JSON';
        var params = Studio.schema.allParams();
        var known = params.filter(function (p) { return map[p.key] !== undefined; });
        if (!known.length) return 'it holds none of the artwork’s parameters';
        var bad = known.filter(function (p) {
            return (p.kind === 'real' || p.kind === 'int') && !isFinite(Number(map[p.key]));
        })[0];
        return bad ? '“' + bad.key + '” is not a number' : '';
    },

    // A free preset name: `name`, or `name (2)`, `name (3)`… when taken.
    freeName: function (name) {
        var candidate = name;
        for (var n = 2; this.store.presetId(candidate) !== null; ++n) candidate = name + ' (' + n + ')';
        return candidate;
    },

    importFile: function () {
        var path = app.dialogOpenFile('Import preset', 'Lumatrace presets (*.json);;All files (*)',
                                      Studio.util.userFolder('documents'));
        if (!path) return;
        var map;
        try {
            map = JSON.parse(app.fs.fileGetContents(path));
        } catch (e) {
            map = null;
        }
        var problem = this.importProblem(map);
        if (problem) {
            Studio.status.error('Could not import ' + Studio.util.fileName(path) + ': ' + problem + '.');
            return;
        }
        // An imported preset joins the list, so its name in the title is one that exists.
        var name = this.freeName(Studio.util.fileName(Studio.util.basePath(path)));
        // The embedded mask is what the preset was made with: it is used even where a file
        // of the same path exists.
        map = Studio.portable.materialise(map, true);
        this.store.savePreset(name, this.storable(map));
        this.setCurrent(name);
        this.model.replace(map);
        this.history.commit();
        this.showModified();
        Studio.status.show('Imported ' + path + ' as the preset “' + name + '”.');
    },
    exportFile: function () {
        var suggested = Studio.util.userFolder('documents') + '/' + (this.currentName || 'lumatrace-' + this.model.get('seed')) + '.json';
        var path = app.dialogSaveFile('Export preset', 'Lumatrace presets (*.json)', suggested);
        if (!path) return;
        path = Studio.util.withSuffix(path, '.json');
        var id = this.currentName ? this.store.presetId(this.currentName) : null;
        var map = Studio.portable.withMask(this.model.snapshot(), id !== null ? this.store.preset(id) : null);
        var text = Studio.util.asciiJson(map) + '\n';
        app.fs.filePutContents(path, text);
        // The write slot reports nothing; reading the file back tells whether it worked.
        if (app.fs.fileGetContents(path) === text)
            Studio.status.show('Exported preset to ' + path + (map.mask_image ? ', with its mask image.' : '.'));
        else Studio.status.error('Could not write ' + path + '.');
    }
};
