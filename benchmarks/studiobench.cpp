#include "studiobench.h"

#include "ovex.h"
#include "xwebview.h"
#include "xwindow.h"

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
