#include "artworkscene.h"
#include "circuitbuilder.h"
#include "circuitgenerator.h"
#include "jsonvariant.h"
#include "lanepath.h"
#include "randomstream.h"
#include "svgwriter.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// 60 × 40 canvas with 20-pixel cells: pad radius 5, hole 2.5, inner radius
// roundf(1.25) = 1, stroke width 5 for one lane.
GeneratorSettings smallSettings()
{
    GeneratorSettings settings;
    settings.width = 60;
    settings.height = 40;
    settings.scale = 1.0f;
    settings.dotSize = 1.0f;
    settings.insideHoleColor = {255, 0, 0};
    settings.signalColor = {0, 255, 0};
    settings.glowingDotsAmount = 0.5f;
    return settings;
}

QStringList matches(const QString &text, const QString &pattern)
{
    QStringList found;
    auto it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured(0));
    return found;
}

// The document of a hand-built circuit, its scene drawn from stream 5 at state 0.
QString documentOf(const Circuit &circuit, const GeneratorSettings &settings, RenderLayer layer)
{
    RandomStream signal(0);
    return SvgWriter::svgDocument(ArtworkScene(circuit, settings, signal), settings, layer);
}

} // namespace

class TestSvgWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbersUseSixSignificantDigits_data();
    void numbersUseSixSignificantDigits();
    void numbersIgnoreTheProcessLocale();
    void coloursAreLowerCaseHex();
    void dotElementsFollowTheirTemplates_data();
    void dotElementsFollowTheirTemplates();
    void pathDataWritesEveryCommand();
    void pathElementFollowsItsTemplate();
    void documentOfAHandBuiltCircuit_data();
    void documentOfAHandBuiltCircuit();
    void twoCellWireIsOneStraightElementWhateverItsDensity();
    void doubleWireIsTwoPathElements();
    void layerDocumentsHoldOnlyTheirShapes_data();
    void layerDocumentsHoldOnlyTheirShapes();
    void layerDocumentsAgreeWithTheComposite();
};

void TestSvgWriter::numbersUseSixSignificantDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("an integer has no decimals") << 2.0 << "2";
    QTest::newRow("trailing zeros are removed") << 0.5 << "0.5";
    QTest::newRow("a single-precision 3.6 reads 3.6") << double(3.6f) << "3.6";
    QTest::newRow("a third keeps six digits") << 1.0 / 3.0 << "0.333333";
    QTest::newRow("a million switches to exponent form") << 1234567.0 << "1.23457e+06";
    QTest::newRow("a small value switches to exponent form") << 0.00001234 << "1.234e-05";
    QTest::newRow("a negative value keeps its sign") << -4.56 << "-4.56";
}

void TestSvgWriter::numbersUseSixSignificantDigits()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(SvgWriter::number(value), text);
}

void TestSvgWriter::numbersIgnoreTheProcessLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = SvgWriter::number(54.56);
    QLocale::setDefault(previous);
    QCOMPARE(text, QStringLiteral("54.56"));
}

void TestSvgWriter::coloursAreLowerCaseHex()
{
    QCOMPARE(SvgWriter::colorName(QColor(0, 50, 100)), QStringLiteral("#003264"));
    QCOMPARE(SvgWriter::colorName(QColor(255, 171, 205)), QStringLiteral("#ffabcd"));
}

void TestSvgWriter::dotElementsFollowTheirTemplates_data()
{
    QTest::addColumn<double>("r1");
    QTest::addColumn<double>("r2");
    QTest::addColumn<double>("r3");
    QTest::addColumn<QString>("text");
    const QString ring
            = QStringLiteral("<circle cx=\"10\" cy=\"20\" r=\"1.8\" stroke=\"#ffffff\" stroke-width=\"1.8\" />");
    const QString inner = QStringLiteral("<circle cx=\"10\" cy=\"20\" r=\"1\" fill=\"#ff0000\" stroke-width=\"0\" />");
    QTest::newRow("a pad with hole and inner disc is a ring and a solid circle") << 3.6 << 1.8 << 1.0 << ring + inner;
    QTest::newRow("a pad without inner disc is a ring only") << 3.6 << 1.8 << 0.0 << ring;
    QTest::newRow("hole size 0 gives one solid circle")
            << 3.6 << 0.0 << 0.0 << "<circle cx=\"10\" cy=\"20\" r=\"3.6\" fill=\"#ffffff\" stroke-width=\"0\" />";
    QTest::newRow("equal hole and inner radii give a disc and a solid inner circle")
            << 3.0 << 1.0 << 1.0
            << "<circle cx=\"10\" cy=\"20\" r=\"3\" fill=\"#ffffff\" stroke-width=\"0\" />" + inner;
    QTest::newRow("a hole as large as the pad writes nothing") << 3.0 << 3.0 << 1.0 << "";
    QTest::newRow("no radius writes nothing") << 0.0 << -1.0 << -1.0 << "";
}

