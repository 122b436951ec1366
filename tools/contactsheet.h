// ContactSheet: one picture of many artworks, each a labelled thumbnail.
#pragma once

#include <QImage>
#include <QString>
#include <QVariantMap>
#include <QVector>

class ContactSheet
{
public:
    // Longest side of one thumbnail, in pixels.
    static constexpr int kThumbnailSide = 160;

    // The map rendered for each seed at a scale that fits kThumbnailSide, in rows of about
    // the square root of the count, each with "seed N" beneath. A seed whose canvas cannot
    // be drawn leaves its place empty.
    static QImage build(const QVariantMap &parameters, const QVector<int> &seeds);
};
