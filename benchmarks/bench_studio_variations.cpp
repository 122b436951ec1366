// Variation page and large-canvas preview of the studio, in a real Ovex running the bundled
// app: time to the first and the last of the nine thumbnails on the default canvas, and
// the preview of a 4096 × 4096 canvas against the default one.
// Run from the build's bin folder (the app and the plug-in sit beside it), e.g.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_studio_variations
#include "studiobench.h"

#include <QElapsedTimer>

#include <cstdio>
#include <vector>

namespace {
StudioBench *bench = nullptr;

QVariant js(const QString &script)
{
    return bench->js(script);
}

void measurePages(const char *mode, int pages)
{
    std::vector<double> first, last;
    js(QStringLiteral("$('[data-key=variation-mode]').val('%1'); 0").arg(QLatin1String(mode)));
    for (int i = 0; i < pages; ++i) {
        // Scripts end in a number: converting a returned page object would stall the loop.
        js(i == 0 ? "Studio.studio.variations.open(); 0" : "$('[data-action=variations-more]').click(); 0");
        if (!StudioBench::waitFor([] { return js("Studio.studio.variations.rendered").toInt() == 9; }, 30000)) {
            std::printf("the page was not drawn\n");
            return;
        }
        first.push_back(js("Studio.studio.variations.timing.first").toDouble());
        last.push_back(js("Studio.studio.variations.timing.last").toDouble());
    }
    js("Studio.studio.variations.close();");
    std::printf("variation page (%s), 9 thumbnails: first after median %.0f ms, last after median %.0f ms (%d pages)\n",
                mode, StudioBench::median(first), StudioBench::median(last), pages);
}

double previewMs(int width, int height, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        js(QStringLiteral("Studio.studio.model.update({width: %1, height: %2, seed: %3}); Studio.studio.preview.run();")
                   .arg(width)
                   .arg(height)
                   .arg(100 + i));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return StudioBench::median(times);
}
} // namespace

int main(int argc, char *argv[])
{
    StudioBench studio(argc, argv);
    bench = &studio;
    if (!studio.start())
        return 1;
    std::printf(
            "canvas %s\n",
            qPrintable(js("Studio.studio.model.get('width') + ' x ' + Studio.studio.model.get('height')").toString()));
    measurePages("seeds", 5);
    measurePages("medium", 5);
    const double small = previewMs(600, 400, 5);
    const double large = previewMs(4096, 4096, 3);
    js("Studio.studio.preview.setZoom(1); 0");
    const double full = previewMs(4096, 4096, 3);
    std::printf("preview (generate and draw) 600 x 400: median %.0f ms; 4096 x 4096 in the fitted view: median %.0f ms,"
                " at 100 %% zoom (every pixel): median %.0f ms\n",
                small, large, full);
    return 0;
}
