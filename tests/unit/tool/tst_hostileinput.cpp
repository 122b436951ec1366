// Hostile inputs to the lumatrace tool: parameter text in PNGs, sizes that would take
// the painter hours, canvases and texts beyond what any artwork needs.
#include "jsonvariant.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

namespace {

struct RunResult {
    int exitCode = -1;
    QByteArray err;
    QByteArray out;
};

RunResult runTool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError(),
            p.readAllStandardOutput()};
}

QByteArray bigEndian(quint32 value)
{
    return QByteArray(1, char(value >> 24)) + char(value >> 16) + char(value >> 8) + char(value);
}

QByteArray chunk(const QByteArray &type, const QByteArray &data)
{
    const QByteArray body = type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()));
    return bigEndian(quint32(data.size())) + body + bigEndian(quint32(crc));
}

// A 1 x 1 PNG whose parameter chunk holds text, deflated when compressed.
QByteArray pngWithText(const QByteArray &text, bool compressed)
{
    const QByteArray header = bigEndian(1) + bigEndian(1) + QByteArray("\x08\x06\x00\x00\x00", 5);
    const QByteArray body = compressed ? qCompress(text).mid(4) : text; // qCompress prefixes the length
    const QByteArray itxt
            = QByteArray("lumatrace-parameters\0", 21) + (compressed ? QByteArray("\1\0\0\0", 4) : QByteArray(4, '\0'))
            + body;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("iTXt", itxt)
            + chunk("IDAT", qCompress(QByteArray(5, '\0')).mid(4)) + chunk("IEND", QByteArray());
}

