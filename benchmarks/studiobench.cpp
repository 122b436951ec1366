#include "studiobench.h"

#include "ovex.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QWebFrame>

#include <algorithm>
#include <cstdio>

StudioBench::StudioBench(int &argc, char **argv)
{
    Q_INIT_RESOURCE(tressil_resources);
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
    m_application = std::make_unique<QApplication>(argc, argv);
}

// The host goes before the application it runs in.
StudioBench::~StudioBench() = default;

bool StudioBench::start()
{
    m_ovex = std::make_unique<Ovex>(m_application.get());
    const bool ready = waitFor(
            [this] {
                return js("typeof Studio === 'object' && Studio.ready === true").toBool()
                        && js("Studio.studio.preview.shownCount").toInt() > 0;
            },
            30000);
    if (!ready)
        std::printf("the studio did not start\n");
    return ready;
}

QVariant StudioBench::js(const QString &script) const
{
    return m_ovex->mainWindow()->mainFrame()->evaluateJavaScript(script);
}

QWidget *StudioBench::view() const
{
    return m_ovex->mainWindow()->webView();
}

void StudioBench::pause(int ms)
{
    waitFor([] { return false; }, ms);
}

double StudioBench::median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void StudioBench::slideTo(const QString &key, double value) const
{
    js(QStringLiteral("var r = document.querySelector('input[type=range][data-key=%1]'); r.value = %2;"
                      " var e = document.createEvent('HTMLEvents'); e.initEvent('input', true, false);"
                      " r.dispatchEvent(e); 0")
               .arg(key)
               .arg(value));
}

double StudioBench::clickLatency(const QString &command) const
{
    const QString button = ".toolbar [data-command=\"" + command + "\"]";
    const QVariantList box = js("var r = document.querySelector('" + button
                                + "').getBoundingClientRect(); [r.left + r.width / 2, r.top + r.height / 2]")
                                     .toList();
    const QPoint at(box[0].toInt(), box[1].toInt());
    js("window.benchClicked = 0; $('" + button + "').one('click', function () { window.benchClicked = Date.now(); }); 0");
    const qint64 posted = QDateTime::currentMSecsSinceEpoch();
    QCoreApplication::postEvent(view(), new QMouseEvent(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton,
                                                        Qt::NoModifier));
    QCoreApplication::postEvent(view(), new QMouseEvent(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton,
                                                        Qt::NoModifier));
    if (!waitFor([this] { return js("window.benchClicked > 0").toBool(); }, 10000))
        return -1;
    return double(js("window.benchClicked").toLongLong() - posted);
}
