// @ts-check
// Notes: a small note keeper on SQLite, with a native menu and remembered settings.
//
//     tressil --app examples/notes [-- --db FILE]
//
// The notes live in notes.sqlite in the per-user data folder, or in the file given with --db.
// The window's size and the last note shown are kept in the program's settings.

/** @type {_OVEX_DB} */
var notesDb;
/** The id of the note in the editor; 0 for a new, unsaved one. */
var currentId = 0;

/** SQL text literal: single quotes doubled. */
function sqlText(text) {
    return "'" + String(text).replace(/'/g, "''") + "'";
}

/** @param {string[]} args */
function databaseFile(args) {
    var at = args.indexOf('--db');
    if (at > 0 && at + 1 < args.length) return args[at + 1];
    var folder = app.fs.getDirAppData();
    app.fs.mkdir(folder);
    return folder + '/notes.sqlite';
}

function openDatabase(file) {
    notesDb = app.db.connectSQLITE(file, 'notes');
    notesDb.query('CREATE TABLE IF NOT EXISTS notes (id INTEGER PRIMARY KEY, title TEXT NOT NULL,'
                  + ' body TEXT NOT NULL, updated INTEGER NOT NULL)');
}

/** @returns {{id: number, title: string, updated: number}[]} */
function listNotes() {
    return notesDb.query('SELECT id, title, updated FROM notes ORDER BY updated DESC, id DESC');
}

/** @returns {{id: number, title: string, body: string} | null} */
function loadNote(id) {
    var rows = notesDb.query('SELECT id, title, body FROM notes WHERE id = ' + Number(id));
    return rows.length ? rows[0] : null;
}

/** Stores the note; returns its id (a new one for id 0), or 0 when the database refused it. */
function storeNote(id, title, body) {
    var now = app.time();
    if (id) {
        notesDb.query('UPDATE notes SET title = ' + sqlText(title) + ', body = ' + sqlText(body)
                      + ', updated = ' + now + ' WHERE id = ' + Number(id));
        return id;
    }
    var newId = notesDb.insert('INSERT INTO notes (title, body, updated) VALUES (' + sqlText(title) + ', '
                               + sqlText(body) + ', ' + now + ')');
    return typeof newId === 'number' ? newId : 0;
}

function removeNote(id) {
    notesDb.query('DELETE FROM notes WHERE id = ' + Number(id));
}

function buildPage() {
    document.title = 'Notes';
    document.body.innerHTML =
        '<div id="list"><button id="new">New note</button><ul id="titles"></ul></div>' +
        '<div id="editor"><input id="title" placeholder="Title">' +
        '<textarea id="body" placeholder="Write here"></textarea>' +
        '<div id="actions"><button id="save">Save</button> <button id="delete">Delete</button>' +
        ' <span id="status"></span></div></div>';
    $('#new').on('click', newNote);
    $('#save').on('click', saveNote);
    $('#delete').on('click', deleteNote);
}

function buildMenu() {
    var win = app.win;
    win.addMenu('file', '&File');
    win.switchMenu('file');
    win.addMenuAction('new', '&New note', 'newNote()', '', 'Ctrl+N');
    win.addMenuAction('save', '&Save', 'saveNote()', '', 'Ctrl+S');
    win.addMenuAction('delete', '&Delete', 'deleteNote()', '', 'Delete');
    win.addMenuSeparator('sep');
    win.addMenuAction('quit', '&Quit', 'quit()', '', 'Ctrl+Q');
    win.switchMenu('');
}

function refreshList() {
    var list = $('#titles').empty();
    listNotes().forEach(function (note) {
        $('<li>').text(note.title || '(untitled)').attr('data-id', note.id)
            .toggleClass('current', note.id === currentId)
            .on('click', function () { showNote(note.id); })
            .appendTo(list);
    });
    app.win.setTitle(currentId ? 'Notes — ' + $('#title').val() : 'Notes');
    app.win.enableMenuAction('delete');
    if (!currentId) app.win.disableMenuAction('delete');
}

function showNote(id) {
    var note = loadNote(id);
    currentId = note ? note.id : 0;
    $('#title').val(note ? note.title : '');
    $('#body').val(note ? note.body : '');
    app.setSettings('notes/last', currentId);
    refreshList();
}

function newNote() {
    showNote(0);
    $('#title').trigger('focus');
}

function saveNote() {
    var id = storeNote(currentId, String($('#title').val()), String($('#body').val()));
    $('#status').text(id ? 'Saved ' + app.date('HH:mm:ss', -1) : 'Not saved');
    if (id) showNote(id);
}

function deleteNote() {
    if (!currentId || !app.confirm('Delete this note?', 'Notes', 'Delete', 'Keep')) return;
    removeNote(currentId);
    showNote(0);
}

function quit() {
    app.setSettings('notes/size', app.win.getSize().join('x'));
    notesDb.close();
    app.exit(0);
}

/** @param {string[]} args */
function main(args) {
    app.setAppName('tressil-notes');
    app.win.loadCSS(['xrc:/style.css']);
    openDatabase(databaseFile(args));
    buildPage();
    buildMenu();
    var size = String(app.getSettings('notes/size', '720x480')).split('x').map(Number);
    app.win.setSize(size[0] || 720, size[1] || 480);
    showNote(Number(app.getSettings('notes/last', 0)));
    app.win.show();
}
