// End-to-end: documents from elsewhere than the application (a local file, the store of
// handed-over bytes, a loopback web server) reach no native object by any path, cannot
// navigate the application's window away and cannot read local files.
#include "loopbackserver.h"
#include "tressilrunner.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Shows the page named by args[2] the way args[1] says, then after a while prints where the
// application's window is and whether it still has `ovex`.
const QByteArray application = R"js(function main(args) {
    app.win.show();
    window.name = 'tressil-app';
    ovex.println('application page: ' + typeof ovex);
    var how = args[1], url = args[2];
    if (how === 'store') {
        ovex.setDRCData('reach.html', app.fs.fileGetContents(args[3]));
        how = 'frame';
    }
    if (how === 'frame') {
        var frame = document.createElement('iframe');
        frame.src = url;
        document.body.appendChild(frame);
    } else if (how === 'open') {
        window.open(url);
    } else {
        var link = document.createElement('a');
        link.href = url;
        document.body.appendChild(link);
        link.click();
        return;
    }
    setTimeout(function () {
        ovex.println('after: ' + location.href + ' ' + typeof ovex);
        ovex.exit(0);
    }, 2500); })js";

QByteArray reachPage(quint16 port)
{
    QFile page(QStringLiteral(TRESSIL_TEST_DATA_DIR "/foreign_reach.html"));
    if (!page.open(QIODevice::ReadOnly))
        return QByteArray();
    return page.readAll().replace("PORT", QByteArray::number(port));
}

} // namespace

class TestForeignDocumentsE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void foreignDocumentsReachNothing_data();
    void foreignDocumentsReachNothing();
};

void TestForeignDocumentsE2E::foreignDocumentsReachNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("report");
    // Each report: ovex in its own window, in its parent, its top, its opener, whether a
    // local file was read, then the mode's own path.
    const QString framed = R"(["self:undefined","undefined","undefined","none","refused")";
    const QString alone = R"(["self:undefined","self:undefined","self:undefined","none","refused")";
    QTest::newRow("file page in a frame") << "frame" << "file://WORK/reach.html" << framed + "]";
    QTest::newRow("stored page in a frame") << "store" << "drc:reach.html" << framed + "]";
    QTest::newRow("web page in a frame") << "frame" << "http://HOST/reach.html" << framed + "]";
    QTest::newRow("file page in a frame navigating the top window")
            << "frame" << "file://WORK/reach.html?bust" << framed + "]";
    QTest::newRow("web page in a frame navigating the top window")
            << "frame" << "http://HOST/reach.html?bust" << framed + "]";
    QTest::newRow("file page in a frame opening the named application window")
            << "frame" << "file://WORK/reach.html?named" << framed + R"(,"undefined"])";
    QTest::newRow("file page opened by the application") << "open" << "file://WORK/reach.html" << alone + "]";
    QTest::newRow("web page opened by the application") << "open" << "http://HOST/reach.html" << alone + "]";
    QTest::newRow("file page reached by a link re-opening itself to retarget its opener")
            << "link" << "file://WORK/reach.html?chain" << alone + R"(,"none"])";
}

void TestForeignDocumentsE2E::foreignDocumentsReachNothing()
{
    QFETCH(QString, how);
    QFETCH(QString, target);
    QFETCH(QString, report);
    QTemporaryDir work;
    LoopbackServer server;
    QVERIFY(work.isValid() && server.listen());
    const QByteArray page = reachPage(server.port());
    QVERIFY(!page.isEmpty());
    server.addPage("/reach.html", page);
    QFile file(work.filePath("reach.html"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(page) == page.size());
    file.close();
    target.replace("WORK", work.path()).replace("HOST", "127.0.0.1:" + QString::number(server.port()));

    TressilRunner runner;
    runner.writeApplication(application);
    QProcess program;
    program.setWorkingDirectory(runner.directory());
    program.start(runner.programPath(), {how, target, file.fileName()});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!server.reports.isEmpty(), 30000);
    // A page reached by a link replaces the application, which then never ends by itself.
    if (how == QLatin1String("link")) {
        QTest::qWait(500);
        program.kill();
    }
    QVERIFY(program.waitForFinished(30000));
    QString expectedOut = QStringLiteral("application page: object\n");
    if (how != QLatin1String("link"))
        expectedOut += QStringLiteral("after: xrc:/ object\n");
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), expectedOut);
    QCOMPARE(server.reports, QStringList {report});
}

QTEST_GUILESS_MAIN(TestForeignDocumentsE2E)
#include "tst_foreigndocuments_e2e.moc"
