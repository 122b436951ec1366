#include "jsapiovex.h"

#include "diskspace.h"
#include "ovex.h"
#include "ovexplugin.h"
#include "xdynamicresource.h"
#include "xwindow.h"
#include "xwebview.h"

#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QLibrary>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QUrl>

#include <cstdio>

JSApiOvex::JSApiOvex(Ovex *app, QObject *parent)
    : QObject(parent)
    , app(app)
{
}

int JSApiOvex::scriptTime(const QDateTime &dateTime)
{
    static const QDateTime first = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    static const QDateTime last = QDateTime::fromSecsSinceEpoch(0xFFFFFFFELL, Qt::UTC);
    quint32 seconds = 0xFFFFFFFFu;
    if (dateTime.isValid() && dateTime >= first && dateTime <= last)
        seconds = static_cast<quint32>(dateTime.toSecsSinceEpoch());
    return static_cast<qint32>(seconds);
}

QString JSApiOvex::rawDigestText(const QByteArray &digest)
{
    const int zero = digest.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? digest : digest.left(zero));
}

void JSApiOvex::alert(const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Info"), text, QMessageBox::Ok);
    box.exec();
}

void JSApiOvex::print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void JSApiOvex::println(const QString &text)
{
    print(text);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void JSApiOvex::wrapEJP(const QString &dir_path, const QString &ejp_file)
{
    if (app)
        app->wrapEJP(dir_path, ejp_file);
}

void JSApiOvex::loadEJP(const QString &ejp_file)
{
    if (app)
        app->loadEJP(ejp_file);
}

void JSApiOvex::loadPlugin(const QString &path)
{
    if (!app)
        return;
    // The library stays loaded for the life of the process: the QLibrary object is
    // dropped without unload().
    QLibrary library(path);
    library.load();
    auto getPlugin = reinterpret_cast<GetPluginFunction>(library.resolve("getPlugin"));
    if (!getPlugin)
        return;
    XWindow *mainWindow = app->mainWindow();
    getPlugin(mainWindow->webView(), mainWindow);
}

void JSApiOvex::runThread(const QString &)
{
}

void JSApiOvex::setDRCData(const QString &filename, const QByteArray &byte_array)
{
    if (app)
        app->dynamicResources()->set(filename, byte_array);
}

void JSApiOvex::exploreDir(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool JSApiOvex::openBrowser(const QString &url)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

QString JSApiOvex::getMacAddress()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &candidate : interfaces) {
        if (!candidate.flags().testFlag(QNetworkInterface::IsLoopBack))
            return candidate.hardwareAddress().toUpper();
    }
    return QString();
}

qlonglong JSApiOvex::freespace(const QString &disk)
{
    return DiskSpace::freeBytes(disk);
}

qlonglong JSApiOvex::totalspace(const QString &disk)
{
    return DiskSpace::totalBytes(disk);
}

int JSApiOvex::time()
{
    return scriptTime(QDateTime::currentDateTimeUtc());
}

int JSApiOvex::mktime(int hours, int minutes, int seconds, int month, int day, int year)
{
    const QDate date(year, month, day);
    const QTime time(hours, minutes, seconds, 0);
    if (!date.isValid() || !time.isValid())
        return -1;
    return scriptTime(QDateTime(date, time, Qt::LocalTime));
}

QString JSApiOvex::date(const QString &format, int time)
{
    const QDateTime when = time < 0 ? QDateTime::currentDateTime() : QDateTime::fromSecsSinceEpoch(time);
    return when.toString(format);
}

QString JSApiOvex::fileMd5hex(const QString &filename)
{
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex());
}

QString JSApiOvex::md5(const QString &text)
{
    return rawDigestText(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5));
}

QString JSApiOvex::md5hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

QString JSApiOvex::sha1(const QString &text)
{
    return rawDigestText(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Sha1));
}

QString JSApiOvex::sha1hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Sha1).toHex());
}

void JSApiOvex::exit(int code)
{
    QCoreApplication::exit(code);
}

void JSApiOvex::setAppName(const QString &name)
{
    QCoreApplication::setApplicationName(name);
}

QString JSApiOvex::getClipboard()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void JSApiOvex::setClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void JSApiOvex::js(const QString &script)
{
    if (app)
        app->mainWindow()->evaluateInMainFrame(script);
}
