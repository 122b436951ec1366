// Vector export speed (run by hand, never by CTest):
//   build/bin/bench_vector             the showcase map on a 10240 x 10240 canvas (262k cells)
//   build/bin/bench_vector --largest   on the largest grid, 40960 x 40960 (4.2M cells)
// Times generation alone, then the plain SVG, the artwork SVG and the PDF exports (each
// regenerates), against zlib level 1 (gzip -1) of the plain SVG's bytes in the same run:
// the ratios are what matter, as the machine's speed varies.
#include "artworkexporter.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "jsonvariant.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

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

// zlib level 1 of the file's bytes, read beforehand in chunks as an export writes them.
double deflateTime(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return 0;
    std::vector<QByteArray> chunks;
    while (!in.atEnd())
        chunks.push_back(in.read(256 * 1024));
    std::vector<unsigned char> out(512 * 1024);
    return bestOf(2, [&] {
        z_stream stream {};
        deflateInit(&stream, 1);
        for (size_t i = 0; i < chunks.size(); ++i) {
            stream.next_in = reinterpret_cast<Bytef *>(chunks[i].data());
            stream.avail_in = uInt(chunks[i].size());
            const int flush = i + 1 == chunks.size() ? Z_FINISH : Z_NO_FLUSH;
            do {
                stream.next_out = out.data();
                stream.avail_out = uInt(out.size());
                deflate(&stream, flush);
            } while (stream.avail_out == 0);
        }
        deflateEnd(&stream);
    });
}

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void report(const char *label, double ms, double yardstick, const QString &file)
{
    std::printf("  %-32s %9.0f ms %7.2f x   %8.1f MB file\n", label, ms, ms / yardstick, QFileInfo(file).size() / 1e6);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool largest = app.arguments().contains(QStringLiteral("--largest"));
    const int side = largest ? 40960 : 10240;
    const int repeats = largest ? 1 : 3;
    QVariantMap parameters;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(LUMATRACE_SHOWCASE_MAP), &parameters, &error)) {
        std::fprintf(stderr, "bench_vector: %s\n", qPrintable(error));
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
    const double yardstick = deflateTime(svg);
    const double artSvg = bestOf(repeats, [&] { artwork.exportSvg(art, false, {}); });
    const double page = bestOf(repeats, [&] { artwork.exportPdf(pdf, QSizeF(), true); });

    std::printf("showcase map, %d x %d, %zu wires; times against zlib level 1 of the plain SVG\n", side, side,
                generator.circuit()->wires().size());
    std::printf("  %-32s %9.0f ms\n", "zlib level 1 (yardstick)", yardstick);
    std::printf("  %-32s %9.0f ms %7.2f x\n", "generation alone", generation, generation / yardstick);
    report("exportSVG", plain, yardstick, svg);
    report("artwork SVG", artSvg, yardstick, art);
    report("PDF", page, yardstick, pdf);
    std::printf("  %-32s %9.0f MB   (whole process)\n", "peak resident memory", peakMegabytes());
    return 0;
}
