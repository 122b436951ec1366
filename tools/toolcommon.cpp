#include "toolcommand.h"

#include "jsonvariant.h"

#include <cstdio>

void printError(const QString &message)
{
    const QByteArray line = "lumatrace: " + message.toUtf8() + "\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
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
