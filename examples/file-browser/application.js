// @ts-check
// File browser: walks folders, picks them with the system dialog, and runs commands in the
// current folder with their output streamed into the page.
//
//     tressil --app examples/file-browser [-- START_FOLDER]

var currentDir = '';
/** The id of the running command, -1 when none runs. */
var runningId = -1;

/** One argument of a command line: double quotes group, three double quotes stand for one. */
function quoteArgument(text) {
    return '"' + String(text).replace(/"/g, '"""') + '"';
}

function parentOf(dir) {
    var cut = dir.replace(/\/+$/, '').lastIndexOf('/');
    return cut > 0 ? dir.substr(0, cut) : '/';
}

function joinPath(dir, name) {
    return dir.replace(/\/+$/, '') + '/' + name;
}

function buildPage() {
    document.title = 'File browser';
    document.body.innerHTML =
        '<div id="bar"><button id="up">Up</button> <button id="pick">Open folder…</button>' +
        ' <button id="reveal">Show in file manager</button> <code id="path"></code></div>' +
        '<div id="main"><ul id="entries"></ul><div id="side"><div id="details"></div>' +
        '<form id="run"><input id="command" value="ls -la"> <button>Run here</button>' +
        ' <button type="button" id="stop" disabled>Stop</button></form>' +
        '<pre id="output"></pre></div></div>';
    $('#up').on('click', function () { browse(parentOf(currentDir)); });
    $('#pick').on('click', function () {
        var dir = app.dialogOpenDir('Open folder', currentDir);
        if (dir) browse(dir);
    });
    $('#reveal').on('click', function () { app.system.openExplorer(currentDir); });
    $('#run').on('submit', function (event) {
        event.preventDefault();
        runCommand(String($('#command').val()));
    });
    $('#stop').on('click', function () { if (runningId >= 0) app.killExec(runningId); });
}

/** Shows the folder's entries; false (and nothing changed) when it is no folder. */
function browse(dir) {
    if (!app.fs.isDir(dir)) return false;
    currentDir = dir;
    $('#path').text(dir);
    $('#details').empty();
    var content = app.fs.dirContent(dir);
    var list = $('#entries').empty();
    content.dirs.forEach(function (name) {
        $('<li class="dir">').text(name + '/').on('click', function () { browse(joinPath(dir, name)); })
            .appendTo(list);
    });
    content.files.forEach(function (name) {
        $('<li class="file">').text(name).on('click', function () { describe(joinPath(dir, name)); })
            .appendTo(list);
    });
    app.win.setTitle('Files — ' + dir);
    app.setSettings('browser/last', dir);
    return true;
}

function describe(file) {
    $('#details').text(file + ': ' + app.fs.fileSize(file) + ' bytes, changed '
                       + app.date('yyyy-MM-dd HH:mm', app.fs.filectime(file)));
    app.setClipboard(file);
}

/**
 * Runs `command` through the shell in the current folder; output is appended as it arrives.
 * @param {string} command
 * @param {(output: string, failed: boolean) => void} [done] called with the whole output
 */
function runCommand(command, done) {
    if (runningId >= 0) return;
    var output = '';
    var shown = $('#output').text('$ ' + command + '\n');
    var append = function (text) { output += text; shown.append(document.createTextNode(text)); };
    var finish = function (failed) {
        runningId = -1;
        $('#stop').prop('disabled', true);
        if (done) done(output, failed);
    };
    var line = 'sh -c ' + quoteArgument('cd ' + quoteShell(currentDir) + ' && ' + command);
    runningId = app.exec(line,
                         function (rest) { append(rest); finish(false); },
                         append,
                         function () { append('\n[stopped]\n'); finish(true); });
    $('#stop').prop('disabled', false);
}

/** A shell word: single quotes, with each single quote closed, escaped and reopened. */
function quoteShell(text) {
    return "'" + String(text).replace(/'/g, "'\\''") + "'";
}

/** @param {string[]} args */
function main(args) {
    app.win.loadCSS(['xrc:/style.css']);
    buildPage();
    var start = args[1] || String(app.getSettings('browser/last', '')) || app.fs.getDirHome();
    if (!browse(start)) browse(app.fs.getDirHome());
    app.win.setSize(860, 520);
    app.win.show();
}
