#include "xaction.h"

#include <QByteArray>

XAction::XAction(const QString &text, QObject *parent)
    : QAction(text, parent)
{
    connect(this, &QAction::triggered, this, &XAction::trig);
}

XAction::XAction(const QIcon &icon, const QString &text, QObject *parent)
    : QAction(icon, text, parent)
{
    connect(this, &QAction::triggered, this, &XAction::trig);
}

void XAction::trig()
{
    // UTF-8 rather than Latin-1: the receiver runs the text as script, and Latin-1 would
    // turn every character beyond it into '?' inside string literals of that script.
    QByteArray bytes = onClick.toUtf8();
    emit clickedx(bytes.data());
}