void TestSvgWriter::dotElementsFollowTheirTemplates()
{
    QFETCH(double, r1);
    QFETCH(double, r2);
    QFETCH(double, r3);
    QFETCH(QString, text);
    QCOMPARE(SvgWriter::dotElements(QPoint(10, 20), Qt::white, Qt::red, r1, r2, r3), text);
}

void TestSvgWriter::pathDataWritesEveryCommand()
{
    LanePath path;
    path.moveTo(QPointF(5, 5), true);
    path.moveTo(QPointF(6.5, 5));
    path.lineTo(QPointF(15, 5.25));
    path.quadTo(QPointF(1, 2), QPointF(3, 4));
    QCOMPARE(SvgWriter::pathData(path), QStringLiteral("M 5 5 M 6.5 5 L 15 5.25 Q 1 2 3 4 "));
}

void TestSvgWriter::pathElementFollowsItsTemplate()
{
    QCOMPARE(SvgWriter::pathElement(QStringLiteral("M 1 2 L 3 4 "), QColor(0, 255, 0), 2.5),
             QStringLiteral("<path d=\"M 1 2 L 3 4 \" fill=\"none\" stroke=\"#00ff00\" "
                            "stroke-width=\"2.5\" />\n"));
}

void TestSvgWriter::documentOfAHandBuiltCircuit_data()
{
    QTest::addColumn<int>("layer");
    QTest::addColumn<QString>("document");
    const QString header = QStringLiteral("<svg viewBox=\"0 0 60 40\" xmlns=\"http://www.w3.org/2000/svg\">\n");
    const QString data = QStringLiteral("M 10 30 L 30 30 L 50 30 ");
    auto rect = [](const char *fill) {
        return QStringLiteral("<rect x=\"0\" y=\"0\" width=\"60\" height=\"40\" style=\"fill:%1;\" />\n")
                .arg(QLatin1String(fill));
    };
    auto path = [&data](const char *stroke) {
        return QStringLiteral("<path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"5\" />\n")
                .arg(data, QLatin1String(stroke));
    };
    auto pad = [](int x, const char *hole) {
        return QStringLiteral("<circle cx=\"%1\" cy=\"30\" r=\"2.5\" stroke=\"#ffffff\" stroke-width=\"2.5\" />"
                              "<circle cx=\"%1\" cy=\"30\" r=\"1\" fill=\"%2\" stroke-width=\"0\" />")
                .arg(x)
                .arg(QLatin1String(hole));
    };
    auto glow = [](const char *fill) {
        return QStringLiteral("<circle cx=\"10\" cy=\"30\" r=\"5\" fill=\"%1\" stroke-width=\"0\" />")
                .arg(QLatin1String(fill));
    };
    // Stream 5 from state 0 draws 0.2113 (first end: glows, below 0.5), 0.7094
    // (last end: no glow), then 0.5468 for the signal: target 0.164 of the total
    // weight 0.3 is passed at cell 1; length 2 gives cells 0 to 2.
    const QString end = QStringLiteral("</svg>\n");
    QTest::newRow("composite: wire, pads, then glowing dots, then signals")
            << int(Composite)
            << header + rect("#003264") + path("#ffffff") + pad(10, "#ff0000") + pad(50, "#ff0000") + glow("#00ff00")
                    + path("#00ff00") + end;
    QTest::newRow("wires: black background and the white wire only")
            << int(Wires) << header + rect("#000000") + path("#ffffff") + end;
    QTest::newRow("dots: white pads only")
            << int(Dots) << header + rect("#000000") + pad(10, "#ffffff") + pad(50, "#ffffff") + end;
    QTest::newRow("signals: the white signal only") << int(Signals) << header + rect("#000000") + path("#ffffff") + end;
    QTest::newRow("dot signals: the white glowing dot only")
            << int(DotSignals) << header + rect("#000000") + glow("#ffffff") + end;
}

void TestSvgWriter::documentOfAHandBuiltCircuit()
{
    QFETCH(int, layer);
    QFETCH(QString, document);
    CircuitBuilder builder(3, 2);
    Wire &wire = builder.addWire({{0, 1}, {1, 1}, {2, 1}});
    wire.signalPosition = 0.5f;
    wire.signalSize = 0.25f;
    QCOMPARE(documentOf(builder.circuit(), smallSettings(), RenderLayer(layer)), document);
}

