// Print and plotter exports of the lumatrace tool: page sizes, the artwork SVG and the
// vector PDF, run as a real process.
#include "jsonvariant.h"
#include "toolrunner.h"

#include <QColor>
#include <QImage>
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
