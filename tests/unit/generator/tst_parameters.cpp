// Reading the parameter map: conversions, defaults, lists, reseeding and the masks.
#include "circuitgenerator.h"
#include "randomstreams.h"

#include <QTemporaryDir>
#include <QtTest>

class TestParameters : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initialValuesBeforeFirstRead()
    {
        CircuitGenerator g;
        const GeneratorSettings &s = g.settings();
        QCOMPARE(s.width, 600);
        QCOMPARE(s.height, 600);
        QCOMPARE(s.scale, 0.6f);
        QCOMPARE(s.wireLength, 0.4f);
        QCOMPARE(s.cutoffPercentage, 1.0f);
        QCOMPARE(s.maxWireThickness, 2.4f);
        QCOMPARE(s.loops, 1);
        QCOMPARE(s.bgColor.g, 50);
        QCOMPARE(s.bgColor.b, 100);
        QCOMPARE(s.maskFontWeight, 400);
        QVERIFY(!s.maskTypeText);
    }

    void emptyMapZeroesEverything()
    {
        CircuitGenerator g;
        g.readParameters(QVariantMap());
        const GeneratorSettings &s = g.settings();
        QCOMPARE(s.width, 0);
        QCOMPARE(s.height, 0);
        QCOMPARE(s.scale, 0.0f);
        QCOMPARE(s.cutoffPercentage, 0.0f);
        QCOMPARE(s.loops, 0);
        QCOMPARE(s.bgColor.g, 0);
        QCOMPARE(s.maskFontWeight, 0);
        QVERIFY(s.modificators.empty());
        // scale 0: an empty circuit, no crash.
        Circuit *c = g.generateCircuit();
        QCOMPARE(c->columns(), 0);
        QVERIFY(c->wires().empty());
        QCOMPARE(g.resultMap().value("wires").toList().size(), 0);
    }

    void conversions()
    {
        CircuitGenerator g;
        QVariantMap p;
        p["seed"] = 2147482000.0; // JSON numbers arrive as doubles
        p["width"] = 640.0;
        p["height"] = 480.9; // real, truncated
        p["scale"] = 0.25;
        p["loops"] = 3.0;
        p["bg_color"] = QVariantList {1.0, 2.0}; // missing entry reads 0
        p["wire_color"] = QVariantList {10, 20, 30, 40};
        p["mask_type"] = "Text"; // case-sensitive: file mask
        p["mask_italic"] = 1.0;
        p["invert_mask"] = true;
        p["mask_letter_spacing"] = -20.0;
        g.readParameters(p);
        const GeneratorSettings &s = g.settings();
        QCOMPARE(s.seed, 2147482000);
        QCOMPARE(s.width, 640);
        QCOMPARE(s.height, 480);
        QCOMPARE(s.scale, 0.25f);
        QCOMPARE(s.loops, 3);
        QCOMPARE(s.bgColor.r, 1);
        QCOMPARE(s.bgColor.g, 2);
        QCOMPARE(s.bgColor.b, 0);
        QCOMPARE(s.wireColor.b, 30);
        QVERIFY(!s.maskTypeText);
        QVERIFY(s.maskItalic);
        QVERIFY(s.invertMask);
        QCOMPARE(s.maskLetterSpacing, -20);
        p["mask_type"] = "text";
        g.readParameters(p);
        QVERIFY(g.settings().maskTypeText);
        // Out-of-range and non-finite doubles do not reach an undefined conversion.
        p["seed"] = 1e20;
        p["loops"] = -1e20;
        p["height"] = 1e30;
        g.readParameters(p);
        QCOMPARE(g.settings().seed, 2147483647);
        QCOMPARE(g.settings().loops, -2147483647 - 1);
        QCOMPARE(g.settings().height, 2147483647);
    }

    void readingReseedsStreams()
    {
        RandomStreams streams;
        CircuitGenerator g(streams);
        streams.stream(StreamStart).next();
        streams.stream(StreamSignal).next();
        QVariantMap p;
        p["seed"] = 42.0;
        g.readParameters(p);
        const auto st = streams.states();
        QCOMPARE(st[0], qint64(42));
        QCOMPARE(st[4], qint64(42 + 2333));
        streams.stream(StreamThick).next();
        g.resetSeed();
        QCOMPARE(streams.states()[1], qint64(1042));
    }

    void listsAreRebuilt()
    {
        CircuitGenerator g;
        QVariantMap mod {{"type", 0.0}, {"x1", 0.25},       {"y1", 0.5},     {"x2", 0.75},
                         {"y2", 1.0},   {"intensity", 2.0}, {"spread", 0.5}, {"direction", 3.0}};
        QVariantMap adj {{"x", 0.5},       {"y", 0.25},      {"radius", 0.1},        {"hardness", 0.3},
                         {"masking", 1.0}, {"density", 0.5}, {"signal_amount", 0.75}};
        QVariantMap chip {{"x", 0.5}, {"y", 0.5}, {"w", 4.0}, {"h", 2.0}, {"render", true}};
        QVariantMap p {{"modificators", QVariantList {mod, mod}},
                       {"adjustments", QVariantList {adj}},
                       {"chips", QVariantList {chip}}};
        g.readParameters(p);
        const GeneratorSettings &s = g.settings();
        QCOMPARE(int(s.modificators.size()), 2);
        const Modificator &m = s.modificators[0];
        QCOMPARE(m.dx, 0.5f);
        QCOMPARE(m.dy, 0.5f);
        QCOMPARE(m.L, 0.5f);
        QCOMPARE(m.c, 0.5f * 0.75f - 1.0f * 0.25f);
        QCOMPARE(m.direction, 3);
        QCOMPARE(int(s.adjustments.size()), 1);
        QCOMPARE(s.adjustments[0].signalAmount, 0.75f);
        QCOMPARE(int(s.chips.size()), 1);
        QCOMPARE(s.chips[0].w, 4);
        QCOMPARE(s.chips[0].connections, 0); // missing: a chip without pins
        QVERIFY(s.chips[0].render);
        g.readParameters(QVariantMap {{"chips", QVariantList {chip}}});
        QVERIFY(g.settings().modificators.empty());
        QCOMPARE(int(g.settings().chips.size()), 1);
    }

    void fontWeightMapping()
    {
        QCOMPARE(GeneratorMasks::mapFontWeight(100), 0);
        QCOMPARE(GeneratorMasks::mapFontWeight(101), 12);
        QCOMPARE(GeneratorMasks::mapFontWeight(300), 25);
        QCOMPARE(GeneratorMasks::mapFontWeight(400), 50);
        QCOMPARE(GeneratorMasks::mapFontWeight(500), 57);
        QCOMPARE(GeneratorMasks::mapFontWeight(600), 63);
        QCOMPARE(GeneratorMasks::mapFontWeight(700), 75);
        QCOMPARE(GeneratorMasks::mapFontWeight(800), 81);
        QCOMPARE(GeneratorMasks::mapFontWeight(801), 87);
        QCOMPARE(GeneratorMasks::mapFontWeight(-5), 0);
    }

    void textMaskBuiltOnceAndRebuiltOnChange()
    {
        CircuitGenerator g;
        QVariantMap p {{"mask_type", "text"},
                       {"mask_text", "AB"},
                       {"width", 600.0},
                       {"height", 300.0},
                       {"mask_font_weight", 700.0}};
        g.readParameters(p);
        QVERIFY(g.masks().hasTextMask());
        const QImage &img = g.masks().textMaskImage();
        QCOMPARE(img.width(), 200);
        QCOMPARE(img.height(), 100); // trunc(300 / 600 * 200)
        QCOMPARE(img.format(), QImage::Format_Grayscale8);
        int white = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                white += img.constScanLine(y)[x] > 128;
        QVERIFY(white > 100);
        QCOMPARE(img.constScanLine(0)[0], uchar(0)); // corner stays black
        const qint64 key = g.masks().textMaskImage().cacheKey();
        g.readParameters(p);
        QCOMPARE(g.masks().textMaskImage().cacheKey(), key); // same inputs: not rebuilt
        p["height"] = 600.0;
        g.readParameters(p);
        QCOMPARE(g.masks().textMaskImage().height(), 200);
        p["width"] = 0.0; // width 0: no text mask, factor 1
        p["masking"] = 1.0;
        g.readParameters(p);
        QVERIFY(!g.masks().hasTextMask());
        QCOMPARE(g.maskValue(0.5f, 0.5f), 1.0f);
    }

    void fileMask()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("mask.dat"); // format from contents, not the name
        QImage src(2, 1, QImage::Format_RGB32);
        src.setPixel(0, 0, qRgb(255, 255, 255));
        src.setPixel(1, 0, qRgb(0, 0, 0));
        QVERIFY(src.save(path, "PNG"));

        CircuitGenerator g;
        QVariantMap p {{"mask_file_path", path}, {"masking", 0.5}, {"masking_scale_x", 1.0}, {"masking_scale_y", 1.0}};
        g.readParameters(p);
        QVERIFY(g.masks().hasFileMask());
        QVERIFY(g.masks().fileMaskChanged());
        QCOMPARE(g.masks().fileMaskImage().width(), 200);
        QCOMPARE(g.masks().fileMaskImage().height(), 100);
        // White at the left edge: e = 1 -> 1. Black at the right: 1 - masking.
        QCOMPARE(g.maskValue(0.0f, 0.5f), 1.0f);
        QCOMPARE(g.maskValue(0.99f, 0.5f), 0.5f);
        // A scale above 1 shrinks the mask towards the top-left: outside is black.
        p["masking_scale_x"] = 4.0;
        g.readParameters(p);
        QVERIFY(!g.masks().fileMaskChanged()); // same path: nothing new to hand over
        QCOMPARE(g.maskValue(0.3f, 0.5f), 0.5f);
        p["masking_scale_x"] = 1.0;
        p["invert_mask"] = true;
        g.readParameters(p);
        QCOMPARE(g.maskValue(0.0f, 0.5f), 0.5f);
        QCOMPARE(g.maskValue(0.99f, 0.5f), 1.0f);

        // Empty path: no image, factor 1 everywhere.
        p["mask_file_path"] = QString();
        p["invert_mask"] = false;
        p["masking"] = 1.0;
        g.readParameters(p);
        QVERIFY(!g.masks().hasFileMask());
        QCOMPARE(g.maskValue(0.99f, 0.5f), 1.0f);

        // Unreadable file: an empty image, factor 0 everywhere.
        p["mask_file_path"] = dir.filePath("missing.png");
        g.readParameters(p);
        QVERIFY(g.masks().hasFileMask());
        QVERIFY(g.masks().fileMaskChanged());
        QCOMPARE(g.maskValue(0.0f, 0.0f), 0.0f);
        // masking 0 disables the mask.
        p["masking"] = 0.0;
        g.readParameters(p);
        QCOMPARE(g.maskValue(0.0f, 0.0f), 1.0f);
    }
};

QTEST_MAIN(TestParameters)
#include "tst_parameters.moc"
