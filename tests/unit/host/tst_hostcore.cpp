// The application object, its private URL schemes and the plug-in hand-off, in-process.
#include "apporigin.h"
#include "ovex.h"
#include "xdynamicresource.h"
#include "xnetworkaccessmanager.h"
#include "xwebpluginfactory.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QApplication>
#include <QDir>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebFrame>
#include <QWebPage>
#include <QtTest>

class TestHostCore : public QObject
{
    Q_OBJECT

private:
    Ovex *ovex = nullptr;
    QTemporaryDir packageDir;
    QString appDir;

    XWebView *view() const { return ovex->mainWindow()->webView(); }

    // Fetches `url` through the main view's manager and waits for the reply to finish.
    QNetworkReply *fetch(const QString &url)
    {
        QNetworkReply *reply = view()->page()->networkAccessManager()->get(QNetworkRequest(QUrl(url)));
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!finished.wait(5000))
            qWarning("reply to %s never finished", qPrintable(url));
        return reply;
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void appFilePathStaysInsideTheAppFolder_data();
    void appFilePathStaysInsideTheAppFolder();
    void schemesReadTheirOwnSources_data();
    void schemesReadTheirOwnSources();
    void storedResourceRepliesWithCacheHeaders();
    void missingEntryRepliesNotFoundWithEmptyBody_data();
    void missingEntryRepliesNotFoundWithEmptyBody();
    void replyReadInChunksGivesTheBodyOnce();
    void replyReadOfNothingConsumesNothing();
    void replySignalsReadyReadBeforeFinished();
    void registerWidgetCountsFromTheViewProperty();
    void forwardWithoutWorkChangesNothing();
    void forwardStoresACopyOfHandedBytes();
    void forwardRegistersHandedWidgets();
    void forwardIgnoresBadWidgetHandOffs();
    void pluginFactoryEmbedsRegisteredWidgets_data();
    void pluginFactoryEmbedsRegisteredWidgets();
    void pluginFactoryAnnouncesOneMimeType();
    void onlyServedPagesAreOwnDocuments_data();
    void onlyServedPagesAreOwnDocuments();
};

void TestHostCore::initTestCase()
{
    Q_INIT_RESOURCE(tressil_resources);
    appDir = QCoreApplication::applicationDirPath() + QStringLiteral("/app");
    QDir(appDir).removeRecursively(); // the test owns this folder beside it for its run
    writeFile(appDir + "/both.txt", "disk");
    writeFile(appDir + "/sub/only-disk.txt", "disk only");
    writeFile(packageDir.filePath("src/both.txt"), "package");
    writeFile(packageDir.filePath("src/only-package.txt"), "package only");
    writeFile(packageDir.filePath("outside/secret.txt"), "secret");
    QFile::link(packageDir.filePath("outside"), appDir + "/outside-link");
    QFile::link(packageDir.filePath("outside/secret.txt"), appDir + "/secret-link.txt");
    QFile::link(appDir + "/both.txt", appDir + "/sub/inside-link.txt");
    ovex = new Ovex(qApp);
    ovex->wrapEJP(packageDir.filePath("src"), packageDir.filePath("test.ejp"));
    ovex->loadEJP(packageDir.filePath("test.ejp"));
}

void TestHostCore::cleanupTestCase()
{
    delete ovex;
    QDir(appDir).removeRecursively();
}

void TestHostCore::appFilePathStaysInsideTheAppFolder_data()
{
    QTest::addColumn<QString>("urlPath");
    QTest::addColumn<QString>("expected"); // relative to the app folder, "" for refused
    QTest::newRow("plain file") << "/application.js"
                                << "application.js";
    QTest::newRow("nested file") << "/img/a.png"
                                 << "img/a.png";
    QTest::newRow("path without leading slash") << "a.txt"
                                                << "a.txt";
    QTest::newRow("dot-dot inside stays inside") << "/img/../a.txt"
                                                 << "a.txt";
    QTest::newRow("dot-dot to the executable's folder") << "/../tressil"
                                                        << "";
    QTest::newRow("dot-dot after a folder") << "/img/../../config.ini"
                                            << "";
    QTest::newRow("dot-dot to a sibling named like the folder") << "/../app2/x"
                                                                << "";
    QTest::newRow("the folder itself") << "/"
                                       << "";
}

void TestHostCore::appFilePathStaysInsideTheAppFolder()
{
    QFETCH(QString, urlPath);
    QFETCH(QString, expected);
    const QString resolved = XNetworkAccessManager::appFilePath(urlPath);
    QCOMPARE(resolved, expected.isEmpty() ? QString() : appDir + QLatin1Char('/') + expected);
}

