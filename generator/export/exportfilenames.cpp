#include "exportfilenames.h"

QVector<ExportFileNames::Entry> ExportFileNames::pngFiles(const QString &file)
{
    return files(file, {Wires, Dots, Components, Signals, DotSignals}, QStringLiteral(".png"));
}

QVector<ExportFileNames::Entry> ExportFileNames::svgFiles(const QString &file)
{
    return files(file, {Wires, Dots, Signals, DotSignals}, QStringLiteral(".svg"));
}

QVector<ExportFileNames::Entry> ExportFileNames::artworkSvgFiles(const QString &file)
{
    return files(file, {Wires, Dots, Components, Signals, DotSignals}, QStringLiteral(".svg"));
}

QString ExportFileNames::base(const QString &file)
{
    // The last "." of the whole path counts, even one in a folder name:
    // my.dir/art gives the base "my".
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? file : file.left(dot);
}

QString ExportFileNames::layerSuffix(RenderLayer layer)
{
    switch (layer) {
    case Composite:
        break;
    case Wires:
        return QStringLiteral(".wires");
    case Dots:
        return QStringLiteral(".dots");
    case Components:
        return QStringLiteral(".components");
    case Signals:
        return QStringLiteral(".signals");
    case DotSignals:
        return QStringLiteral(".dot_signals");
    }
    return QString();
}

QVector<ExportFileNames::Entry> ExportFileNames::files(const QString &file, const QVector<RenderLayer> &layers,
                                                       const QString &extension)
{
    QVector<Entry> entries {{Composite, file}};
    const QString stem = base(file);
    for (RenderLayer layer : layers)
        entries.append({layer, stem + layerSuffix(layer) + extension});
    return entries;
}
