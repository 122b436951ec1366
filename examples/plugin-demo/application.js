// @ts-check
// Plug-in demo: loads the swatch plug-in, shows the PNG swatches it paints through a "drc:"
// URL, and embeds the label widget it hands over.
//
//     tressil --app examples/plugin-demo [-- PLUGIN_LIBRARY]
//
// Without an argument the plug-in is looked for beside the program (build/bin/libSwatchDemo.so).

var paintCount = 0;

/** @param {string[]} args */
function pluginPath(args) {
    if (args[1]) return args[1];
    return args[0].replace(/[^\/]*$/, '') + 'libSwatchDemo.so';
}

/** Loads the plug-in; false when it did not publish `swatch`. */
function loadSwatch(path) {
    app.loadPlugin(path);
    return typeof swatch !== 'undefined';
}

/** Paints a swatch of `color` and shows it; false for a colour the plug-in does not know. */
function showSwatch(color) {
    if (!swatch.paint('swatch.png', 320, 80, color)) {
        $('#message').text('Not a colour: ' + color);
        return false;
    }
    // The store's entries are never cached, but an unchanged src would not be fetched again.
    $('#swatch').attr('src', 'drc:swatch.png?' + (++paintCount));
    $('#message').text('');
    swatch.setCaption(color);
    return true;
}

function buildPage(widgetId) {
    document.title = 'Swatches';
    document.body.innerHTML =
        '<h2>Swatches from a plug-in</h2>' +
        '<form id="form"><input id="color" value="teal"> <button>Paint</button> <span id="message"></span></form>' +
        '<p><img id="swatch" width="320" height="80" alt=""></p>' +
        '<p>A native widget of the plug-in:</p>' +
        '<object type="ovex/widget" widget-id="' + widgetId + '" width="320" height="40"></object>';
    $('#form').on('submit', function (event) {
        event.preventDefault();
        showSwatch(String($('#color').val()));
    });
}

/** @param {string[]} args */
function main(args) {
    var path = pluginPath(args);
    if (!loadSwatch(path)) {
        document.body.textContent = 'The swatch plug-in did not load from ' + path;
        app.println('no plug-in at ' + path);
        app.win.show();
        return;
    }
    buildPage(swatch.widgetId());
    showSwatch('teal');
    app.win.setSize(400, 320);
    app.win.show();
}
