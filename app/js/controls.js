// The left-hand parameter panel: one collapsible section per schema group.
Studio.Controls = function (container, model, history) {
    var self = this;
    this.fields = {};
    this.container = container;
    Studio.schema.groups.forEach(function (group) {
        container.appendChild(self.buildGroup(group, model, history));
    });
    model.onChange(function (keys, source) { self.refresh(keys, source, model); });
    this.refresh(Object.keys(model.map), null, model);
};

Studio.Controls.prototype = {
    buildGroup: function (group, model, history) {
        var self = this;
        var body = Studio.util.el('div', {'class': 'group-body'});
        group.params.forEach(function (param) {
            var field = Studio.Field.build(param, model.get(param.key), function (value) {
                model.set(param.key, value, field);
            }, function () { history.commit(); });
            if (param.maskType) field.element.setAttribute('data-mask-type', param.maskType);
            self.fields[param.key] = field;
            body.appendChild(field.element);
        });
        return Studio.util.section(group.title, body, group.id);
    },

    // Shows new values in every field except the one being edited.
    refresh: function (keys, source, model) {
        var self = this;
        keys.forEach(function (key) {
            var field = self.fields[key];
            if (field && field !== source) field.setValue(model.get(key));
        });
        if (keys.indexOf('mask_type') >= 0) {
            var type = model.get('mask_type') === 'text' ? 'text' : 'image';
            $(this.container).find('[data-mask-type]').each(function () {
                $(this).toggle(this.getAttribute('data-mask-type') === type);
            });
        }
    },

    // Appends an extra element (e.g. the seed tools) to a group's body.
    appendToGroup: function (groupId, element) {
        $(this.container).find('[data-group="' + groupId + '"] .group-body').append(element);
    }
};
