#include "jsapiovex.h"

#include "appcontent.h"
#include "directorytree.h"
#include "diskspace.h"
#include "ovexplugin.h"
#include "scriptdialogs.h"
#include "scripthost.h"
#include "scripttext.h"
#include "wholefile.h"

#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>

namespace {

// The first location the platform reports, "" when it reports none.
QString firstLocation(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::standardLocations(location).value(0);
}

} // namespace

JSApiOvex::JSApiOvex(ScriptHost *host, QObject *parent)
    : QObject(parent)
    , host(host)
{ }

int JSApiOvex::scriptTime(const QDateTime &dateTime)
{
    static const QDateTime first = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    static const QDateTime last = QDateTime::fromSecsSinceEpoch(0xFFFFFFFELL, Qt::UTC);
    quint32 seconds = 0xFFFFFFFFu;
    if (dateTime.isValid() && dateTime >= first && dateTime <= last)
        seconds = static_cast<quint32>(dateTime.toSecsSinceEpoch());
    return static_cast<qint32>(seconds);
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

bool JSApiOvex::wrapEJP(const QString &dir_path, const QString &ejp_file)
{
    return host && host->content()->package().wrap(dir_path, ejp_file).complete();
}

void JSApiOvex::loadEJP(const QString &ejp_file)
{
    if (host)
        host->content()->package().load(ejp_file);
}

void JSApiOvex::loadPlugin(const QString &path)
{
    if (!host)
        return;
    // The library stays loaded for the life of the process: the QLibrary object is
    // dropped without unload().
    QLibrary library(path);
    library.load();
    auto getPlugin = reinterpret_cast<GetPluginFunction>(library.resolve("getPlugin"));
    if (!getPlugin)
        return;
    getPlugin(host->mainView(), host->dialogParent());
}

void JSApiOvex::runThread(const QString &) { }

void JSApiOvex::setDRCData(const QString &filename, const QByteArray &byte_array)
{
    if (host)
        host->content()->resources().set(filename, byte_array);
}

void JSApiOvex::exploreDir(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QVariantMap JSApiOvex::dirContent(const QString &path)
{
    return DirectoryTree::content(path);
}

bool JSApiOvex::openBrowser(const QString &url)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

QVariant JSApiOvex::getSettings(const QString &key, const QVariant &defaultValue)
{
    return host ? host->settingsValue(key, defaultValue) : defaultValue;
}

void JSApiOvex::setSettings(const QString &key, const QVariant &value)
{
    if (host)
        host->setSettingsValue(key, value);
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

void JSApiOvex::download(const QString &, const QString &, const QString &, const QString &) { }

void JSApiOvex::dbConnect(const QString &file, const QString &id)
{
    databases.connect(file, id);
}

void JSApiOvex::dbClose(const QString &id)
{
    databases.close(id);
}

QVariant JSApiOvex::dbInsert(const QString &q, const QString &id)
{
    return databases.insert(q, id);
}

QVariantList JSApiOvex::dbQuery(const QString &q, const QString &id)
{
    return databases.query(q, id);
}

qlonglong JSApiOvex::freespace(const QString &disk)
{
    return DiskSpace::freeBytes(disk);
}

qlonglong JSApiOvex::totalspace(const QString &disk)
{
    return DiskSpace::totalBytes(disk);
}

bool JSApiOvex::fileExists(const QString &src)
{
    return QFileInfo::exists(src);
}

qlonglong JSApiOvex::filesize(const QString &src)
{
    return QFileInfo(src).size();
}

int JSApiOvex::filectime(const QString &src)
{
    return scriptTime(QFileInfo(src).lastModified());
}

int JSApiOvex::fileatime(const QString &src)
{
    return scriptTime(QFileInfo(src).lastRead());
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

bool JSApiOvex::dirExists(const QString &src)
{
    return QDir(src).exists();
}

bool JSApiOvex::confirm(const QString &txt, const QString &title, const QString &yes, const QString &no)
{
    return ScriptDialogs::confirm(txt, title, yes, no);
}

void JSApiOvex::info(const QString &txt, const QString &title)
{
    ScriptDialogs::info(txt, title);
}

QString JSApiOvex::prompt(const QString &txt, const QString &title, const QString &defaultValue, const QString &type)
{
    return ScriptDialogs::prompt(dialogParent(), txt, title, defaultValue, type);
}

void JSApiOvex::regSet(const QString &path, const QString &key, const QVariant &value)
{
    nativeStore.set(path, key, value);
}

bool JSApiOvex::regIsSet(const QString &path, const QString &key)
{
    return nativeStore.isSet(path, key);
}

QVariant JSApiOvex::regGet(const QString &path, const QString &key, const QVariant &defaultValue)
{
    return nativeStore.get(path, key, defaultValue);
}

void JSApiOvex::regDelete(const QString &path, const QString &key)
{
    nativeStore.remove(path, key);
}

QVariantList JSApiOvex::regAllKeys(const QString &path)
{
    return nativeStore.allKeys(path);
}

QVariantList JSApiOvex::regKeys(const QString &path)
{
    return nativeStore.keys(path);
}

QVariantList JSApiOvex::regGroups(const QString &path)
{
    return nativeStore.groups(path);
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
    return ScriptText::fromRawBytes(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5));
}

QString JSApiOvex::md5hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

QString JSApiOvex::sha1(const QString &text)
{
    return ScriptText::fromRawBytes(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Sha1));
}

QString JSApiOvex::sha1hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Sha1).toHex());
}

