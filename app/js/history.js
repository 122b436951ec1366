// Undo and redo of parameter changes. A slider drag is one step: controls change the map
// live and call commit() when the gesture ends; commit() records the map only when it
// differs from the last recorded state. Besides the map a state holds the tracked values
// (the current preset's name), so undoing a load or an import also undoes the name.
Studio.History = function (model, limit) {
    this.model = model;
    this.limit = limit || 200;
    this.tracked = [];
    this.states = [this.capture()];
    this.index = 0;
    this.listeners = [];
};

Studio.History.prototype = {
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    // Keeps `get()` with every state and hands it back to `set(value)` on undo and redo.
    track: function (get, set) {
        this.tracked.push({get: get, set: set});
        this.states[this.index] = this.capture();
    },

    // Forgets every step: the current state becomes the only one.
    reset: function () {
        this.states = [this.capture()];
        this.index = 0;
        this.notify();
    },

    capture: function () {
        return JSON.stringify({map: this.model.map, tracked: this.tracked.map(function (t) { return t.get(); })});
    },

    commit: function () {
        var state = this.capture();
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
        var state = JSON.parse(this.states[index]);
        this.index = index;
        this.tracked.forEach(function (t, i) { t.set(state.tracked[i]); });
        this.model.replace(state.map, this);
        this.notify();
    },

    notify: function () {
        var self = this;
        this.listeners.forEach(function (fn) { fn(self); });
    }
};
