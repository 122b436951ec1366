// The application object started with the host's command-line options, in-process.
#include "ejpwrapper.h"
#include "hostoptions.h"
#include "ovex.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWebInspector>
#include <QtTest>

class TestStartOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(tressil_resources); }
    void inspectOpensAnInspectorOfTheMainPage();
    void withoutInspectNoInspectorOpens();
    void appFolderReplacesTheFolderBesideTheProgram();
    void namedPackageIsLoadedAndNoFolderIsServed();
    void argumentsAfterDoubleDashFollowTheProcessArguments();
};

void TestStartOptions::inspectOpensAnInspectorOfTheMainPage()
{
    Ovex ovex(qApp, HostOptions::parse({"tressil", "--inspect"}));
    const QList<QWebInspector *> inspectors = ovex.mainWindow()->findChildren<QWebInspector *>();
    QCOMPARE(inspectors.size(), 1);
    QVERIFY(inspectors.first()->isVisible());
    QVERIFY(inspectors.first()->isWindow());
    QCOMPARE(inspectors.first()->page(), ovex.mainWindow()->webView()->page());
}

void TestStartOptions::withoutInspectNoInspectorOpens()
{
    Ovex ovex(qApp);
    QVERIFY(ovex.mainWindow()->findChildren<QWebInspector *>().isEmpty());
}

void TestStartOptions::appFolderReplacesTheFolderBesideTheProgram()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("sub"));
    QFile script(folder.filePath("application.js"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.close();
    HostOptions options = HostOptions::parse({"tressil", "--app", folder.path() + "/sub/.."});
    QCOMPARE(options.checkSources(), QString());
    Ovex ovex(qApp, options);
    QCOMPARE(ovex.appDirectory(), folder.path());
}

void TestStartOptions::namedPackageIsLoadedAndNoFolderIsServed()
{
    QTemporaryDir work;
    QDir(work.path()).mkdir("src");
    QFile file(work.filePath("src/application.js"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("function main() {}");
    file.close();
    EJPWrapper().wrap(work.filePath("src"), work.filePath("a.ejp"));
    HostOptions options = HostOptions::parse({"tressil", "--package", work.filePath("a.ejp")});
    QCOMPARE(options.checkSources(), QString());
    Ovex ovex(qApp, options);
    QVERIFY(ovex.packageContains("/application.js"));
    QCOMPARE(ovex.appDirectory(), QString());
}

void TestStartOptions::argumentsAfterDoubleDashFollowTheProcessArguments()
{
    Ovex ovex(qApp, HostOptions::parse({"tressil", "--", "-a", "--"}));
    QCOMPARE(ovex.arguments(), QCoreApplication::arguments() + QStringList({"-a", "--"}));
}

QTEST_MAIN(TestStartOptions)
#include "tst_startoptions.moc"
