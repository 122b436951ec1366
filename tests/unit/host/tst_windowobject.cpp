// The window scripting object in-process: a real Ovex, windows built by it and page
// script calling `WIN` in the main frame; menus, menu clicks and window flags are checked
// on the native widgets.
#include "ovex.h"
#include "scriptliteral.h"
#include "xwindow.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QWebFrame>
#include <QtTest>

class TestWindowObject : public QObject
{
    Q_OBJECT

private:
    Ovex *ovex = nullptr;
    QTemporaryDir iconDir;
    QString iconPath;

    QWebFrame *mainFrame() const { return ovex->mainWindow()->mainFrame(); }

    // A fresh child window, so every case starts with an empty menu bar and default flags.
    XWindow *newWindow() { return ovex->mainWindow()->createChildWindow(QString(), false); }

    // Runs `body` in the main frame with `w` bound to the `WIN` of `window`.
    QVariant run(XWindow *window, const QString &body)
    {
        return mainFrame()->evaluateJavaScript(QStringLiteral("(function (w) {") + body + QStringLiteral("})(new WIN(")
                                               + window->scriptObjectName() + QStringLiteral(", window));"));
    }

    // The entries of a menu bar or menu: "-" for a separator, a menu as "Title[...]",
    // "!" before a disabled entry and "~" before a hidden one.
    static QString describe(const QWidget *widget)
    {
        QStringList entries;
        const QList<QAction *> actions = widget->actions();
        for (const QAction *action : actions) {
            QString entry = action->isSeparator() ? QStringLiteral("-") : action->text();
            if (action->menu())
                entry += QLatin1Char('[') + describe(action->menu()) + QLatin1Char(']');
            // A hidden action also reports itself disabled; only a visible one can say so.
            if (action->isVisible() && !action->isEnabled())
                entry.prepend(QLatin1Char('!'));
            if (!action->isVisible())
                entry.prepend(QLatin1Char('~'));
            entries << entry;
        }
        return entries.join(QLatin1Char(','));
    }

