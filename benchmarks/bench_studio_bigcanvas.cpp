// A big canvas in the studio, in a real Ovex running the bundled app: on 4096 × 4096, how soon
// the page answers input while a change is drawn, how soon the first and the exact image of a
// change are on screen (fitted and at 100 %), and how many images a slider drag shows. The
// yardstick, measured in the same run: the synchronous call the page used to make, which
// blocked the page for as long as it took.
// Run from the build's bin folder (the app and the plug-in sit beside it), e.g.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_studio_bigcanvas
#include "studiobench.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
StudioBench *bench = nullptr;

QVariant js(const QString &script)
{
    return bench->js(script);
}

// The longest the GUI thread went without running its timers, from start() on.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// Records, in page time, when each preview image finished loading and whether it was exact.
void watchImages()
{
    js("window.benchLoads = []; var p = Studio.studio.preview;"
       " $(p.image).off('load.bench').on('load.bench', function () {"
       " if (p.showing && this.src.indexOf('lumatrace_result') >= 0)"
       " benchLoads.push([Date.now(), p.showing.exact && !p.showing.region]); });"
       // Zoomed into the big canvas, the exact stage is the detail of the part in view.
       " $(p.detail).off('load.bench').on('load.bench', function () { benchLoads.push([Date.now(), true]); }); 0");
}

bool settled()
{
    return js("var p = Studio.studio.preview; !p.pending && !p.timer && !p.inFlight && p.shownCount === p.imageCount")
            .toBool();
}

struct ChangeTimes {
    std::vector<double> first, exact, click, stall;
    int requests = 0;
};

// The script of the i-th change: a new seed (a new circuit) or a new background colour
// (drawn again from the same circuit).
QString seedChange(int i)
{
    return "Studio.studio.model.set('seed', " + QString::number(500 + i) + ");";
}

QString colourChange(int i)
{
    return "Studio.studio.model.set('bg_color', [" + QString::number(10 + 5 * i) + ", 30, 60]);";
}

// Makes `runs` changes, each once the last is on screen, and clicks a button while the
// change is being drawn.
ChangeTimes measureChanges(int runs, QString (*change)(int))
{
    ChangeTimes times;
    StallMeter stalls;
    for (int i = 0; i < runs; ++i) {
        StudioBench::waitFor(settled, 60000);
        StudioBench::pause(150); // idle, so the rate limit does not delay the change
        watchImages();
        stalls.start();
        const int requested = js("Studio.studio.preview.imageCount").toInt();
        const qint64 changed = js(change(i) + " Date.now()").toLongLong();
        StudioBench::pause(20);
        const double click = bench->clickLatency(QStringLiteral("view.overlays"));
        if (!StudioBench::waitFor(settled, 60000)) {
            std::printf("no image after a change\n");
            return times;
        }
        times.stall.push_back(double(stalls.stop()));
        times.requests += js("Studio.studio.preview.imageCount").toInt() - requested;
        const QVariantList loads = js("benchLoads").toList();
        if (loads.isEmpty())
            continue;
        times.first.push_back(double(loads.first().toList().at(0).toLongLong() - changed));
        times.exact.push_back(double(loads.last().toList().at(0).toLongLong() - changed));
        if (click >= 0)
            times.click.push_back(click);
    }
    return times;
}

// The synchronous call the page made before, at the render scale it shows, until its image
// has loaded as the page's images do.
double synchronousMs(int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        StudioBench::waitFor(settled, 60000);
        const QString script = QStringLiteral(
                "var p = Studio.studio.preview, m = Studio.masks.effective(Studio.studio.model.snapshot());"
                " m.seed = %1; var s = Studio.previewScale.renderScale(p, m);"
                " if (s < 1) llumatrace.generatePreview(m, Math.ceil(Math.max(m.width, m.height) * s));"
                " else llumatrace.generateImage(m);"
                " window.benchSync = 0; var img = new Image(); img.onload = function () { benchSync = Date.now(); };"
                " img.src = 'drc:lumatrace_result?sync=%1'; 0")
                                       .arg(900 + i);
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        js(script);
        if (!StudioBench::waitFor([] { return js("window.benchSync > 0").toBool(); }, 60000))
            continue;
        times.push_back(double(js("window.benchSync").toLongLong() - start));
    }
    return StudioBench::median(times);
}

