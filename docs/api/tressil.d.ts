// Declarations of what Tressil gives page script: `ovex`, the window objects, and the glue
// library (`app`, `WIN`, `_OVEX`, `_OVEX_DB`). Name this file in a jsconfig.json ("files")
// and put `// @ts-check` on top of your scripts. See README.md beside it for the reference.

/** A row of `ovex.dbQuery`: column name to value. */
type TressilRow = { [column: string]: any };
/** What `ovex.dirContent` returns: names, not paths. */
interface TressilDirContent { files: string[]; dirs: string[]; }
/** One cookie as `getAllCookies` gives it and `setAllCookies` takes it; every field a string. */
interface TressilCookie {
    domain?: string; expiration?: string; http_only?: string; secure?: string; session?: string;
    name?: string; path?: string; value?: string; value64?: string;
}

/** The native application object. Nothing throws; failures show only in the result. */
interface OvexApi {
    alert(text: string): void;
    print(text: string): void;
    println(text: string): void;
    /** Packs a folder into a package; false when anything was left out or writing failed. */
    wrapEJP(dir_path: string, ejp_file: string): boolean;
    loadEJP(ejp_file: string): void;
    loadPlugin(path: string): void;
    /** Ignored: no thread runs and the callback is never called. */
    runThread(callback: string): void;
    /** Stores bytes (one per character, Latin-1) under a name served as drc:NAME. */
    setDRCData(filename: string, byte_array: string): void;
    exploreDir(path: string): void;
    dirContent(path: string): TressilDirContent;
    openBrowser(url: string): boolean;
    getSettings(key: string, defaultValue: any): any;
    setSettings(key: string, value: any): void;
    getMacAddress(): string;
    /** Ignored: no transfer, no callback. */
    download(url: string, path: string, callback_cid: string, callback_error_cid: string): void;
    dbConnect(file: string, id: string): void;
    dbClose(id: string): void;
    /** The new row id; null when the statement failed or nothing was inserted yet, 0 for an unknown id. */
    dbInsert(q: string, id: string): number | null;
    dbQuery(q: string, id: string): TressilRow[];
    freespace(disk: string): number;
    totalspace(disk: string): number;
    fileExists(src: string): boolean;
    filesize(src: string): number;
    filectime(src: string): number;
    fileatime(src: string): number;
    time(): number;
    mktime(hours: number, minutes: number, seconds: number, month: number, day: number, year: number): number;
    date(format: string, time: number): string;
    dirExists(src: string): boolean;
    confirm(txt: string, title: string, yes: string, no: string): boolean;
    info(txt: string, title: string): void;
    prompt(txt: string, title: string, defaultValue: string, type: 'text' | 'int' | 'double' | 'textarea' | 'password' | string): string;
    regSet(path: string, key: string, value: any): void;
    regIsSet(path: string, key: string): boolean;
    regGet(path: string, key: string, defaultValue: any): any;
    regDelete(path: string, key: string): void;
    regAllKeys(path: string): string[];
    regKeys(path: string): string[];
    regGroups(path: string): string[];
    fileMd5hex(filename: string): string;
    md5(text: string): string;
    md5hex(text: string): string;
    sha1(text: string): string;
    sha1hex(text: string): string;
    exit(code: number): void;
    cmd(command: string): boolean;
    openFile(title: string, fileTypes: string, path: string): string;
    openNewFile(title: string, fileTypes: string, path: string): string;
    openFiles(title: string, fileTypes: string, path: string): string[];
    openDir(title: string, path: string): string;
    /** A handle from 1 up, 0 on failure. */
    fopen(file: string, mode: 'r' | 'w' | 'a' | 'rb' | 'wb' | 'ab'): number;
    fclose(fileId: number): void;
    fileread(file: string): string;
    filewrite(file: string, content: string): void;
    fileappend(file: string, content: string): void;
    fread(fileId: number, bytes: number): string;
    fgets(fileId: number, bytes: number): string;
    fwrite(fileId: number, data: string): void;
    fwriteln(fileId: number, data: string): void;
    mkdir(dirPath: string, recursive: boolean): boolean;
    mkfile(file: string): boolean;
    copy(src: string, dst: string): boolean;
    rename(src: string, dst: string): boolean;
    unlink(file: string): boolean;
    copydir(src: string, dst: string): boolean;
    rmdir(dirPath: string): boolean;
    getDirTemp(): string;
    getDirDocuments(): string;
    getDirDesktop(): string;
    getDirDownload(): string;
    getDirFonts(): string;
    getDirMovies(): string;
    getDirMusic(): string;
    getDirPictures(): string;
    getDirHome(): string;
    getDirAppData(): string;
    getDirCurrent(): string;
    setAppName(name: string): void;
    tempFile(append: string): string;
    /** Starts a watched process; callback ids from _OVEX.registerCallback, "" for none. */
    exec(command: string, cid_finish: string, cid_process: string, cid_error: string): number;
    execASCII(command: string, cid_finish: string, cid_process: string, cid_error: string): number;
    killExec(execId: number): void;
    getClipboard(): string;
    setClipboard(text: string): void;
    js(script: string): void;
}

