// The current parameter map and who wants to hear about its changes. Every edit in the
// studio goes through here, so the preview, the controls and the overlays stay in step.
Studio.Model = function (map) {
    this.map = Studio.schema.normalise(map);
    this.listeners = [];
};

Studio.Model.prototype = {
    // fn(changedKeys, source) after every change; `source` is whatever the caller passed
    // (a control skips refreshing itself).
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    get: function (key) {
        return this.map[key];
    },

    // A copy of the whole map, as the generator and the exporters take it.
    snapshot: function () {
        return Studio.util.clone(this.map);
    },

    set: function (key, value, source) {
        var param = Studio.schema.paramOf(key);
        var coerced = param ? Studio.schema.coerce(param, value) : value;
        if (JSON.stringify(this.map[key]) === JSON.stringify(coerced)) return;
        this.map[key] = coerced;
        this.notify([key], source);
    },

    // Several keys at once, one notification.
    update: function (values, source) {
        var changed = [];
        var key;
        for (key in values) {
            if (!Object.prototype.hasOwnProperty.call(values, key)) continue;
            var param = Studio.schema.paramOf(key);
            this.map[key] = param ? Studio.schema.coerce(param, values[key]) : values[key];
            changed.push(key);
        }
        this.notify(changed, source);
    },

    replace: function (map, source) {
        this.map = Studio.schema.normalise(map);
        this.notify(Object.keys(this.map), source);
    },

    // The entries of one placed list (chips, modificators, adjustments).
    items: function (listName) {
        return this.map[listName];
    },

    addItem: function (listName, item) {
        this.map[listName].push(Studio.schema.normaliseItem(listName, item));
        this.notify([listName]);
        return this.map[listName].length - 1;
    },

    updateItem: function (listName, index, values, source) {
        var item = this.map[listName][index];
        if (!item) return;
        var merged = Studio.util.clone(item);
        var key;
        for (key in values) {
            if (Object.prototype.hasOwnProperty.call(values, key)) merged[key] = values[key];
        }
        this.map[listName][index] = Studio.schema.normaliseItem(listName, merged);
        this.notify([listName], source);
    },

    removeItem: function (listName, index) {
        this.map[listName].splice(index, 1);
        this.notify([listName]);
    },

    notify: function (keys, source) {
        var self = this;
        this.listeners.forEach(function (fn) { fn(keys, source, self); });
    }
};
