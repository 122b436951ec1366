// The host's folders are layers: an include may run down or stay in its folder, never
// up to the composition root or the windows from below.
#include "includelayers.h"

#include <QtTest>

class TestHostLayers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void includesRunOnlyDownTheLayers_data();
    void includesRunOnlyDownTheLayers();
};

void TestHostLayers::includesRunOnlyDownTheLayers_data()
{
    const QString data = QStringLiteral(TRESSIL_TEST_DATA_DIR "/layers/");
    const QStringList twoLayers = {QStringLiteral("top"), QStringLiteral("bottom")};
    QTest::addColumn<QString>("root");
    QTest::addColumn<QStringList>("layers");
    QTest::addColumn<QStringList>("violations");

    QTest::newRow("the host includes nothing from a higher layer")
            << QStringLiteral(TRESSIL_HOST_DIR)
            << QStringList {QStringLiteral("application"), QStringLiteral("windows"), QStringLiteral("scripting"),
                            QStringLiteral("services"), QStringLiteral("network"), QStringLiteral("package")}
            << QStringList();
    QTest::newRow("a lower file that includes a higher header is reported")
            << data + QStringLiteral("upward") << twoLayers
            << QStringList {QStringLiteral("bottom/helper.cpp includes top/root.h")};
    QTest::newRow("includes down, of outside headers and in comments pass")
            << data + QStringLiteral("downward") << twoLayers << QStringList();
    QTest::newRow("a folder or file outside the layers is reported")
            << data + QStringLiteral("stray") << twoLayers
            << QStringList {QStringLiteral("extra/ is no layer"), QStringLiteral("loose.cpp is outside every layer")};
}

void TestHostLayers::includesRunOnlyDownTheLayers()
{
    QFETCH(QString, root);
    QFETCH(QStringList, layers);
    QFETCH(QStringList, violations);
    QVERIFY(QDir(root).exists());
    // Joined, so that a failure prints the includes that run up.
    QCOMPARE(IncludeLayers(root, layers).violations().join(QLatin1Char('\n')), violations.join(QLatin1Char('\n')));
}

QTEST_APPLESS_MAIN(TestHostLayers)
#include "tst_hostlayers.moc"
