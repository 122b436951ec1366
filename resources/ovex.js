/*
 * Tressil glue library: the friendly face of the host's scripting objects.
 * Globals: app (with system, fs, db, reg), WIN, _OVEX_DB and _OVEX.
 * Defaults apply only to undefined arguments; null is passed through.
 */

function _ovexDefault(value, fallback) {
    return typeof value === 'undefined' ? fallback : value;
}

var _OVEX = {
    last_created_win: null,
    callbacks: {},
    uniqid_seed: 0,

    registerCallback: function (f) {
        var cid = this.uniqid();
        this.callbacks[cid] = f;
        return cid;
    },

    callCallback: function (cid) {
        if (!cid) return;
        if (!Object.prototype.hasOwnProperty.call(this.callbacks, cid)) return;
        var f = this.callbacks[cid];
        delete this.callbacks[cid];
        f.apply(null, Array.prototype.slice.call(arguments, 1));
    },

    callCallbackDontRemove: function (cid) {
        if (!cid) return;
        if (!Object.prototype.hasOwnProperty.call(this.callbacks, cid)) return;
        this.callbacks[cid].apply(null, Array.prototype.slice.call(arguments, 1));
    },

    removeCallback: function (cid) {
        if (Object.prototype.hasOwnProperty.call(this.callbacks, cid)) delete this.callbacks[cid];
    },

    // Hexadecimal of value, cut to its last `width` digits or padded on the left with "0".
    formatHex: function (value, width) {
        var hex = Math.floor(value).toString(16);
        if (hex.length > width) return hex.substr(hex.length - width);
        while (hex.length < width) hex = '0' + hex;
        return hex;
    },

    uniqid: function () {
        if (this.uniqid_seed === 0) this.uniqid_seed = Math.floor(Math.random() * 0x75bcd15);
        this.uniqid_seed++;
        var seconds = Math.floor(new Date().getTime() / 1000);
        return 'cid' + this.formatHex(seconds, 8) + this.formatHex(this.uniqid_seed, 5);
    },

    // Id of a callback when one is given, else "" (no callback).
    optionalCallback: function (f) {
        return f ? this.registerCallback(f) : '';
    }
};

function _OVEX_DB(id) {
    this.id = id;
}

_OVEX_DB.prototype.query = function (q) {
    if (String(q).substr(0, 7).toLowerCase() === 'insert ') return this.insert(q);
    return ovex.dbQuery(q, this.id);
};

_OVEX_DB.prototype.insert = function (q) {
    return ovex.dbInsert(q, this.id);
};

_OVEX_DB.prototype.close = function () {
    ovex.dbClose(this.id);
};