void TestHostCore::schemesReadTheirOwnSources_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("app reads the disk") << "app:/both.txt" << 200 << QByteArray("disk");
    QTest::newRow("app never consults the package") << "app:/only-package.txt" << 404 << QByteArray();
    QTest::newRow("ejp reads the package") << "ejp:/both.txt" << 200 << QByteArray("package");
    QTest::newRow("ejp never consults the disk") << "ejp:/sub/only-disk.txt" << 404 << QByteArray();
    QTest::newRow("xrc prefers the disk file") << "xrc:/both.txt" << 200 << QByteArray("disk");
    QTest::newRow("xrc falls back to the package") << "xrc:/only-package.txt" << 200 << QByteArray("package only");
    QTest::newRow("xrc triple-slash form") << "xrc:///sub/only-disk.txt" << 200 << QByteArray("disk only");
    QTest::newRow("schemes are case-sensitive paths") << "xrc:/BOTH.txt" << 404 << QByteArray();
    QTest::newRow("a link inside the folder is followed") << "app:/sub/inside-link.txt" << 200 << QByteArray("disk");
    QTest::newRow("a link to a folder outside is not") << "xrc:/outside-link/secret.txt" << 404 << QByteArray();
    QTest::newRow("a link to a file outside is not") << "app:/secret-link.txt" << 404 << QByteArray();
    QTest::newRow("a folder is no page") << "app:/sub" << 404 << QByteArray();
    QTest::newRow("a folder with a slash is no page") << "xrc:/sub/" << 404 << QByteArray();
}

void TestHostCore::schemesReadTheirOwnSources()
{
    QFETCH(QString, url);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QScopedPointer<QNetworkReply> reply(fetch(url));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
    QCOMPARE(reply->readAll(), body);
    QVERIFY(!reply->hasRawHeader("Cache-Control"));
}

void TestHostCore::storedResourceRepliesWithCacheHeaders()
{
    ovex->dynamicResources()->set(QStringLiteral("image"), "first");
    QScopedPointer<QNetworkReply> reply(fetch(QStringLiteral("drc:image")));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    QCOMPARE(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray(), QByteArray("OK"));
    QCOMPARE(reply->rawHeader("Cache-Control"), QByteArray("must-revalidate"));
    QCOMPARE(reply->rawHeader("Expires"), QByteArray("0"));
    bool numeric = false;
    reply->rawHeader("ETag").toLongLong(&numeric);
    QVERIFY(numeric);
    QCOMPARE(reply->request().attribute(QNetworkRequest::CacheLoadControlAttribute).toInt(),
             int(QNetworkRequest::AlwaysNetwork));
    QCOMPARE(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(), 5LL);
    QCOMPARE(reply->readAll(), QByteArray("first"));

    ovex->dynamicResources()->set(QStringLiteral("image"), "second");
    QScopedPointer<QNetworkReply> again(fetch(QStringLiteral("drc:image")));
    QCOMPARE(again->readAll(), QByteArray("second"));
}

void TestHostCore::missingEntryRepliesNotFoundWithEmptyBody_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("ejp") << "ejp:/missing";
    QTest::newRow("app") << "app:/missing";
    QTest::newRow("drc") << "drc:missing";
    QTest::newRow("xrc") << "xrc:/missing";
}

void TestHostCore::missingEntryRepliesNotFoundWithEmptyBody()
{
    QFETCH(QString, url);
    QScopedPointer<QNetworkReply> reply(fetch(url));
    QVERIFY(reply->isFinished());
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
    QCOMPARE(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray(), QByteArray("Not Found"));
    QCOMPARE(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(), 0LL);
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->readAll(), QByteArray());
}

void TestHostCore::replyReadInChunksGivesTheBodyOnce()
{
    const QByteArray body = QByteArray("0123456789abcdefghij").repeated(3);
    ovex->dynamicResources()->set(QStringLiteral("chunks"), body);
    QScopedPointer<QNetworkReply> reply(fetch(QStringLiteral("drc:chunks")));
    QCOMPARE(reply->bytesAvailable(), qint64(body.size()));
    QByteArray collected;
    char buffer[7];
    qint64 count;
    while ((count = reply->read(buffer, sizeof buffer)) > 0)
        collected.append(buffer, int(count));
    QCOMPARE(collected, body);
    QCOMPARE(count, qint64(-1));
    QCOMPARE(reply->read(buffer, sizeof buffer), qint64(-1));
    QCOMPARE(reply->bytesAvailable(), qint64(0));
}

