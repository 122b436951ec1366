#include "pagegeometry.h"

#include "printsize.h"

#include <algorithm>
#include <cmath>

PageGeometry::PageGeometry(int width, int height, const QSizeF &trimMm, double marginMm, double bleedMm)
    : m_bleed(bleedMm)
{
    const QSizeF trim = trimMm.isEmpty() ? PrintSize::ofCanvas(width, height).millimetres() : trimMm;
    m_trim = QRectF(QPointF(m_bleed, m_bleed), trim);
    const QRectF box = marginMm > 0 || m_bleed <= 0 ? m_trim.adjusted(marginMm, marginMm, -marginMm, -marginMm)
                                                    : QRectF(QPointF(0, 0), mediaMm());
    if (width <= 0 || height <= 0)
        return;
    m_mmPerPixel = std::min(box.width() / width, box.height() / height);
    const QSizeF placed(width * m_mmPerPixel, height * m_mmPerPixel);
    m_artwork = QRectF(box.center() - QPointF(placed.width() / 2, placed.height() / 2), placed);
}

QRectF PageGeometry::mediaInCanvasPixels() const
{
    const QSizeF media = mediaMm() / m_mmPerPixel;
    return QRectF(-m_artwork.topLeft() / m_mmPerPixel, media);
}

QSize PageGeometry::mediaPixels(double dpi) const
{
    const QSizeF media = mediaMm() / 25.4 * dpi;
    return QSize(int(std::lround(media.width())), int(std::lround(media.height())));
}

QPoint PageGeometry::artworkOffsetPixels(double dpi, const QSize &artworkPixels) const
{
    // Centred in whole pixels, as the page's own rounding gives it.
    const QSize media = mediaPixels(dpi);
    return QPoint(std::max(0, (media.width() - artworkPixels.width()) / 2),
                  std::max(0, (media.height() - artworkPixels.height()) / 2));
}