    static QAction *findAction(const QWidget *widget, const QString &text)
    {
        const QList<QAction *> actions = widget->actions();
        for (QAction *action : actions) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void menusAreBuiltByName_data();
    void menusAreBuiltByName();
    void menuWithIconGoesToTheBarWithItsIcon();
    void disableMenuDisablesTheWholeBar();
    void menusOfAChildWindowStayInThatWindow();
    void triggeredEntryRunsItsScriptInItsOwnWindow_data();
    void triggeredEntryRunsItsScriptInItsOwnWindow();
    void everyTriggerRunsTheScriptAgain();
    void shortcutIsReadInPortableText_data();
    void shortcutIsReadInPortableText();
    void windowFlagsFollowTypeAndCaption_data();
    void windowFlagsFollowTypeAndCaption();
    void modalitySwitchesBetweenWindowModalAndNonModal();
};

void TestWindowObject::initTestCase()
{
    Q_INIT_RESOURCE(tressil_resources);
    iconPath = iconDir.filePath(QStringLiteral("icon.png"));
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    QVERIFY(icon.save(iconPath));
    ovex = new Ovex(qApp);
    // The glue library must be in the main frame before `WIN` can be used.
    QTRY_COMPARE(mainFrame()->evaluateJavaScript(QStringLiteral("typeof WIN")).toString(), QStringLiteral("function"));
}

void TestWindowObject::cleanupTestCase()
{
    delete ovex;
}

void TestWindowObject::menusAreBuiltByName_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("currentMenu");
    QTest::newRow("entries go to the bar while there is no current menu")
            << "w.addMenuAction('open', 'Open'); w.addMenuSeparator('s'); w.addMenu('file', 'File');"
            << "Open,-,File[]"
            << "";
    QTest::newRow("switching to a menu sends entries into it")
            << "w.addMenu('file', 'File'); w.switchMenu('file'); w.addMenuAction('open', 'Open');"
               "w.addMenuSeparator('s'); w.addMenuAction('quit', 'Quit');"
            << "File[Open,-,Quit]"
            << "file";
    QTest::newRow("an unknown menu name leaves the current menu empty")
            << "w.addMenu('file', 'File'); w.switchMenu('file'); w.switchMenu('edit'); w.addMenuAction('a', 'About');"
            << "File[],About"
            << "";
    QTest::newRow("switching to the empty name returns to the bar")
            << "w.addMenu('file', 'File'); w.switchMenu('file'); w.switchMenu(''); w.addMenuAction('a', 'About');"
            << "File[],About"
            << "";
    QTest::newRow("a menu without icon becomes a submenu of the current menu")
            << "w.addMenu('file', 'File'); w.switchMenu('file'); w.addMenu('recent', 'Recent');"
               "w.switchMenu('recent'); w.addMenuAction('one', 'one.txt');"
            << "File[Recent[one.txt]]"
            << "recent";
    QTest::newRow("a menu name mapped again keeps the earlier menu where it is")
            << "w.addMenu('m', 'First'); w.addMenu('m', 'Second'); w.switchMenu('m'); w.addMenuAction('a', 'A');"
            << "First[],Second[A]"
            << "m";
    QTest::newRow("two actions under one name stay and the name controls the second")
            << "w.addMenuAction('a', 'One'); w.addMenuAction('a', 'Two'); w.disableMenuAction('a');"
            << "One,!Two"
            << "";
    QTest::newRow("hiding a separator's name hides the separator")
            << "w.addMenu('file', 'File'); w.switchMenu('file'); w.addMenuAction('x', 'X');"
               "w.addMenuSeparator('sep'); w.addMenuAction('y', 'Y'); w.hideMenuAction('sep');"
            << "File[X,~-,Y]"
            << "file";
    QTest::newRow("a hidden action can be shown again")
            << "w.addMenuAction('a', 'A'); w.hideMenuAction('a'); w.addMenuAction('b', 'B'); w.hideMenuAction('b');"
               "w.showMenuAction('b');"
            << "~A,B"
            << "";
    QTest::newRow("a disabled action can be enabled again")
            << "w.addMenuAction('a', 'A'); w.disableMenuAction('a'); w.enableMenuAction('a');"
            << "A"
            << "";
    QTest::newRow("removeMenuAction takes an action off the bar only")
            << "w.addMenuAction('top', 'Top'); w.addMenu('file', 'File'); w.switchMenu('file');"
               "w.addMenuAction('in', 'In'); w.removeMenuAction('top'); w.removeMenuAction('in');"
            << "File[In]"
            << "file";
    QTest::newRow("unknown action names change nothing")
            << "w.addMenuAction('a', 'A'); w.disableMenuAction('b'); w.hideMenuAction('b'); w.removeMenuAction('b');"
            << "A"
            << "";
    QTest::newRow("after clearMenu an earlier menu can be current but is off the bar")
            << "w.addMenu('file', 'File'); w.addMenuAction('a', 'A'); w.clearMenu(); w.switchMenu('file');"
               "w.addMenuAction('open', 'Open');"
            << ""
            << "file";
    QTest::newRow("a bar cleared and built again shows only the new entries")
            << "w.addMenu('file', 'File'); w.clearMenu(); w.switchMenu(''); w.addMenu('edit', 'Edit');"
            << "Edit[]"
            << "";
}

void TestWindowObject::menusAreBuiltByName()
{
    QFETCH(QString, script);
    QFETCH(QString, bar);
    QFETCH(QString, currentMenu);
    QScopedPointer<XWindow> window(newWindow());
    run(window.data(), script);
    QCOMPARE(describe(window->menuBar()), bar);
    QCOMPARE(window->currentMenuName(), currentMenu);
}

