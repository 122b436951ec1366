// The lumatrace command-line tool, run as a real process from the build's bin directory.
#include "circuitgenerator.h"
#include "jsonvariant.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

struct RunResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

RunResult runTool(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), args);
    if (!p.waitForStarted(10000))
        return {};
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    RunResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QByteArray sampleJson()
{
    return R"({"seed": 3, "width": 300, "height": 200, "scale": 0.6, "masking": 0,
        "masking_scale_x": 1, "masking_scale_y": 1, "wire_length": 0.3, "wire_thick_percent": 0.4,
        "cutoff_length": 0.3, "cutoff_percentage": 0.5, "max_wire_thickness": 2.4,
        "tendency_straight": 0.5, "tendency_homogenity": 0.5, "dense_amount": 0.5, "tendency_hv": 0.1,
        "tendency_random": 0.5, "tendency_power": 1, "loops": 2, "signal_amount": 0.5,
        "signal_size": 0.5, "signal_size_variance": 0.5,
        "chips": [{"x": 0.5, "y": 0.5, "w": 4, "h": 2, "connections": 3, "render": true}]})";
}

// The sample on a larger canvas: its result line (some 600 kB) fills the tool's output
// buffer twice over.
QByteArray largeJson()
{
    QVariantMap map = QJsonDocument::fromJson(sampleJson()).toVariant().toMap();
    map["width"] = 3000.0;
    map["height"] = 3000.0;
    return QJsonDocument::fromVariant(map).toJson();
}

} // namespace

class TestLumatraceTool : public QObject
{
    Q_OBJECT

    QTemporaryDir work;

