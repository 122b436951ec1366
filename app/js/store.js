// The studio's database in the app-data folder: named presets and the last state. The host
// runs SQL without bound values, so every text goes in as an escaped literal.
Studio.Store = function (file) {
    this.db = app.db.connectSQLITE(file, 'lumatrace_studio');
    this.db.query('CREATE TABLE IF NOT EXISTS presets (id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL,'
                  + ' params TEXT NOT NULL, updated INTEGER NOT NULL)');
    this.db.query('CREATE TABLE IF NOT EXISTS state (key TEXT PRIMARY KEY, value TEXT NOT NULL)');
    this.db.query('CREATE TABLE IF NOT EXISTS thumbnails (name TEXT PRIMARY KEY, image TEXT NOT NULL)');
};

// The database file, in the per-user data folder of the application.
Studio.Store.defaultFile = function () {
    var dir = app.fs.getDirAppData();
    app.fs.mkdir(dir, true);
    return dir + '/studio.sqlite';
};

Studio.Store.prototype = {
    // [{id, name, updated, thumbnail}] by name; thumbnail is a data URL or ''.
    presets: function () {
        return this.db.query('SELECT p.id, p.name, p.updated, COALESCE(t.image, \'\') AS thumbnail FROM presets p'
                             + ' LEFT JOIN thumbnails t ON t.name = p.name ORDER BY p.name COLLATE NOCASE');
    },

    // A picture of the preset's artwork for the list ('' removes it).
    setThumbnail: function (name, image) {
        if (image)
            this.db.query('INSERT OR REPLACE INTO thumbnails (name, image) VALUES (' + Studio.util.sqlText(name) + ', '
                          + Studio.util.sqlText(image) + ')');
        else this.db.query('DELETE FROM thumbnails WHERE name = ' + Studio.util.sqlText(name));
    },

    thumbnail: function (name) {
        var rows = this.db.query('SELECT image FROM thumbnails WHERE name = ' + Studio.util.sqlText(name));
        return rows.length ? rows[0].image : '';
    },

    // The parameter map of a preset, or null.
    preset: function (id) {
        var rows = this.db.query('SELECT params FROM presets WHERE id = ' + Number(id));
        return rows.length ? JSON.parse(rows[0].params) : null;
    },

    presetId: function (name) {
        var rows = this.db.query('SELECT id FROM presets WHERE name = ' + Studio.util.sqlText(name));
        return rows.length ? rows[0].id : null;
    },

    // Saves under `name`, replacing a preset of that name; returns the preset's id.
    savePreset: function (name, map) {
        var params = Studio.util.sqlText(JSON.stringify(map));
        var now = app.time();
        var id = this.presetId(name);
        if (id !== null) {
            this.db.query('UPDATE presets SET params = ' + params + ', updated = ' + now + ' WHERE id = ' + Number(id));
            return id;
        }
        this.db.insert('INSERT INTO presets (name, params, updated) VALUES (' + Studio.util.sqlText(name)
                       + ', ' + params + ', ' + now + ')');
        return this.presetId(name);
    },

    // False when another preset already has the name.
    renamePreset: function (id, name) {
        var other = this.presetId(name);
        if (other !== null && other !== Number(id)) return false;
        var old = this.db.query('SELECT name FROM presets WHERE id = ' + Number(id));
        if (old.length) this.db.query('UPDATE thumbnails SET name = ' + Studio.util.sqlText(name) + ' WHERE name = '
                                      + Studio.util.sqlText(old[0].name));
        this.db.query('UPDATE presets SET name = ' + Studio.util.sqlText(name) + ' WHERE id = ' + Number(id));
        return true;
    },

    deletePreset: function (id) {
        var old = this.db.query('SELECT name FROM presets WHERE id = ' + Number(id));
        if (old.length) this.setThumbnail(old[0].name, '');
        this.db.query('DELETE FROM presets WHERE id = ' + Number(id));
    },

    // A saved value (parsed JSON), or `fallback`.
    value: function (key, fallback) {
        var rows = this.db.query('SELECT value FROM state WHERE key = ' + Studio.util.sqlText(key));
        if (!rows.length) return fallback;
        try {
            return JSON.parse(rows[0].value);
        } catch (e) {
            return fallback;
        }
    },

    remove: function (key) {
        this.db.query('DELETE FROM state WHERE key = ' + Studio.util.sqlText(key));
    },

    setValue: function (key, value) {
        this.db.query('INSERT OR REPLACE INTO state (key, value) VALUES (' + Studio.util.sqlText(key) + ', '
                      + Studio.util.sqlText(JSON.stringify(value)) + ')');
    }
};