void TestWindowObject::menuWithIconGoesToTheBarWithItsIcon()
{
    QScopedPointer<XWindow> window(newWindow());
    run(window.data(),
        "w.addMenu('file', 'File'); w.switchMenu('file');"
        "w.addMenu('tools', 'Tools', "
                + ScriptLiteral::quote(iconPath)
                + ");"
                  "w.addMenuAction('run', 'Run', '', "
                + ScriptLiteral::quote(iconPath) + ");");
    QCOMPARE(describe(window->menuBar()), QStringLiteral("File[Run],Tools[]"));
    QVERIFY(!findAction(window->menuBar(), QStringLiteral("Tools"))->icon().isNull());
    QVERIFY(findAction(window->menuBar(), QStringLiteral("File"))->icon().isNull());
    QVERIFY(!findAction(findAction(window->menuBar(), QStringLiteral("File"))->menu(), QStringLiteral("Run"))
                     ->icon()
                     .isNull());
}

void TestWindowObject::disableMenuDisablesTheWholeBar()
{
    QScopedPointer<XWindow> window(newWindow());
    run(window.data(), "w.addMenu('file', 'File'); w.disableMenu();");
    QVERIFY(!window->menuBar()->isEnabled());
    run(window.data(), "w.enableMenu();");
    QVERIFY(window->menuBar()->isEnabled());
}

void TestWindowObject::menusOfAChildWindowStayInThatWindow()
{
    QScopedPointer<XWindow> first(newWindow());
    QScopedPointer<XWindow> second(newWindow());
    run(first.data(), "w.addMenu('file', 'File');");
    run(second.data(), "w.switchMenu('file'); w.addMenuAction('a', 'A');");
    QCOMPARE(describe(first->menuBar()), QStringLiteral("File[]"));
    QCOMPARE(describe(second->menuBar()), QStringLiteral("A"));
    QCOMPARE(describe(ovex->mainWindow()->menuBar()), QString());
}

void TestWindowObject::triggeredEntryRunsItsScriptInItsOwnWindow_data()
{
    QTest::addColumn<QString>("onClick");
    QTest::addColumn<QString>("clicked");
    QTest::newRow("script runs in the owning window") << "window.clicked = 'yes';"
                                                      << "yes";
    QTest::newRow("text beyond Latin-1 survives") << QString::fromUtf8("window.clicked = '\u03a9 \u2713 \u65e5\u672c';")
                                                  << QString::fromUtf8("\u03a9 \u2713 \u65e5\u672c");
    QTest::newRow("quotes and backslashes reach the script unchanged") << "window.clicked = \"a'b\\\\c\";"
                                                                       << "a'b\\c";
    QTest::newRow("an empty onClick does nothing") << ""
                                                   << "untouched";
    QTest::newRow("a script that throws does nothing else") << "throw new Error('x');"
                                                            << "untouched";
}

void TestWindowObject::triggeredEntryRunsItsScriptInItsOwnWindow()
{
    QFETCH(QString, onClick);
    QFETCH(QString, clicked);
    QScopedPointer<XWindow> window(newWindow());
    window->mainFrame()->evaluateJavaScript(QStringLiteral("window.clicked = 'untouched';"));
    mainFrame()->evaluateJavaScript(QStringLiteral("window.clicked = 'main';"));
    run(window.data(),
        "w.addMenu('file', 'File'); w.switchMenu('file');"
        "w.addMenuAction('go', 'Go', "
                + ScriptLiteral::quote(onClick) + ");");
    QAction *go = findAction(findAction(window->menuBar(), QStringLiteral("File"))->menu(), QStringLiteral("Go"));
    QVERIFY(go);
    go->trigger();
    QCOMPARE(window->mainFrame()->evaluateJavaScript(QStringLiteral("window.clicked")).toString(), clicked);
    QCOMPARE(mainFrame()->evaluateJavaScript(QStringLiteral("window.clicked")).toString(), QStringLiteral("main"));
}