    // A map of the sample with a used file mask at `maskPath`.
    QString maskMap(const QString &name, const QString &maskPath)
    {
        QVariantMap map = QJsonDocument::fromJson(sampleJson()).toVariant().toMap();
        map["masking"] = 1.0;
        map["mask_type"] = "image";
        map["mask_file_path"] = maskPath;
        const QString path = work.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(QJsonDocument::fromVariant(map).toJson());
        return path;
    }

private Q_SLOTS:
    void refusedInputExitsTwoWithItsReason_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        const QString data = QStringLiteral(TRESSIL_TEST_DATA_DIR "/");
        QTest::newRow("endless passes that cut every wire") << data + "budget_endless_passes.json"
                                                            << "generation refused: more than the limit of 1000";
        QTest::newRow("a hundred adjustments on the largest grid") << data + "budget_adjustments_on_largest_grid.json"
                                                                   << "generation refused: 100 modificators and";
        QTest::newRow("a thousand chips on the largest grid") << data + "budget_thousand_chips.json"
                                                              << "generation refused: the chips cover";
        QTest::newRow("chips with millions of pins") << data + "budget_many_pins.json"
                                                     << "generation refused: the chips have more";
        QTest::newRow("a parameter file that never ends") << "/dev/zero"
                                                          << "larger than the limit of 64 MB";
        QVERIFY(::mkfifo(QFile::encodeName(work.filePath("fifo.png")).constData(), 0600) == 0);
        QTest::newRow("a FIFO as the mask file")
                << maskMap("fifo.json", work.filePath("fifo.png")) << "fifo.png\" is not a regular file";
        QTest::newRow("a mask declaring 23000 x 23000 pixels")
                << maskMap("huge.json", data + "mask_declares_23000px.png") << "declares 23000 x 23000 pixels";
        QTest::newRow("a missing mask file")
                << maskMap("missing.json", work.filePath("none.png")) << "none.png\" does not exist";
    }

    void refusedInputExitsTwoWithItsReason()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        const RunResult r = runTool({"generate", path});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.startsWith("lumatrace: " + path.toUtf8() + ": "), r.err.constData());
        QVERIFY2(r.err.contains(reason.toUtf8()), r.err.constData());
    }

    void outputThatCannotBeWrittenExitsOne_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("the result map of generate") << QStringList {"generate", "-"} << sampleJson();
        // The writing fails on the first of several buffers, and is reported once.
        QTest::newRow("a result map longer than the output buffer") << QStringList {"generate", "-"} << largeJson();
        QTest::newRow("the help text") << QStringList {"--help"} << QByteArray();
        QTest::newRow("a command's help text") << QStringList {"generate", "--help"} << QByteArray();
    }

    void outputThatCannotBeWrittenExitsOne()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), args);
        QVERIFY(p.waitForStarted(10000));
        p.write(input);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(err.startsWith("lumatrace: cannot write to standard output: "), err.constData());
        QCOMPARE(err.count('\n'), 1);
    }

    void generateMatchesTheCore()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("params.json");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(sampleJson());
        f.close();
        const RunResult r = runTool({"generate", path});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.isEmpty());
        QVERIFY(r.out.endsWith('\n'));
        QCOMPARE(r.out.count('\n'), 1);

        // The same map through the core in this process: identical text.
        const QVariantMap map = QJsonDocument::fromJson(sampleJson()).toVariant().toMap();
        CircuitGenerator g;
        const QVariantMap result = g.generate(map);
        QCOMPARE(r.out, resultMapToJson(result) + "\n");
        QVERIFY(r.out.startsWith("{\"wires\":[{\"xy\":[["));

        // Thick wires print the single-precision value in its shortest double form.
        QVERIFY(r.out.contains("\"thickness\":1.7000000476837158")
                || r.out.contains("\"thickness\":2.4000000953674316"));
        const QVariantList wires = QJsonDocument::fromJson(r.out).object().toVariantMap().value("wires").toList();
        QCOMPARE(wires.size(), result.value("wires").toList().size());
        for (int i = 0; i < wires.size(); ++i) {
            const QVariantMap a = wires[i].toMap();
            const QVariantMap b = result.value("wires").toList()[i].toMap();
            QCOMPARE(a.value("thickness").toDouble(), double(b.value("thickness").toFloat()));
            QCOMPARE(a.value("density").toInt(), b.value("density").toInt());
        }
    }

    void generateEqualsTheSerialisedResultMap_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("input");
        const QString data = QStringLiteral(TRESSIL_TEST_DATA_DIR "/");
        QTest::newRow("showcase") << data + "render_showcase_map.json" << QByteArray();
        QTest::newRow("mixed") << data + "render_mixed_map.json" << QByteArray();
        QTest::newRow("longer than the output buffer") << "-" << largeJson();
    }

    void generateEqualsTheSerialisedResultMap()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, input);
        const RunResult r = runTool({"generate", path}, input);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.isEmpty());
        QVariantMap map;
        QString error;
        QVERIFY2(path == "-" ? parseJsonParameterMap(input, &map, &error) : readJsonParameterFile(path, &map, &error),
                 qPrintable(error));
        CircuitGenerator g;
        QCOMPARE(r.out, resultMapToJson(g.generate(map)) + "\n");
    }

    void generateFromStandardInput()
    {
        const RunResult a = runTool({"generate", "-"}, sampleJson());
        QCOMPARE(a.exitCode, 0);
        QTemporaryDir dir;
        QFile f(dir.filePath("p.json"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(sampleJson());
        f.close();
        const RunResult b = runTool({"generate", f.fileName()});
        QCOMPARE(a.out, b.out);
    }

    void emptyCircuitForBadGeometry()
    {
        const RunResult r = runTool({"generate", "-"}, R"({"width": 600, "height": 600, "scale": 0})");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("{\"wires\":[]}\n"));
    }

    void badInput_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QTest::newRow("array") << QByteArray("[1, 2]") << "not a JSON object";
        QTest::newRow("number") << QByteArray("42") << "not";
        QTest::newRow("broken") << QByteArray("{\"seed\": 1") << "not valid JSON";
        QTest::newRow("empty") << QByteArray("") << "not valid JSON";
    }

    void badInput()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.json");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const RunResult r = runTool({"generate", path});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.contains(path.toUtf8()), r.err.constData());
        QVERIFY2(r.err.contains(problem.toUtf8()), r.err.constData());
    }

    void missingFile()
    {
        const RunResult r = runTool({"generate", "/nonexistent/dir/params.json"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.contains("/nonexistent/dir/params.json"));
    }

    void gridTooLarge()
    {
        const RunResult r = runTool({"generate", "-"}, R"({"width": 100000, "height": 100000, "scale": 0.05})");
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.contains("too large"), r.err.constData());
        QVERIFY(r.err.contains("2097152"));
    }

    void usageErrors()
    {
        RunResult r = runTool({});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        r = runTool({"frobnicate"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("frobnicate"));
        r = runTool({"generate"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        r = runTool({"generate", "a.json", "b.json"});
        QCOMPARE(r.exitCode, 2);
    }

    void help()
    {
        const RunResult r = runTool({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("generate PARAMS.json"));
        QVERIFY(r.out.contains("standard input"));
        QVERIFY(r.out.contains("--help"));
        QVERIFY(r.out.contains("Exit status"));
        const RunResult g = runTool({"generate", "--help"});
        QCOMPARE(g.exitCode, 0);
        QVERIFY(g.out.contains("shortest"));
    }

    void everyHelpLineFitsEightyColumns_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("the whole help") << QStringList {"--help"};
        for (const char *command : {"generate", "export", "batch", "params"}) {
            QTest::newRow(command) << QStringList {command, "--help"};
            QTest::newRow(qPrintable(QStringLiteral("help %1").arg(command))) << QStringList {"help", command};
        }
    }

    void everyHelpLineFitsEightyColumns()
    {
        QFETCH(QStringList, args);
        const RunResult r = runTool(args);
        QCOMPARE(r.exitCode, 0);
        for (const QByteArray &line : r.out.split('\n'))
            QVERIFY2(QString::fromUtf8(line).size() <= 80, line.constData());
    }
};

QTEST_MAIN(TestLumatraceTool)
#include "tst_lumatracetool.moc"