var app = {
    win: null,

    runThread: function (callback) { return ovex.runThread(_OVEX.registerCallback(callback)); },
    print: function (text) { ovex.print(text); },
    println: function (text) { ovex.println(text); },
    wrapEJP: function (dir_path, ejp_file) { return ovex.wrapEJP(dir_path, ejp_file); },
    loadEJP: function (ejp_file) { ovex.loadEJP(ejp_file); },
    loadPlugin: function (dll_file) { ovex.loadPlugin(dll_file); },
    getSettings: function (key, default_value) {
        return ovex.getSettings(key, _ovexDefault(default_value, ''));
    },
    setSettings: function (key, value) { ovex.setSettings(key, value); },
    time: function () { return ovex.time(); },
    mktime: function (hours, minutes, seconds, month, day, year) {
        return ovex.mktime(hours, minutes, seconds, month, day, year);
    },
    date: function (format, time) { return ovex.date(format, time); },
    confirm: function (text, title, yes_text, no_text) {
        return ovex.confirm(_ovexDefault(text, 'Do you want to continue?'), _ovexDefault(title, ''),
                            _ovexDefault(yes_text, 'Yes'), _ovexDefault(no_text, 'No'));
    },
    info: function (text, title) { return ovex.info(text, _ovexDefault(title, '')); },
    prompt: function (text, title, default_value, type) {
        return ovex.prompt(_ovexDefault(text, 'Enter value'), _ovexDefault(title, ''),
                           _ovexDefault(default_value, ''), _ovexDefault(type, 'text'));
    },
    fileMD5: function (file_path) { return ovex.fileMd5hex(file_path); },
    md5: function (text) { return ovex.md5(text); },
    md5hex: function (text) { return ovex.md5hex(text); },
    sha1: function (text) { return ovex.sha1(text); },
    sha1hex: function (text) { return ovex.sha1hex(text); },
    exit: function (code) { ovex.exit(code); },
    cmd: function (command) { return !!ovex.cmd(command); },
    dialogOpenFile: function (title, file_types, path) {
        return ovex.openFile(_ovexDefault(title, ''), _ovexDefault(file_types, ''), _ovexDefault(path, ''));
    },
    dialogSaveFile: function (title, file_types, path) {
        return ovex.openNewFile(_ovexDefault(title, ''), _ovexDefault(file_types, ''), _ovexDefault(path, ''));
    },
    dialogOpenFiles: function (title, file_types, path) {
        return ovex.openFiles(_ovexDefault(title, ''), _ovexDefault(file_types, ''), _ovexDefault(path, ''));
    },
    dialogOpenDir: function (title, path) {
        return ovex.openDir(_ovexDefault(title, ''), _ovexDefault(path, ''));
    },
    setAppName: function (name) { ovex.setAppName(name); },
    exec: function (command, callback_finish, callback_process, callback_error) {
        return ovex.exec(command, _OVEX.optionalCallback(callback_finish),
                         _OVEX.optionalCallback(callback_process), _OVEX.optionalCallback(callback_error));
    },
    execASCII: function (command, callback_finish, callback_process, callback_error) {
        return ovex.execASCII(command, _OVEX.optionalCallback(callback_finish),
                              _OVEX.optionalCallback(callback_process), _OVEX.optionalCallback(callback_error));
    },
    killExec: function (exec_id) { ovex.killExec(exec_id); },
    getClipboard: function () { return ovex.getClipboard(); },
    setClipboard: function (text) { ovex.setClipboard(text); },
    js: function (script) { ovex.js(script); }
};

app.system = {
    openExplorer: function (path) { ovex.exploreDir(_ovexDefault(path, '')); },
    openBrowser: function (url) { ovex.openBrowser(url); },
    getMacAddress: function () { return ovex.getMacAddress(); },
    freespace: function (disk_letter) { return ovex.freespace(disk_letter); },
    totalspace: function (disk_letter) { return ovex.totalspace(disk_letter); }
};

