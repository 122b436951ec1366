// Any bytes as a JSON parameter map: read, generated, rendered at a small canvas and
// written as SVG, as the plug-in and the tool do. Sizes are kept small so that one run
// takes milliseconds; the work budget itself has its own tests.
#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "jsonvariant.h"
#include "svgwriter.h"

#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// JSON gives whole numbers as integers and others as doubles: both are clamped, while a
// value of another type stays as mistyped as it came.
void clampNumber(QVariantMap &map, const char *key, double low, double high)
{
    const QString name = QString::fromLatin1(key);
    const QVariant value = map.value(name);
    const bool number = value.type() == QVariant::Double || value.type() == QVariant::LongLong
            || value.type() == QVariant::ULongLong || value.type() == QVariant::Int;
    if (number && std::isfinite(value.toDouble()))
        map[name] = std::clamp(value.toDouble(), low, high);
}

void truncateList(QVariantMap &map, const char *key, int count)
{
    const QString name = QString::fromLatin1(key);
    if (map.value(name).type() == QVariant::List)
        map[name] = map.value(name).toList().mid(0, count);
}

// Small grids, few passes and short lists; no files are read.
void keepSmall(QVariantMap &map)
{
    clampNumber(map, "width", -64, 240);
    clampNumber(map, "height", -64, 240);
    const double scale = map.value(QStringLiteral("scale")).toDouble();
    if (scale > 0 && scale < 0.25)
        map[QStringLiteral("scale")] = 0.25;
    clampNumber(map, "loops", -2, 4);
    truncateList(map, "modificators", 16);
    truncateList(map, "adjustments", 16);
    truncateList(map, "chips", 16);
    map[QStringLiteral("mask_text")] = map.value(QStringLiteral("mask_text")).toString().left(32);
    map[QStringLiteral("mask_file_path")] = QString();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text masks need fonts, hence a GUI application; it lives as long as the process.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QVariantMap map;
    if (!parseJsonParameterMap(QByteArray(reinterpret_cast<const char *>(data), int(size)), &map, nullptr))
        return 0;
    keepSmall(map);
    CircuitGenerator generator;
    generator.readParameters(map);
    generator.generateCircuit();
    generator.resultMap();
    const ArtworkScene scene(generator);
    const GeneratorSettings &settings = generator.settings();
    const int side = std::max({settings.width, settings.height, 1});
    CircuitRenderer renderer;
    renderer.render(scene, settings, 48.0f / float(side), RenderLayer::Composite);
    SvgWriter::svgDocument(scene, settings, RenderLayer::Composite);
    return 0;
}
