// In-process: the swatch demo plug-in's label handed to the host and embedded by "ovex/widget"
// objects.
#include "ovex.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QApplication>
#include <QWebFrame>
#include <QWebPage>
#include <QtTest>

class TestWidgetEmbedding : public QObject
{
    Q_OBJECT

private:
    Ovex *ovex = nullptr;

    QVariant evaluate(const QString &script) { return ovex->mainWindow()->mainFrame()->evaluateJavaScript(script); }

    // Adds an object element and lets the engine lay it out.
    void embed(const QString &attributes)
    {
        evaluate("var o = document.createElement('div'); o.innerHTML = '<object " + attributes
                 + "></object>'; document.body.appendChild(o); document.body.offsetHeight;");
        QTest::qWait(100);
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void pluginRegistersItsViewerUnderTheNextId();
    void objectWithViewerIdEmbedsTheViewerAtItsSize();
    void objectsThatDoNotNameAWidgetGetNone_data();
    void objectsThatDoNotNameAWidgetGetNone();
    void childWindowsDoNotSeeThePlugin();
};

void TestWidgetEmbedding::initTestCase()
{
    Q_INIT_RESOURCE(tressil_resources);
    qApp->setQuitOnLastWindowClosed(false);
    ovex = new Ovex(qApp);
    ovex->mainWindow()->resize(800, 600);
    ovex->mainWindow()->show();
    QTRY_VERIFY(evaluate("typeof ovex").toString() == QLatin1String("object"));
    QTRY_VERIFY(evaluate("document.readyState").toString() == QLatin1String("complete"));
    evaluate(QStringLiteral("ovex.loadPlugin('" TRESSIL_BIN_DIR "/libSwatchDemo.so')"));
}

void TestWidgetEmbedding::cleanupTestCase()
{
    delete ovex;
}

void TestWidgetEmbedding::pluginRegistersItsViewerUnderTheNextId()
{
    QCOMPARE(evaluate("swatch.widgetId()").toInt(), 1);
    QWidget *viewer = ovex->widgets().value(1);
    QVERIFY(viewer);
    QVERIFY(viewer->inherits("QLabel"));
    QCOMPARE(ovex->mainWindow()->webView()->property("widgetObj"), QVariant(0));
    QCOMPARE(ovex->mainWindow()->webView()->property("widgetLastId").toInt(), 1);
}

void TestWidgetEmbedding::objectWithViewerIdEmbedsTheViewerAtItsSize()
{
    QWidget *viewer = ovex->widgets().value(1);
    QVERIFY(viewer && !viewer->parentWidget());
    embed(R"(type="ovex/widget" widget-id="1" width="320" height="180")");
    QTRY_VERIFY(viewer->parentWidget() != nullptr);
    QVERIFY(ovex->mainWindow()->webView()->isAncestorOf(viewer));
    QCOMPARE(viewer->minimumSize(), QSize(320, 180));
    QCOMPARE(viewer->maximumSize(), QSize(320, 180));
}

void TestWidgetEmbedding::objectsThatDoNotNameAWidgetGetNone_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::newRow("another MIME type") << R"(type="application/x-other" widget-id="%1")";
    QTest::newRow("non-numeric id") << R"(type="ovex/widget" widget-id="w%1")";
    QTest::newRow("id spelled with a capital letter") << R"(type="ovex/widget" Widget-Id="x%1")";
}

void TestWidgetEmbedding::objectsThatDoNotNameAWidgetGetNone()
{
    QFETCH(QString, attributes);
    QWidget bystander;
    const int id = ovex->registerWidget(&bystander, 0);
    embed(attributes.arg(id));
    QTest::qWait(100);
    QVERIFY(!bystander.parentWidget());
    ovex->registerWidget(nullptr, id);
}

void TestWidgetEmbedding::childWindowsDoNotSeeThePlugin()
{
    evaluate("var child = window.open('');");
    QTRY_VERIFY(evaluate("child.document.readyState").toString() == QLatin1String("complete"));
    QCOMPARE(evaluate("typeof child.swatch").toString(), QStringLiteral("undefined"));
    QCOMPARE(evaluate("typeof child.ovex").toString(), QStringLiteral("undefined"));
    QCOMPARE(evaluate("typeof swatch").toString(), QStringLiteral("object"));
}

QTEST_MAIN(TestWidgetEmbedding)
#include "tst_widgetembedding.moc"
