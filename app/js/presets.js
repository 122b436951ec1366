// Named presets in the studio's database, and presets as JSON files (the same JSON the
// lumatrace tool reads).
Studio.Presets = function (container, store, model, history) {
    var self = this;
    var el = Studio.util.el;
    this.store = store;
    this.model = model;
    this.history = history;
    this.currentName = '';
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
    this.render();
};

Studio.Presets.prototype = {
    // fn(name) when the current preset's name changes.
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    setCurrent: function (name) {
        this.currentName = name;
        this.nameInput.value = name;
        this.render();
        this.listeners.forEach(function (fn) { fn(name); });
    },

    render: function () {
        var self = this;
        var el = Studio.util.el;
        $(this.list).empty();
        var presets = this.store.presets();
        if (!presets.length) this.list.appendChild(el('li', {'class': 'empty'}, ['No presets yet']));
        presets.forEach(function (preset) {
            var name = el('span', {'class': 'preset-name', title: 'Load'}, [preset.name]);
            var rename = el('button', {type: 'button', 'class': 'icon', 'data-action': 'rename', title: 'Rename'}, ['✎']);
            var remove = el('button', {type: 'button', 'class': 'icon', 'data-action': 'delete', title: 'Delete'}, ['✕']);
            var item = el('li', {'data-preset': preset.name}, [name, rename, remove]);
            if (preset.name === self.currentName) item.className = 'current';
            $(name).on('click', function () { self.load(preset.id); });
            $(rename).on('click', function () { self.rename(preset.id, preset.name); });
            $(remove).on('click', function () { self.remove(preset.id, preset.name); });
            self.list.appendChild(item);
        });
    },

    saveAs: function (name) {
        name = $.trim(name || '');
        if (!name) {
            Studio.status.error('Give the preset a name first.');
            this.nameInput.focus();
            return;
        }
        this.store.savePreset(name, this.model.snapshot());
        this.setCurrent(name);
        Studio.status.show('Saved preset “' + name + '”.');
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
        var map = this.store.preset(id);
        if (!map) return;
        var name = this.store.presets().filter(function (p) { return p.id === id; })[0].name;
        this.model.replace(map);
        this.history.commit();
        this.setCurrent(name);
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
        if (!app.confirm('Delete the preset “' + name + '”?', 'Delete preset', 'Delete', 'Keep')) return;
        this.store.deletePreset(id);
        if (this.currentName === name) this.setCurrent('');
        else this.render();
        Studio.status.show('Deleted preset “' + name + '”.');
    },

    // Focuses the preset list (File ▸ Open preset).
    reveal: function () {
        $(this.list).closest('section').removeClass('collapsed');
        this.list.scrollIntoView();
        var first = $(this.list).find('.preset-name').get(0);
        Studio.status.show(first ? 'Choose a preset from the list.' : 'There are no presets yet: save one first.');
    },

    importFile: function () {
        var path = app.dialogOpenFile('Import preset', 'Lumatrace presets (*.json);;All files (*)', app.fs.getDirDocuments());
        if (!path) return;
        var map;
        try {
            map = JSON.parse(app.fs.fileGetContents(path));
        } catch (e) {
            map = null;
        }
        if (!map || typeof map !== 'object' || Array.isArray(map)) {
            Studio.status.error('Could not import ' + Studio.util.fileName(path) + ': it is not a parameter map in JSON.');
            return;
        }
        this.model.replace(map);
        this.history.commit();
        this.setCurrent(Studio.util.fileName(Studio.util.basePath(path)));
        Studio.status.show('Imported ' + path + '.');
    },

    exportFile: function () {
        var suggested = app.fs.getDirDocuments() + '/' + (this.currentName || 'lumatrace-' + this.model.get('seed')) + '.json';
        var path = app.dialogSaveFile('Export preset', 'Lumatrace presets (*.json)', suggested);
        if (!path) return;
        path = Studio.util.withSuffix(path, '.json');
        var text = Studio.util.asciiJson(this.model.snapshot()) + '\n';
        app.fs.filePutContents(path, text);
        // The write slot reports nothing; reading the file back tells whether it worked.
        if (app.fs.fileGetContents(path) === text) Studio.status.show('Exported preset to ' + path + '.');
        else Studio.status.error('Could not write ' + path + '.');
    }
};
