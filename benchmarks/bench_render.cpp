// Rendering and export speed (run by hand, never by CTest):
//   build/bin/bench_render            the default map: preview path, effects, exports
//   build/bin/bench_render --prints   the showcase map at 600 x 848 as an A3 print at
//                                     300 dpi (585 %): PNG, BIN and six-file PNG exports
//                                     against gzip -1 of the same raw RGB in the same run
//   build/bin/bench_render --prints --a0   also the A0 poster (1655.5 %, 9933 x 14038)
//   build/bin/bench_render --vector   the showcase map on a 10240 x 10240 canvas (262k
//                                     cells): generation, the plain SVG, the artwork SVG
//                                     and the PDF exports against gzip -1 of the plain
//                                     SVG in the same run; --at-limits on the largest grids
//                                     the exports take (1,048,576 and 524,176 cells)
// Prints, per canvas size, the render and PNG encoding of the live preview
// path, and splits the render into drawing, blur and vignette by rendering
// with the effect switched off; then the SVG document and whole exports.
#include "artworkexporter.h"
#include "besttime.h"
#include "artworkscene.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportwriter.h"
#include "jsonvariant.h"
#include "pngstreamwriter.h"
#include "svgwriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

void print(const char *label, double ms)
{
    std::printf("  %-44s %9.1f ms\n", label, ms);
    std::fflush(stdout);
}

