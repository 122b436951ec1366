#include "includelayers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

namespace {

const QStringList sourcePatterns = {QStringLiteral("*.h"), QStringLiteral("*.cpp")};

QStringList sourceFiles(const QString &root)
{
    QStringList files;
    QDirIterator it(root, sourcePatterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

} // namespace

IncludeLayers::IncludeLayers(const QString &root, const QStringList &layers)
    : m_root(root)
    , m_layers(layers)
{ }

QStringList IncludeLayers::violations() const
{
    QStringList found;
    const QStringList folders = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &folder : folders)
        if (!m_layers.contains(folder))
            found.append(folder + QStringLiteral("/ is no layer"));

    const QMap<QString, QString> headers = headersByName();
    for (const QString &file : sourceFiles(m_root)) {
        if (rank(file) < 0) {
            if (!file.contains(QLatin1Char('/')))
                found.append(file + QStringLiteral(" is outside every layer"));
            continue;
        }
        for (const QString &include : quotedIncludes(m_root + QLatin1Char('/') + file)) {
            const QString target = headers.value(include.section(QLatin1Char('/'), -1));
            // rank 0 is the top: a smaller rank is a higher layer.
            if (!target.isEmpty() && rank(target) >= 0 && rank(target) < rank(file))
                found.append(file + QStringLiteral(" includes ") + target);
        }
    }
    return found;
}

QMap<QString, QString> IncludeLayers::headersByName() const
{
    QMap<QString, QString> headers;
    for (const QString &file : sourceFiles(m_root))
        if (file.endsWith(QLatin1String(".h")))
            headers.insert(file.section(QLatin1Char('/'), -1), file);
    return headers;
}

int IncludeLayers::rank(const QString &relativePath) const
{
    return m_layers.indexOf(relativePath.section(QLatin1Char('/'), 0, 0));
}

QStringList IncludeLayers::quotedIncludes(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""),
                                     QRegularExpression::MultilineOption);
    QStringList names;
    auto matches = include.globalMatch(QString::fromUtf8(in.readAll()));
    while (matches.hasNext())
        names.append(matches.next().captured(1));
    return names;
}