void report(const char *view, const ChangeTimes &t, double synchronous)
{
    if (t.first.empty())
        return;
    std::printf("%s: first image after median %.0f ms (max %.0f), exact after median %.0f ms (max %.0f);"
                " the synchronous call it replaces, to its image loaded: median %.0f ms, blocking the page\n",
                view, StudioBench::median(t.first), *std::max_element(t.first.begin(), t.first.end()),
                StudioBench::median(t.exact), *std::max_element(t.exact.begin(), t.exact.end()), synchronous);
    std::printf("%s: %.1f previews requested per change\n", view, double(t.requests) / double(t.stall.size()));
    if (!t.click.empty())
        std::printf("%s: click 20 ms into a change to its handler: median %.0f ms, max %.0f ms;"
                    " longest the page's thread was busy during a change: median %.0f ms, max %.0f ms\n",
                    view, StudioBench::median(t.click), *std::max_element(t.click.begin(), t.click.end()),
                    StudioBench::median(t.stall), *std::max_element(t.stall.begin(), t.stall.end()));
}

void measureDrag()
{
    StudioBench::waitFor(settled, 60000);
    StudioBench::pause(200);
    watchImages();
    StallMeter stalls;
    stalls.start();
    QElapsedTimer timer;
    timer.start();
    double value = 0.2;
    while (timer.elapsed() < 3000) {
        value += 0.002;
        bench->slideTo(QStringLiteral("wire_length"), value);
        StudioBench::pause(16);
    }
    const qint64 dragStall = stalls.stop();
    StudioBench::waitFor(settled, 60000);
    const QVariantList loads = js("benchLoads").toList();
    int exact = 0;
    for (const QVariant &load : loads)
        exact += load.toList().at(1).toBool() ? 1 : 0;
    const bool finalShown = qAbs(js("Studio.studio.model.get('wire_length')").toDouble() - value) < 0.011;
    std::printf("3 s drag with an input event every 16 ms (fitted): %d images shown (%d exact), final value drawn: %s;"
                " longest the page's thread was busy during the drag: %lld ms\n",
                int(loads.size()), exact, finalShown ? "yes" : "no", dragStall);
}
} // namespace

int main(int argc, char *argv[])
{
    StudioBench studio(argc, argv);
    bench = &studio;
    if (!studio.start())
        return 1;
    js("Studio.studio.preview.setZoom('fit'); Studio.studio.model.update({width: 600, height: 400}); 0");
    StudioBench::waitFor(settled, 60000);
    const ChangeTimes small = measureChanges(9, seedChange);
    const double smallSync = synchronousMs(5);
    js("Studio.studio.model.update({width: 4096, height: 4096}); 0");
    const ChangeTimes fitted = measureChanges(9, seedChange);
    const double fittedSync = synchronousMs(3);
    const ChangeTimes fittedColour = measureChanges(9, colourChange);
    js("Studio.studio.preview.setZoom(1); 0");
    const ChangeTimes actual = measureChanges(5, seedChange);
    const double actualSync = synchronousMs(3);
    const ChangeTimes actualColour = measureChanges(5, colourChange);
    std::printf("view %s x %s px\n", qPrintable(js("Studio.studio.preview.viewport.clientWidth").toString()),
                qPrintable(js("Studio.studio.preview.viewport.clientHeight").toString()));
    report("600 x 400, fitted", small, smallSync);
    report("4096 x 4096, fitted, new seed", fitted, fittedSync);
    report("4096 x 4096, fitted, new colour", fittedColour, fittedSync);
    report("4096 x 4096, 100 %, new seed", actual, actualSync);
    report("4096 x 4096, 100 %, new colour", actualColour, actualSync);
    js("Studio.studio.preview.setZoom('fit'); 0");
    measureDrag();
    js("Studio.studio.model.update({width: 600, height: 400}); 0");
    StudioBench::waitFor(settled, 60000);
    return 0;
}