/** The native object of one window (`WIN.xwin`). */
interface WindowObject {
    setTitle(title: string): void;
    getTitle(): string;
    show(): void;
    hide(): void;
    isHidden(): boolean;
    close(): void;
    terminate(): void;
    setMaximized(maximized: boolean): void;
    setMinimized(minimized: boolean): void;
    setWidth(width: number): void;
    setHeight(height: number): void;
    setIcon(file: string): void;
    setSize(width: number, height: number): void;
    setModal(modal: boolean): void;
    isModal(): boolean;
    isMaximized(): boolean;
    isMinimized(): boolean;
    getWidth(): number;
    getHeight(): number;
    getSize(): [number, number];
    setPosition(x: number, y: number): void;
    getPositionX(): number;
    getPositionY(): number;
    getPosition(): [number, number];
    setLocalOnly(): void;
    simulateClick(x: number, y: number): void;
    load(url: string): void;
    centerPosition(vertically: boolean, horizontally: boolean, by_parent?: boolean): void;
    reload(): void;
    setTypeWindow(): void;
    setTypeDialog(): void;
    setTypePopup(): void;
    setTypeTool(): void;
    setTypeSplashScreen(): void;
    setFrameless(is: boolean): void;
    setShowCaption(show: boolean, isMinimize: boolean, isMaximize: boolean, isClose: boolean, isHelp: boolean): void;
    setAlwaysOnTop(is: boolean): void;
    js(string: string): void;
    getAllCookies(): TressilCookie[];
    setAllCookies(cookies: TressilCookie[]): void;
    switchMenu(name: string): void;
    enableMenu(): void;
    disableMenu(): void;
    addMenu(name: string, text: string, icon: string): void;
    addMenuAction(name: string, text: string, onClick: string, icon: string, shortcut: string): void;
    addMenuSeparator(name: string): void;
    clearMenu(): void;
    removeMenuAction(name: string): void;
    enableMenuAction(name: string): void;
    disableMenuAction(name: string): void;
    showMenuAction(name: string): void;
    hideMenuAction(name: string): void;
}

/** A window for page script; `app.win` is the main window's. */
declare class WIN {
    constructor(xwin: WindowObject, window_object: Window);
    xwin: WindowObject;
    w: Window;
    /** The child page's jQuery, set by createWindow before its callback runs. */
    $?: any;
    setTitle(title: string): void;
    getTitle(): string;
    show(): void;
    hide(): void;
    isHidden(): boolean;
    close(): void;
    terminate(): void;
    setMaximized(maximized?: boolean): void;
    setMinimized(minimized?: boolean): void;
    setWidth(width: number): void;
    setHeight(height: number): void;
    setSize(width: number, height: number): void;
    setIcon(file: string): void;
    setModal(is_modal?: boolean): void;
    isModal(): boolean;
    isMaximized(): boolean;
    isMinimized(): boolean;
    getWidth(): number;
    getHeight(): number;
    getSize(): [number, number];
    setPosition(x: number, y: number): void;
    getPositionX(): number;
    getPositionY(): number;
    getPosition(): [number, number];
    setLocalOnly(): void;
    simulateClick(x: number, y: number): void;
    load(url: string): void;
    reload(): void;
    centerPosition(vertically?: boolean, horizontally?: boolean, by_parent?: boolean): void;
    setTypeWindow(): void;
    setTypeDialog(): void;
    setTypePopup(): void;
    setTypeTool(): void;
    setTypeSplashScreen(): void;
    setFrameless(is_frameless?: boolean): void;
    setShowCaption(is_caption?: boolean, is_minimize?: boolean, is_maximize?: boolean, is_close?: boolean, is_help?: boolean): void;
    setAlwaysOnTop(is_always_top?: boolean): void;
    js(string: string): void;
    getAllCookies(): TressilCookie[];
    setAllCookies(cookies_data: TressilCookie[]): void;
    switchMenu(name: string): void;
    enableMenu(): void;
    disableMenu(): void;
    clearMenu(): void;
    addMenu(name: string, text: string, icon?: string): void;
    /** `onClick` is script run in this window's page when the entry is clicked. */
    addMenuAction(name: string, text: string, onClick?: string, icon?: string, shortcut?: string): void;
    addMenuSeparator(name: string): void;
    removeMenuAction(name: string): void;
    enableMenuAction(name: string): void;
    disableMenuAction(name: string): void;
    showMenuAction(name: string): void;
    hideMenuAction(name: string): void;
    /** Loads the scripts in turn (the array is emptied), then calls the callback. */
    loadJS(js_array: string[], callback_loaded_all?: () => void): void;
    loadCSS(css_array: string[]): void;
    /** A new child window with jQuery; the callback gets it once its scripts are loaded. */
    createWindow(width: number, height: number, callback?: (win: WIN) => void): WIN;
}

/** A handle on one SQLite connection. */
declare class _OVEX_DB {
    constructor(id: string);
    id: string;
    /** Rows of a query; a statement starting with "insert " goes to insert(). */
    query(q: string): any;
    insert(q: string): number | null;
    close(): void;
}