void TestHostCore::replyReadOfNothingConsumesNothing()
{
    ovex->dynamicResources()->set(QStringLiteral("nothing"), QByteArray("body"));
    QScopedPointer<QNetworkReply> reply(fetch(QStringLiteral("drc:nothing")));
    char buffer[1];
    QCOMPARE(reply->read(nullptr, 0), qint64(0));
    QCOMPARE(reply->read(buffer, 0), qint64(0));
    QCOMPARE(reply->readAll(), QByteArray("body"));
}

void TestHostCore::replySignalsReadyReadBeforeFinished()
{
    QNetworkReply *reply = view()->page()->networkAccessManager()->get(QNetworkRequest(QUrl("app:/both.txt")));
    QStringList order;
    connect(reply, &QIODevice::readyRead, this, [&order] { order << "readyRead"; });
    connect(reply, &QNetworkReply::finished, this, [&order] { order << "finished"; });
    QVERIFY(order.isEmpty()); // nothing is signalled inside the request itself
    QTRY_COMPARE(order, (QStringList {"readyRead", "finished"}));
    delete reply;
}

void TestHostCore::registerWidgetCountsFromTheViewProperty()
{
    view()->setProperty("widgetLastId", 0);
    QWidget first, second;
    QCOMPARE(ovex->registerWidget(&first, 0), 1);
    QCOMPARE(view()->property("widgetLastId").toInt(), 1);
    QCOMPARE(ovex->registerWidget(&second, 5), 5);
    QCOMPARE(view()->property("widgetLastId").toInt(), 1);
    QCOMPARE(ovex->registerWidget(&second, 1), 1);
    QCOMPARE(ovex->widgets().value(1), &second); // a later registration replaces the earlier
}

void TestHostCore::forwardWithoutWorkChangesNothing()
{
    view()->setProperty("work", QVariant());
    view()->setProperty("filename", QStringLiteral("unset-work"));
    view()->forward();
    QCOMPARE(view()->property("work").toString(), QString());
    QVERIFY(!ovex->dynamicResources()->contains(QStringLiteral("unset-work")));
}

void TestHostCore::forwardStoresACopyOfHandedBytes()
{
    QByteArray bytes("one");
    view()->setProperty("byte_array", QVariant::fromValue(static_cast<void *>(&bytes)));
    view()->setProperty("filename", QStringLiteral("handed"));
    view()->setProperty("work", QStringLiteral("set_drc_data"));
    view()->forward();
    bytes = "two";
    view()->setProperty("work", QStringLiteral("set_drc_data"));
    view()->forward();
    bytes = "changed after the hand-off";
    QCOMPARE(ovex->dynamicResources()->get(QStringLiteral("handed")), QByteArray("two"));
    QCOMPARE(view()->property("work").toString(), QString());

    view()->setProperty("byte_array", QVariant::fromValue(static_cast<void *>(nullptr)));
    view()->setProperty("filename", QStringLiteral("null-pointer"));
    view()->setProperty("work", QStringLiteral("set_drc_data"));
    view()->forward();
    QVERIFY(!ovex->dynamicResources()->contains(QStringLiteral("null-pointer")));
}

void TestHostCore::forwardRegistersHandedWidgets()
{
    QWidget widget;
    view()->setProperty("widgetLastId", 7);
    view()->setProperty("widgetObj", QVariant::fromValue(&widget));
    view()->setProperty("work", QStringLiteral("register_widget"));
    view()->forward();
    QCOMPARE(ovex->widgets().value(7), &widget);
    QCOMPARE(view()->property("widgetObj"), QVariant(0));
    QCOMPARE(view()->property("widgetLastId").toInt(), 7);
}

void TestHostCore::forwardIgnoresBadWidgetHandOffs()
{
    QObject notAWidget;
    view()->setProperty("widgetLastId", 8);
    view()->setProperty("widgetObj", QVariant::fromValue(&notAWidget));
    view()->setProperty("work", QStringLiteral("register_widget"));
    view()->forward();
    QVERIFY(!ovex->widgets().contains(8));
    QCOMPARE(view()->property("work").toString(), QString());

    const QMap<int, QWidget *> before = ovex->widgets();
    QWidget widget;
    view()->setProperty("widgetLastId", QStringLiteral("nine"));
    view()->setProperty("widgetObj", QVariant::fromValue(&widget));
    view()->setProperty("work", QStringLiteral("register_widget"));
    view()->forward();
    QCOMPARE(ovex->widgets(), before);
}