void TestSvgWriter::twoCellWireIsOneStraightElementWhateverItsDensity()
{
    CircuitBuilder builder(3, 2);
    Wire &wire = builder.addWire({{0, 0}, {1, 1}}, 2);
    builder.setLaneEnds(wire, {1, 0}, {2, 1}, 0);
    GeneratorSettings settings = smallSettings();
    settings.scale = 0.7f; // c = double(0.7f) × 20, centres not truncated
    const QString text = documentOf(builder.circuit(), settings, Wires);
    const double c = double(0.7f) * 20.0;
    const QString expected
            = QStringLiteral("<path d=\"M %1 %1 L %2 %2\" fill=\"none\" stroke=\"#ffffff\" "
                             "stroke-width=\"%3\" />\n")
                      .arg(SvgWriter::number(0.5 * c), SvgWriter::number(1.5 * c), SvgWriter::number(c * 0.25 / 1.5));
    QCOMPARE(matches(text, QStringLiteral("<path[^\n]*\n")), QStringList {expected});
}

void TestSvgWriter::doubleWireIsTwoPathElements()
{
    CircuitBuilder builder(4, 2);
    builder.addWire({{0, 0}, {1, 0}, {2, 0}, {3, 0}}, 2);
    const QString text = documentOf(builder.circuit(), smallSettings(), Wires);
    // Stroke width 5 / 1.5 for two lanes; the lanes bend apart by 3.8f × 1.2.
    QCOMPARE(matches(text, QStringLiteral("<path[^\n]*\n")),
             QStringList({"<path d=\"M 10 10 L 30 14.56 L 50 14.56 L 70 10 \" fill=\"none\" "
                          "stroke=\"#ffffff\" stroke-width=\"3.33333\" />\n",
                          "<path d=\"M 10 10 L 30 5.44 L 50 5.44 L 70 10 \" fill=\"none\" "
                          "stroke=\"#ffffff\" stroke-width=\"3.33333\" />\n"}));
}

void TestSvgWriter::layerDocumentsHoldOnlyTheirShapes_data()
{
    QTest::addColumn<int>("layer");
    QTest::addColumn<bool>("circles");
    QTest::addColumn<bool>("paths");
    QTest::newRow("the wires document has paths and no circles") << int(Wires) << false << true;
    QTest::newRow("the dots document has circles and no paths") << int(Dots) << true << false;
    QTest::newRow("the signals document has paths and no circles") << int(Signals) << false << true;
    QTest::newRow("the dot signals document has circles and no paths") << int(DotSignals) << true << false;
}

void TestSvgWriter::layerDocumentsHoldOnlyTheirShapes()
{
    QFETCH(int, layer);
    QFETCH(bool, circles);
    QFETCH(bool, paths);
    QVariantMap parameters;
    QString error;
    QVERIFY2(readJsonParameterFile(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json", &parameters, &error),
             qPrintable(error));
    CircuitGenerator generator;
    generator.readParameters(parameters);
    generator.generateCircuit();
    const QString text = SvgWriter::svgDocument(ArtworkScene(generator), generator.settings(), RenderLayer(layer));
    QCOMPARE(text.contains(QLatin1String("<circle")), circles);
    QCOMPARE(text.contains(QLatin1String("<path")), paths);
    QVERIFY(text.startsWith(QLatin1String("<svg viewBox=\"0 0 600 600\"")));
    QVERIFY(text.contains(QLatin1String("style=\"fill:#000000;\"")));
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("#(?!000000|ffffff)[0-9a-f]{6}"))));
}

void TestSvgWriter::layerDocumentsAgreeWithTheComposite()
{
    QVariantMap parameters;
    QString error;
    QVERIFY(readJsonParameterFile(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json", &parameters, &error));
    CircuitGenerator generator;
    generator.readParameters(parameters);
    GeneratorSettings &settings = generator.mutableSettings();
    settings.signalColor = {255, 255, 255};
    settings.wireColor = {1, 2, 3};
    settings.insideHoleColor = {4, 5, 6};
    generator.generateCircuit();
    auto document = [&](RenderLayer layer) {
        generator.resetSeed();
        return SvgWriter::svgDocument(ArtworkScene(generator), settings, layer);
    };
    const QString composite = document(Composite);
    const QString whiteShapes = QStringLiteral("<(circle|path)[^>]*(fill|stroke)=\"#ffffff\"[^>]*>\n?");
    const QStringList glowAndSignals = matches(composite, whiteShapes);
    const QStringList layers = matches(document(DotSignals), whiteShapes) + matches(document(Signals), whiteShapes);
    QVERIFY(glowAndSignals.size() > 10);
    QCOMPARE(layers, glowAndSignals);
}

QTEST_GUILESS_MAIN(TestSvgWriter)
#include "tst_svgwriter.moc"
