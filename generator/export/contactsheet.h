// ContactSheet: one picture of many artworks, each a labelled thumbnail.
#pragma once

#include "exportfile.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QVariantMap>
#include <QVector>

class CircuitGenerator;
class CircuitRenderer;

class ContactSheet
{
public:
    // Longest side of one thumbnail, in pixels.
    static constexpr int kThumbnailSide = 160;
    // The most seeds one sheet shows, as a batch may name.
    static constexpr int kMaxSeeds = 100000;

    // The map rendered for each seed at a scale that fits kThumbnailSide, in rows of about
    // the square root of the count, each with "seed N" beneath. A seed whose canvas cannot
    // be drawn leaves its place empty.
    ContactSheet(const QVariantMap &parameters, const QVector<int> &seeds);

    QSize size() const;

    // Writes the sheet as a PNG file, complete or not at all. It is drawn and encoded one
    // row of thumbnails at a time, so that memory stays that of one row whatever the count.
    ExportFile::Error write(const QString &path) const;

private:
    // Sheet rows [top, bottom) of thumbnail row `row`, which hold all of its thumbnails and
    // labels; the bands of all rows tile the sheet.
    int bandTop(int row) const;
    int bandBottom(int row) const;
    QImage band(int row, CircuitGenerator &generator, CircuitRenderer &renderer) const;

    QVariantMap m_parameters;
    QVector<int> m_seeds;
    int m_columns;
    int m_rows;
};