app.fs = {
    dirContent: function (path) { return ovex.dirContent(path); },
    isFile: function (path) { return ovex.fileExists(path); },
    fileExists: function (path) { return ovex.fileExists(path); },
    fileSize: function (path) { return ovex.filesize(path); },
    filectime: function (path) { return ovex.filectime(path); },
    fileatime: function (path) { return ovex.fileatime(path); },
    isDir: function (path) { return ovex.dirExists(path); },
    dirExists: function (path) { return ovex.dirExists(path); },
    fopen: function (path, mode) { return ovex.fopen(path, mode); },
    fclose: function (file_id) { return ovex.fclose(file_id); },
    fileGetContents: function (path) { return ovex.fileread(path); },
    filePutContents: function (path, content) { return ovex.filewrite(path, content); },
    fileAppend: function (path, content) { return ovex.fileappend(path, content); },
    fread: function (file_id, bytes) { return ovex.fread(file_id, bytes); },
    fgets: function (file_id, bytes) { return ovex.fgets(file_id, bytes); },
    fwrite: function (file_id, data) { return ovex.fwrite(file_id, data); },
    fwriteln: function (file_id, data) { return ovex.fwriteln(file_id, data); },
    mkdir: function (dir_path, recursive) { return ovex.mkdir(dir_path, _ovexDefault(recursive, true)); },
    mkfile: function (path) { return ovex.mkfile(path); },
    copy: function (src, dst) { return ovex.copy(src, dst); },
    rename: function (src, dst) { return ovex.rename(src, dst); },
    unlink: function (path) { return ovex.unlink(path); },
    copyDir: function (src, dst) { return ovex.copydir(src, dst); },
    rmdir: function (path) { return ovex.rmdir(path); },
    tempFile: function (append) { return ovex.tempFile(_ovexDefault(append, '')); },
    getDirTemp: function () { return ovex.getDirTemp(); },
    getDirDocuments: function () { return ovex.getDirDocuments(); },
    getDirDesktop: function () { return ovex.getDirDesktop(); },
    getDirDownload: function () { return ovex.getDirDownload(); },
    getDirFonts: function () { return ovex.getDirFonts(); },
    getDirMovies: function () { return ovex.getDirMovies(); },
    getDirMusic: function () { return ovex.getDirMusic(); },
    getDirPictures: function () { return ovex.getDirPictures(); },
    getDirHome: function () { return ovex.getDirHome(); },
    getDirAppData: function () { return ovex.getDirAppData(); },
    getDirCurrent: function () { return ovex.getDirCurrent(); },
    download: function (url, path, callback_finish, callback_error) {
        return ovex.download(url, path, _OVEX.optionalCallback(callback_finish),
                             _OVEX.optionalCallback(callback_error));
    }
};

app.db = {
    connectSQLITE: function (file, id) {
        id = _ovexDefault(id, _OVEX.uniqid());
        ovex.dbConnect(file, id);
        return new _OVEX_DB(id);
    }
};

app.reg = {
    setValue: function (path, key, value) { ovex.regSet(path, key, value); },
    isSet: function (path, key) { return ovex.regIsSet(path, key); },
    getValue: function (path, key, default_value) {
        return ovex.regGet(path, key, _ovexDefault(default_value, ''));
    },
    remove: function (path, key) { return ovex.regDelete(path, key); },
    allValues: function (path) { return ovex.regAllKeys(path); },
    allKeys: function (path) { return ovex.regKeys(path); },
    allGroups: function (path) { return ovex.regGroups(path); }
};

function WIN(xwin, window_object) {
    this.xwin = xwin;
    this.w = window_object;
}

