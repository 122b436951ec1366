// Animated loops (run by hand, never by CTest):
//   build/bin/bench_loop              the showcase map at 1920 x 1080: the 48 frames of a loop
//                                     drawn, and the whole MP4 export, against 48 times one
//                                     still BIN export of the same map and size, measured in
//                                     the same run
//   build/bin/bench_loop --frames N   only exports an N-frame MP4 and prints its peak memory
//                                     (the benchmark runs itself so for 48 and 480 frames)
#include "animationexporter.h"
#include "artworkscene.h"
#include "besttime.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "jsonvariant.h"
#include "loopframes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

bool loadShowcase(CircuitGenerator &generator)
{
    QVariantMap parameters;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(LUMATRACE_SHOWCASE_MAP), &parameters, &error)) {
        std::fprintf(stderr, "bench_loop: %s\n", qPrintable(error));
        return false;
    }
    parameters.insert(QStringLiteral("width"), 1920);
    parameters.insert(QStringLiteral("height"), 1080);
    generator.readParameters(parameters);
    return true;
}

// Generates and draws every frame of an n-frame loop, as an export does before encoding.
void drawLoop(CircuitGenerator &generator, int frames)
{
    generator.resetSeed();
    generator.generateCircuit();
    const ArtworkScene scene(generator);
    LoopFrames loop(scene, generator.settings(), 1.0f, frames);
    for (int k = 0; k < frames; ++k)
        loop.frame(k);
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long childPeak(int frames)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--frames"), QString::number(frames)});
    child.waitForFinished(-1);
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed().toLong();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    CircuitGenerator generator;
    if (!loadShowcase(generator))
        return 1;
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--frames")) {
        QTemporaryDir dir;
        AnimationExporter(generator).exportAnimation(dir.filePath(QStringLiteral("loop.mp4")), {args[2].toInt()});
        std::printf("%ld\n", peakKilobytes());
        return 0;
    }
    QTemporaryDir dir;
    CircuitRenderer renderer;
    CircuitExporter exporter(generator, renderer);
    const double still = bestOf(3, [&] { exporter.exportBin(dir.filePath(QStringLiteral("still.bin")), 100); });
    const double loop = bestOf(2, [&] { drawLoop(generator, 48); });
    std::printf("showcase map at 1920 x 1080\n");
    std::printf("  still BIN export (yardstick)        %9.1f ms\n", still);
    std::printf("  48 loop frames                      %9.1f ms  = %.3f x 48 stills (%.1f ms a frame)\n", loop,
                loop / (48 * still), loop / 48);
    AnimationExporter animation(generator);
    const double mp4 = bestOf(2, [&] { animation.exportAnimation(dir.filePath(QStringLiteral("loop.mp4")), {}); });
    std::printf("  48-frame MP4 export                 %9.1f ms  = %.3f x 48 stills\n", mp4, mp4 / (48 * still));
    const long peak48 = childPeak(48);
    const long peak480 = childPeak(480);
    std::printf("  peak memory of the MP4 export, 48 and 480 frames: %ld KB, %ld KB (%+.1f %%)\n", peak48, peak480,
                100.0 * (peak480 - peak48) / std::max(1L, peak48));
    return 0;
}
