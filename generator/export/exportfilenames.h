#pragma once

#include "renderlayer.h"

#include <QString>
#include <QVector>

// File names of a separate export: the given file holds the composite and
// each layer goes to base + ".<layer>" + extension, base being the path up to
// its last "." (the whole path when it has none).
class ExportFileNames
{
public:
    struct Entry {
        RenderLayer layer;
        QString file;
    };

    // The six PNG files, in writing order: composite, wires, dots,
    // components, signals, dot signals.
    static QVector<Entry> pngFiles(const QString &file);
    // The five SVG files, in writing order (there is no components document).
    static QVector<Entry> svgFiles(const QString &file);
    // The six artwork SVG files, in the order of pngFiles.
    static QVector<Entry> artworkSvgFiles(const QString &file);

    // The path up to, not including, its last "."; the whole path without one.
    static QString base(const QString &file);
    // ".wires", ".dots", ... for a mask layer; empty for the composite.
    static QString layerSuffix(RenderLayer layer);

private:
    static QVector<Entry> files(const QString &file, const QVector<RenderLayer> &layers, const QString &extension);
};
