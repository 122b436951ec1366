#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportfilenames.h"
#include "jsonvariant.h"
#include "samplemaps.h"
#include "svgwriter.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

// Pins the artwork: SHA-256 of the decoded pixels of every PNG layer file,
// and of the bytes of BIN, SVG and generate output, for every sample map and
// a set of variants at three export scales. Pixel hashes are taken over rows
// of red, green, blue, alpha bytes, the same as scripts/artwork_digest.py
// prints, so the sample maps' values can be checked against that script's
// own PNG decoder. The golden values live in tests/data/artwork_digest.txt,
// one line "case | layer | digest" a file; a case that fails prints its
// fresh lines in that form.
namespace {

const char kSeparator[] = " | ";

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// "WxHx4 sha256" of the decoded pixels, or the reason there are none.
QString pixelDigest(const QString &path)
{
    const QImage decoded(path);
    if (decoded.isNull())
        return QStringLiteral("unreadable ") + path;
    const QImage rgba = decoded.convertToFormat(QImage::Format_RGBA8888);
    QByteArray bytes;
    bytes.reserve(rgba.width() * rgba.height() * 4);
    for (int y = 0; y < rgba.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(rgba.constScanLine(y)), rgba.width() * 4);
    return QStringLiteral("%1x%2x4 %3").arg(rgba.width()).arg(rgba.height()).arg(sha256(bytes));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString goldenLine(const QString &caseName, const QString &layer, const QString &digest)
{
    return caseName + QLatin1String(kSeparator) + layer + QLatin1String(kSeparator) + digest;
}

// "composite", "wires", "dots", ...: the layer's file suffix without its dot.
QString layerName(RenderLayer layer)
{
    const QString suffix = ExportFileNames::layerSuffix(layer);
    return suffix.isEmpty() ? QStringLiteral("composite") : suffix.mid(1);
}

// A variant of the showcase map on a small canvas, so that many fit in the run;
// without settings, the map as it is.
QByteArray overridesOf(const char *settings)
{
    if (!settings)
        return QByteArray();
    return QByteArray(R"({"width": 300, "height": 212)") + (settings[0] ? ", " : "") + settings + "}";
}

} // namespace

class TestArtworkDigest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void pngLayersKeepTheirPixels_data();
    void pngLayersKeepTheirPixels();
    void binKeepsItsBytes_data();
    void binKeepsItsBytes();
    void showcaseGenerationAndSvgKeepTheirBytes();

private:
    // The golden lines of each case, in the order its files are written.
    QHash<QString, QStringList> m_golden;
};

void TestArtworkDigest::initTestCase()
{
    QFile file(QStringLiteral(TRESSIL_TEST_DATA_DIR "/artwork_digest.txt"));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1String(kSeparator));
        QVERIFY2(parts.size() == 3, qPrintable(QStringLiteral("not case | layer | digest: ") + line));
        QVERIFY2(!m_golden.value(parts[0]).contains(line), qPrintable(QStringLiteral("repeated: ") + line));
        m_golden[parts[0]].append(line);
    }
}

void TestArtworkDigest::pngLayersKeepTheirPixels_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QByteArray>("overrides");
    QTest::addColumn<float>("scalePercent");
    struct Variant {
        const char *name;
        const char *map;
        const char *smallCanvasSettings;
    };
    const Variant variants[] = {
            {"default map", "render_default_map.json", nullptr},
            {"file-mask map", "render_filemask_map.json", nullptr},
            {"mixed map (text mask, modifier, adjustment, chips)", "render_mixed_map.json", nullptr},
            {"showcase map (shadow, glow, vignette, round corners, chip)", "render_showcase_map.json", nullptr},
            {"showcase on a small canvas", "render_showcase_map.json", ""},
            {"no shadow and no vignette", "render_showcase_map.json", R"("wire_shadow": 0, "vignetting": 0)"},
            {"strongest shadow", "render_showcase_map.json", R"("wire_shadow": 1.0)"},
            {"sharp signals without glow", "render_showcase_map.json", R"("signal_glowing": 0)"},
            {"glow of radius one", "render_showcase_map.json", R"("signal_glowing": 0.1)"},
            {"wide glow", "render_showcase_map.json", R"("signal_glowing": 2.5)"},
            {"full vignette", "render_showcase_map.json", R"("vignetting": 1.0)"},
            {"straight corners", "render_showcase_map.json", R"("wire_roundness": 0)"},
            {"half-rounded corners", "render_showcase_map.json", R"("wire_roundness": 0.5)"},
            {"no dots", "render_showcase_map.json", R"("dot_size": 0)"},
            {"solid pads and every dot glowing", "render_showcase_map.json",
             R"("hole_size": 0, "glowing_dots_amount": 1)"},
            {"three chips with pins on all sides", "render_showcase_map.json",
             R"("chips": [{"x": 0.2, "y": 0.3, "w": 4, "h": 3, "connections": 1, "render": true}, {"x": 0.7, "y": 0.6, "w": 5, "h": 4, "connections": 2, "render": true}, {"x": 0.5, "y": 0.8, "w": 3, "h": 2, "connections": 3, "render": false}])"},
            {"line and round modifiers", "render_showcase_map.json",
             R"("modificators": [{"type": 0, "x1": 0.1, "y1": 0.2, "x2": 0.9, "y2": 0.8, "intensity": 2.0, "spread": 0.2, "direction": 1}, {"type": 1, "x1": 0.6, "y1": 0.4, "x2": 0.8, "y2": 0.6, "intensity": 1.5, "spread": 0.3, "direction": 3}])"},
            {"density and signal adjustments", "render_showcase_map.json",
             R"("adjustments": [{"x": 0.25, "y": 0.5, "radius": 0.3, "hardness": 0.5, "masking": 1.0, "density": 0.2, "signal_amount": 2.0}])"},
            {"inverted text mask", "render_showcase_map.json",
             R"("masking": 1, "mask_type": "text", "mask_text": "LT", "mask_font": "DejaVu Sans", "mask_font_weight": 700, "invert_mask": true)"},
            {"file mask", "render_showcase_map.json",
             R"("masking": 1, "mask_type": "image", "mask_file_path": "mask_ring.png")"},
            {"one-cell grid under a shadow", "render_showcase_map.json", R"("scale": 20)"},
            {"steps weighted by a power", "render_showcase_map.json",
             R"("tendency_power": 1.5, "tendency_hv": 0.3, "tendency_random": 0.4)"},
    };
    for (const Variant &variant : variants) {
        for (int scale : {37, 100, 250}) {
            const QString name = QStringLiteral("%1 at %2 %, every layer")
                                         .arg(QString::fromUtf8(variant.name), QString::number(scale));
            QTest::newRow(qPrintable(name))
                    << QString::fromLatin1(variant.map) << overridesOf(variant.smallCanvasSettings) << float(scale);
        }
    }
}

