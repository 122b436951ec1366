// Help: the keyboard shortcuts (from the menus, so they cannot disagree) and the version.

// The studio's version: the program's (tressil --version), which a test holds it to.
Studio.version = '0.1';

Studio.help = {
    // Keys that work without a menu entry.
    extraKeys: [
        ['Space + drag', 'Move the view (over the artwork)'],
        ['Middle button drag', 'Move the view'],
        ['Wheel', 'Zoom about the mouse'],
        ['P', 'Play or pause the loop'],
        ['Delete', 'Remove the selected chip, modifier or adjustment'],
        ['Arrow keys, Enter', 'Choose and adopt a variation'],
        ['Escape', 'Close the variations'],
        ['Enter', 'Apply a typed number at once']
    ],

    // "Key — what it does" lines: the menus' shortcuts, then the other keys.
    shortcutLines: function () {
        var lines = [];
        Studio.menuBar.forEach(function (menu) {
            menu.entries.forEach(function (entry) {
                if (entry !== '-' && entry[2]) lines.push(entry[2] + ' — ' + entry[1].replace(/&/g, '').replace(/…$/, ''));
            });
        });
        return lines.concat(Studio.help.extraKeys.map(function (k) { return k[0] + ' — ' + k[1]; }));
    },

    showShortcuts: function () {
        app.info(Studio.help.shortcutLines().join('\n'), 'Keyboard shortcuts');
    },

    showAbout: function () {
        app.info('Lumatrace studio ' + Studio.version + '\n\nGenerative circuit-board artwork, grown from a seed.\n'
                 + 'Runs in Tressil with the Lumatrace1 plug-in.\n\nKeyboard shortcuts: Help ▸ Keyboard shortcuts (F1).',
                 'About Lumatrace');
    }
};

Studio.commands['help.shortcuts'] = function () { Studio.help.showShortcuts(); };
Studio.commands['help.about'] = function () { Studio.help.showAbout(); };
