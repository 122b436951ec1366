#pragma once

#include "databaseregistry.h"
#include "filehandletable.h"
#include "keyvaluestore.h"
#include "temporaryfiles.h"
#include "xprocess.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

class ScriptHost;
class QDateTime;
class QWidget;

/// The application scripting object, published to the main page as `ovex`. Slots never
/// throw and show no errors: failure shows only in the result.
class JSApiOvex : public QObject
{
    Q_OBJECT

public:
    /// `host` may be null for slots that need no application (hashes, time).
    JSApiOvex(ScriptHost *host, QObject *parent);

    /// Seconds since the epoch as the time slots report them: an unsigned 32-bit count,
    /// all ones outside 1970-01-01T00:00:00Z to 2106-02-07T06:28:14Z, read as signed.
    static int scriptTime(const QDateTime &dateTime);

public Q_SLOTS:
    void alert(const QString &text);
    void print(const QString &text);
    void println(const QString &text);
    /// true when the package was written with every file of the folder.
    bool wrapEJP(const QString &dir_path, const QString &ejp_file);
    void loadEJP(const QString &ejp_file);
    void loadPlugin(const QString &path);
    void runThread(const QString &callback);
    void setDRCData(const QString &filename, const QByteArray &byte_array);
    void exploreDir(const QString &path);
    QVariantMap dirContent(const QString &path);
    bool openBrowser(const QString &url);
    QVariant getSettings(const QString &key, const QVariant &defaultValue);
    void setSettings(const QString &key, const QVariant &value);
    QString getMacAddress();
    /// Accepts its arguments and does nothing: no transfer, no callback.
    void download(const QString &url, const QString &path, const QString &callback_cid,
                  const QString &callback_error_cid);
    void dbConnect(const QString &file, const QString &id);
    void dbClose(const QString &id);
    QVariant dbInsert(const QString &q, const QString &id);
    QVariantList dbQuery(const QString &q, const QString &id);
    qlonglong freespace(const QString &disk);
    qlonglong totalspace(const QString &disk);
    bool fileExists(const QString &src);
    qlonglong filesize(const QString &src);
    /// The last-modification time (not the creation time), as `time` counts; -1 for none.
    int filectime(const QString &src);
    int fileatime(const QString &src);
    int time();
    int mktime(int hours, int minutes, int seconds, int month, int day, int year);
    QString date(const QString &format, int time);
    bool dirExists(const QString &src);
    bool confirm(const QString &txt, const QString &title, const QString &yes, const QString &no);
    void info(const QString &txt, const QString &title);
    QString prompt(const QString &txt, const QString &title, const QString &defaultValue, const QString &type);
    void regSet(const QString &path, const QString &key, const QVariant &value);
    bool regIsSet(const QString &path, const QString &key);
    QVariant regGet(const QString &path, const QString &key, const QVariant &defaultValue);
    void regDelete(const QString &path, const QString &key);
    QVariantList regAllKeys(const QString &path);
    QVariantList regKeys(const QString &path);
    QVariantList regGroups(const QString &path);
    QString fileMd5hex(const QString &filename);
    QString md5(const QString &text);
    QString md5hex(const QString &text);
    QString sha1(const QString &text);
    QString sha1hex(const QString &text);
    void exit(int code);
    bool cmd(const QString &command);
    QString openFile(const QString &title, const QString &fileTypes, const QString &path);
    QString openNewFile(const QString &title, const QString &fileTypes, const QString &path);
    QStringList openFiles(const QString &title, const QString &fileTypes, const QString &path);
    QString openDir(const QString &title, const QString &path);
    int fopen(const QString &file, const QString &mode);
    void fclose(int fileId);
    QString fileread(const QString &file);
    void filewrite(const QString &file, const QString &content);
    void fileappend(const QString &file, const QString &content);
    QString fread(int fileId, int bytes);
    QString fgets(int fileId, int bytes);
    void fwrite(int fileId, const QString &data);
    void fwriteln(int fileId, const QString &data);
    bool mkdir(const QString &dirPath, bool recursive);
    bool mkfile(const QString &file);
    bool copy(const QString &src, const QString &dst);
    bool rename(const QString &src, const QString &dst);
    bool unlink(const QString &file);
    bool copydir(const QString &src, const QString &dst);
    bool rmdir(const QString &dirPath);
    QString getDirTemp();
    /// The platform's documents folder, unchanged.
    QString getDirDocuments();
    QString getDirDesktop();
    QString getDirDownload();
    QString getDirFonts();
    QString getDirMovies();
    QString getDirMusic();
    QString getDirPictures();
    QString getDirHome();
    QString getDirAppData();
    QString getDirCurrent();
    void setAppName(const QString &name);
    QString tempFile(const QString &append);
    /// Starts a watched process and returns its id (0 first), whether or not it starts.
    int exec(const QVariant &command, const QString &cid_finish, const QString &cid_process, const QString &cid_error);
    /// As `exec`, with the command's UTF-8 bytes read as Latin-1.
    int execASCII(const QVariant &command, const QString &cid_finish, const QString &cid_process,
                  const QString &cid_error);
    void killExec(int execId);
    QString getClipboard();
    void setClipboard(const QString &text);
    void js(const QString &script);

private:
    int startProcess(const QVariant &command, XProcess::CommandEncoding encoding, const QString &cidFinish,
                     const QString &cidProcess, const QString &cidError);
    QWidget *dialogParent() const;

    ScriptHost *host;
    DatabaseRegistry databases;
    QMap<int, XProcess *> processes;
    int nextProcessId = 0;
    FileHandleTable files;
    KeyValueStore nativeStore;
    // Declared last so it goes first: temporary files are removed before anything else.
    TemporaryFiles tempFiles;
};
