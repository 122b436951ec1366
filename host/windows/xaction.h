#pragma once

#include <QAction>
#include <QIcon>
#include <QString>

/// A menu entry built by page script. It carries the script text `onClick` and hands it
/// on through `clickedx` whenever the entry is triggered.
class XAction : public QAction
{
    Q_OBJECT

public:
    XAction(const QString &text, QObject *parent);
    XAction(const QIcon &icon, const QString &text, QObject *parent);

    /// Script text for the click; set by the window that builds the entry.
    QString onClick;

Q_SIGNALS:
    /// `onClick` as UTF-8 bytes, valid only during the emission.
    void clickedx(char *onClick);

public Q_SLOTS:
    /// Emits `clickedx` with the current `onClick`; connected to the action's own `triggered()`.
    void trig();
};
