// The studio benchmarks' common ground: the bundled app in a real Ovex with a
// throw-away home, page script, waits that keep the event loop running.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <vector>

class Ovex;
class QWidget;

class StudioBench
{
public:
    // Makes the application, with the studio's state in a temporary home.
    StudioBench(int &argc, char **argv);
    ~StudioBench();

    // Starts Ovex and waits until the studio is ready and shows an image;
    // false (with a message) when it does not come up.
    bool start();
    QVariant js(const QString &script) const;
    // The page's view, for real input events.
    QWidget *view() const;

    // Sets the range slider of `key` to `value` and fires its input event, as a drag does.
    void slideTo(const QString &key, double value) const;
    // A real click on the toolbar button of `command`, posted as the window system would
    // deliver it; the milliseconds until the page's handler ran, or -1.
    double clickLatency(const QString &command) const;

    // Runs the event loop until done() or ms milliseconds passed; true when done.
    template<typename F>
    static bool waitFor(F done, int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        return done();
    }
    static void pause(int ms);
    static double median(std::vector<double> values);

private:
    QTemporaryDir m_home;
    std::unique_ptr<QApplication> m_application;
    std::unique_ptr<Ovex> m_ovex;
};