QVariantMap showcaseMap()
{
    QVariantMap map;
    readJsonParameterFile(QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json"), &map, nullptr);
    return map;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

QString writeMap(const QTemporaryDir &dir, const QVariantMap &map)
{
    return writeFile(dir, QStringLiteral("map.json"), QJsonDocument::fromVariant(map).toJson());
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paramsRefusesHostileText_data()
    {
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<QString>("error"); // empty: the text is printed as stored
        QTest::addColumn<QByteArray>("text");
        const QByteArray map = R"({"seed":3,"mask_text":"Grüße ✓"})";
        const QByteArray huge = "{\"mask_text\":\"" + QByteArray(2 << 20, 'x') + "\"}";
        const QByteArray largest = "{\"mask_text\":\"" + QByteArray(1000, 'M') + "\",\"mask_image\":{\"grey\":\""
                + QByteArray(600000, 'A') + "\"}}";
        QTest::newRow("a map is printed as stored") << pngWithText(map, false) << QString() << map;
        QTest::newRow("a compressed map is printed as stored") << pngWithText(map, true) << QString() << map;
        QTest::newRow("a long mask_text with an embedded mask image fits")
                << pngWithText(largest, true) << QString() << largest;
        QTest::newRow("more than 1 MiB of text is refused unread")
                << pngWithText(huge, false) << "larger than the limit" << QByteArray();
        QTest::newRow("compressed text is inflated no further than 1 MiB")
                << pngWithText(huge, true) << "larger than the limit" << QByteArray();
        const QStringList files {"params_array", "params_nested_deep", "params_not_utf8", "params_overlong_utf8"};
        const QStringList errors {"not a JSON object", "nest deeper than the limit of 32", "not valid UTF-8",
                                  "not valid UTF-8"};
        for (int i = 0; i < files.size(); ++i) {
            QFile file(QStringLiteral(TRESSIL_TEST_DATA_DIR "/") + files[i] + ".png");
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(files[i])) << file.readAll() << errors[i] << QByteArray();
        }
        QTest::newRow("a PNG without the chunk has no parameters")
                << pngWithText(map, false).replace("lumatrace-parameters", "lumatrace-parameterz")
                << "no Lumatrace parameters" << QByteArray();
        QTest::newRow("other bytes are no PNG") << map << "not a PNG file" << QByteArray();
    }

    void paramsRefusesHostileText()
    {
        QFETCH(QByteArray, png);
        QFETCH(QString, error);
        QFETCH(QByteArray, text);
        QTemporaryDir dir;
        const QString file = writeFile(dir, QStringLiteral("art.png"), png);
        const RunResult run = runTool({"params", file});
        if (error.isEmpty()) {
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.out, text + "\n");
            return;
        }
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith("lumatrace: " + file.toUtf8() + ": ") && run.err.contains(error.toUtf8()),
                 run.err);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.out.isEmpty());
    }

    void oversizedDrawingIsRefusedNamingTheKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("error"); // empty: accepted
        // 256 x 256 cells of 12 pixels; each of these took from a minute to hours to draw.
        for (const char *key : {"dot_size", "wire_thickness", "inside_hole_size", "max_wire_thickness"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 1e6 as PNG").arg(key)))
                    << QString::fromLatin1(key) << 1e6 << "art.png" << QStringLiteral("%1: 1e+06 is too large").arg(key);
        }
        QTest::newRow("dot_size 1e6 as raw RGB") << "dot_size" << 1e6 << "art.bin" << "dot_size: 1e+06 is too large";
        QTest::newRow("every size 1e308 as SVG") << "" << 1e308 << "art.svg" << "the canvas is too large";
        QTest::newRow("every size 1e308 as PDF") << "" << 1e308 << "art.pdf" << "the canvas is too large";
        QTest::newRow("dot_size 1e39 as SVG, written inf") << "dot_size" << 1e39 << "art.svg" << "dot_size: too large";
        QTest::newRow("dot_size 4 draws") << "dot_size" << 4.0 << "art.png" << QString();
        QTest::newRow("wire_thickness 3 draws") << "wire_thickness" << 3.0 << "art.png" << QString();
    }

    void oversizedDrawingIsRefusedNamingTheKey()
    {
        QFETCH(QString, key);
        QFETCH(double, value);
        QFETCH(QString, file);
        QFETCH(QString, error);
        QVariantMap map = showcaseMap();
        map["width"] = map["height"] = 256 * 12.0;
        if (key.isEmpty()) {
            for (auto it = map.begin(); it != map.end(); ++it) {
                if (it.value().userType() == QMetaType::Double)
                    it.value() = value;
            }
        } else {
            map[key] = value;
        }
        QTemporaryDir dir;
        const QString mapFile = writeMap(dir, map);
        const bool raster = file.endsWith(QLatin1String(".png")) || file.endsWith(QLatin1String(".bin"));
        const RunResult run = runTool(QStringList {"export", mapFile, dir.filePath(file)}
                                      + (raster ? QStringList {"--scale", "100"} : QStringList()));
        QCOMPARE(run.exitCode, error.isEmpty() ? 0 : 2);
        QVERIFY2(run.err.isEmpty() == error.isEmpty(), run.err);
        if (!error.isEmpty()) {
            QVERIFY2(run.err.startsWith("lumatrace: " + mapFile.toUtf8() + ": ") && run.err.contains(error.toUtf8()),
                     run.err);
            QVERIFY(!QFile::exists(dir.filePath(file)));
        }
    }

    void maskTextHasALimit_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("1000 characters are a text mask") << 1000 << 0;
        QTest::newRow("1001 characters are refused") << 1001 << 2;
        QTest::newRow("ten million characters are refused") << 10000000 << 2;
    }

    void maskTextHasALimit()
    {
        QFETCH(int, length);
        QFETCH(int, exitCode);
        QVariantMap map = showcaseMap();
        map["mask_type"] = QStringLiteral("text");
        map["mask_text"] = QString(length, QLatin1Char('W'));
        QTemporaryDir dir;
        const RunResult run = runTool({"generate", writeMap(dir, map)});
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode)
            QVERIFY2(run.err.contains("mask_text: " + QByteArray::number(length) + " characters, more than the limit"),
                     run.err);
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