void JSApiOvex::exit(int code)
{
    QCoreApplication::exit(code);
}

bool JSApiOvex::cmd(const QString &command)
{
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
}

QString JSApiOvex::openFile(const QString &title, const QString &fileTypes, const QString &path)
{
    return ScriptDialogs::openFile(dialogParent(), title, fileTypes, path);
}

QString JSApiOvex::openNewFile(const QString &title, const QString &fileTypes, const QString &path)
{
    return ScriptDialogs::openNewFile(dialogParent(), title, fileTypes, path);
}

QStringList JSApiOvex::openFiles(const QString &title, const QString &fileTypes, const QString &path)
{
    return ScriptDialogs::openFiles(dialogParent(), title, fileTypes, path);
}

QString JSApiOvex::openDir(const QString &title, const QString &path)
{
    return ScriptDialogs::openDir(dialogParent(), title, path);
}

int JSApiOvex::fopen(const QString &file, const QString &mode)
{
    return files.open(file, mode);
}

void JSApiOvex::fclose(int fileId)
{
    files.close(fileId);
}

QString JSApiOvex::fileread(const QString &file)
{
    return WholeFile::read(file);
}

void JSApiOvex::filewrite(const QString &file, const QString &content)
{
    WholeFile::write(file, content);
}

void JSApiOvex::fileappend(const QString &file, const QString &content)
{
    WholeFile::append(file, content);
}

QString JSApiOvex::fread(int fileId, int bytes)
{
    return files.read(fileId, bytes);
}

QString JSApiOvex::fgets(int fileId, int bytes)
{
    return files.readLine(fileId, bytes);
}

void JSApiOvex::fwrite(int fileId, const QString &data)
{
    files.write(fileId, data);
}

void JSApiOvex::fwriteln(int fileId, const QString &data)
{
    files.writeLine(fileId, data);
}

bool JSApiOvex::mkdir(const QString &dirPath, bool recursive)
{
    return recursive ? QDir().mkpath(dirPath) : QDir().mkdir(dirPath);
}

bool JSApiOvex::mkfile(const QString &file)
{
    return WholeFile::create(file);
}

bool JSApiOvex::copy(const QString &src, const QString &dst)
{
    return QFile::copy(src, dst);
}

bool JSApiOvex::rename(const QString &src, const QString &dst)
{
    return QFile::rename(src, dst);
}

bool JSApiOvex::unlink(const QString &file)
{
    return QFile::remove(file);
}

bool JSApiOvex::copydir(const QString &src, const QString &dst)
{
    return DirectoryTree::copy(src, dst);
}

bool JSApiOvex::rmdir(const QString &dirPath)
{
    return DirectoryTree::remove(dirPath);
}

QString JSApiOvex::getDirTemp()
{
    return TemporaryFiles::folder();
}

QString JSApiOvex::getDirDocuments()
{
    return firstLocation(QStandardPaths::DocumentsLocation);
}

QString JSApiOvex::getDirDesktop()
{
    return firstLocation(QStandardPaths::DesktopLocation);
}

QString JSApiOvex::getDirDownload()
{
    return firstLocation(QStandardPaths::DownloadLocation);
}

QString JSApiOvex::getDirFonts()
{
    return firstLocation(QStandardPaths::FontsLocation);
}

QString JSApiOvex::getDirMovies()
{
    return firstLocation(QStandardPaths::MoviesLocation);
}

QString JSApiOvex::getDirMusic()
{
    return firstLocation(QStandardPaths::MusicLocation);
}

QString JSApiOvex::getDirPictures()
{
    return firstLocation(QStandardPaths::PicturesLocation);
}

QString JSApiOvex::getDirHome()
{
    return firstLocation(QStandardPaths::HomeLocation);
}

QString JSApiOvex::getDirAppData()
{
    return firstLocation(QStandardPaths::AppLocalDataLocation);
}

QString JSApiOvex::getDirCurrent()
{
    return QDir::currentPath();
}

void JSApiOvex::setAppName(const QString &name)
{
    QCoreApplication::setApplicationName(name);
}

QString JSApiOvex::tempFile(const QString &append)
{
    return tempFiles.create(append);
}

int JSApiOvex::exec(const QVariant &command, const QString &cid_finish, const QString &cid_process,
                    const QString &cid_error)
{
    return startProcess(command, XProcess::CommandEncoding::Utf8, cid_finish, cid_process, cid_error);
}

int JSApiOvex::execASCII(const QVariant &command, const QString &cid_finish, const QString &cid_process,
                         const QString &cid_error)
{
    return startProcess(command, XProcess::CommandEncoding::Latin1, cid_finish, cid_process, cid_error);
}

void JSApiOvex::killExec(int execId)
{
    if (XProcess *process = processes.value(execId))
        process->kill();
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
    if (host)
        host->evaluateInMainFrame(script);
}

int JSApiOvex::startProcess(const QVariant &command, XProcess::CommandEncoding encoding, const QString &cidFinish,
                            const QString &cidProcess, const QString &cidError)
{
    auto *process = new XProcess(this);
    connect(process, &XProcess::scriptReady, this, &JSApiOvex::js);
    connect(process, &XProcess::alertReady, this, &JSApiOvex::alert);
    const int id = nextProcessId++;
    processes.insert(id, process);
    process->start(XProcess::commandLine(command, encoding), cidFinish, cidProcess, cidError);
    return id;
}

QWidget *JSApiOvex::dialogParent() const
{
    return host ? host->dialogParent() : nullptr;
}
