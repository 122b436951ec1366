#include "exportfacts.h"

#include "exportfilenames.h"
#include "printlayout.h"
#include "rendermetrics.h"

namespace {

// The layer files' names past the base, in writing order; the composite keeps the name given.
QStringList layerSuffixesOf(const QString &file, const QVector<ExportFileNames::Entry> &entries)
{
    const int base = ExportFileNames::base(file).size();
    QStringList suffixes;
    for (const ExportFileNames::Entry &entry : entries) {
        if (entry.layer != Composite)
            suffixes.append(entry.file.mid(base));
    }
    return suffixes;
}

} // namespace

QVariantMap ExportFacts::toVariant()
{
    const QString png = QStringLiteral("art.png");
    const QString svg = QStringLiteral("art.svg");
    const QVariantMap suffixes {
            {QStringLiteral("png"), layerSuffixesOf(png, ExportFileNames::pngFiles(png))},
            {QStringLiteral("svg"), layerSuffixesOf(svg, ExportFileNames::svgFiles(svg))},
            {QStringLiteral("artworkSvg"), layerSuffixesOf(svg, ExportFileNames::artworkSvgFiles(svg))},
    };
    // Page script numbers are doubles; the pixel limit is one exactly.
    return {{QStringLiteral("maxSide"), RenderMetrics::kMaxBandedSide},
            {QStringLiteral("maxPixels"), double(RenderMetrics::kMaxBandedPixels)},
            {QStringLiteral("papers"), PrintSize::paperNames()},
            {QStringLiteral("minDpi"), PrintSize::kMinDpi},
            {QStringLiteral("maxDpi"), PrintSize::kMaxDpi},
            {QStringLiteral("defaultDpi"), PrintLayout::kDefaultDpi},
            {QStringLiteral("layerSuffixes"), suffixes}};
}
