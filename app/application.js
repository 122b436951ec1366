// Lumatrace studio: entry point called by the host once the page skeleton has loaded.
// The window must be shown before main returns (a hidden main window is closed), so the
// studio's own scripts load afterwards and start the studio when all of them are in.

var STUDIO_SCRIPTS = [
    'js/util.js',
    'js/schema.js',
    'js/model.js',
    'js/history.js',
    'js/field.js',
    'js/controls.js',
    'js/colours.js',
    'js/seed.js',
    'js/masks.js',
    'js/preview.js',
    'js/placement.js',
    'js/placedlist.js',
    'js/compare.js',
    'js/player.js',
    'js/store.js',
    'js/portable.js',
    'js/presets.js',
    'js/starters.js',
    'js/exports.js',
    'js/menus.js',
    'js/studio.js',
    'js/help.js',
    'js/previewscale.js',
    'js/locks.js',
    'js/variations.js',
    'js/printexport.js',
    'js/batch.js',
    'js/openpng.js',
    'js/explore.js'
];

function main(args) {
    app.win.setTitle('Lumatrace');
    app.win.setSize(1280, 800);
    app.win.centerPosition();
    app.win.show();
    app.win.loadCSS(['studio.css', 'explore.css']);
    app.win.loadJS(STUDIO_SCRIPTS.slice(), function () {
        try {
            Studio.start(args);
        } catch (e) {
            // Nothing else would tell the user why the window stays empty.
            document.body.textContent = 'The studio could not start: ' + e + ' (' + e.sourceURL + ':' + e.line + ')';
        }
    });
}
