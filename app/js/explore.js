// Exploring and producing: the variation grid, print and batch exports and opening
// an artwork from its PNG. Connected to the studio once its panels exist.
Studio.explore = {
    attach: function (parts, s) {
        var el = Studio.util.el;
        s.variations = new Studio.Variations(parts.viewport, s.model, s.history, s.locks, s.store);
        s.print = new Studio.PrintExport(parts.exports, s.model, s.exports);
        s.batch = new Studio.Batch(parts.exports, s.model, s.print);
        s.print.restore(s.store.value('print_settings', null));
        s.batch.restore(s.store.value('batch_settings', null));
        s.openPng = new Studio.OpenPng(s.model, s.history);
        s.controls.appendToGroup('canvas', new Studio.AspectPresets(s.model, s.history).element);
        var tool = function (command, text, title) {
            var b = el('button', {type: 'button', 'class': 'tool', 'data-command': command, title: title}, [text]);
            $(b).on('click', function () { Studio.run(command); });
            return b;
        };
        $('.toolbar .spacer').before(el('div', {'class': 'tool-group'}, [
            tool('edit.randomizeUnlocked', '⚄ All', 'Randomize every unlocked parameter (Ctrl+Alt+R)'),
            tool('view.variations', '▦ Variations', 'Show a page of variations (Ctrl+G)')]));
        Studio.explore.addMenuEntries();
    },

    addMenuEntries: function () {
        var menu = function (name) {
            return Studio.menuBar.filter(function (m) { return m.name === name; })[0].entries;
        };
        var after = function (entries, command, entry) {
            var at = entries.map(function (e) { return e[0]; }).indexOf(command);
            entries.splice(at < 0 ? entries.length : at + 1, 0, entry);
        };
        after(menu('file'), 'file.open', ['file.openArtwork', 'Open artwork &PNG…', 'Ctrl+Shift+O']);
        after(menu('file'), 'file.exportRgb', ['file.printExport', 'Print e&xport…', 'Ctrl+P']);
        after(menu('edit'), 'edit.randomize', ['edit.randomizeUnlocked', 'Randomize &unlocked parameters', 'Ctrl+Alt+R']);
        after(menu('view'), 'view.actual', ['view.variations', '&Variations', 'Ctrl+G']);
    }
};

Studio.commands['file.openArtwork'] = function (s) { s.openPng.choose(); };
Studio.commands['file.printExport'] = function (s) { s.print.exportNow(); };
Studio.commands['edit.randomizeUnlocked'] = function (s) {
    s.locks.randomize();
    Studio.status.show('Randomized every unlocked parameter.');
};
Studio.commands['view.variations'] = function (s) { s.variations.toggle(); };
