#include "imageblender.h"

#include <array>
#include <vector>

namespace {

// result[destination × 256 + source] for one mode, or empty when QPainter's
// results for that mode are not a per-channel function of the two values.
using BlendTable = std::vector<unsigned char>;

BlendTable buildTable(QPainter::CompositionMode mode)
{
    QImage destination(256, 256, QImage::Format_ARGB32);
    QImage source(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        auto *d = reinterpret_cast<QRgb *>(destination.scanLine(y));
        auto *s = reinterpret_cast<QRgb *>(source.scanLine(y));
        for (int x = 0; x < 256; ++x) {
            // Red and blue sweep the pair one way, green the other way round,
            // so that the check below sees every pair twice.
            d[x] = qRgb(x, y, x);
            s[x] = qRgb(y, x, y);
        }
    }
    {
        QPainter painter(&destination);
        painter.setCompositionMode(mode);
        painter.drawImage(0, 0, source);
    }
    BlendTable table(256 * 256);
    for (int y = 0; y < 256; ++y) {
        const auto *d = reinterpret_cast<const QRgb *>(destination.constScanLine(y));
        for (int x = 0; x < 256; ++x)
            table[size_t(x * 256 + y)] = static_cast<unsigned char>(qRed(d[x]));
    }
    for (int y = 0; y < 256; ++y) {
        const auto *d = reinterpret_cast<const QRgb *>(destination.constScanLine(y));
        for (int x = 0; x < 256; ++x) {
            if (qAlpha(d[x]) != 255 || qBlue(d[x]) != qRed(d[x]) || qGreen(d[x]) != table[size_t(y * 256 + x)])
                return BlendTable();
        }
    }
    return table;
}

const BlendTable &tableFor(QPainter::CompositionMode mode)
{
    // Built once per mode on first use; immutable afterwards, so threads share them.
    static const std::array<BlendTable, 5> tables
            = {buildTable(QPainter::CompositionMode_Multiply), buildTable(QPainter::CompositionMode_Screen),
               buildTable(QPainter::CompositionMode_Overlay), buildTable(QPainter::CompositionMode_ColorDodge),
               buildTable(QPainter::CompositionMode_SourceOver)};
    switch (mode) {
    case QPainter::CompositionMode_Multiply:
        return tables[0];
    case QPainter::CompositionMode_Screen:
        return tables[1];
    case QPainter::CompositionMode_Overlay:
        return tables[2];
    case QPainter::CompositionMode_ColorDodge:
        return tables[3];
    default:
        break;
    }
    return tables[4];
}

} // namespace

bool ImageBlender::handles(QPainter::CompositionMode mode)
{
    switch (mode) {
    case QPainter::CompositionMode_Multiply:
    case QPainter::CompositionMode_Screen:
    case QPainter::CompositionMode_Overlay:
    case QPainter::CompositionMode_ColorDodge:
        return !tableFor(mode).empty();
    default:
        return false;
    }
}

bool ImageBlender::compose(QImage &destination, const QImage &source, QPainter::CompositionMode mode)
{
    if (!handles(mode) || destination.format() != QImage::Format_ARGB32 || source.depth() != 32
        || destination.size() != source.size())
        return false;
    const unsigned char *table = tableFor(mode).data();
    const int width = destination.width();
    for (int y = 0; y < destination.height(); ++y) {
        auto *d = reinterpret_cast<QRgb *>(destination.scanLine(y));
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb dp = d[x];
            const QRgb sp = s[x];
            d[x] = qRgb(table[qRed(dp) * 256 + qRed(sp)], table[qGreen(dp) * 256 + qGreen(sp)],
                        table[qBlue(dp) * 256 + qBlue(sp)]);
        }
    }
    return true;
}
