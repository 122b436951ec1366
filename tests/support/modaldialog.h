#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

/// Hands the next modal dialog of type T to `answer` once it is shown, so a test can
/// answer a dialog that a slot opens and waits on. `context` owns the polling timer.
template<typename T>
void whenModalShown(QObject *context, std::function<void(T *)> answer)
{
    auto *timer = new QTimer(context);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, context, [timer, answer] {
        T *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}