void TestArtworkDigest::pngLayersKeepTheirPixels()
{
    QFETCH(QString, map);
    QFETCH(QByteArray, overrides);
    QFETCH(float, scalePercent);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CircuitGenerator generator;
    generator.readParameters(sampleMap(map, overrides));
    CircuitRenderer renderer;
    const QString file = dir.filePath(QStringLiteral("art.png"));
    QVERIFY(CircuitExporter(generator, renderer).exportPng(file, scalePercent, true).ok());
    const QString caseName = QString::fromUtf8(QTest::currentDataTag());
    QStringList actual;
    for (const ExportFileNames::Entry &entry : ExportFileNames::pngFiles(file))
        actual.append(goldenLine(caseName, layerName(entry.layer), pixelDigest(entry.file)));
    QVERIFY2(actual == m_golden.value(caseName), qPrintable(QStringLiteral("actual:\n") + actual.join('\n')));
}

void TestArtworkDigest::binKeepsItsBytes_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<float>("scalePercent");
    QTest::newRow("default map as raw RGB at 100 %") << "render_default_map.json" << 100.0f;
    QTest::newRow("file-mask map as raw RGB at 100 %") << "render_filemask_map.json" << 100.0f;
    QTest::newRow("mixed map as raw RGB at 100 %") << "render_mixed_map.json" << 100.0f;
    QTest::newRow("showcase map as raw RGB at 100 %") << "render_showcase_map.json" << 100.0f;
    QTest::newRow("showcase map as raw RGB at 37 %") << "render_showcase_map.json" << 37.0f;
    QTest::newRow("showcase map as raw RGB at 250 %") << "render_showcase_map.json" << 250.0f;
}

void TestArtworkDigest::binKeepsItsBytes()
{
    QFETCH(QString, map);
    QFETCH(float, scalePercent);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CircuitGenerator generator;
    generator.readParameters(sampleMap(map, QByteArray()));
    CircuitRenderer renderer;
    const QString file = dir.filePath(QStringLiteral("art.bin"));
    QVERIFY(CircuitExporter(generator, renderer).exportBin(file, scalePercent).ok());
    const QString caseName = QString::fromUtf8(QTest::currentDataTag());
    const QStringList actual {goldenLine(caseName, QStringLiteral("bin"), sha256(fileBytes(file)))};
    QVERIFY2(actual == m_golden.value(caseName), qPrintable(QStringLiteral("actual: ") + actual.join('\n')));
}

void TestArtworkDigest::showcaseGenerationAndSvgKeepTheirBytes()
{
    CircuitGenerator generator;
    generator.readParameters(sampleMap(QStringLiteral("render_showcase_map.json"), QByteArray()));
    generator.generateCircuit();
    const QString json = sha256(resultMapToJson(generator.resultMap()) + "\n");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CircuitRenderer renderer;
    const QString file = dir.filePath(QStringLiteral("art.svg"));
    QVERIFY(CircuitExporter(generator, renderer).exportSvg(file, false).ok());
    const QString caseName = QStringLiteral("showcase map generated and as SVG");
    const QStringList actual {goldenLine(caseName, QStringLiteral("json"), json),
                              goldenLine(caseName, QStringLiteral("svg"), sha256(fileBytes(file)))};
    QVERIFY2(actual == m_golden.value(caseName), qPrintable(QStringLiteral("actual:\n") + actual.join('\n')));
}

QTEST_MAIN(TestArtworkDigest)
#include "tst_artworkdigest.moc"
