// Appended to the file-browser example: lists the folder given, enters a subfolder by a
// click and runs a command there, reporting what the page showed.
var exampleMain = main;
main = function (args) {
    exampleMain(args);
    var seen = [$('#path').text() === args[1], $('#entries li').map(function () { return $(this).text(); }).get()];
    $('#entries li.dir').first().click();
    seen.push($('#entries li').map(function () { return $(this).text(); }).get());
    $('#entries li.file').first().click();
    seen.push($('#details').text().indexOf('5 bytes') > 0, app.getClipboard() === currentDir + '/inside.txt');
    var pieces = 0;
    runCommand('printf \'%s\\n\' "$PWD" && cat inside.txt && exit 3', function (output, failed) {
        seen.push(output.split('\n'), failed, $('#output').text().indexOf('$ printf') === 0);
        $('#up').click();
        seen.push($('#path').text() === args[1]);
        ovex.println(JSON.stringify(seen));
        ovex.exit(0);
    });
};