WIN.prototype = {
    setTitle: function (title) { this.xwin.setTitle(title); },
    getTitle: function () { return this.xwin.getTitle(); },
    show: function () { this.xwin.show(); },
    hide: function () { this.xwin.hide(); },
    isHidden: function () { return this.xwin.isHidden(); },
    close: function () { this.xwin.close(); },
    terminate: function () { this.xwin.terminate(); },
    setMaximized: function (maximized) { this.xwin.setMaximized(_ovexDefault(maximized, true)); },
    setMinimized: function (minimized) { this.xwin.setMinimized(_ovexDefault(minimized, true)); },
    setWidth: function (width) { this.xwin.setWidth(width); },
    setHeight: function (height) { this.xwin.setHeight(height); },
    setSize: function (width, height) { this.xwin.setSize(width, height); },
    setIcon: function (file) { this.xwin.setIcon(file); },
    setModal: function (is_modal) { this.xwin.setModal(_ovexDefault(is_modal, true)); },
    isModal: function () { return this.xwin.isModal(); },
    isMaximized: function () { return this.xwin.isMaximized(); },
    isMinimized: function () { return this.xwin.isMinimized(); },
    getWidth: function () { return this.xwin.getWidth(); },
    getHeight: function () { return this.xwin.getHeight(); },
    getSize: function () { return this.xwin.getSize(); },
    setPosition: function (x, y) { this.xwin.setPosition(x, y); },
    getPositionX: function () { return this.xwin.getPositionX(); },
    getPositionY: function () { return this.xwin.getPositionY(); },
    getPosition: function () { return this.xwin.getPosition(); },
    setLocalOnly: function () { this.xwin.setLocalOnly(); },
    simulateClick: function (x, y) { this.xwin.simulateClick(x, y); },
    load: function (url) { this.xwin.load(url); },
    reload: function () { this.xwin.reload(); },
    centerPosition: function (vertically, horizontally, by_parent) {
        this.xwin.centerPosition(_ovexDefault(vertically, true), _ovexDefault(horizontally, true),
                                 _ovexDefault(by_parent, false));
    },
    setTypeWindow: function () { this.xwin.setTypeWindow(); },
    setTypeDialog: function () { this.xwin.setTypeDialog(); },
    setTypePopup: function () { this.xwin.setTypePopup(); },
    setTypeTool: function () { this.xwin.setTypeTool(); },
    setTypeSplashScreen: function () { this.xwin.setTypeSplashScreen(); },
    setFrameless: function (is_frameless) { this.xwin.setFrameless(_ovexDefault(is_frameless, true)); },
    setShowCaption: function (is_caption, is_minimize, is_maximize, is_close, is_help) {
        this.xwin.setShowCaption(_ovexDefault(is_caption, true), _ovexDefault(is_minimize, true),
                                 _ovexDefault(is_maximize, true), _ovexDefault(is_close, true),
                                 _ovexDefault(is_help, false));
    },
    setAlwaysOnTop: function (is_always_top) { this.xwin.setAlwaysOnTop(_ovexDefault(is_always_top, true)); },
    js: function (string) { this.xwin.js(string); },
    getAllCookies: function () { return this.xwin.getAllCookies(); },
    setAllCookies: function (cookies_data) { this.xwin.setAllCookies(cookies_data); },
    switchMenu: function (name) { this.xwin.switchMenu(name); },
    enableMenu: function () { this.xwin.enableMenu(); },
    disableMenu: function () { this.xwin.disableMenu(); },
    clearMenu: function () { this.xwin.clearMenu(); },
    addMenu: function (name, text, icon) { this.xwin.addMenu(name, text, _ovexDefault(icon, '')); },
    addMenuAction: function (name, text, onClick, icon, shortcut) {
        this.xwin.addMenuAction(name, text, _ovexDefault(onClick, ''), _ovexDefault(icon, ''),
                                _ovexDefault(shortcut, ''));
    },
    addMenuSeparator: function (name) { this.xwin.addMenuSeparator(name); },
    removeMenuAction: function (name) { this.xwin.removeMenuAction(name); },
    enableMenuAction: function (name) { this.xwin.enableMenuAction(name); },
    disableMenuAction: function (name) { this.xwin.disableMenuAction(name); },
    showMenuAction: function (name) { this.xwin.showMenuAction(name); },
    hideMenuAction: function (name) { this.xwin.hideMenuAction(name); },

    // Loads the scripts one after another; the caller's array is consumed.
    loadJS: function (js_array, callback_loaded_all) {
        if (js_array.length === 0) {
            if (callback_loaded_all) callback_loaded_all();
            return;
        }
        var self = this;
        var script = this.w.document.createElement('script');
        script.onload = function () { self.loadJS(js_array, callback_loaded_all); };
        script.src = js_array.shift();
        this.w.document.getElementsByTagName('head')[0].appendChild(script);
    },

    loadCSS: function (css_array) {
        var head = this.w.document.getElementsByTagName('head')[0];
        for (var i = 0; i < css_array.length; i++) {
            var link = this.w.document.createElement('link');
            link.rel = 'stylesheet';
            link.type = 'text/css';
            link.href = css_array[i];
            head.appendChild(link);
        }
    },

    createWindow: function (width, height, callback) {
        var new_win = window.open('');
        var win = new WIN(_OVEX.last_created_win, new_win);
        win.setSize(width, height);
        win.loadCSS(['qrc:/resource/jquery-ui.min.css']);
        win.loadJS(['qrc:/resource/jquery-3.4.1.min.js', 'qrc:/resource/jquery-ui.min.js'], function () {
            win.$ = win.w.$;
            if (callback) callback(win);
        });
        return win;
    }
};
