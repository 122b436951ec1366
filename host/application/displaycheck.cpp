#include "displaycheck.h"

DisplayCheck::Environment DisplayCheck::current()
{
    return {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
}

QString DisplayCheck::problem(const Environment &environment, const QStringList &toolkitArguments)
{
    if (!environment.display.isEmpty() || !environment.waylandDisplay.isEmpty() || !environment.platform.isEmpty())
        return QString();
    // Qt reads its options with one dash or two.
    if (toolkitArguments.contains(QLatin1String("-platform")) || toolkitArguments.contains(QLatin1String("--platform")))
        return QString();
    return QStringLiteral("no display (DISPLAY and WAYLAND_DISPLAY are unset); to run without one, set "
                          "QT_QPA_PLATFORM=offscreen or use xvfb-run -a tressil");
}
