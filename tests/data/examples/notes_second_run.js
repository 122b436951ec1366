// Appended to the notes example: what a restart brings back, then a deletion.
var exampleMain = main;
main = function (args) {
    exampleMain(args);
    var seen = [$('#titles li').map(function () { return $(this).text(); }).get(),
                $('#title').val(), $('#body').val(), app.win.getSize()];
    removeNote(currentId);
    showNote(0);
    seen.push($('#titles li').length, $('#title').val());
    ovex.println(JSON.stringify(seen));
    quit();
};
