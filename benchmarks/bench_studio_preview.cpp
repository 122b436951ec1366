// Preview latency of the studio: from a slider's input event to the new image on screen,
// on the default canvas, in a real Ovex running the bundled app. Also a simulated drag:
// input events every 16 ms for two seconds, counting the images shown.
// Run from the build's bin folder (the app and the plug-in sit beside it), e.g.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_studio_preview
#include "ovex.h"
#include "xwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWebFrame>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
Ovex *ovex = nullptr;

QVariant js(const QString &script)
{
    return ovex->mainWindow()->mainFrame()->evaluateJavaScript(script);
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

// Runs the event loop until `done` or `ms` milliseconds passed; true when done.
template<typename F>
bool waitFor(F done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

void pause(int ms)
{
    waitFor([] { return false; }, ms);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measureLatency(int runs)
{
    std::vector<double> latencies, generation;
    for (int i = 0; i < runs; ++i) {
        pause(150); // idle, so the rate limit does not delay the change
        const int before = shownImages();
        QElapsedTimer timer;
        timer.start();
        slideTo(i % 2 ? 0.35 : 0.36);
        if (!waitFor([before] { return shownImages() > before; }, 5000)) {
            std::printf("no new image after a change\n");
            return;
        }
        latencies.push_back(timer.nsecsElapsed() / 1e6);
        generation.push_back(
                js("parseFloat(document.querySelector('[data-info=timing]').textContent.replace(/[^0-9.]/g, ''))")
                        .toDouble());
    }
    std::printf("change to image shown: median %.1f ms, min %.1f ms, max %.1f ms (%d runs)\n", median(latencies),
                *std::min_element(latencies.begin(), latencies.end()),
                *std::max_element(latencies.begin(), latencies.end()), runs);
    std::printf("of which generateImage: median %.1f ms\n", median(generation));
}

void measureDrag()
{
    pause(200);
    const int before = shownImages();
    QElapsedTimer timer;
    timer.start();
    double value = 0.2;
    while (timer.elapsed() < 2000) {
        value += 0.002;
        slideTo(value);
        pause(16);
    }
    waitFor([] { return !js("Studio.studio.preview.pending || Studio.studio.preview.timer !== null").toBool(); }, 5000);
    pause(300);
    const bool finalShown = qAbs(js("Studio.studio.model.get('wire_length')").toDouble() - value) < 0.011;
    std::printf("2 s drag with an input event every 16 ms: %d images shown, final value rendered: %s\n",
                shownImages() - before, finalShown ? "yes" : "no");
}
} // namespace

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(tressil_resources);
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    QApplication application(argc, argv);
    ovex = new Ovex(&application);
    if (!waitFor([] { return js("typeof Studio === 'object' && Studio.ready === true").toBool() && shownImages() > 0; },
                 30000)) {
        std::printf("the studio did not start\n");
        return 1;
    }
    std::printf("canvas %s\n", qPrintable(js("document.querySelector('[data-info=canvas]').textContent").toString()));
    measureLatency(30);
    measureDrag();
    delete ovex;
    return 0;
}