double renderTime(CircuitGenerator &generator, CircuitRenderer &renderer, float scale, RenderLayer layer, int repeats)
{
    return bestOf(repeats, [&] {
        generator.resetSeed();
        renderer.render(ArtworkScene(generator), generator.settings(), scale, layer);
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

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// gzip -1 of the file to /dev/null: the yardstick of a fast compression of
// the same bytes on the same machine in the same minute.
double gzipTime(const QString &file)
{
    return bestOf(3, [&] {
        QProcess gzip;
        gzip.setStandardOutputFile(QProcess::nullDevice());
        gzip.start(QStringLiteral("gzip"), {QStringLiteral("-1"), QStringLiteral("-c"), file});
        gzip.waitForFinished(-1);
    });
}

void measurePrint(CircuitGenerator &generator, const char *name, float percent, int repeats, bool separate)
{
    QTemporaryDir dir;
    CircuitRenderer renderer;
    CircuitExporter exporter(generator, renderer);
    const GeneratorSettings &settings = generator.settings();
    std::printf("%s: %d x %d at %g %%\n", name, int(std::lround(settings.width * percent / 100)),
                int(std::lround(settings.height * percent / 100)), double(percent));
    const double bin = bestOf(repeats, [&] { exporter.exportBin(dir.filePath("a.bin"), percent); });
    const double gzip = gzipTime(dir.filePath("a.bin"));
    const double png = bestOf(repeats, [&] { exporter.exportPng(dir.filePath("a.png"), percent, false); });
    const QFileInfo pngFile(dir.filePath("a.png"));
    print("gzip -1 of the raw RGB (yardstick)", gzip);
    print("exportBIN", bin);
    std::printf("  %-44s %9.2f x   (target <= 1.5)\n", "  BIN / gzip", bin / gzip);
    print("exportPNG", png);
    std::printf("  %-44s %9.2f x   (target <= 2)\n", "  PNG / gzip", png / gzip);
    std::printf("  %-44s %9.1f MB\n", "  PNG file", pngFile.size() / 1e6);
    if (separate) {
        const double six = bestOf(1, [&] { exporter.exportPng(dir.filePath("s.png"), percent, true); });
        print("exportPNG --separate (six files)", six);
        std::printf("  %-44s %9.2f x   (target <= 2.5)\n", "  six files / one PNG", six / png);
    }
    std::printf("  %-44s %9.0f MB   (whole process so far)\n", "peak resident memory", peakMegabytes());
    std::fflush(stdout);
}

int measurePrints(bool poster)
{
    QVariantMap parameters;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(LUMATRACE_SHOWCASE_MAP), &parameters, &error)) {
        std::fprintf(stderr, "bench_render: %s\n", qPrintable(error));
        return 1;
    }
    parameters.insert(QStringLiteral("width"), 600);
    parameters.insert(QStringLiteral("height"), 848);
    CircuitGenerator generator;
    generator.readParameters(parameters);
    CircuitRenderer renderer;
    std::printf("showcase map, 600 x 848; %d threads\n", renderer.threadCount());
    measurePrint(generator, "A3 at 300 dpi", 585.0f, 3, true);
    if (poster)
        measurePrint(generator, "A0 at 300 dpi", 1655.5f, 1, false);
    return 0;
}

void reportVector(const char *label, double ms, double yardstick, const QString &file)
{
    if (!QFileInfo::exists(file))
        std::printf("  %-44s refused: the grid is over its limit\n", label);
    else
        std::printf("  %-44s %9.0f ms %7.2f x   %8.1f MB file\n", label, ms, ms / yardstick,
                    QFileInfo(file).size() / 1e6);
    std::fflush(stdout);
}

// Each export regenerates; generation alone shows what the writing adds.
int measureVector(int side, int repeats)
{
    QVariantMap parameters;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(LUMATRACE_SHOWCASE_MAP), &parameters, &error)) {
        std::fprintf(stderr, "bench_render: %s\n", qPrintable(error));
        return 1;
    }
    parameters.insert(QStringLiteral("width"), side);
    parameters.insert(QStringLiteral("height"), side);
    parameters.insert(QStringLiteral("scale"), 1);
    CircuitGenerator generator;
    generator.readParameters(parameters);
    CircuitRenderer renderer;
    CircuitExporter exporter(generator, renderer);
    ArtworkExporter artwork(generator);
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("plain.svg"));
    const QString art = dir.filePath(QStringLiteral("art.svg"));
    const QString pdf = dir.filePath(QStringLiteral("art.pdf"));
    const double generation = bestOf(repeats, [&] {
        generator.resetSeed();
        generator.generateCircuit();
    });
    const double plain = bestOf(repeats, [&] { exporter.exportSvg(svg, false); });
    const double gzip = gzipTime(svg);
    const double artSvg = bestOf(repeats, [&] { artwork.exportSvg(art, {}); });
    const double page = bestOf(repeats, [&] { artwork.exportPdf(pdf, {}); });
    std::printf("showcase map, %d x %d, %zu wires\n", side, side, generator.circuit()->wires().size());
    print("gzip -1 of the plain SVG (yardstick)", gzip);
    std::printf("  %-44s %9.0f ms %7.2f x\n", "generation alone", generation, generation / gzip);
    reportVector("exportSVG", plain, gzip, svg);
    reportVector("artwork SVG", artSvg, gzip, art);
    reportVector("PDF", page, gzip, pdf);
    std::printf("  %-44s %9.0f MB   (whole process)\n", "peak resident memory", peakMegabytes());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--prints")))
        return measurePrints(args.contains(QStringLiteral("--a0")));
    if (args.contains(QStringLiteral("--vector")) && args.contains(QStringLiteral("--at-limits"))) {
        const int svgLimit = measureVector(20480, 1);
        return std::max(svgLimit, measureVector(14480, 1));
    }
    if (args.contains(QStringLiteral("--vector")))
        return measureVector(10240, 3);
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
              SvgWriter::svgDocument(ArtworkScene(generator), generator.settings(), Composite);
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
    // The plug-in's generateImage: render at scale 1, PNG with stored rows.
    PngStreamWriter::Options stored;
    stored.stored = true;
    print("preview hand-off (render + stored PNG, 600 x 600)", bestOf(20, [&] {
              generator.resetSeed();
              PngStreamWriter::encode(*renderer.render(ArtworkScene(generator), generator.settings(), 1.0f, Composite),
                                      stored);
          }));
    return 0;
}