interface OvexAppSystem {
    openExplorer(path?: string): void;
    openBrowser(url: string): void;
    getMacAddress(): string;
    freespace(disk_letter: string): number;
    totalspace(disk_letter: string): number;
}

interface OvexAppFs {
    dirContent(path: string): TressilDirContent;
    isFile(path: string): boolean;
    fileExists(path: string): boolean;
    fileSize(path: string): number;
    filectime(path: string): number;
    fileatime(path: string): number;
    isDir(path: string): boolean;
    dirExists(path: string): boolean;
    fopen(path: string, mode: 'r' | 'w' | 'a' | 'rb' | 'wb' | 'ab'): number;
    fclose(file_id: number): void;
    fileGetContents(path: string): string;
    filePutContents(path: string, content: string): void;
    fileAppend(path: string, content: string): void;
    fread(file_id: number, bytes: number): string;
    fgets(file_id: number, bytes: number): string;
    fwrite(file_id: number, data: string): void;
    fwriteln(file_id: number, data: string): void;
    mkdir(dir_path: string, recursive?: boolean): boolean;
    mkfile(path: string): boolean;
    copy(src: string, dst: string): boolean;
    rename(src: string, dst: string): boolean;
    unlink(path: string): boolean;
    copyDir(src: string, dst: string): boolean;
    rmdir(path: string): boolean;
    tempFile(append?: string): string;
    getDirTemp(): string;
    getDirDocuments(): string;
    getDirDesktop(): string;
    getDirDownload(): string;
    getDirFonts(): string;
    getDirMovies(): string;
    getDirMusic(): string;
    getDirPictures(): string;
    getDirHome(): string;
    getDirAppData(): string;
    getDirCurrent(): string;
    /** Does nothing; the callbacks are never called. */
    download(url: string, path: string, callback_finish?: () => void, callback_error?: () => void): void;
}

interface OvexAppDb {
    connectSQLITE(file: string, id?: string): _OVEX_DB;
}

interface OvexAppReg {
    setValue(path: string, key: string, value: any): void;
    isSet(path: string, key: string): boolean;
    getValue(path: string, key: string, default_value?: any): any;
    remove(path: string, key: string): void;
    allValues(path: string): string[];
    allKeys(path: string): string[];
    allGroups(path: string): string[];
}

/** The glue library's application object. */
interface OvexApp {
    win: WIN;
    system: OvexAppSystem;
    fs: OvexAppFs;
    db: OvexAppDb;
    reg: OvexAppReg;
    runThread(callback: () => void): void;
    print(text: string): void;
    println(text: string): void;
    wrapEJP(dir_path: string, ejp_file: string): boolean;
    loadEJP(ejp_file: string): void;
    loadPlugin(dll_file: string): void;
    getSettings(key: string, default_value?: any): any;
    setSettings(key: string, value: any): void;
    time(): number;
    mktime(hours: number, minutes: number, seconds: number, month: number, day: number, year: number): number;
    date(format: string, time: number): string;
    confirm(text?: string, title?: string, yes_text?: string, no_text?: string): boolean;
    info(text: string, title?: string): void;
    prompt(text?: string, title?: string, default_value?: string, type?: string): string;
    fileMD5(file_path: string): string;
    md5(text: string): string;
    md5hex(text: string): string;
    sha1(text: string): string;
    sha1hex(text: string): string;
    exit(code: number): void;
    cmd(command: string): boolean;
    dialogOpenFile(title?: string, file_types?: string, path?: string): string;
    dialogSaveFile(title?: string, file_types?: string, path?: string): string;
    dialogOpenFiles(title?: string, file_types?: string, path?: string): string[];
    dialogOpenDir(title?: string, path?: string): string;
    setAppName(name: string): void;
    /** Runs a command line; output arrives in pieces, then the rest at the end. */
    exec(command: string, callback_finish?: (rest: string) => void, callback_process?: (text: string) => void,
         callback_error?: () => void): number;
    execASCII(command: string, callback_finish?: (rest: string) => void, callback_process?: (text: string) => void,
              callback_error?: () => void): number;
    killExec(exec_id: number): void;
    getClipboard(): string;
    setClipboard(text: string): void;
    js(script: string): void;
}

/** The glue library's callback registry. */
interface OvexGlue {
    last_created_win: WindowObject | null;
    callbacks: { [cid: string]: (...args: string[]) => void };
    uniqid_seed: number;
    registerCallback(f: (...args: string[]) => void): string;
    callCallback(cid: string, ...args: string[]): void;
    callCallbackDontRemove(cid: string, ...args: string[]): void;
    removeCallback(cid: string): void;
    formatHex(value: number, width: number): string;
    uniqid(): string;
    optionalCallback(f?: (...args: any[]) => void): string;
}

declare const ovex: OvexApi;
declare const app: OvexApp;
declare const _OVEX: OvexGlue;
/** jQuery 3.4.1 with jQuery UI 1.12.1, loaded into every page. */
declare const $: any;
declare const jQuery: any;
