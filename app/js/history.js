// Undo and redo of parameter changes. A slider drag is one step: controls change the map
// live and call commit() when the gesture ends; commit() records the map only when it
// differs from the last recorded state.
Studio.History = function (model, limit) {
    this.model = model;
    this.limit = limit || 200;
    this.states = [JSON.stringify(model.map)];
    this.index = 0;
    this.listeners = [];
};

Studio.History.prototype = {
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    commit: function () {
        var state = JSON.stringify(this.model.map);
        if (state === this.states[this.index]) return;
        this.states = this.states.slice(0, this.index + 1);
        this.states.push(state);
        if (this.states.length > this.limit) this.states.shift();
        this.index = this.states.length - 1;
        this.notify();
    },

    canUndo: function () {
        return this.index > 0;
    },

    canRedo: function () {
        return this.index < this.states.length - 1;
    },

    undo: function () {
        this.commit();
        if (this.canUndo()) this.restore(this.index - 1);
    },

    redo: function () {
        if (this.canRedo()) this.restore(this.index + 1);
    },

    restore: function (index) {
        this.index = index;
        this.model.replace(JSON.parse(this.states[index]), this);
        this.notify();
    },

    notify: function () {
        var self = this;
        this.listeners.forEach(function (fn) { fn(self); });
    }
};
