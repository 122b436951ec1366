// Parameter locks: a lock on a field or on a whole group keeps its values through Randomize,
// jittered variations and new palettes. Locks are kept in the studio's database with its state.
Studio.Locks = function (container, model, history, store) {
    var self = this;
    this.container = container;
    this.model = model;
    this.history = history;
    this.store = store;
    this.locked = {};
    (store.value('locks', []) || []).forEach(function (name) { self.locked[name] = true; });
    // Colours once had a lock of their own, which only palettes honoured; it becomes this one.
    var colourLocks = store.value('colour_locks', null);
    if (colourLocks) {
        Object.keys(colourLocks).forEach(function (key) {
            if (colourLocks[key] && Studio.Locks.groupOf(key)) self.locked[key] = true;
        });
        store.setValue('locks', Object.keys(this.locked));
        store.remove('colour_locks');
    }
    this.decorate();
    this.render();
};

// Parameters that describe the canvas or the mask rather than the look: never randomized,
// whatever their lock says, so Randomize cannot throw away a typed text or a chosen image.
Studio.Locks.fixed = ['width', 'height', 'mask_type', 'mask_text', 'mask_font', 'mask_file_path',
                      'mask_letter_spacing', 'mask_font_weight', 'mask_italic', 'invert_mask',
                      'masking_scale_x', 'masking_scale_y'];

// How far a jittered variation moves each unlocked value, as a share of its range.
Studio.Locks.amounts = {small: 0.05, medium: 0.15, large: 0.35};

Studio.Locks.groupOf = function (key) {
    var found = Studio.schema.groups.filter(function (g) {
        return g.params.some(function (p) { return p.key === key; });
    })[0];
    return found ? found.id : '';
};

Studio.Locks.prototype = {
    decorate: function () {
        var self = this;
        var button = function (name, title) {
            var b = Studio.util.el('button', {type: 'button', 'class': 'lock', 'data-lock': name, title: title});
            $(b).on('click', function (e) {
                e.stopPropagation();
                self.toggle(name);
            });
            return b;
        };
        Studio.schema.groups.forEach(function (group) {
            $(self.container).find('[data-group="' + group.id + '"] > .group-title')
                    .append(button('group:' + group.id, 'Lock the whole group'));
            group.params.forEach(function (param) {
                $(self.container).find('[data-field="' + param.key + '"]').append(button(param.key, ''));
            });
        });
    },

    isLocked: function (key) {
        return !!(this.locked[key] || this.locked['group:' + Studio.Locks.groupOf(key)]);
    },

    toggle: function (name) {
        this.set(name, !this.locked[name]);
    },

    set: function (name, on) {
        if (on) this.locked[name] = true;
        else delete this.locked[name];
        this.store.setValue('locks', Object.keys(this.locked));
        this.render();
    },

    render: function () {
        var self = this;
        $(this.container).find('[data-lock]').each(function () {
            var name = this.getAttribute('data-lock');
            var own = !!self.locked[name];
            var inherited = !own && name.indexOf('group:') !== 0 && self.isLocked(name);
            $(this).toggleClass('on', own).toggleClass('inherited', inherited).text(own || inherited ? '◉' : '○')
                    .attr('title', own ? 'Locked: Randomize, variations and palettes keep it (click to unlock)'
                                       : inherited ? 'Locked with its group'
                                                   : 'Lock: Randomize, variations and palettes keep it');
        });
    },

    // The keys Randomize and variations may change.
    free: function () {
        var self = this;
        return Studio.schema.allParams().filter(function (p) {
            return Studio.Locks.fixed.indexOf(p.key) < 0 && !self.isLocked(p.key) && p.kind !== 'text';
        });
    },

    // A copy of `map` with every free parameter drawn anew (`amount` null: anywhere in its
    // range) or moved by up to `amount` of its range. `random` gives numbers in [0, 1).
    vary: function (map, amount, random) {
        var result = Studio.util.clone(map);
        this.free().forEach(function (p) {
            result[p.key] = Studio.Locks.varied(p, map[p.key], amount, random);
        });
        return Studio.schema.normalise(result);
    },

    randomize: function () {
        this.model.replace(this.vary(this.model.map, null, Math.random));
        this.history.commit();
    }
};

Studio.Locks.varied = function (p, value, amount, random) {
    var spread = function (min, max, v) {
        if (amount === null) return min + random() * (max - min);
        return v + (random() * 2 - 1) * amount * (max - min);
    };
    switch (p.kind) {
    case 'real': return Studio.util.roundToStep(spread(p.min, p.max, value), p.step);
    case 'int':
        if (p.key === 'seed') return amount === null ? Studio.util.randomSeed() : value;
        return Math.round(spread(p.min, p.max, value));
    case 'color': return value.map(function (c) { return Math.round(spread(0, 255, c)); });
    case 'bool': return amount === null || random() < amount ? random() < 0.5 : value;
    case 'choice': return value;
    }
    return value;
};
