// The native menu bar. Each entry runs Studio.run(command) in the page when chosen; the
// commands themselves live in the studio (Studio.commands).
Studio.menuBar = [
    {name: 'file', text: '&File', entries: [
        ['file.new', '&New artwork', 'Ctrl+N'],
        ['file.open', '&Open preset…', 'Ctrl+O'],
        ['file.save', '&Save preset', 'Ctrl+S'],
        ['file.saveAs', 'Save preset &as…', 'Ctrl+Shift+S'],
        '-',
        ['file.import', '&Import preset…', 'Ctrl+I'],
        ['file.export', 'E&xport preset…', 'Ctrl+Shift+X'],
        '-',
        ['file.exportPng', 'Export &PNG…', 'Ctrl+E'],
        ['file.exportSvg', 'Export S&VG…', 'Ctrl+Shift+E'],
        ['file.exportMaskSvg', 'Export layer &masks SVG…', ''],
        ['file.exportRgb', 'Export raw &RGB…', 'Ctrl+Alt+E'],
        ['file.exportLoop', 'Export &loop (animated)…', 'Ctrl+Shift+L'],
        '-',
        ['file.quit', '&Quit', 'Ctrl+Q']
    ]},
    {name: 'edit', text: '&Edit', entries: [
        ['edit.undo', '&Undo', 'Ctrl+Z'],
        ['edit.redo', '&Redo', 'Ctrl+Shift+Z'],
        '-',
        ['edit.randomize', 'Randomize &seed', 'Ctrl+R'],
        ['edit.deleteSelected', '&Delete selected item', ''],
        ['edit.reset', 'Reset &parameters', 'Ctrl+Shift+R']
    ]},
    {name: 'view', text: '&View', entries: [
        ['view.overlays', 'Show &overlays', 'Ctrl+H'],
        ['view.play', '&Play / pause loop\tP', ''],
        ['view.fit', 'Zoom to &fit', 'Ctrl+0'],
        ['view.actual', '&Actual size (100 %)', 'Ctrl+1'],
        ['view.double', '&Double size (200 %)', 'Ctrl+2'],
        ['view.zoomIn', 'Zoom &in', 'Ctrl+='],
        ['view.zoomOut', 'Zoom o&ut', 'Ctrl+-'],
        '-',
        ['view.keepA', '&Keep snapshot A', 'Ctrl+Shift+K'],
        ['view.flip', 'Flip A / &B', 'Ctrl+K'],
        ['view.split', '&Split A | B', 'Ctrl+Shift+J'],
        ['view.useA', '&Use snapshot A', '']
    ]},
    {name: 'help', text: '&Help', entries: [
        ['help.shortcuts', '&Keyboard shortcuts', 'F1'],
        ['help.about', '&About Lumatrace', '']
    ]}
];

Studio.buildMenus = function (win) {
    Studio.menuBar.forEach(function (menu) {
        win.switchMenu('');
        win.addMenu(menu.name, menu.text);
        win.switchMenu(menu.name);
        menu.entries.forEach(function (entry, i) {
            if (entry === '-') win.addMenuSeparator(menu.name + '.separator' + i);
            else win.addMenuAction(entry[0], entry[1], "Studio.run('" + entry[0] + "');", '', entry[2]);
        });
    });
    win.switchMenu('');
};
