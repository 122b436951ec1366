#include "toolcommand.h"

#include "jsonvariant.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void printError(const QString &message)
{
    const QByteArray line = "lumatrace: " + message.toUtf8() + "\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

bool writeStandardOutput(const QByteArray &bytes)
{
    errno = 0;
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    // The data usually sits in the stream's buffer until the flush, where a full disk shows.
    if (written == size_t(bytes.size()) && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    const int reason = errno;
    printError(QStringLiteral("cannot write to standard output: %1")
                       .arg(QString::fromLocal8Bit(reason ? std::strerror(reason) : "write error")));
    return false;
}

bool loadParameterMapOrReport(const QString &path, QVariantMap *out)
{
    QString error;
    if (readJsonParameterFile(path, out, &error))
        return true;
    const QString name = path == QLatin1String("-") ? QStringLiteral("standard input") : path;
    printError(name + QStringLiteral(": ") + error);
    return false;
}
