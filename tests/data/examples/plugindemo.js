// Appended to the plug-in demo: checks the swatch image and the widget the plug-in handed over.
var exampleMain = main;
main = function (args) {
    exampleMain(args);
    if (typeof swatch === 'undefined') { ovex.println('["no plug-in"]'); ovex.exit(1); return; }
    var x = new XMLHttpRequest();
    x.open('GET', $('#swatch').attr('src'), false);
    x.overrideMimeType('text/plain; charset=x-user-defined');
    x.send();
    var seen = [swatch.widgetId(), $('object[type="ovex/widget"]').attr('widget-id'), x.status,
                x.responseText.substr(1, 3), swatch.caption()];
    $('#color').val('no such colour');
    $('#form').submit();
    seen.push($('#message').text(), swatch.caption());
    $('#color').val('#ff8800');
    $('#form').submit();
    seen.push($('#swatch').attr('src'), swatch.caption());
    ovex.println(JSON.stringify(seen));
    ovex.exit(0);
};
