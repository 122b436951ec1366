// The side list: one card per placed item with its values, a delete button and selection.
Studio.PlacedList = function (container, model, history, placement) {
    var self = this;
    this.model = model;
    this.history = history;
    this.placement = placement;
    this.sections = {};
    Object.keys(Studio.schema.lists).forEach(function (listName) {
        var list = Studio.schema.lists[listName];
        var items = Studio.util.el('div', {'class': 'cards'});
        var count = Studio.util.el('span', {'class': 'count'});
        var section = Studio.util.el('section', {'class': 'placed', 'data-list': listName}, [
            Studio.util.el('h4', {}, [list.title + ' ', count]), items]);
        container.appendChild(section);
        self.sections[listName] = {items: items, count: count, cards: []};
    });
    model.onChange(function (keys, source) {
        Object.keys(self.sections).forEach(function (listName) {
            if (keys.indexOf(listName) >= 0) self.refresh(listName, source);
        });
    });
    placement.onChange(function () { self.showSelection(); });
    Object.keys(this.sections).forEach(function (listName) { self.refresh(listName, null); });
};

Studio.PlacedList.prototype = {
    // Rebuilds the cards when entries came or went, else shows the new values in place.
    refresh: function (listName, source) {
        var section = this.sections[listName];
        var items = this.model.items(listName);
        section.count.textContent = items.length ? String(items.length) : '';
        if (section.cards.length !== items.length) {
            this.rebuild(listName);
            return;
        }
        section.cards.forEach(function (card, i) {
            card.fields.forEach(function (entry) {
                if (entry.field !== source) entry.field.setValue(items[i][entry.key]);
            });
        });
    },

    rebuild: function (listName) {
        var self = this;
        var section = this.sections[listName];
        $(section.items).empty();
        section.cards = this.model.items(listName).map(function (item, index) {
            var card = self.buildCard(listName, item, index);
            section.items.appendChild(card.element);
            return card;
        });
        this.showSelection();
    },

    buildCard: function (listName, item, index) {
        var self = this;
        var el = Studio.util.el;
        var remove = el('button', {type: 'button', 'class': 'icon', 'data-action': 'delete', title: 'Delete'}, ['✕']);
        var title = el('div', {'class': 'card-title'}, [
            el('span', {}, [Studio.schema.lists[listName].singular + ' ' + (index + 1)]), remove]);
        var element = el('div', {'class': 'card', 'data-list': listName, 'data-index': index}, [title]);
        $(title).on('click', function () { self.placement.select(listName, index); });
        $(remove).on('click', function (e) {
            e.stopPropagation();
            self.placement.select(listName, index);
            self.placement.removeSelected();
        });
        var fields = Studio.schema.lists[listName].fields.map(function (param) {
            var field = Studio.Field.build(param, item[param.key], function (value) {
                var values = {};
                values[param.key] = value;
                self.model.updateItem(listName, index, values, field);
            }, function () { self.history.commit(); });
            element.appendChild(field.element);
            return {key: param.key, field: field};
        });
        return {element: element, fields: fields};
    },

    showSelection: function () {
        var placement = this.placement;
        var sections = this.sections;
        Object.keys(sections).forEach(function (listName) {
            sections[listName].cards.forEach(function (card, index) {
                var selected = placement.isSelected(listName, index);
                $(card.element).toggleClass('selected', selected);
                if (selected && card.element.scrollIntoViewIfNeeded) card.element.scrollIntoViewIfNeeded();
            });
        });
    }
};
