// Preview latency of the studio: from a slider's input event to the new image on screen,
// on the default canvas, in a real Ovex running the bundled app. Also a simulated drag:
// input events every 16 ms for two seconds, counting the images shown.
// Run from the build's bin folder (the app and the plug-in sit beside it), e.g.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_studio_preview
#include "studiobench.h"

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
    js(QStringLiteral(
               "var r = document.querySelector('input[type=range][data-key=wire_length]'); r.value = %1;"
               " var e = document.createEvent('HTMLEvents'); e.initEvent('input', true, false); r.dispatchEvent(e);")
               .arg(value));
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
                js("parseFloat(document.querySelector('[data-info=timing]').textContent.replace(/[^0-9.]/g, ''))")
                        .toDouble());
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
    return 0;
}
