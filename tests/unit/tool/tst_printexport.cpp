// Print and plotter exports of the lumatrace tool: page sizes, the artwork SVG and the
// vector PDF, run as a real process.
#include "jsonvariant.h"
#include "toolrunner.h"

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>

namespace {

// Grey levels averaged over blocks of `block` pixels: a picture compared for where its
// shapes lie, not for its antialiasing.
QVector<double> blockAverages(const QImage &image, int block)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    QVector<double> cells;
    for (int by = 0; by + block <= grey.height(); by += block) {
        for (int bx = 0; bx + block <= grey.width(); bx += block) {
            double sum = 0;
            for (int y = by; y < by + block; ++y) {
                for (int x = bx; x < bx + block; ++x)
                    sum += grey.constScanLine(y)[x];
            }
            cells.append(sum / (block * block));
        }
    }
    return cells;
}

double correlation(const QVector<double> &a, const QVector<double> &b)
{
    const int n = std::min(a.size(), b.size());
    double ma = 0, mb = 0;
    for (int i = 0; i < n; ++i) {
        ma += a[i] / n;
        mb += b[i] / n;
    }
    double ab = 0, aa = 0, bb = 0;
    for (int i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb);
}

} // namespace

class TestPrintExport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_map; // the showcase map at 600 x 848, the aspect of A-series paper

    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVariantMap map;
        QString error;
        QVERIFY(readJsonParameterFile(QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_mixed_map.json"), &map, &error));
        map["width"] = 600;
        map["height"] = 848;
        m_map = path("map.json");
        QFile file(m_map);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument::fromVariant(map).toJson());
    }

    void pageExportsFitThePage_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QSize>("pixels");
        // A5 at 72 dpi is 419.5 x 595.3 px; the canvas is a little taller than the page.
        QTest::newRow("A5 portrait: the width meets the page")
                << QStringList {"--paper", "A5", "--dpi", "72"} << QSize(420, 593);
        QTest::newRow("A5 landscape: the height meets the page")
                << QStringList {"--paper", "a5", "--landscape", "--dpi", "72"} << QSize(297, 420);
        QTest::newRow("inches at 100 dpi") << QStringList {"--size", "11x17in", "--dpi", "100"} << QSize(1100, 1555);
        QTest::newRow("millimetres, landscape puts the long side across")
                << QStringList {"--size", "254x127mm", "--landscape", "--dpi", "100"} << QSize(354, 500);
    }

    void pageExportsFitThePage()
    {
        QFETCH(QStringList, options);
        QFETCH(QSize, pixels);
        const ToolRun result = runLumatrace(QStringList {"export", m_map, path("page.png")} + options);
        QVERIFY2(result.exitCode == 0, result.err);
        QCOMPARE(QImage(path("page.png")).size(), pixels);
    }

    void pngRecordsTheResolutionUsed_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("pixelsPerMetre");
        QTest::newRow("by percent: a screen's 96 dpi") << QStringList {"--scale", "20"} << 3780;
        QTest::newRow("by percent with --dpi 300") << QStringList {"--scale", "20", "--dpi", "300"} << 11811;
        QTest::newRow("paper at 72 dpi") << QStringList {"--paper", "A5", "--dpi", "72"} << 2835;
        QTest::newRow("paper: 300 dpi unless given") << QStringList {"--paper", "A5"} << 11811;
    }

    void pngRecordsTheResolutionUsed()
    {
        QFETCH(QStringList, options);
        QFETCH(int, pixelsPerMetre);
        QCOMPARE(runLumatrace(QStringList {"export", m_map, path("dpi.png"), "--separate"} + options).exitCode, 0);
        for (const char *name : {"dpi.png", "dpi.wires.png"}) {
            const QImage image(path(name));
            QCOMPARE(image.dotsPerMeterX(), pixelsPerMetre);
            QCOMPARE(image.dotsPerMeterY(), pixelsPerMetre);
        }
    }

    void badPrintValuesAreRefusedNamingThem_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("file");
        QTest::newRow("unknown paper") << QStringList {"--paper", "B7"} << "\"B7\"" << "bad.png";
        QTest::newRow("dpi below 72") << QStringList {"--scale", "50", "--dpi", "71"} << "71" << "bad.png";
        QTest::newRow("dpi above 1200") << QStringList {"--paper", "A4", "--dpi", "1201"} << "1201" << "bad.png";
        QTest::newRow("dpi not a number") << QStringList {"--paper", "A4", "--dpi", "high"} << "high" << "bad.png";
        QTest::newRow("zero size") << QStringList {"--size", "0x297mm"} << "\"0x297mm\"" << "bad.png";
        QTest::newRow("malformed size") << QStringList {"--size", "210by297mm"} << "\"210by297mm\"" << "bad.png";
        QTest::newRow("dpi for a PDF") << QStringList {"--paper", "A4", "--dpi", "300"} << "--dpi 300" << "bad.pdf";
        QTest::newRow("dpi for an artwork SVG") << QStringList {"--artwork", "--dpi", "150"} << "--dpi 150" << "bad.svg";
        QTest::newRow("margin wider than half the page")
                << QStringList {"--paper", "A5", "--margin", "80"} << "margin 80 mm" << "bad.pdf";
        QTest::newRow("margin not a number") << QStringList {"--artwork", "--margin", "wide"} << "margin \"wide\"" << "bad.svg";
        QTest::newRow("negative bleed") << QStringList {"--bleed", "-3"} << "bleed -3 mm" << "bad.pdf";
        QTest::newRow("pen too fine") << QStringList {"--plotter", "--pen", "0.01"} << "pen 0.01 mm" << "bad.svg";
        QTest::newRow("a fine pen on a large sheet")
                << QStringList {"--plotter", "--size", "2000x2000mm", "--pen", "0.3"} << "0.3 mm pen is too large"
                << "bad.svg";
        QTest::newRow("plotter layers apart")
                << QStringList {"--plotter", "--separate"} << "no separate layer files" << "bad.svg";
    }

    void sheetOptionsOutOfPlaceAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("file");
        QTest::newRow("pen without a plotter") << QStringList {"--artwork", "--pen", "0.3"} << "x.svg";
        QTest::newRow("outlines without a plotter") << QStringList {"--outlines"} << "x.pdf";
        QTest::newRow("bleed on an SVG") << QStringList {"--artwork", "--bleed", "3"} << "x.svg";
        QTest::newRow("margin on a PNG without a page") << QStringList {"--margin", "5"} << "x.png";
        QTest::newRow("plotter as PNG") << QStringList {"--plotter"} << "x.png";
        QTest::newRow("title on an SVG") << QStringList {"--artwork", "--title", "t"} << "x.svg";
    }

    void sheetOptionsOutOfPlaceAreUsageErrors()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, file);
        const ToolRun result = runLumatrace(QStringList {"export", m_map, path(file)} + options);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.startsWith("lumatrace: usage:"), result.err);
    }

    // The sheet a print shop checks: the media box the paper and its bleed, the trim box the
    // paper, and the artwork inside the margin; each layer an optional content group.
    void pdfHasItsBoxesLayersAndTitle_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("mediaBox");
        QTest::addColumn<QString>("trimBox");
        QTest::addColumn<QStringList>("layers");
        const QStringList artwork {"Background", "Wires", "Dots", "Components", "Dot signals", "Signals"};
        QTest::newRow("A4, no bleed") << QStringList {"--paper", "A4"} << "0.00 0.00 595.28 841.89"
                                      << "0.00 0.00 595.28 841.89" << artwork;
        QTest::newRow("A4, 3 mm bleed, 10 mm margin")
                << QStringList {"--paper", "A4", "--bleed", "3", "--margin", "10"} << "0.00 0.00 612.28 858.90"
                << "8.50 8.50 603.78 850.39" << artwork;
        QTest::newRow("A4 without background") << QStringList {"--paper", "A4", "--no-background"}
                                               << "0.00 0.00 595.28 841.89" << "0.00 0.00 595.28 841.89"
                                               << QStringList(artwork.mid(1));
        QTest::newRow("plotter, canvas size") << QStringList {"--plotter"} << "0.00 0.00 450.00 636.00"
                                              << "0.00 0.00 450.00 636.00" << QStringList {"Wires and pads"};
    }

    void pdfHasItsBoxesLayersAndTitle()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, mediaBox);
        QFETCH(QString, trimBox);
        QFETCH(QStringList, layers);
        const ToolRun run = runLumatrace(QStringList {"export", m_map, path("boxes.pdf")} + options);
        QVERIFY2(run.exitCode == 0, run.err);
        const QByteArray pdf = fileBytes(path("boxes.pdf"));
        QVERIFY(pdf.contains("/Title (map)")); // the map file's name
        QVERIFY(pdf.contains("/OCProperties"));
        for (const QString &layer : layers)
            QVERIFY2(pdf.contains("/Type /OCG /Name (" + layer.toUtf8() + ")"), qPrintable(layer));
        const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
        if (pdfinfo.isEmpty())
            QSKIP("pdfinfo is not installed (poppler-utils): the boxes were not read");
        const ToolRun info = runProgram(pdfinfo, {"-box", path("boxes.pdf")});
        QCOMPARE(info.exitCode, 0);
        const auto box = [&info](const char *name) {
            const QRegularExpression line(QStringLiteral("%1:\\s+([-\\d. ]+)\\n").arg(QLatin1String(name)));
            return line.match(QString::fromUtf8(info.out)).captured(1).simplified();
        };
        QCOMPARE(box("MediaBox"), mediaBox);
        QCOMPARE(box("TrimBox"), trimBox);
        QCOMPARE(box("BleedBox"), mediaBox);
    }

    // A page PNG with a margin is the whole sheet at the resolution: the background colour
    // around the artwork, which is fitted inside the margin and centred.
    void pagePngWithAMarginIsTheWholeSheet()
    {
        // A5 at 100 dpi: 583 x 827 px; inside 20 mm margins 425.2 x 669.3 px, so the 600 x 848
        // canvas is drawn at 70.866 %, 425 x 601 px, 79 px from the sides and 113 from the top.
        QCOMPARE(runLumatrace({"export", m_map, path("sheet.png"), "--paper", "A5", "--dpi", "100", "--margin", "20"})
                         .exitCode,
                 0);
        QCOMPARE(runLumatrace({"export", m_map, path("art.png"), "--scale", "70.866142"}).exitCode, 0);
        const QImage sheet(path("sheet.png"));
        const QImage artwork(path("art.png"));
        QCOMPARE(sheet.size(), QSize(583, 827));
        QCOMPARE(artwork.size(), QSize(425, 601));
        QCOMPARE(sheet.copy(79, 113, 425, 601).convertToFormat(QImage::Format_RGB32),
                 artwork.convertToFormat(QImage::Format_RGB32));
        // Made for print: RGB (colour type 2) marked sRGB; a plain export keeps its RGBA.
        QCOMPARE(int(fileBytes(path("sheet.png")).at(25)), 2);
        QVERIFY(fileBytes(path("sheet.png")).contains("sRGB"));
        QCOMPARE(int(fileBytes(path("art.png")).at(25)), 6);
        const QRgb background = sheet.pixel(0, 0);
        for (const QPoint &p : {QPoint(78, 400), QPoint(504, 400), QPoint(300, 112), QPoint(300, 714), QPoint(582, 826)})
            QCOMPARE(sheet.pixel(p), background);
    }

    void artworkSvgWithAMarginShowsTheWholeSheet()
    {
        QCOMPARE(runLumatrace({"export", m_map, path("m.svg"), "--artwork", "--paper", "A5", "--margin", "20"}).exitCode,
                 0);
        QXmlStreamReader xml(fileBytes(path("m.svg")));
        while (xml.readNext() != QXmlStreamReader::StartElement) { }
        // 108 mm of paper for 600 px: 0.18 mm a pixel; 20 mm of margin across, 28.68 mm down.
        QCOMPARE(xml.attributes().value("viewBox").toString(), QStringLiteral("-111.111 -159.333 822.222 1166.67"));
        QCOMPARE(xml.attributes().value("http://www.inkscape.org/namespaces/inkscape", "document-units").toString(),
                 QStringLiteral("mm"));
    }

    // What a pen plotter takes: only lines, one layer per pen, the pen's width, millimetres.
    void plotterSvgHasOnlyLinesInPenLayers()
    {
        const ToolRun run = runLumatrace({"export", m_map, path("plot.svg"), "--plotter", "--paper", "A3", "--pen", "0.6"});
        QVERIFY2(run.exitCode == 0, run.err);
        QXmlStreamReader xml(fileBytes(path("plot.svg")));
        QStringList layers;
        int paths = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            const QString name = xml.name().toString();
            if (name == QLatin1String("svg"))
                QCOMPARE(a.value("http://www.inkscape.org/namespaces/inkscape", "document-units").toString(), "mm");
            else if (name == QLatin1String("g"))
                layers << a.value("http://www.inkscape.org/namespaces/inkscape", "label").toString();
            else
                QCOMPARE(name, QStringLiteral("path"));
            if (name != QLatin1String("path"))
                continue;
            ++paths;
            QCOMPARE(a.value("fill").toString(), QStringLiteral("none"));
            // 0.6 mm on a page of 297 mm for 600 px.
            QCOMPARE(a.value("stroke-width").toString(), QStringLiteral("1.21212"));
            QVERIFY(!a.value("d").contains(QLatin1Char('Q')));
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(paths > 100);
        QCOMPARE(layers, QStringList({"Wires and pads", "Pad centres", "Chip pins", "Chips", "Glowing dots, signals"}));

        const QString inkscape = QStandardPaths::findExecutable("inkscape");
        if (inkscape.isEmpty())
            return; // optional: the editor, when installed, finds the same layers
        const ToolRun query = runProgram(inkscape, {"--query-all", path("plot.svg")});
        QCOMPARE(query.exitCode, 0);
        QCOMPARE(QString::fromUtf8(query.out).count(QRegularExpression(QStringLiteral("^layer-"),
                                                                        QRegularExpression::MultilineOption)),
                 layers.size());
    }

    // The pen's travel in the air, measured by the project's own script on the file: per
    // layer no more than a tenth over a nearest-neighbour order of the same lines, and for
    // the showcase map at A3 within a tenth over 23.7 m, what that order reaches on the
    // artwork's own paths.
    void plotterPenTravelIsShort()
    {
        const QString showcase = QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json");
        QCOMPARE(runLumatrace({"export", showcase, path("travel.svg"), "--plotter", "--paper", "A3"}).exitCode, 0);
        const ToolRun measured = runProgram(QStringLiteral("python3"),
                                            {QStringLiteral(TRESSIL_TEST_DATA_DIR "/../../scripts/pen_travel.py"), "--json",
                                             path("travel.svg")});
        QVERIFY2(measured.exitCode == 0, measured.err);
        const QJsonArray layers = QJsonDocument::fromJson(measured.out).array();
        QVERIFY(!layers.isEmpty());
        double travel = 0;
        for (const QJsonValue &value : layers) {
            const QJsonObject layer = value.toObject();
            QVERIFY2(layer["travel_m"].toDouble() <= 1.1 * layer["greedy_travel_m"].toDouble() + 0.01,
                     qPrintable(layer["layer"].toString()));
            travel += layer["travel_m"].toDouble();
        }
        QVERIFY2(travel <= 1.1 * 23.7, qPrintable(QString::number(travel)));
    }

    void badPrintValuesAreRefusedNamingThem()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, named);
        QFETCH(QString, file);
        const ToolRun result = runLumatrace(QStringList {"export", m_map, path(file)} + options);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(result.err.contains(named.toUtf8()), result.err);
        QVERIFY(!QFile::exists(path(file)));
    }

    void pageAndScaleTogetherAreAUsageError()
    {
        QCOMPARE(runLumatrace({"export", m_map, path("both.png"), "--paper", "A4", "--scale", "50"}).exitCode, 2);
    }

    void artworkSvgHasNamedLayersChipsAndPhysicalSize()
    {
        const ToolRun result = runLumatrace({"export", m_map, path("art.svg"), "--artwork", "--paper", "A3"});
        QVERIFY2(result.exitCode == 0, result.err);
        QXmlStreamReader xml(fileBytes(path("art.svg")));
        QStringList layers;
        QString current;
        int bodies = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("svg")) {
                QCOMPARE(a.value("width").toString(), QStringLiteral("297mm"));
                QCOMPARE(a.value("height").toString(), QStringLiteral("420mm"));
                QCOMPARE(a.value("viewBox").toString(), QStringLiteral("0 0 600 848"));
            }
            if (xml.name() == QLatin1String("g")) {
                QCOMPARE(a.value("http://www.inkscape.org/namespaces/inkscape", "groupmode").toString(),
                         QStringLiteral("layer"));
                current = a.value("http://www.inkscape.org/namespaces/inkscape", "label").toString();
                layers << current;
            }
            if (current == QLatin1String("Components") && a.value("fill") == QLatin1String("#1e1e1e"))
                ++bodies;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(layers, QStringList({"Background", "Wires", "Dots", "Components", "Dot signals", "Signals"}));
        QCOMPARE(bodies, 1); // the map places two chips, one of them drawn

        const QString rsvg = QStandardPaths::findExecutable("rsvg-convert");
        if (rsvg.isEmpty())
            QSKIP("rsvg-convert is not installed (librsvg2-bin): the SVG was not rendered");
        QCOMPARE(runProgram(rsvg, {"-w", "150", "-o", path("art-rsvg.png"), path("art.svg")}).exitCode, 0);
        QCOMPARE(QImage(path("art-rsvg.png")).width(), 150);
    }

    void separateArtworkLayersHaveNoBackground()
    {
        QCOMPARE(
                runLumatrace({"export", m_map, path("sep.svg"), "--artwork", "--separate", "--no-background"}).exitCode,
                0);
        QVERIFY(!fileBytes(path("sep.svg")).contains("inkscape:label=\"Background\""));
        for (const char *layer : {"wires", "dots", "components", "signals", "dot_signals"}) {
            const QByteArray svg = fileBytes(path(QStringLiteral("sep.%1.svg").arg(layer)));
            QCOMPARE(svg.count("inkscape:groupmode=\"layer\""), 1);
            QVERIFY(!svg.contains("Background"));
        }
    }

    // On other paper a hole painted in the background colour prints as a ring of that
    // colour: without the background, holes are left open, in the SVG and in the PDF.
    void noBackgroundLeavesPadHolesOpen()
    {
        QCOMPARE(runLumatrace({"export", m_map, path("bg.svg"), "--artwork"}).exitCode, 0);
        QCOMPARE(runLumatrace({"export", m_map, path("open.svg"), "--artwork", "--no-background"}).exitCode, 0);
        QCOMPARE(runLumatrace({"export", m_map, path("open.pdf"), "--no-background"}).exitCode, 0);
        const QByteArray painted = fileBytes(path("bg.svg"));
        const int at = painted.indexOf("fill=\"#", painted.indexOf("id=\"layer-background\""));
        const QByteArray background = painted.mid(at, 14); // fill="#rrggbb"
        const QByteArray open = fileBytes(path("open.svg"));
        QVERIFY(painted.count(background) > 1); // the background and the holes
        QCOMPARE(open.count(background), 0);
        // Each painted hole became a ring: a stroked circle.
        QCOMPARE(open.count("<circle") + painted.count(background) - 1, painted.count("<circle"));
        QCOMPARE(open.count("fill=\"none\" stroke="), painted.count(background) - 1 + open.count("<path"));

        const QString pdftocairo = QStandardPaths::findExecutable("pdftocairo");
        if (pdftocairo.isEmpty())
            QSKIP("pdftocairo is not installed (poppler-utils): the PDF was not rendered");
        // At 400 dpi a hole has whole pixels inside it; painted, they would be the background colour.
        QCOMPARE(runProgram(pdftocairo, {"-png", "-transp", "-r", "400", "-singlefile", path("open.pdf"), path("open")})
                         .exitCode,
                 0);
        const QImage rendered = QImage(path("open.png")).convertToFormat(QImage::Format_ARGB32);
        const QRgb colour = QColor(QString::fromLatin1(background.mid(6, 7))).rgb();
        int paintedPixels = 0;
        for (int y = 0; y < rendered.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(rendered.constScanLine(y));
            paintedPixels += int(std::count(row, row + rendered.width(), colour));
        }
        QCOMPARE(paintedPixels, 0);
    }

    // A plotter or compositor stacks the layer files: each must hold exactly its layer of
    // the combined artwork, signals and glowing dots included.
    void separateArtworkLayersStackToTheArtwork()
    {
        QCOMPARE(runLumatrace({"export", m_map, path("stack.svg"), "--artwork", "--separate"}).exitCode, 0);
        const QString artwork = QString::fromUtf8(fileBytes(path("stack.svg")));
        const QRegularExpression group(QStringLiteral("<g inkscape:groupmode=\"layer\".*?</g>\n"),
                                       QRegularExpression::DotMatchesEverythingOption);
        for (const char *layer : {"wires", "dots", "components", "signals", "dot_signals"}) {
            const QString file = QString::fromUtf8(fileBytes(path(QStringLiteral("stack.%1.svg").arg(layer))));
            const QString shapes = group.match(file).captured();
            QVERIFY2(shapes.count(QLatin1String("/>")) > 10, layer);
            QVERIFY2(artwork.contains(shapes), layer);
        }
    }

    void gridsOverAVectorLimitAreRefusedNamingIt_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("side"); // the grid is (side + 1) x side cells
        QTest::addColumn<QString>("named");
        QTest::newRow("SVG") << QStringList {"big.svg"} << 1024 << "an SVG export: the limit is 1048576 cells";
        QTest::newRow("artwork SVG") << QStringList {"big.svg", "--artwork"} << 1024
                                     << "an artwork SVG export: the limit is 1048576 cells";
        QTest::newRow("PDF") << QStringList {"big.pdf", "--paper", "A3"} << 724
                             << "a PDF export: the limit is 524288 cells";
        QTest::newRow("plotter PDF") << QStringList {"big.pdf", "--plotter"} << 512
                                     << "a plotter export: the limit is 262144 cells";
    }

    // Refused from the map, before generating: at once, whatever the grid.
    void gridsOverAVectorLimitAreRefusedNamingIt()
    {
        QFETCH(QStringList, options);
        QFETCH(int, side);
        QFETCH(QString, named);
        QVariantMap map;
        QString error;
        QVERIFY(readJsonParameterFile(m_map, &map, &error));
        map["scale"] = 1;
        map["width"] = 20 * (side + 1);
        map["height"] = 20 * side;
        const QString big = path("big.json");
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument::fromVariant(map).toJson());
        file.close();
        const ToolRun result = runLumatrace(QStringList {"export", big, path(options[0])} + options.mid(1));
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(result.err.contains(
                         QStringLiteral("%1 x %2 = %3 cells").arg(side + 1).arg(side).arg((side + 1) * side).toUtf8()),
                 result.err);
        QVERIFY2(result.err.contains(named.toUtf8()), result.err);
        QVERIFY(!QFile::exists(path(options[0])));
    }

    void pdfPageIsThePaperAndShowsTheArtworkWhereTheRasterHasIt()
    {
        QCOMPARE(runLumatrace({"export", m_map, path("a3.pdf"), "--paper", "A3"}).exitCode, 0);
        QVERIFY(fileBytes(path("a3.pdf")).contains("/MediaBox [0 0 841.89 1190.55]"));

        // Without a page the PDF is the canvas at 96 dpi, so rendered at 96 dpi it lies
        // over the raster export pixel for pixel.
        QCOMPARE(runLumatrace({"export", m_map, path("canvas.pdf")}).exitCode, 0);
        QCOMPARE(runLumatrace({"export", m_map, path("canvas.png")}).exitCode, 0);
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (pdftoppm.isEmpty())
            QSKIP("pdftoppm is not installed (poppler-utils): the PDF was not rendered");
        QCOMPARE(runProgram(pdftoppm, {"-r", "96", "-png", "-singlefile", path("canvas.pdf"), path("pdf")}).exitCode,
                 0);
        const QImage vector(path("pdf.png"));
        const QImage raster(path("canvas.png"));
        QCOMPARE(vector.size(), raster.size());
        // Blocks of 8 px: wires in the same places correlate strongly; a drawing shifted by
        // a cell (about 0.2 here) or flipped (about 0.1) does not.
        const double r = correlation(blockAverages(vector, 8), blockAverages(raster, 8));
        QVERIFY2(r > 0.8, qPrintable(QString::number(r)));
    }
};

QTEST_GUILESS_MAIN(TestPrintExport)
#include "tst_printexport.moc"