void TestHostCore::pluginFactoryEmbedsRegisteredWidgets_data()
{
    QTest::addColumn<QString>("mimeType");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<QSize>("fixedSize"); // 0 where no fixed size is set
    QTest::newRow("registered id with width 0 gets no fixed width")
            << "ovex/widget" << QStringList {"widget-id", "width", "height"} << QStringList {"21", "0", "40"} << true
            << QSize(0, 40);
    QTest::newRow("width and height fix the size") << "ovex/widget" << QStringList {"width", "widget-id", "height"}
                                                   << QStringList {"300", "21", "200"} << true << QSize(300, 200);
    QTest::newRow("another MIME type gets nothing")
            << "application/x-other" << QStringList {"widget-id"} << QStringList {"21"} << false << QSize();
    QTest::newRow("non-numeric id gets nothing")
            << "ovex/widget" << QStringList {"widget-id"} << QStringList {"viewer"} << false << QSize();
    QTest::newRow("unregistered id gets nothing")
            << "ovex/widget" << QStringList {"widget-id"} << QStringList {"999"} << false << QSize();
    QTest::newRow("attribute names are case-sensitive")
            << "ovex/widget" << QStringList {"widget-id", "Width"} << QStringList {"21", "300"} << true << QSize(0, 0);
    QTest::newRow("a later duplicate wins") << "ovex/widget" << QStringList {"widget-id", "widget-id"}
                                            << QStringList {"nope", "21"} << true << QSize(0, 0);
}

void TestHostCore::pluginFactoryEmbedsRegisteredWidgets()
{
    QFETCH(QString, mimeType);
    QFETCH(QStringList, names);
    QFETCH(QStringList, values);
    QFETCH(bool, embedded);
    QFETCH(QSize, fixedSize);
    QWidget widget;
    ovex->registerWidget(&widget, 21);
    QObject *created = ovex->pluginFactory()->create(mimeType, QUrl(), names, values);
    QCOMPARE(created, embedded ? &widget : nullptr);
    if (!embedded)
        return;
    QCOMPARE(widget.minimumWidth() == widget.maximumWidth() ? widget.minimumWidth() : 0, fixedSize.width());
    QCOMPARE(widget.minimumHeight() == widget.maximumHeight() ? widget.minimumHeight() : 0, fixedSize.height());
    QCOMPARE(ovex->pluginFactory()->create(mimeType, QUrl(), names, values), &widget); // same object again
}

void TestHostCore::pluginFactoryAnnouncesOneMimeType()
{
    const QList<QWebPluginFactory::Plugin> plugins = ovex->pluginFactory()->plugins();
    QCOMPARE(plugins.size(), 1);
    QCOMPARE(plugins.first().name, QStringLiteral("OVEX widget"));
    QCOMPARE(plugins.first().mimeTypes.size(), 1);
    QCOMPARE(plugins.first().mimeTypes.first().name, QStringLiteral("ovex/widget"));
    QCOMPARE(plugins.first().mimeTypes.first().description, QStringLiteral("OVEX widget"));
    QVERIFY(plugins.first().mimeTypes.first().fileExtensions.isEmpty());
}

void TestHostCore::onlyServedPagesAreOwnDocuments_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("own");
    QTest::newRow("a page of the folder") << "xrc:/both.txt" << true;
    QTest::newRow("a page of the package") << "ejp:/only-package.txt" << true;
    QTest::newRow("a missing page under an own scheme") << "xrc:/missing.html" << false;
    QTest::newRow("a link out of the folder") << "app:/secret-link.txt" << false;
    QTest::newRow("handed-over bytes") << "drc:image" << false;
}

void TestHostCore::onlyServedPagesAreOwnDocuments()
{
    QFETCH(QString, url);
    QFETCH(bool, own);
    ovex->dynamicResources()->set(QStringLiteral("image"), "<html></html>");
    QWebPage page;
    page.setNetworkAccessManager(new XNetworkAccessManager(ovex->content(), &page));
    QSignalSpy loaded(page.mainFrame(), &QWebFrame::loadFinished);
    page.mainFrame()->load(QUrl(url));
    QVERIFY(loaded.wait(5000));
    QCOMPARE(page.mainFrame()->url(), QUrl(url));
    QCOMPARE(AppOrigin::holdsOwnDocument(page.mainFrame()), own);
}

QTEST_MAIN(TestHostCore)
#include "tst_hostcore.moc"
