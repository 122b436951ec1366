#pragma once

#include "modaldialog.h"
#include "ovex.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWebFrame>
#include <QtTest>

/// The bundled studio in a real Ovex, in this process, and the ways a user drives it:
/// control events, clicks on the page, menu entries and answered file dialogs. Test
/// classes of the studio derive from it; the studio keeps its data under `home`.
class StudioSession : public QObject
{
protected:
    Ovex *ovex = nullptr;
    QTemporaryDir home;

    /// `text` as a script string literal.
    static QString jsString(const QString &text)
    {
        QString escaped = text;
        escaped.replace('\\', "\\\\").replace('\'', "\\'");
        return '\'' + escaped + '\'';
    }

    QVariant js(const QString &script) { return ovex->mainWindow()->mainFrame()->evaluateJavaScript(script); }
    QWidget *view() { return ovex->mainWindow()->webView(); }

    /// Starts the studio and waits until its first artwork is shown.
    void startStudio()
    {
        ovex = new Ovex(qApp);
        QTRY_VERIFY_WITH_TIMEOUT(js("typeof Studio === 'object' && Studio.ready === true").toBool(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(shownImages() >= 1, 20000);
    }

    void stopStudio()
    {
        delete ovex;
        ovex = nullptr;
    }

    int shownImages() { return js("Studio.studio.preview.shownCount").toInt(); }
    QVariant mapValue(const QString &key) { return js("Studio.studio.model.get('" + key + "')"); }
    QString status() { return js("Studio.status.text").toString(); }

    /// Fires a DOM event on the first element that matches `selector`, as the engine does
    /// when the user edits a control.
    void fire(const QString &selector, const QString &event)
    {
        js("var e = document.createEvent('HTMLEvents'); e.initEvent('" + event
           + "', true, false); document.querySelector(" + jsString(selector) + ").dispatchEvent(e);");
    }

    /// Sets a control's value and fires what the engine fires: input while editing, change at the end.
    void edit(const QString &selector, const QString &value)
    {
        QCOMPARE(js("document.querySelectorAll(" + jsString(selector) + ").length").toInt(), 1);
        js("document.querySelector(" + jsString(selector) + ").value = " + jsString(value) + ";");
        fire(selector, "input");
        fire(selector, "change");
    }

    /// View coordinates of a point of an element, given as fractions of its box; the element
    /// is scrolled into view first.
    QPoint pointIn(const QString &selector, double fx = 0.5, double fy = 0.5)
    {
        const QVariantList box = js("var n = document.querySelector(" + jsString(selector)
                                    + "); n.scrollIntoView();"
                                      " var r = n.getBoundingClientRect(); [r.left, r.top, r.width, r.height];")
                                         .toList();
        if (box.size() != 4)
            return {};
        return QPoint(qRound(box[0].toDouble() + fx * box[2].toDouble()),
                      qRound(box[1].toDouble() + fy * box[3].toDouble()));
    }

    void click(const QString &selector)
    {
        QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, pointIn(selector));
        QTest::qWait(20);
    }

    /// With LUMATRACE_SCREENSHOTS set to a folder, saves the window there as `name`.png.
    void screenshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("LUMATRACE_SCREENSHOTS");
        if (!folder.isEmpty())
            ovex->mainWindow()->grab().save(folder + '/' + name + ".png");
    }

    QAction *menuAction(const QString &text)
    {
        const QList<QAction *> actions = ovex->mainWindow()->findChildren<QAction *>();
        for (QAction *action : actions) {
            if (action->text().remove('&') == text)
                return action;
        }
        return nullptr;
    }

    /// Answers the next file dialog by typing `path` into its name field, as a user would.
    void answerFileDialog(const QString &path)
    {
        whenModalShown<QFileDialog>(this, [path](QFileDialog *dialog) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }
};
