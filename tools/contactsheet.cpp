#include "contactsheet.h"

#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGap = 8;
constexpr int kLabelHeight = 18;

} // namespace

QImage ContactSheet::build(const QVariantMap &parameters, const QVector<int> &seeds)
{
    const int columns = std::max(1, int(std::ceil(std::sqrt(double(seeds.size())))));
    const int rows = (int(seeds.size()) + columns - 1) / columns;
    const int cell = kThumbnailSide + kGap;
    QImage sheet(columns * cell + kGap, rows * (cell + kLabelHeight) + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(24, 24, 24));
    QPainter painter(&sheet);
    painter.setPen(QColor(220, 220, 220));

    CircuitGenerator generator;
    CircuitRenderer renderer;
    for (int i = 0; i < seeds.size(); ++i) {
        QVariantMap map = parameters;
        map.insert(QStringLiteral("seed"), seeds[i]);
        generator.readParameters(map);
        const GeneratorSettings &s = generator.settings();
        const float scale = float(kThumbnailSide) / float(std::max({s.width, s.height, 1}));
        generator.generateCircuit();
        const QPoint origin(kGap + (i % columns) * cell, kGap + (i / columns) * (cell + kLabelHeight));
        if (const QImage *image = renderer.render(ArtworkScene(generator), s, scale, Composite))
            painter.drawImage(origin, *image);
        painter.drawText(QRect(origin.x(), origin.y() + kThumbnailSide + 2, kThumbnailSide, kLabelHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("seed %1").arg(seeds[i]));
    }
    return sheet;
}
