// Rendering and export speed for the default map (run by hand, never by CTest):
//   build-render/bin/bench_render
// Prints, per canvas size, the render and PNG encoding of the live preview
// path, and splits the render into drawing, blur and vignette by rendering
// with the effect switched off; then the SVG document and whole exports.
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportwriter.h"
#include "jsonvariant.h"
#include "svgwriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

double bestOf(int repeats, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, clock.nsecsElapsed() / 1e6);
    }
    return best;
}

void print(const char *label, double ms)
{
    std::printf("  %-44s %9.1f ms\n", label, ms);
    std::fflush(stdout);
}

double renderTime(CircuitGenerator &generator, CircuitRenderer &renderer, float scale, RenderLayer layer, int repeats)
{
    return bestOf(repeats, [&] {
        generator.resetSeed();
        renderer.render(*generator.circuit(), generator.settings(), scale, layer);
    });
}

void measureCanvas(CircuitGenerator &generator, float scale, int repeats)
{
    CircuitRenderer renderer;
    GeneratorSettings &settings = generator.mutableSettings();
    const GeneratorSettings original = settings;
    std::printf("%d x %d (render scale %g):\n", int(std::lround(settings.width * scale)),
                int(std::lround(settings.height * scale)), double(scale));

    const double full = renderTime(generator, renderer, scale, Composite, repeats);
    print("render, composite", full);
    const double encode = bestOf(repeats, [&] { ExportWriter::encodePng(*renderer.image()); });
    print("PNG encoding", encode);
    print("render + PNG (preview path at scale 1)", full + encode);

    settings.signalGlowing = 0; // g = 0: no blur at all
    const double noBlur = renderTime(generator, renderer, scale, Composite, repeats);
    settings.vignetting = 0;
    const double plain = renderTime(generator, renderer, scale, Composite, repeats);
    settings = original;
    print("  of it: glow blurs (five box blurs)", full - noBlur);
    print("  of it: vignette", noBlur - plain);
    print("  of it: drawing, signal and glow images", plain);
    print("render, wires layer only", renderTime(generator, renderer, scale, Wires, repeats));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QVariantMap parameters;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(LUMATRACE_RENDER_MAP), &parameters, &error)) {
        std::fprintf(stderr, "bench_render: %s\n", qPrintable(error));
        return 1;
    }
    CircuitGenerator generator;
    generator.readParameters(parameters);
    generator.generateCircuit();
    std::printf("default map, %zu wires\n", generator.circuit()->wires().size());

    measureCanvas(generator, 1.0f, 20);
    print("SVG document (composite)", bestOf(20, [&] {
              generator.resetSeed();
              SvgWriter::svgDocument(*generator.circuit(), generator.settings(), Composite);
          }));
    measureCanvas(generator, 4.0f, 3);
    measureCanvas(generator, 8.0f, 1);

    QTemporaryDir dir;
    CircuitRenderer renderer;
    CircuitExporter exporter(generator, renderer);
    std::printf("whole exports (regenerate, render, encode, write):\n");
    print("exportSVG", bestOf(5, [&] { exporter.exportSvg(dir.filePath("a.svg"), false); }));
    print("exportPNG 100 %", bestOf(5, [&] { exporter.exportPng(dir.filePath("a.png"), 100, false); }));
    print("exportPNG 400 % (2400 x 2400)", bestOf(2, [&] { exporter.exportPng(dir.filePath("b.png"), 400, false); }));
    print("exportPNG 800 % (4800 x 4800)", bestOf(1, [&] { exporter.exportPng(dir.filePath("c.png"), 800, false); }));
    print("exportBIN 800 % (4800 x 4800)", bestOf(1, [&] { exporter.exportBin(dir.filePath("c.bin"), 800); }));
    print("exportPNG 100 %, six layer files", bestOf(3, [&] { exporter.exportPng(dir.filePath("d.png"), 100, true); }));
    return 0;
}