void TestWindowObject::everyTriggerRunsTheScriptAgain()
{
    QScopedPointer<XWindow> window(newWindow());
    run(window.data(), "w.addMenuAction('count', 'Count', 'window.count = (window.count || 0) + 1;');");
    QAction *count = findAction(window->menuBar(), QStringLiteral("Count"));
    QVERIFY(count);
    count->trigger();
    count->trigger();
    QCOMPARE(window->mainFrame()->evaluateJavaScript(QStringLiteral("window.count")).toInt(), 2);
}

void TestWindowObject::shortcutIsReadInPortableText_data()
{
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QKeySequence>("expected");
    QTest::newRow("no shortcut") << "" << QKeySequence();
    QTest::newRow("modifiers and a letter") << "Ctrl+Shift+Q" << QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Q);
    QTest::newRow("function key") << "F5" << QKeySequence(Qt::Key_F5);
}

void TestWindowObject::shortcutIsReadInPortableText()
{
    QFETCH(QString, shortcut);
    QFETCH(QKeySequence, expected);
    QScopedPointer<XWindow> window(newWindow());
    run(window.data(), "w.addMenuAction('a', 'A', '', '', " + ScriptLiteral::quote(shortcut) + ");");
    QCOMPARE(findAction(window->menuBar(), QStringLiteral("A"))->shortcut(), expected);
}

void TestWindowObject::windowFlagsFollowTypeAndCaption_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("setHints"); // must all be set
    QTest::addColumn<int>("clearHints"); // must all be clear
    QTest::newRow("custom caption then tool type gives the standard caption again")
            << "w.setShowCaption(false, true, true, true, false); w.setTypeTool();" << int(Qt::Tool) << 0
            << int(Qt::CustomizeWindowHint);
    QTest::newRow("custom caption customizes the buttons")
            << "w.setShowCaption(true, false, false, true, false);" << int(Qt::Window)
            << int(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
            << int(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    QTest::newRow("help button on request")
            << "w.setShowCaption(true, false, false, false, true);" << int(Qt::Window)
            << int(Qt::CustomizeWindowHint | Qt::WindowContextHelpButtonHint) << int(Qt::WindowCloseButtonHint);
    QTest::newRow("frameless keeps the type") << "w.setTypeDialog(); w.setFrameless();" << int(Qt::Dialog)
                                              << int(Qt::FramelessWindowHint) << int(Qt::CustomizeWindowHint);
    QTest::newRow("frameless can be turned off")
            << "w.setFrameless(); w.setFrameless(false);" << int(Qt::Window) << 0 << int(Qt::FramelessWindowHint);
    QTest::newRow("always on top keeps the type") << "w.setTypeSplashScreen(); w.setAlwaysOnTop();"
                                                  << int(Qt::SplashScreen) << int(Qt::WindowStaysOnTopHint) << 0;
    QTest::newRow("a new type keeps always on top")
            << "w.setAlwaysOnTop(true); w.setTypeWindow();" << int(Qt::Window) << int(Qt::WindowStaysOnTopHint) << 0;
}

void TestWindowObject::windowFlagsFollowTypeAndCaption()
{
    QFETCH(QString, script);
    QFETCH(int, type);
    QFETCH(int, setHints);
    QFETCH(int, clearHints);
    QScopedPointer<XWindow> window(newWindow());
    run(window.data(), script);
    const Qt::WindowFlags flags = window->windowFlags();
    QCOMPARE(int(flags & Qt::WindowType_Mask), type);
    QCOMPARE(int(flags) & setHints, setHints);
    QCOMPARE(int(flags) & clearHints, 0);
    QVERIFY(window->isVisible());
}

void TestWindowObject::modalitySwitchesBetweenWindowModalAndNonModal()
{
    QScopedPointer<XWindow> window(newWindow());
    QCOMPARE(run(window.data(), "w.setModal(false); return w.isModal();").toBool(), false);
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QCOMPARE(run(window.data(), "w.setModal(); return w.isModal();").toBool(), true);
    QCOMPARE(window->windowModality(), Qt::WindowModal);
}

QTEST_MAIN(TestWindowObject)
#include "tst_windowobject.moc"
