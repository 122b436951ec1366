#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariant>

class Ovex;
class QDateTime;

/// The application scripting object, published to the main page as `ovex`. Slots never
/// throw and show no errors: failure shows only in the result.
class JSApiOvex : public QObject
{
    Q_OBJECT

public:
    /// `app` may be null for slots that need no application (hashes, time).
    JSApiOvex(Ovex *app, QObject *parent);

    /// Seconds since the epoch as the time slots report them: an unsigned 32-bit count,
    /// all ones outside 1970-01-01T00:00:00Z to 2106-02-07T06:28:14Z, read as signed.
    static int scriptTime(const QDateTime &dateTime);
    /// The raw digest bytes up to the first zero byte, decoded as UTF-8.
    static QString rawDigestText(const QByteArray &digest);

public Q_SLOTS:
    void alert(const QString &text);
    void print(const QString &text);
    void println(const QString &text);
    void wrapEJP(const QString &dir_path, const QString &ejp_file);
    void loadEJP(const QString &ejp_file);
    void loadPlugin(const QString &path);
    void runThread(const QString &callback);
    void setDRCData(const QString &filename, const QByteArray &byte_array);
    void exploreDir(const QString &path);
    bool openBrowser(const QString &url);
    QString getMacAddress();
    qlonglong freespace(const QString &disk);
    qlonglong totalspace(const QString &disk);
    int time();
    int mktime(int hours, int minutes, int seconds, int month, int day, int year);
    QString date(const QString &format, int time);
    QString fileMd5hex(const QString &filename);
    QString md5(const QString &text);
    QString md5hex(const QString &text);
    QString sha1(const QString &text);
    QString sha1hex(const QString &text);
    void exit(int code);
    void setAppName(const QString &name);
    QString getClipboard();
    void setClipboard(const QString &text);
    void js(const QString &script);

private:
    Ovex *app;
};
