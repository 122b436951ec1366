// lumatrace batch: one export per seed, equal to the single export, whatever the jobs.
#include "toolrunner.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kMap = QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json");

} // namespace

class TestBatchCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void everyFileEqualsTheSingleExportWhateverTheJobs_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("PNG layers at 30 %") << "png" << QStringList {"--scale", "30", "--separate"};
        QTest::newRow("artwork SVG") << "svg" << QStringList {"--artwork"};
    }

    void everyFileEqualsTheSingleExportWhateverTheJobs()
    {
        QFETCH(QString, extension);
        QFETCH(QStringList, options);
        const QString tag = QTest::currentDataTag();
        for (const char *jobs : {"1", "2"}) {
            const QString folder = path(tag + jobs);
            QVERIFY(QDir().mkpath(folder));
            const ToolRun run = runLumatrace(QStringList {"batch", kMap, folder + "/art-{seed}." + extension, "--seeds",
                                                          "3, 5-6", "--jobs", jobs}
                                             + options);
            QVERIFY2(run.exitCode == 0, run.err);
        }
        const QString single = path(tag + "single");
        QVERIFY(QDir().mkpath(single));
        for (const char *seed : {"3", "5", "6"}) {
            const QString name = QStringLiteral("art-%1.%2").arg(seed, extension);
            QCOMPARE(runLumatrace(QStringList {"export", kMap, single + "/" + name, "--seed", seed} + options).exitCode,
                     0);
        }
        const QStringList written = QDir(single).entryList(QDir::Files, QDir::Name);
        QCOMPARE(QDir(path(tag + "1")).entryList(QDir::Files, QDir::Name), written);
        QCOMPARE(QDir(path(tag + "2")).entryList(QDir::Files, QDir::Name), written);
        for (const QString &name : written) {
            const QByteArray expected = fileBytes(single + "/" + name);
            QVERIFY2(fileBytes(path(tag + "1/" + name)) == expected, qPrintable(name));
            QVERIFY2(fileBytes(path(tag + "2/" + name)) == expected, qPrintable(name));
        }
        // Different seeds, different artworks.
        QVERIFY(fileBytes(single + "/art-3." + extension) != fileBytes(single + "/art-5." + extension));
    }

    void parametersInsideThePngMakeTheSameArtworkAgain()
    {
        QCOMPARE(runLumatrace({"export", kMap, path("first.png"), "--seed", "9", "--scale", "30"}).exitCode, 0);
        const ToolRun params = runLumatrace({"params", path("first.png")});
        QCOMPARE(params.exitCode, 0);
        QFile map(path("again.json"));
        QVERIFY(map.open(QIODevice::WriteOnly));
        map.write(params.out);
        map.close();
        QVERIFY(params.out.contains("\"seed\":9"));
        QCOMPARE(runLumatrace({"export", path("again.json"), path("again.png"), "--scale", "30"}).exitCode, 0);
        const QImage first(path("first.png")), again(path("again.png"));
        QVERIFY(!first.isNull());
        QCOMPARE(again, first);
        // A PNG that carries no parameters (the contact sheet is one) says so.
        QCOMPARE(runLumatrace({"batch", kMap, path("p-{seed}.png"), "--seeds", "1", "--scale", "10", "--contact-sheet",
                               path("sheet.png")})
                         .exitCode,
                 0);
        const ToolRun none = runLumatrace({"params", path("sheet.png")});
        QCOMPARE(none.exitCode, 2);
        QCOMPARE(none.err.count('\n'), 1);
    }

    void aFailingSeedDoesNotStopTheOthers()
    {
        QVERIFY(QDir().mkpath(path("partly/art-2.png"))); // a folder where seed 2's file would go
        const ToolRun run = runLumatrace({"batch", kMap, path("partly/art-{seed}.png"), "--seeds", "1-3", "--scale",
                                          "20", "--contact-sheet", path("partly/sheet.png")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("seed 2: ") && run.err.contains("1 of 3 seeds failed"), run.err);
        QVERIFY(QFileInfo(path("partly/art-1.png")).isFile());
        QVERIFY(QFileInfo(path("partly/art-3.png")).isFile());
        // Three thumbnails of 160 px with gaps and labels, two to a row.
        QCOMPARE(QImage(path("partly/sheet.png")).size(), QSize(2 * 168 + 8, 2 * (168 + 18) + 8));
    }

    // Machines given 1/3, 2/3 and 3/3 of a list write every file once between them.
    void shardsSplitTheSeedsWithoutOverlap()
    {
        QStringList written;
        for (const char *shard : {"1/3", "2/3", "3/3"}) {
            const QString folder = path(QStringLiteral("shard%1").arg(shard[0]));
            QVERIFY(QDir().mkpath(folder));
            const ToolRun run = runLumatrace(
                    {"batch", kMap, folder + "/a-{seed}.svg", "--seeds", "1-7", "--shard", shard, "--jobs", "2"});
            QVERIFY2(run.exitCode == 0, run.err);
            written += QDir(folder).entryList(QDir::Files);
        }
        written.sort();
        QCOMPARE(written, QStringList({"a-1.svg", "a-2.svg", "a-3.svg", "a-4.svg", "a-5.svg", "a-6.svg", "a-7.svg"}));
        for (const char *bad : {"0/2", "3/2", "1/0", "2", "a/b"}) {
            const ToolRun run = runLumatrace({"batch", kMap, path("a-{seed}.svg"), "--seeds", "1-7", "--shard", bad});
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.err.count('\n'), 1);
        }
    }

    void badRequestsAreRefusedInOneLine_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("seeds");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("reversed range") << "art-{seed}.png"
                                        << "5-2" << 2;
        QTest::newRow("negative seed") << "art-{seed}.png"
                                       << "-1" << 2;
        QTest::newRow("not a number") << "art-{seed}.png"
                                      << "1, seven" << 2;
        QTest::newRow("empty list") << "art-{seed}.png"
                                    << "" << 2;
        QTest::newRow("pattern without {seed}") << "art.png"
                                                << "1" << 2;
        QTest::newRow("folder that cannot be made, below a file") << "a-file/art-{seed}.png"
                                                                  << "1" << 1;
        QTest::newRow("more than 100000 distinct seeds") << "art-{seed}.png"
                                                         << "0-99999, 100000" << 2;
        QTest::newRow("a range longer than 100000 seeds") << "art-{seed}.png"
                                                          << "1-100001" << 2;
    }

    void badRequestsAreRefusedInOneLine()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, seeds);
        QFETCH(int, exitCode);
        QFile blocker(path("a-file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const ToolRun run = runLumatrace({"batch", kMap, path(pattern), "--seeds", seeds});
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err.count('\n'), 1);
    }

    // Only one of them runs: the rest is the limit's count.
    void limitCountsDistinctSeedsNotListedOnes_data()
    {
        QTest::addColumn<QString>("seeds");
        QTest::addColumn<QString>("shard");
        QTest::newRow("100000 seeds listed twice") << "0-99999, 0-99999"
                                                   << "1/100000";
        QTest::newRow("overlapping ranges and repeats") << "50000-99999, 0-60000, 7, 99999"
                                                        << "100000/100000";
    }

    void limitCountsDistinctSeedsNotListedOnes()
    {
        QFETCH(QString, seeds);
        QFETCH(QString, shard);
        const QString folder = path(QStringLiteral("limit %1").arg(QTest::currentDataTag()));
        const ToolRun run = runLumatrace({"batch", kMap, folder + "/a-{seed}.svg", "--seeds", seeds, "--shard", shard});
        QVERIFY2(run.exitCode == 0, run.err);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }

    void negativeSeedIsRefusedAlikeByExportAndBatch()
    {
        const ToolRun exported = runLumatrace({"export", kMap, path("minus.svg"), "--seed", "-1"});
        const ToolRun batch = runLumatrace({"batch", kMap, path("minus-{seed}.svg"), "--seeds", "-1"});
        QCOMPARE(exported.exitCode, 2);
        QCOMPARE(batch.exitCode, 2);
        QCOMPARE(exported.err, batch.err);
        QCOMPARE(exported.err.count('\n'), 1);
        QVERIFY(!QFileInfo::exists(path("minus.svg")));
    }

    // As users expect of out/art-{seed}.png before out exists.
    void missingFoldersOfFilesAndSheetAreMade()
    {
        const ToolRun run = runLumatrace({"batch", kMap, path("made/deeper/art-{seed}.svg"), "--seeds", "4",
                                          "--contact-sheet", path("sheets/sheet.png")});
        QVERIFY2(run.exitCode == 0, run.err);
        QVERIFY(QFileInfo(path("made/deeper/art-4.svg")).isFile());
        QVERIFY(QFileInfo(path("sheets/sheet.png")).isFile());
    }

    // The sheet is drawn and written a row of thumbnails at a time: 2500 thumbnails of a
    // tiny map, 78 Mpx of sheet (313 MB as one image), peak well under that.
    void contactSheetOfManySeedsKeepsOneRowInMemory()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer quarantines freed memory: the resident size does not show what is held");
#endif
        QJsonObject map = QJsonDocument::fromJson(fileBytes(kMap)).object();
        map["width"] = 24;
        map["height"] = 16;
        QFile tiny(path("tiny.json"));
        QVERIFY(tiny.open(QIODevice::WriteOnly));
        tiny.write(QJsonDocument(map).toJson());
        tiny.close();
        QVERIFY(QDir().mkpath(path("many")));
        const PeakRun run = runMeasuringPeak(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"),
                                             {"batch", path("tiny.json"), path("many/a-{seed}.svg"), "--seeds",
                                              "1-2500", "--contact-sheet", path("many/sheet.png")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QImageReader(path("many/sheet.png")).size(), QSize(50 * 168 + 8, 50 * (168 + 18) + 8));
        QVERIFY2(run.peakKilobytes < 150 * 1024, qPrintable(QString::number(run.peakKilobytes)));
    }
};

QTEST_GUILESS_MAIN(TestBatchCommand)
#include "tst_batchcommand.moc"
