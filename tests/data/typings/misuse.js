// @ts-check
// Page script with three mistakes the declarations must catch.
function main(args) {
    ovex.fileExsts(args[0]);
    app.win.setSize('wide', 200);
    var db = app.db.connectSQLITE('/tmp/x.sqlite');
    db.querry('SELECT 1');
}
