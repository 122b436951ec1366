#include "contactsheet.h"

#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "pngstreamwriter.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGap = 8;
constexpr int kLabelHeight = 18;
constexpr int kCell = ContactSheet::kThumbnailSide + kGap;
constexpr int kRowPitch = kCell + kLabelHeight;
// A label reaches this far below its thumbnail's top, into the next row's top gap.
constexpr int kLabelBottom = ContactSheet::kThumbnailSide + 2 + kLabelHeight;

// One font at one pixel size, unhinted: the labels look the same from the tool and from
// the studio, whatever font and screen each process has by default.
QFont labelFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

ContactSheet::ContactSheet(const QVariantMap &parameters, const QVector<int> &seeds)
    : m_parameters(parameters)
    , m_seeds(seeds)
    , m_columns(std::max(1, int(std::ceil(std::sqrt(double(seeds.size()))))))
    , m_rows((int(seeds.size()) + m_columns - 1) / m_columns)
{ }

QSize ContactSheet::size() const
{
    return {m_columns * kCell + kGap, m_rows * kRowPitch + kGap};
}

int ContactSheet::bandTop(int row) const
{
    return row == 0 ? 0 : kGap + (row - 1) * kRowPitch + kLabelBottom;
}

int ContactSheet::bandBottom(int row) const
{
    return row == m_rows - 1 ? size().height() : bandTop(row + 1);
}

QImage ContactSheet::band(int row, CircuitGenerator &generator, CircuitRenderer &renderer) const
{
    const int top = bandTop(row);
    QImage image(size().width(), bandBottom(row) - top, QImage::Format_RGB32);
    image.fill(QColor(24, 24, 24));
    QPainter painter(&image);
    painter.setPen(QColor(220, 220, 220));
    painter.setFont(labelFont());
    const int end = std::min(int(m_seeds.size()), (row + 1) * m_columns);
    for (int i = row * m_columns; i < end; ++i) {
        QVariantMap map = m_parameters;
        map.insert(QStringLiteral("seed"), m_seeds[i]);
        generator.readParameters(map);
        const GeneratorSettings &s = generator.settings();
        const float scale = float(kThumbnailSide) / float(std::max({s.width, s.height, 1}));
        generator.generateCircuit();
        // Whole-pixel offsets: every band draws exactly the pixels of one whole-sheet drawing.
        const QPoint origin(kGap + (i % m_columns) * kCell, kGap + row * kRowPitch - top);
        if (const QImage *thumbnail = renderer.render(ArtworkScene(generator), s, scale, Composite))
            painter.drawImage(origin, *thumbnail);
        painter.drawText(QRect(origin.x(), origin.y() + kThumbnailSide + 2, kThumbnailSide, kLabelHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("seed %1").arg(m_seeds[i]));
    }
    return image;
}

ExportFile::Error ContactSheet::write(const QString &path) const
{
    ExportFile file(path);
    if (!file.open())
        return file.error();
    PngStreamWriter png([&file](const char *data, qint64 bytes) { return file.write(data, bytes); }, size().width(),
                        size().height());
    // One generator and renderer for every seed, as a single export has.
    CircuitGenerator generator;
    CircuitRenderer renderer;
    bool ok = png.begin();
    for (int row = 0; ok && row < m_rows; ++row)
        ok = png.writeRows(band(row, generator, renderer));
    if (ok && png.finish() && file.commit())
        return ExportFile::Error::None;
    return file.error() != ExportFile::Error::None ? file.error() : ExportFile::Error::CannotWrite;
}
