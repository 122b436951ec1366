// Preview latency of the studio: from a slider's input event to the new image on screen,
// on the default canvas, in a real Ovex running the bundled app. Also a simulated drag:
// input events every 16 ms for two seconds, counting the images shown. And playing the loop
// on the preview: frames shown per second, and how soon a click and a slider change are
// answered while it plays.
// Run from the build's bin folder (the app and the plug-in sit beside it), e.g.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_studio_preview
#include "studiobench.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
StudioBench *bench = nullptr;

QVariant js(const QString &script)
{
    return bench->js(script);
}

int shownImages()
{
    return js("Studio.studio.preview.shownCount").toInt();
}

void slideTo(double value)
{
    bench->slideTo(QStringLiteral("wire_length"), value);
}

void measureLatency(int runs)
{
    std::vector<double> latencies, generation;
    for (int i = 0; i < runs; ++i) {
        StudioBench::pause(150); // idle, so the rate limit does not delay the change
        const int before = shownImages();
        QElapsedTimer timer;
        timer.start();
        slideTo(i % 2 ? 0.35 : 0.36);
        if (!StudioBench::waitFor([before] { return shownImages() > before; }, 5000)) {
            std::printf("no new image after a change\n");
            return;
        }
        latencies.push_back(timer.nsecsElapsed() / 1e6);
        generation.push_back(
                js("Number(document.querySelector('[data-info=canvas]').getAttribute('data-ms'))").toDouble());
    }
    std::printf("change to image shown: median %.1f ms, min %.1f ms, max %.1f ms (%d runs)\n",
                StudioBench::median(latencies), *std::min_element(latencies.begin(), latencies.end()),
                *std::max_element(latencies.begin(), latencies.end()), runs);
    std::printf("of which generateImage: median %.1f ms\n", StudioBench::median(generation));
}

void measureDrag()
{
    StudioBench::pause(200);
    const int before = shownImages();
    QElapsedTimer timer;
    timer.start();
    double value = 0.2;
    while (timer.elapsed() < 2000) {
        value += 0.002;
        slideTo(value);
        StudioBench::pause(16);
    }
    StudioBench::waitFor(
            [] { return !js("Studio.studio.preview.pending || Studio.studio.preview.timer !== null").toBool(); }, 5000);
    StudioBench::pause(300);
    const bool finalShown = qAbs(js("Studio.studio.model.get('wire_length')").toDouble() - value) < 0.011;
    std::printf("2 s drag with an input event every 16 ms: %d images shown, final value rendered: %s\n",
                shownImages() - before, finalShown ? "yes" : "no");
}
void measurePlay()
{
    js("Studio.studio.preview.setZoom('fit'); Studio.studio.player.play();");
    StudioBench::pause(500);
    const int fps = js("Studio.studio.exports.loopOptions().fps").toInt();
    const int before = js("Studio.studio.player.framesShown").toInt();
    QElapsedTimer timer;
    timer.start();
    StudioBench::pause(4000);
    const double shown = (js("Studio.studio.player.framesShown").toInt() - before) * 1000.0 / timer.elapsed();
    std::printf("playing at %d fps: %.1f frames shown per second over 4 s\n", fps, shown);

    // The loop's own rate as high as it goes: how many frames the page can show.
    js("$('[data-key=export-loop-fps]').val(60).trigger('change');");
    StudioBench::pause(300);
    const int fastBefore = js("Studio.studio.player.framesShown").toInt();
    timer.restart();
    StudioBench::pause(3000);
    std::printf("playing at 60 fps: %.1f frames shown per second over 3 s\n",
                (js("Studio.studio.player.framesShown").toInt() - fastBefore) * 1000.0 / timer.elapsed());
    js("$('[data-key=export-loop-fps]').val(" + QString::number(fps) + ").trigger('change');");

    std::vector<double> clicks;
    for (int i = 0; i < 20; ++i) {
        StudioBench::pause(37 + 11 * (i % 5)); // at different points of the frame cycle
        const double ms = bench->clickLatency(QStringLiteral("view.overlays"));
        if (ms >= 0)
            clicks.push_back(ms);
    }
    if (!clicks.empty())
        std::printf("while playing, click to its handler: median %.1f ms, max %.1f ms (%zu clicks)\n",
                    StudioBench::median(clicks), *std::max_element(clicks.begin(), clicks.end()), clicks.size());

    std::vector<double> changes;
    for (int i = 0; i < 10; ++i) {
        StudioBench::pause(150);
        const int shownBefore = shownImages();
        QElapsedTimer change;
        change.start();
        slideTo(i % 2 ? 0.35 : 0.36);
        if (StudioBench::waitFor([shownBefore] { return shownImages() > shownBefore; }, 5000))
            changes.push_back(change.nsecsElapsed() / 1e6);
    }
    if (!changes.empty())
        std::printf("while playing, slider change to new image shown: median %.1f ms, max %.1f ms\n",
                    StudioBench::median(changes), *std::max_element(changes.begin(), changes.end()));
    const bool still = js("Studio.studio.player.playing").toBool();
    js("Studio.studio.player.pause();");
    std::printf("still playing after the changes: %s\n", still ? "yes" : "no");
}
} // namespace

int main(int argc, char *argv[])
{
    StudioBench studio(argc, argv);
    bench = &studio;
    if (!studio.start())
        return 1;
    std::printf("canvas %s\n", qPrintable(js("document.querySelector('[data-info=canvas]').textContent").toString()));
    measureLatency(30);
    measureDrag();
    measurePlay();
    return 0;
}
