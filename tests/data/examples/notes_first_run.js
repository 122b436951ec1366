// Appended to the notes example: writes two notes through the page, then reports.
var exampleMain = main;
main = function (args) {
    exampleMain(args);
    var seen = [$('#titles li').length];
    $('#new').click();
    $('#title').val('Groceries');
    $('#body').val("milk, 'eggs'");
    $('#save').click();
    var first = currentId;
    $('#new').click();
    $('#title').val('Ideas');
    $('#body').val('über');
    $('#save').click();
    seen.push($('#titles li').map(function () { return $(this).text(); }).get());
    seen.push(loadNote(first).body);
    showNote(first);
    seen.push($('#title').val(), $('#titles li.current').text(), app.win.getTitle());
    app.win.setSize(640, 400);
    quit();
    ovex.println(JSON.stringify(seen));
};
