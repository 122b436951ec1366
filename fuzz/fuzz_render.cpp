// Any bytes as a JSON parameter map on a tiny grid, rendered at a few dozen pixels and
// written as SVG: the sizes and colours of the drawing, whatever the map says.
#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "fuzzmap.h"
#include "svgwriter.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QVariantMap map;
    if (!FuzzMap::parse(data, size, &map))
        return 0;
    // At most 8 x 8 cells.
    FuzzMap::keepSmall(map, 80);
    CircuitGenerator generator;
    generator.readParameters(map);
    generator.generateCircuit();
    const ArtworkScene scene(generator);
    const GeneratorSettings &settings = generator.settings();
    const int side = std::max({settings.width, settings.height, 1});
    CircuitRenderer renderer;
    renderer.setThreadCount(1);
    renderer.render(scene, settings, 24.0f / float(side), RenderLayer::Composite);
    SvgWriter::svgDocument(scene, settings, RenderLayer::Composite);
    return 0;
}
