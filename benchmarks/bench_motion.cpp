// Animation encoding speed and memory (run by hand, never by CTest):
//   build/bin/bench_motion                 every format: 48 frames of 1920 x 1080, the time
//                                          per frame against zlib level 1 of one frame's
//                                          bytes timed in the same process, and the peak
//                                          memory of 48 and of 480 frames
//   build/bin/bench_motion --formats mp4,gif   some formats only
// The frames are the showcase artwork with glowing dots moving over it, made one at
// a time as a caller would; each measurement runs in a child process of its own, so
// that its peak resident memory is its own.
#include "animationwriter.h"
#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "jsonvariant.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRadialGradient>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFps = 30;
constexpr int kShortLoop = 48;
constexpr int kLongLoop = 480;

QImage renderArtwork()
{
    QVariantMap parameters;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(LUMATRACE_SHOWCASE_MAP), &parameters, &error)) {
        std::fprintf(stderr, "bench_motion: %s\n", qPrintable(error));
        return {};
    }
    parameters.insert(QStringLiteral("width"), kWidth);
    parameters.insert(QStringLiteral("height"), kHeight);
    CircuitGenerator generator;
    generator.readParameters(parameters);
    generator.generateCircuit();
    CircuitRenderer renderer;
    const QImage *image = renderer.render(ArtworkScene(generator), generator.settings(), 1.0f, Composite);
    return image ? image->copy(0, 0, kWidth, kHeight) : QImage();
}

// Frame k of a loop: twelve glows travelling across the artwork, each back
// where it started after the loop.
QImage loopFrame(const QImage &artwork, int k, int frames)
{
    QImage frame = artwork;
    QPainter painter(&frame);
    painter.setPen(Qt::NoPen);
    const double phase = 2 * M_PI * k / frames;
    for (int i = 0; i < 12; ++i) {
        const QPointF centre(kWidth * (0.5 + 0.42 * std::cos(phase + i * 0.52)),
                             kHeight * (0.5 + 0.4 * std::sin(2 * phase + i * 0.9)));
        QRadialGradient glow(centre, 70);
        glow.setColorAt(0, QColor(255, 240, 160, 230));
        glow.setColorAt(1, QColor(255, 160, 40, 0));
        painter.setBrush(glow);
        painter.drawEllipse(centre, 70, 70);
    }
    return frame;
}

double zlibMilliseconds(const QImage &frame)
{
    const auto *bytes = reinterpret_cast<const Bytef *>(frame.constBits());
    const uLong size = uLong(frame.sizeInBytes());
    std::vector<Bytef> out(compressBound(size));
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        uLongf outSize = uLongf(out.size());
        compress2(out.data(), &outSize, bytes, size, 1);
        best = std::min(best, clock.nsecsElapsed() / 1e6);
    }
    return best;
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One encode in this process; prints "ms-per-frame zlib-ms peak-KB file-bytes".
int measureOne(const QString &suffix, int frames)
{
    const QImage artwork = renderArtwork();
    if (artwork.isNull())
        return 1;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("loop.") + suffix);
    // Making the frames is the caller's cost, not the encoder's: timed alone.
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < 8; ++k)
        loopFrame(artwork, k, frames);
    const double makeMs = clock.nsecsElapsed() / 1e6 / 8;
    const double zlibMs = zlibMilliseconds(loopFrame(artwork, 0, frames));

    AnimationWriter writer(path, kWidth, kHeight, kFps, frames);
    clock.start();
    int made = 0;
    bool ok = writer.open();
    if (writer.needsPalettePass()) {
        for (int k = 0; ok && k < frames; ++k, ++made)
            ok = writer.addPaletteFrame(loopFrame(artwork, k, frames));
    }
    for (int k = 0; ok && k < frames; ++k, ++made)
        ok = writer.writeFrame(loopFrame(artwork, k, frames));
    ok = ok && writer.finish();
    if (!ok) {
        std::fprintf(stderr, "bench_motion: %s\n", qPrintable(writer.error()));
        return 1;
    }
    const double encodeMs = clock.nsecsElapsed() / 1e6 - made * makeMs;
    std::printf("%.3f %.3f %ld %lld\n", encodeMs / frames, zlibMs, peakKilobytes(), QFileInfo(path).size());
    return 0;
}

struct Result {
    bool ok = false;
    double msPerFrame = 0;
    double zlibMs = 0;
    double peakMb = 0;
    double fileMb = 0;
};

Result runChild(const QString &suffix, int frames)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), suffix, QString::number(frames)});
    child.waitForFinished(-1);
    const QStringList fields = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char(' '));
    Result result;
    if (child.exitCode() != 0 || fields.size() != 4)
        return result;
    result.ok = true;
    result.msPerFrame = fields.at(0).toDouble();
    result.zlibMs = fields.at(1).toDouble();
    result.peakMb = fields.at(2).toDouble() / 1024;
    result.fileMb = fields.at(3).toDouble() / 1e6;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--one"))
        return measureOne(args.at(2), args.at(3).toInt());
    QStringList formats = AnimationWriter::suffixes();
    const int filter = args.indexOf(QStringLiteral("--formats"));
    if (filter > 0 && filter + 1 < args.size())
        formats = args.at(filter + 1).split(QLatin1Char(','));

    std::printf("showcase map, %d x %d at %d fps; time per frame against zlib level 1 of one frame's\n"
                "%d bytes (best of 3, same process); peak resident memory of the whole process\n",
                kWidth, kHeight, kFps, kWidth * kHeight * 4);
    std::printf("  %-6s %10s %8s %9s %10s %11s %11s %7s\n", "format", "ms/frame", "zlib ms", "x zlib", "file MB",
                "peak 48 MB", "peak 480 MB", "change");
    std::fflush(stdout);
    int status = 0;
    for (const QString &suffix : formats) {
        const Result shortLoop = runChild(suffix, kShortLoop);
        const Result longLoop = runChild(suffix, kLongLoop);
        if (!shortLoop.ok || !longLoop.ok) {
            std::printf("  %-6s failed\n", qPrintable(suffix));
            status = 1;
            continue;
        }
        std::printf("  %-6s %10.1f %8.1f %9.2f %10.2f %11.0f %11.0f %6.1f%%\n", qPrintable(suffix),
                    shortLoop.msPerFrame, shortLoop.zlibMs, shortLoop.msPerFrame / shortLoop.zlibMs, shortLoop.fileMb,
                    shortLoop.peakMb, longLoop.peakMb, 100 * (longLoop.peakMb - shortLoop.peakMb) / shortLoop.peakMb);
        std::fflush(stdout);
    }
    return status;
}
