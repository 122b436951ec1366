// Seed tools under the seed field: a randomize button and the recent seeds, newest first.
Studio.Seeds = function (model, history, limit) {
    var self = this;
    this.model = model;
    this.history = history;
    this.limit = limit || 10;
    this.recent = [model.get('seed')];
    this.listeners = [];
    var el = Studio.util.el;
    this.list = el('div', {'class': 'seed-history'});
    var randomize = el('button', {type: 'button', 'data-action': 'randomize-seed', title: 'New random seed (Ctrl+R)'},
                       ['⚄ Randomize']);
    $(randomize).on('click', function () { self.randomize(); });
    this.element = el('div', {'class': 'seed-tools'}, [randomize, el('span', {'class': 'hint'}, ['Recent']), this.list]);
    // A seed is recent once it is committed (typing 123456 passes through 1, 12, 123…).
    history.onChange(function () {
        if (model.get('seed') !== self.recent[0]) self.remember(model.get('seed'));
        else self.render();
    });
    this.render();
};

Studio.Seeds.prototype = {
    randomize: function () {
        var seed = Studio.util.randomSeed();
        while (seed === this.model.get('seed')) seed = Studio.util.randomSeed();
        this.model.set('seed', seed);
        this.history.commit();
    },

    remember: function (seed) {
        this.recent = [seed].concat(this.recent.filter(function (s) { return s !== seed; })).slice(0, this.limit);
        this.render();
        this.listeners.forEach(function (fn) { fn(); });
    },

    // Restores a remembered list (from the saved state); the current seed stays first.
    restore: function (seeds) {
        var current = this.model.get('seed');
        this.recent = [current].concat((seeds || []).filter(function (s) { return s !== current; })).slice(0, this.limit);
        this.render();
    },

    onChange: function (fn) {
        this.listeners.push(fn);
    },

    render: function () {
        var self = this;
        $(this.list).empty();
        this.recent.forEach(function (seed) {
            var button = Studio.util.el('button', {type: 'button', 'class': 'seed-chip', 'data-seed': seed}, [String(seed)]);
            if (seed === self.model.get('seed')) button.className += ' current';
            $(button).on('click', function () {
                self.model.set('seed', seed);
                self.history.commit();
            });
            self.list.appendChild(button);
        });
    }
};
