#include "imageblender.h"

#include <array>
#include <vector>

namespace {

// result[destination × 256 + source] for one mode, or empty when QPainter's
// results for that mode are not a per-channel function of the two values.
using BlendTable = std::vector<unsigned char>;

// The source value that leaves every destination value as it is in the table's
// mode (white for multiply, black for colour dodge), or −1 when there is none.
int neutralSource(const BlendTable &table)
{
    if (table.empty())
        return -1;
    for (int source = 0; source < 256; ++source) {
        bool neutral = true;
        for (int destination = 0; destination < 256 && neutral; ++destination)
            neutral = table[size_t(destination * 256 + source)] == destination;
        if (neutral)
            return source;
    }
    return -1;
}

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

struct Blend {
    BlendTable table;
    int neutral;
};

Blend blendFor(QPainter::CompositionMode mode)
{
    BlendTable table = buildTable(mode);
    const int neutral = neutralSource(table);
    return {std::move(table), neutral};
}

const Blend &blendOf(QPainter::CompositionMode mode)
{
    // Built once per mode on first use; immutable afterwards, so threads share them.
    static const std::array<Blend, 5> tables
            = {blendFor(QPainter::CompositionMode_Multiply), blendFor(QPainter::CompositionMode_Screen),
               blendFor(QPainter::CompositionMode_Overlay), blendFor(QPainter::CompositionMode_ColorDodge),
               blendFor(QPainter::CompositionMode_SourceOver)};
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
        return !blendOf(mode).table.empty();
    default:
        return false;
    }
}

bool ImageBlender::compose(QImage &destination, const QImage &source, QPainter::CompositionMode mode)
{
    if (!handles(mode) || destination.format() != QImage::Format_ARGB32 || source.depth() != 32
        || destination.size() != source.size())
        return false;
    const Blend &blend = blendOf(mode);
    const unsigned char *table = blend.table.data();
    // A neutral source pixel on an opaque one changes nothing: a blurred glow is mostly
    // black, a shadow mostly white.
    const QRgb unchanged = blend.neutral >= 0 ? qRgb(blend.neutral, blend.neutral, blend.neutral) & RGB_MASK : 0;
    const bool skips = blend.neutral >= 0;
    const int width = destination.width();
    for (int y = 0; y < destination.height(); ++y) {
        auto *d = reinterpret_cast<QRgb *>(destination.scanLine(y));
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb dp = d[x];
            const QRgb sp = s[x];
            if (skips && (sp & RGB_MASK) == unchanged && qAlpha(dp) == 255)
                continue;
            d[x] = qRgb(table[qRed(dp) * 256 + qRed(sp)], table[qGreen(dp) * 256 + qGreen(sp)],
                        table[qBlue(dp) * 256 + qBlue(sp)]);
        }
    }
    return true;
}
