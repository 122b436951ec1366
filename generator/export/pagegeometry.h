// PageGeometry: where a canvas lies on a printed sheet. The trim is the paper as it is cut;
// the bleed runs around it, so the sheet (the media) is the trim and the bleed; the margin
// runs inside it. The artwork is fitted and centred inside the margin, its aspect kept; with
// a bleed and no margin it is fitted to the bleed box instead, so that the artwork runs past
// the cut rather than stopping at it. Millimetres, from the sheet's top left, y down.
#pragma once

#include <QRect>
#include <QRectF>
#include <QSizeF>

class PageGeometry
{
public:
    // A canvas of width x height pixels on a page of trimMm (empty: the canvas at a screen's
    // 96 dpi).
    PageGeometry(int width, int height, const QSizeF &trimMm, double marginMm = 0, double bleedMm = 0);

    QSizeF mediaMm() const { return m_trim.size() + QSizeF(2 * m_bleed, 2 * m_bleed); }
    QRectF trimMm() const { return m_trim; }
    double bleedMm() const { return m_bleed; }
    // The canvas as placed on the sheet.
    QRectF artworkMm() const { return m_artwork; }
    double mmPerPixel() const { return m_mmPerPixel; }
    // The sheet in canvas pixels, the canvas at 0,0: what an SVG viewBox shows.
    QRectF mediaInCanvasPixels() const;

    // The sheet at dpi in whole pixels, and where a canvas rendered at rasterScalePercent()
    // starts on it.
    QSize mediaPixels(double dpi) const;
    double rasterScalePercent(double dpi) const { return 100.0 * dpi / 25.4 * m_mmPerPixel; }
    QPoint artworkOffsetPixels(double dpi, const QSize &artworkPixels) const;

private:
    QRectF m_trim;
    double m_bleed;
    double m_mmPerPixel = 0;
    QRectF m_artwork;
};
