// In-process: the bundled studio's exploring and producing tools (locks, the variation
// grid, print and batch exports, opening an artwork from its PNG), driven as a user drives
// them. The app data lives in a temporary home, so the studio starts from its defaults.
#include "modaldialog.h"
#include "ovex.h"
#include "studiosession.h"
#include "xdynamicresource.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebFrame>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {
const QString toolPath = QStringLiteral(TRESSIL_BIN_DIR "/lumatrace");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A PNG's bytes without its pHYs chunk; empty when the chunk structure is broken.
QByteArray pngWithoutResolution(const QByteArray &png)
{
    QByteArray kept = png.left(8);
    for (int at = 8; at < png.size();) {
        if (at + 12 > png.size())
            return {};
        const int length = qFromBigEndian<quint32>(png.constData() + at);
        const int total = 12 + length;
        if (length < 0 || at + total > png.size())
            return {};
        if (png.mid(at + 4, 4) != "pHYs")
            kept += png.mid(at, total);
        at += total;
    }
    return kept;
}

// Pixels of a page side in millimetres at `dpi`.
double pagePixels(double mm, double dpi)
{
    return mm / 25.4 * dpi;
}
} // namespace

class TestStudioExplore : public StudioSession
{
    Q_OBJECT

private:
    QString mapJson(const QString &key)
    {
        return js("JSON.stringify(Studio.studio.model.get('" + key + "'))").toString();
    }

    // Chooses the menu entry `text`, answers its file dialog with `path` and waits for the outcome.
    void runThroughMenu(const QString &text, const QString &path)
    {
        QAction *action = menuAction(text);
        QVERIFY2(action, qPrintable(text));
        answerFileDialog(path);
        js("Studio.status.show('');");
        action->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!status().isEmpty() && !status().startsWith("Batch export:"), 60000);
    }

    // Answers the next message box by its button `text`, keeping the box's text in `shown`.
    void answerMessageBox(const QString &text, QString *shown)
    {
        whenModalShown<QMessageBox>(this, [text, shown](QMessageBox *box) {
            *shown = box->text();
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == text)
                    button->click();
            }
        });
    }

    // The current map, written as a preset file the command-line tool reads.
    void writePreset(const QString &path)
    {
        QVERIFY(writeFile(path, js("JSON.stringify(Studio.studio.model.map)").toString().toUtf8()));
    }

    // A PNG carrying `map` as the exporters write it.
    static void writeArtworkPng(const QString &path, const QJsonObject &map)
    {
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setText(QStringLiteral("lumatrace-parameters"), QJsonDocument(map).toJson(QJsonDocument::Compact));
        QVERIFY(image.save(path));
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void lockedParametersSurviveRandomize_data();
    void lockedParametersSurviveRandomize();
    void jitteredVariationsKeepLockedParameters();
    void oneColourLockIsHonouredByRandomizeVariationsAndNewPalettes();
    void variationPageFillsProgressivelyAndEnterAdoptsTheChosenOne();
    void variationsKeepFavouritesAndShowOneLargeBeforeItIsTaken();
    void largeCanvasPreviewIsDrawnNoLargerThanTheView();
    void typingANumberRegeneratesOnceTheTypingPauses();
    void aspectPresetKeepsTheLongerSide_data();
    void aspectPresetKeepsTheLongerSide();
    void printExportHasThePagePixelSize_data();
    void printExportHasThePagePixelSize();
    void printExportWritesEachKindThroughTheSaveDialog_data();
    void printExportWritesEachKindThroughTheSaveDialog();
    void batchWritesOneFilePerSeedEqualToTheToolExport();
    void cancellingABatchStopsBeforeTheNextSeed();
    void batchAsksBeforeManyFilesAndBeforeReplacingFiles();
    void startersShowTheRangeAndOneStartsANewArtwork();
    void helpListsTheShortcutsOfEveryMenuAndTheVersion();
    void openingAnArtworkPngRestoresItsParameters_data();
    void openingAnArtworkPngRestoresItsParameters();
    void droppingAnArtworkPngOnTheWindowOpensIt();
    void locksAreKeptAtTheNextStart();
    void previewSlotDrawsTheSameCircuitAtAReducedScale_data();
    void previewSlotDrawsTheSameCircuitAtAReducedScale();
    void parametersAreReadOnlyFromAPngThatCarriesThem_data();
    void parametersAreReadOnlyFromAPngThatCarriesThem();
    void loopPanelShowsDurationAndFileSize_data();
    void loopPanelShowsDurationAndFileSize();
    void loopExportWritesTheChosenFormat_data();
    void loopExportWritesTheChosenFormat();
    void batchWritesALoopPerSeed();
};

void TestStudioExplore::initTestCase()
{
    Q_INIT_RESOURCE(tressil_resources);
    QVERIFY(home.isValid());
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qApp->setQuitOnLastWindowClosed(false);
    startStudio();
}

// Every test starts from the default artwork with seed 4242, nothing locked, no grid.
void TestStudioExplore::init()
{
    js("Studio.studio.variations.close(); Object.keys(Studio.studio.locks.locked).forEach(function (k) {"
       " Studio.studio.locks.set(k, false); });"
       " Studio.run('file.new'); Studio.studio.model.set('seed', 4242); Studio.studio.history.commit();");
    const int shown = shownImages();
    QTRY_VERIFY(shownImages() > shown);
}

void TestStudioExplore::cleanupTestCase()
{
    stopStudio();
}

void TestStudioExplore::lockedParametersSurviveRandomize_data()
{
    QTest::addColumn<QString>("lock");
    QTest::addColumn<QStringList>("keptKeys");
    QTest::newRow("a locked parameter keeps its value") << "wire_thickness" << QStringList {"wire_thickness"};
    QTest::newRow("a locked group keeps every parameter in it")
            << "group:colours" << QStringList {"bg_color", "wire_color", "inside_hole_color", "signal_color"};
    QTest::newRow("a locked seed keeps the circuit's seed") << "seed" << QStringList {"seed"};
}

void TestStudioExplore::lockedParametersSurviveRandomize()
{
    QFETCH(QString, lock);
    QFETCH(QStringList, keptKeys);
    click("[data-lock='" + lock + "']");
    QVERIFY(js("Studio.studio.locks.isLocked('" + keptKeys.first() + "')").toBool());
    QMap<QString, QString> before;
    const QStringList all = js("Studio.schema.allParams().map(function (p) { return p.key; })").toStringList();
    for (const QString &key : all)
        before[key] = mapJson(key);
    QSet<QString> changed;
    for (int round = 0; round < 3; ++round) {
        QAction *randomize = menuAction("Randomize unlocked parameters");
        QVERIFY(randomize);
        randomize->trigger();
        for (const QString &key : keptKeys)
            QCOMPARE(mapJson(key), before[key]);
        for (const QString &key : {QStringLiteral("dot_size"), QStringLiteral("tendency_straight")})
            if (mapJson(key) != before[key])
                changed << key;
    }
    // Unlocked looks did change: one draw of a stepped range may land on the default
    // again (the pad size: 1 in 81), three in a row practically never.
    QVERIFY(changed.contains("dot_size"));
    QVERIFY(changed.contains("tendency_straight"));
    QCOMPARE(mapJson("width"), before["width"]);
    // Randomize is one undo step.
    const QString randomized = js("JSON.stringify(Studio.studio.model.map)").toString();
    js("Studio.run('edit.undo');");
    QVERIFY(js("JSON.stringify(Studio.studio.model.map)").toString() != randomized);
}

void TestStudioExplore::jitteredVariationsKeepLockedParameters()
{
    click("[data-lock='wire_thickness']");
    click("[data-lock='group:signals']");
    js("$('[data-key=variation-mode]').val('large');");
    QAction *variations = menuAction("Variations");
    QVERIFY(variations);
    variations->trigger();
    QVERIFY(js("Studio.studio.variations.isOpen()").toBool());
    const QVariantList maps
            = js("Studio.studio.variations.cells.slice(1).map(function (c) { return c.map; })").toList();
    QCOMPARE(maps.size(), 9);
    int changedDots = 0;
    for (const QVariant &entry : maps) {
        const QVariantMap map = entry.toMap();
        QCOMPARE(map.value("wire_thickness").toDouble(), mapValue("wire_thickness").toDouble());
        QCOMPARE(map.value("signal_amount").toDouble(), mapValue("signal_amount").toDouble());
        QCOMPARE(map.value("signal_glowing").toDouble(), mapValue("signal_glowing").toDouble());
        QCOMPARE(map.value("seed").toInt(), 4242);
        if (map.value("dot_size").toDouble() != mapValue("dot_size").toDouble())
            ++changedDots;
    }
    QVERIFY(changedDots > 0);
}

void TestStudioExplore::oneColourLockIsHonouredByRandomizeVariationsAndNewPalettes()
{
    // One lock a colour, the one every other parameter has.
    QCOMPARE(js("$('.field-color').map(function () { return $(this).find('button.lock').length; }).get().join()")
                     .toString(),
             QStringLiteral("1,1,1,1"));
    click("[data-lock='bg_color']");
    QVERIFY(js("Studio.studio.colours.isLocked('bg_color')").toBool());
    const QString background = mapJson("bg_color");
    QSet<QString> wires;
    for (int round = 0; round < 3; ++round) {
        menuAction("Randomize unlocked parameters")->trigger();
        QCOMPARE(mapJson("bg_color"), background);
        wires << mapJson("wire_color");
    }
    for (int round = 0; round < 3; ++round) {
        click("[data-action=new-palette]");
        QCOMPARE(mapJson("bg_color"), background);
        wires << mapJson("wire_color");
    }
    QVERIFY(wires.size() > 1);
    js("$('[data-key=variation-mode]').val('large');");
    menuAction("Variations")->trigger();
    const QStringList backgrounds
            = js("Studio.studio.variations.cells.map(function (c) { return JSON.stringify(c.map.bg_color); })")
                      .toStringList();
    QCOMPARE(backgrounds.size(), 10);
    QCOMPARE(backgrounds.filter(background).size(), 10);
    QVERIFY(js("Studio.studio.variations.cells.slice(1).some(function (c) {"
               " return JSON.stringify(c.map.signal_color) !== JSON.stringify(Studio.studio.model.get('signal_color')); })")
                    .toBool());
}

void TestStudioExplore::variationPageFillsProgressivelyAndEnterAdoptsTheChosenOne()
{
    js("$('[data-key=variation-mode]').val('seeds');");
    QElapsedTimer clock;
    clock.start();
    click(".toolbar [data-command='view.variations']");
    QVERIFY(js("Studio.studio.variations.isOpen()").toBool());
    // Progressive: the page opens before its thumbnails are drawn.
    QVERIFY(js("$('.variation.pending').length").toInt() > 0);
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.variations.rendered").toInt(), 9, 30000);
    qInfo("variation page on the default canvas: first thumbnail after %d ms, last after %d ms",
          js("Studio.studio.variations.timing.first").toInt(), js("Studio.studio.variations.timing.last").toInt());
    QCOMPARE(js("$('.variation-grid .variation').length").toInt(), 9);
    QCOMPARE(js("$('.variation.pending').length").toInt(), 0);
    // Drawn small: the same 3 : 2 canvas at most 220 pixels wide.
    QCOMPARE(js("$('.variation-grid img')[4].naturalWidth").toInt(), 220);
    QVERIFY(qAbs(js("$('.variation-grid img')[4].naturalHeight").toInt() - 147) <= 1);
    QCOMPARE(js("document.activeElement.className").toString(), QStringLiteral("variation-grid"));

    // Right, Down: the fifth thumbnail (index 4) of the 3-wide grid; Enter adopts it.
    const int chosenSeed = js("Studio.studio.variations.cells[5].map.seed").toInt();
    QWidget *target = view();
    js("Studio.studio.variations.select(0);");
    QTest::keyClick(target, Qt::Key_Right);
    QTest::keyClick(target, Qt::Key_Down);
    QCOMPARE(js("Studio.studio.variations.selected").toInt(), 4);
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(mapValue("seed").toInt(), chosenSeed);
    QVERIFY(status().startsWith("Adopted variation 5"));
    // A new page around the adopted artwork; "More" draws yet another.
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.variations.rendered").toInt(), 9, 30000);
    const QString page
            = js("JSON.stringify(Studio.studio.variations.cells.map(function (c) { return c.map.seed; }))").toString();
    click("[data-action=variations-more]");
    const QString more
            = js("JSON.stringify(Studio.studio.variations.cells.map(function (c) { return c.map.seed; }))").toString();
    QVERIFY(more != page);
    // The earlier page is still there, and the later one after it.
    click("[data-action=variations-earlier]");
    QCOMPARE(js("JSON.stringify(Studio.studio.variations.cells.map(function (c) { return c.map.seed; }))").toString(),
             page);
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.variations.rendered").toInt(), 9, 30000);
    QVERIFY2(js("Studio.studio.variations.info.textContent").toString().startsWith("Page 2 of 3"),
             qPrintable(js("Studio.studio.variations.info.textContent").toString()));
    click("[data-action=variations-later]");
    QCOMPARE(js("JSON.stringify(Studio.studio.variations.cells.map(function (c) { return c.map.seed; }))").toString(),
             more);
    QVERIFY(js("$('[data-action=variations-later]').prop('disabled')").toBool());
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(!js("Studio.studio.variations.isOpen()").toBool());
    js("Studio.run('edit.undo');");
    QCOMPARE(mapValue("seed").toInt(), 4242);
}

void TestStudioExplore::variationsKeepFavouritesAndShowOneLargeBeforeItIsTaken()
{
    js("$('[data-key=variation-mode]').val('seeds');");
    menuAction("Variations")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.variations.rendered").toInt(), 9, 30000);
    const auto seedsOf = [this](const QString &cells) {
        return js("JSON.stringify(" + cells + ".map(function (c) { return c.map.seed; }))").toString();
    };
    click(".variation[data-variation='2'] [data-action=favourite]");
    click(".variation[data-variation='6'] [data-action=favourite]");
    QCOMPARE(js("$('.variation.favourite').length").toInt(), 2);
    screenshot("variation-favourites");
    const QString starred = seedsOf("[Studio.studio.variations.cells[3], Studio.studio.variations.cells[7]]");
    QCOMPARE(mapValue("seed").toInt(), 4242); // a star adopts nothing
    click("[data-action=variations-more]");
    click("[data-action=variations-favourites]");
    QCOMPARE(seedsOf("Studio.studio.variations.cells.slice(1)"), starred);
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.variations.rendered").toInt(), 2, 30000);
    QCOMPARE(js("$('.variation.favourite').length").toInt(), 2);
    // Kept for the next start.
    stopStudio();
    startStudio();
    js("$('[data-key=variation-mode]').val('seeds');");
    menuAction("Variations")->trigger();
    click("[data-action=variations-favourites]");
    QCOMPARE(seedsOf("Studio.studio.variations.cells.slice(1)"), starred);
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.variations.rendered").toInt(), 2, 30000);
    QCOMPARE(js("$('.variation.favourite').length").toInt(), 2);

    // A large look first, then taken from there.
    const int seed = js("Studio.studio.variations.cells[2].map.seed").toInt();
    click(".variation[data-variation='1'] [data-action=look]");
    QVERIFY(js("$('.variation-look').is(':visible')").toBool());
    QTRY_VERIFY(js("document.querySelector('[data-info=variation-look]').naturalWidth").toInt() > 220);
    QCOMPARE(mapValue("seed").toInt(), 4242);
    screenshot("variation-look");
    QTest::keyClick(view(), Qt::Key_Escape);
    QVERIFY(!js("$('.variation-look').is(':visible')").toBool());
    QVERIFY(js("Studio.studio.variations.isOpen()").toBool());
    click(".variation[data-variation='1'] [data-action=look]");
    click("[data-action=variation-look-use]");
    QCOMPARE(mapValue("seed").toInt(), seed);
    QVERIFY(!js("$('.variation-look').is(':visible')").toBool());
    js("Studio.studio.variations.close();");
}

void TestStudioExplore::largeCanvasPreviewIsDrawnNoLargerThanTheView()
{
    // Previews are drawn off the page's thread: one asked for before the change may still
    // arrive, so the change starts and ends with no preview on its way.
    const QString busy = "!!(Studio.studio.preview.pending || Studio.studio.preview.timer || Studio.studio.preview.inFlight)";
    QTRY_VERIFY_WITH_TIMEOUT(!js(busy).toBool(), 60000);
    const int shown = shownImages();
    js("Studio.studio.model.update({width: 4096, height: 4096}); Studio.studio.history.commit();");
    QTRY_VERIFY_WITH_TIMEOUT(shownImages() > shown && !js(busy).toBool(), 60000);
    const int natural = js("document.querySelector('.artwork').naturalWidth").toInt();
    const int viewSide
            = js("Math.max(Studio.studio.preview.viewport.clientWidth, Studio.studio.preview.viewport.clientHeight)")
                      .toInt();
    QVERIFY2(natural > 0 && natural <= viewSide, qPrintable(QString::number(natural)));
    QCOMPARE(js("document.querySelector('.artwork').naturalHeight").toInt(), natural);
    // Zoomed to 100 %, the part around the view has every pixel of the canvas, shown one to
    // one over a quick image of the whole.
    const int again = shownImages();
    js("Studio.run('view.actual'); Studio.studio.model.set('seed', 4243);");
    QTRY_VERIFY_WITH_TIMEOUT(shownImages() > again && !js(busy).toBool(), 60000);
    QVERIFY(js("document.querySelector('.artwork').naturalWidth").toInt() < 4096);
    const auto detailShowsTheView = [this] {
        const QVariantMap region = js("Studio.studio.preview.showing.region").toMap();
        const QVariantList drawn = js("var d = document.querySelector('.artwork.detail');"
                                      " [d.naturalWidth, d.naturalHeight, d.offsetWidth, d.offsetHeight]")
                                           .toList();
        return !region.isEmpty() && drawn.size() == 4 && drawn[0].toInt() == region["width"].toInt()
                && drawn[1].toInt() == region["height"].toInt() && drawn[2] == drawn[0] && drawn[3] == drawn[1]
                && js("Studio.studio.preview.detailCoversView()").toBool();
    };
    QVERIFY(detailShowsTheView());
    QVERIFY(js("Studio.studio.preview.showing.region.x").toInt() > 0);
    // Moved to the far corner, past what was drawn: that corner is drawn then.
    const int moved = shownImages();
    js("var s = Studio.studio.preview.scroller; s.scrollLeft = s.scrollWidth; s.scrollTop = s.scrollHeight;");
    QTRY_VERIFY_WITH_TIMEOUT(shownImages() > moved && !js(busy).toBool(), 60000);
    QVERIFY(detailShowsTheView());
    QCOMPARE(js("var r = Studio.studio.preview.showing.region; r.x + r.width").toInt(), 4096);
    screenshot("large-canvas-detail");
    js("Studio.run('view.fit');");
    QTRY_VERIFY_WITH_TIMEOUT(!js(busy).toBool() && !js("Studio.studio.preview.detailShown").toBool(), 60000);
}

void TestStudioExplore::typingANumberRegeneratesOnceTheTypingPauses()
{
    const QString field = "input.number[data-key=dot_size]";
    QTRY_VERIFY(!js("Studio.studio.preview.pending || Studio.studio.preview.timer").toBool());
    const int generated = js("Studio.studio.preview.imageCount").toInt();
    for (const char *typed : {"2", "2.", "2.7"}) {
        js("document.querySelector(" + jsString(field) + ").value = " + jsString(typed) + ";");
        fire(field, "input");
    }
    QCOMPARE(mapValue("dot_size").toDouble(), 1.3); // not yet: typing goes on
    QTRY_COMPARE(mapValue("dot_size").toDouble(), 2.7);
    QTest::qWait(300);
    QCOMPARE(js("Studio.studio.preview.imageCount").toInt(), generated + 1);
    // Enter applies at once.
    js("document.querySelector(" + jsString(field) + ").value = '0.5';");
    fire(field, "input");
    js("var e = $.Event('keydown'); e.which = 13; $(" + jsString(field) + ").trigger(e);");
    QCOMPARE(mapValue("dot_size").toDouble(), 0.5);
}

void TestStudioExplore::aspectPresetKeepsTheLongerSide_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QSize>("canvas");
    QTest::newRow("square makes 600 × 400 a 600 × 600 canvas") << "Square" << QSize(600, 600);
    QTest::newRow("A paper portrait: 600 high, 600 / √2 wide") << "A paper, portrait (1 : 1.414)" << QSize(424, 600);
    QTest::newRow("16 : 9 keeps the 600 width") << "16 : 9" << QSize(600, 338);
    QTest::newRow("a phone screen stands upright") << "Phone (9 : 19.5)" << QSize(277, 600);
}

void TestStudioExplore::aspectPresetKeepsTheLongerSide()
{
    QFETCH(QString, preset);
    QFETCH(QSize, canvas);
    const QString option = js("$('[data-key=canvas-aspect] option').filter(function () { return this.textContent === "
                              + jsString(preset) + "; }).val()")
                                   .toString();
    QVERIFY2(!option.isEmpty(), qPrintable(preset));
    js("$('[data-key=canvas-aspect]').val(" + jsString(option) + ").trigger('change'); 0");
    QCOMPARE(QSize(mapValue("width").toInt(), mapValue("height").toInt()), canvas);
    QCOMPARE(js("document.querySelector('input.number[data-key=height]').value").toInt(), canvas.height());
    js("Studio.run('edit.undo');");
    QCOMPARE(QSize(mapValue("width").toInt(), mapValue("height").toInt()), QSize(600, 400));
}

void TestStudioExplore::printExportHasThePagePixelSize_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSizeF>("pageMm");
    QTest::addColumn<bool>("wholePage");
    QTest::newRow("A4 portrait at 100 dpi: the width limits") << "A4"
                                                              << "portrait" << 100 << QSizeF(210, 297) << false;
    QTest::newRow("A5 landscape at 150 dpi: the height limits") << "A5"
                                                                << "landscape" << 150 << QSizeF(210, 148) << false;
    QTest::newRow("a custom 6 × 2 in page at 72 dpi") << "custom"
                                                      << "portrait" << 72 << QSizeF(6 * 25.4, 2 * 25.4) << false;
    QTest::newRow("the whole A5 page at 100 dpi") << "A5"
                                                  << "portrait" << 100 << QSizeF(148, 210) << true;
}

void TestStudioExplore::printExportHasThePagePixelSize()
{
    QFETCH(QString, paper);
    QFETCH(QString, orientation);
    QFETCH(int, dpi);
    QFETCH(QSizeF, pageMm);
    QFETCH(bool, wholePage);
    QTemporaryDir out;
    js("$('[data-key=print-fit]').val('" + QString(wholePage ? "page" : "artwork") + "');");
    js("$('[data-key=print-kind]').val('png'); $('[data-key=print-unit]').val('in');"
       " $('[data-key=print-width]').val('6'); $('[data-key=print-height]').val('2');");
    js("$('[data-key=print-paper]').val(" + jsString(paper) + "); $('[data-key=print-orientation]').val("
       + jsString(orientation) + ");");
    edit("[data-key=print-dpi]", QString::number(dpi));
    // The 600 × 400 canvas scaled to the largest size that fits the page, or the page itself.
    const double scale = qMin(pagePixels(pageMm.width(), dpi) / 600, pagePixels(pageMm.height(), dpi) / 400);
    const QSize expected = wholePage ? QSize(qRound(pagePixels(pageMm.width(), dpi)), qRound(pagePixels(pageMm.height(), dpi)))
                                     : QSize(qRound(600 * scale), qRound(400 * scale));
    const QString shown = js("$('[data-info=print-size]').text()").toString();
    const QRegularExpressionMatch size = QRegularExpression("^(\\d+) × (\\d+) px").match(shown);
    QVERIFY2(size.hasMatch(), qPrintable(shown));
    const QSize announced(size.captured(1).toInt(), size.captured(2).toInt());
    QVERIFY2(qAbs(announced.width() - expected.width()) <= 1 && qAbs(announced.height() - expected.height()) <= 1,
             qPrintable(shown));
    runThroughMenu("Print export…", out.filePath("print.png"));
    QVERIFY2(status().startsWith("Exported PNG"), qPrintable(status()));
    QCOMPARE(QImage(out.filePath("print.png")).size(), announced);
}

void TestStudioExplore::printExportWritesEachKindThroughTheSaveDialog_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("contains");
    QTest::newRow("artwork SVG on A5 is 148 mm wide with named layers") << "artwork-svg"
                                                                        << "art.svg" << QByteArray("width=\"148mm\"");
    QTest::newRow("plain SVG is the classic document") << "svg"
                                                       << "plain.svg" << QByteArray("<svg");
    QTest::newRow("PDF is one page") << "pdf"
                                     << "art.pdf" << QByteArray("%PDF");
    QTest::newRow("plotter SVG is lines in millimetres") << "plotter-svg"
                                                         << "plot.svg" << QByteArray("inkscape:document-units=\"mm\"");
    QTest::newRow("PDF has the file's name as its title") << "plotter-pdf"
                                                          << "my plot.pdf" << QByteArray("/Title (my plot)");
}

void TestStudioExplore::printExportWritesEachKindThroughTheSaveDialog()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(QByteArray, contains);
    QTemporaryDir out;
    js("$('[data-key=print-kind]').val(" + jsString(kind)
       + "); $('[data-key=print-paper]').val('A5');"
         " $('[data-key=print-orientation]').val('portrait').trigger('change'); 0");
    runThroughMenu("Print export…", out.filePath(file));
    QVERIFY2(status().startsWith("Exported "), qPrintable(status()));
    QFile written(out.filePath(file));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY2(bytes.contains(contains), bytes.left(300).constData());
    if (kind == "artwork-svg")
        QCOMPARE(bytes.count("inkscape:groupmode=\"layer\""), 6);
}

void TestStudioExplore::batchWritesOneFilePerSeedEqualToTheToolExport()
{
    QTemporaryDir out;
    writePreset(out.filePath("preset.json"));
    edit("[data-key=batch-seeds]", "5, 7-8, 5");
    js("$('[data-key=batch-kind]').val('png'); $('[data-key=batch-size-mode]').val('percent');");
    edit("[data-key=batch-scale]", "50");
    js("Studio.studio.batch.setFolder(" + jsString(out.filePath("series")) + ");");
    js("$('[data-key=batch-sheet]').prop('checked', true);");
    click("[data-action=batch-start]");
    QTRY_VERIFY_WITH_TIMEOUT(js("Studio.studio.batch.running === null").toBool(), 60000);
    js("$('[data-key=batch-sheet]').prop('checked', false);");
    QVERIFY2(status().startsWith("Batch export done: 3 of 3 files and a contact sheet"), qPrintable(status()));
    // The sheet the command line draws for the same seeds.
    QProcess sheetTool;
    sheetTool.start(toolPath, {"batch", out.filePath("preset.json"), out.filePath("tool/{seed}.png"), "--seeds", "5,7-8",
                               "--scale", "50", "--contact-sheet", out.filePath("tool-sheet.png")});
    QVERIFY(sheetTool.waitForFinished(60000));
    QCOMPARE(sheetTool.exitCode(), 0);
    const QImage sheet(out.filePath("series/lumatrace-contact-sheet.png"));
    QVERIFY(!sheet.isNull());
    QCOMPARE(sheet.convertToFormat(QImage::Format_RGB32),
             QImage(out.filePath("tool-sheet.png")).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(js("document.querySelector('[data-info=batch-progress]').value").toInt(), 3);
    QCOMPARE(QDir(out.filePath("series")).entryList(QDir::Files),
             QStringList({"lumatrace-5.png", "lumatrace-7.png", "lumatrace-8.png", "lumatrace-contact-sheet.png"}));
    for (const QString &seed : QStringList {"5", "8"}) {
        QProcess tool;
        tool.start(toolPath,
                   {"export", out.filePath("preset.json"), out.filePath("tool.png"), "--seed", seed, "--scale", "50"});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        const QImage fromStudio(out.filePath("series/lumatrace-" + seed + ".png"));
        QCOMPARE(fromStudio.size(), QSize(300, 200));
        QVERIFY2(fromStudio == QImage(out.filePath("tool.png")), qPrintable(seed));
        // Not only the pixels: the file the tool writes, chunk for chunk. Until PNGs record
        // their resolution themselves, pHYs carries the process's default (96 dpi in a GUI
        // process, 100 in the tool), so that one chunk is left out.
        const QByteArray studioChunks
                = pngWithoutResolution(readFile(out.filePath("series/lumatrace-" + seed + ".png")));
        QVERIFY(studioChunks.contains("IDAT") && studioChunks.contains("IEND"));
        QCOMPARE(studioChunks, pngWithoutResolution(readFile(out.filePath("tool.png"))));
    }
    // Different seeds, different artworks.
    QVERIFY(QImage(out.filePath("series/lumatrace-5.png")) != QImage(out.filePath("series/lumatrace-7.png")));
}

void TestStudioExplore::cancellingABatchStopsBeforeTheNextSeed()
{
    QTemporaryDir out;
    edit("[data-key=batch-seeds]", "1-200");
    js("$('[data-key=batch-kind]').val('bin'); $('[data-key=batch-size-mode]').val('percent');");
    edit("[data-key=batch-scale]", "10");
    js("Studio.studio.batch.setFolder(" + jsString(out.path()) + ");");
    // The first file is written at once, the next after the event loop has turned.
    js("Studio.studio.batch.start(); $('[data-action=batch-cancel]').click();");
    QTRY_VERIFY_WITH_TIMEOUT(js("Studio.studio.batch.running === null").toBool(), 60000);
    QVERIFY2(status().startsWith("Batch export cancelled: 1 of 200 files"), qPrintable(status()));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList({"lumatrace-1.bin"}));
    // A list it cannot read is refused before anything is written.
    edit("[data-key=batch-seeds]", "1-5, x7");
    click("[data-action=batch-start]");
    QVERIFY2(status().startsWith("Batch export: \"x7\" is neither a seed nor a range"), qPrintable(status()));
    QCOMPARE(js("Studio.status.kind").toString(), QStringLiteral("error"));
}

void TestStudioExplore::batchAsksBeforeManyFilesAndBeforeReplacingFiles()
{
    QTemporaryDir out;
    js("$('[data-key=batch-kind]').val('png'); $('[data-key=batch-size-mode]').val('percent');");
    edit("[data-key=batch-scale]", "10");
    js("Studio.studio.batch.setFolder(" + jsString(out.path()) + ");");
    // Many files: asked first, and nothing is written when the answer is no.
    edit("[data-key=batch-seeds]", "1-100000");
    QString asked;
    answerMessageBox("Cancel", &asked);
    click("[data-action=batch-start]");
    QTRY_VERIFY(!asked.isEmpty());
    QVERIFY2(asked.contains("100,000 files"), qPrintable(asked));
    QCOMPARE(status(), QStringLiteral("Batch export not started."));
    QVERIFY(js("Studio.studio.batch.running === null").toBool());
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());

    // A file of the batch is there already: asked before it is replaced.
    QVERIFY(writeFile(out.filePath("lumatrace-3.png"), "an earlier file"));
    edit("[data-key=batch-seeds]", "2-4");
    asked.clear();
    answerMessageBox("Cancel", &asked);
    click("[data-action=batch-start]");
    QTRY_VERIFY(!asked.isEmpty());
    QVERIFY2(asked.contains("1 of the 3 files") && asked.contains("lumatrace-3.png"), qPrintable(asked));
    QCOMPARE(readFile(out.filePath("lumatrace-3.png")), QByteArray("an earlier file"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList {"lumatrace-3.png"});
    asked.clear();
    answerMessageBox("Replace", &asked);
    click("[data-action=batch-start]");
    QTRY_VERIFY_WITH_TIMEOUT(!asked.isEmpty() && js("Studio.studio.batch.running === null").toBool(), 60000);
    QVERIFY2(status().startsWith("Batch export done: 3 of 3 files"), qPrintable(status()));
    QCOMPARE(QImage(out.filePath("lumatrace-3.png")).size(), QSize(60, 40));
}

void TestStudioExplore::startersShowTheRangeAndOneStartsANewArtwork()
{
    // A first start has pictures to start from, not an empty list.
    QCOMPARE(js("$('.starter').length").toInt(), 12);
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.starters.rendered").toInt(), 12, 30000);
    QCOMPARE(js("$('.starter img').filter(function () { return this.naturalWidth > 0; }).length").toInt(), 12);
    QVERIFY(!js("$('.preset-list').text()").toString().contains("No presets yet"));
    pointIn(".starter-grid");
    screenshot("starters");
    // Twelve different artworks: no two starters share their map.
    QCOMPARE(js("var seen = {}; Studio.Starters.list.forEach(function (s, i) {"
                " seen[JSON.stringify(Studio.Starters.map(i))] = true; }); Object.keys(seen).length")
                     .toInt(),
             12);
    const QString before = js("JSON.stringify(Studio.studio.model.map)").toString();
    click(".starter[data-starter='Blueprint']");
    QCOMPARE(mapJson("bg_color"), QStringLiteral("[18,56,118]"));
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 0);
    QCOMPARE(js("Studio.studio.presets.currentName").toString(), QString());
    QVERIFY2(status().startsWith("Started from “Blueprint”"), qPrintable(status()));
    js("Studio.run('edit.undo');");
    QCOMPARE(js("JSON.stringify(Studio.studio.model.map)").toString(), before);
}

void TestStudioExplore::helpListsTheShortcutsOfEveryMenuAndTheVersion()
{
    QProcess tressil;
    tressil.start(QStringLiteral(TRESSIL_BIN_DIR "/tressil"), {"--version"});
    QVERIFY(tressil.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(tressil.readAllStandardOutput()).trimmed(), "tressil " + js("Studio.version").toString());
    QString shown;
    answerMessageBox("OK", &shown);
    menuAction("Keyboard shortcuts")->trigger();
    QTRY_VERIFY(!shown.isEmpty());
    for (const QString &line : {QStringLiteral("Ctrl+Z — Undo"), QStringLiteral("Ctrl+Shift+K — Keep snapshot A"),
                                QStringLiteral("Ctrl+G — Variations"), QStringLiteral("Space + drag")})
        QVERIFY2(shown.contains(line), qPrintable(shown));
    shown.clear();
    answerMessageBox("OK", &shown);
    menuAction("About Lumatrace")->trigger();
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY2(shown.contains("Lumatrace studio " + js("Studio.version").toString()), qPrintable(shown));
}

void TestStudioExplore::openingAnArtworkPngRestoresItsParameters_data()
{
    QTest::addColumn<QString>("maskFile");
    QTest::addColumn<QString>("statusStart");
    QTest::newRow("a text-mask artwork opens without a warning") << ""
                                                                 << "Opened the artwork of art.png";
    QTest::newRow("an image mask that is gone is named in a warning")
            << "/nowhere/mask.png"
            << "Opened art.png, but its mask image is missing: /nowhere/mask.png";
}

void TestStudioExplore::openingAnArtworkPngRestoresItsParameters()
{
    QFETCH(QString, maskFile);
    QFETCH(QString, statusStart);
    QTemporaryDir out;
    QJsonObject map
            = QJsonDocument::fromJson(js("JSON.stringify(Studio.studio.model.map)").toString().toUtf8()).object();
    map["seed"] = 31337;
    map["wire_thickness"] = 2.25;
    map["bg_color"] = QJsonArray {200, 10, 60};
    map["mask_text"] = QStringLiteral("Grüße");
    map["masking"] = 0.7;
    map["chips"] = QJsonArray {
            QJsonObject {{"x", 0.25}, {"y", 0.5}, {"w", 4}, {"h", 3}, {"connections", 1}, {"render", true}}};
    if (!maskFile.isEmpty()) {
        map["mask_type"] = QStringLiteral("image");
        map["mask_file_path"] = maskFile;
    }
    writeArtworkPng(out.filePath("art.png"), map);
    runThroughMenu("Open artwork PNG…", out.filePath("art.png"));
    QVERIFY2(status().startsWith(statusStart), qPrintable(status()));
    // Exactly the map the PNG carries, every key.
    const QJsonObject restored
            = QJsonDocument::fromJson(js("JSON.stringify(Studio.studio.model.map)").toString().toUtf8()).object();
    QCOMPARE(restored, map);
    QCOMPARE(js("document.querySelector('input.number[data-key=seed]').value").toString(), QStringLiteral("31337"));
    js("Studio.run('edit.undo');");
    QCOMPARE(mapValue("seed").toInt(), 4242);
}

void TestStudioExplore::droppingAnArtworkPngOnTheWindowOpensIt()
{
    QTemporaryDir out;
    QJsonObject map
            = QJsonDocument::fromJson(js("JSON.stringify(Studio.studio.model.map)").toString().toUtf8()).object();
    map["seed"] = 777;
    writeArtworkPng(out.filePath("dropped.png"), map);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(out.filePath("dropped.png"))});
    const QPoint at = pointIn(".viewport");
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view(), &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view(), &drop);
    QTRY_COMPARE(mapValue("seed").toInt(), 777);
    QVERIFY2(status().startsWith("Opened the artwork of dropped.png"), qPrintable(status()));
    // The studio is still there: the drop did not replace the page.
    QVERIFY(js("typeof Studio === 'object' && Studio.ready === true").toBool());

    // A PNG without parameters is refused and changes nothing.
    QImage plain(10, 10, QImage::Format_RGB32);
    plain.fill(Qt::white);
    QVERIFY(plain.save(out.filePath("plain.png")));
    runThroughMenu("Open artwork PNG…", out.filePath("plain.png"));
    QCOMPARE(status(), QStringLiteral("plain.png carries no Lumatrace parameters."));
    QCOMPARE(mapValue("seed").toInt(), 777);
}

void TestStudioExplore::locksAreKeptAtTheNextStart()
{
    click("[data-lock='dot_size']");
    click("[data-lock='group:tendencies']");
    stopStudio();
    startStudio();
    QVERIFY(js("Studio.studio.locks.isLocked('dot_size')").toBool());
    QVERIFY(js("Studio.studio.locks.isLocked('tendency_power')").toBool());
    QVERIFY(!js("Studio.studio.locks.isLocked('wire_length')").toBool());
    QCOMPARE(js("$('[data-lock=dot_size]').hasClass('on')").toBool(), true);
}

void TestStudioExplore::previewSlotDrawsTheSameCircuitAtAReducedScale_data()
{
    QTest::addColumn<int>("maxSide");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QSize>("size");
    QTest::newRow("a 300-pixel side halves the 600 × 400 canvas") << 300 << 50 << QSize(300, 200);
    QTest::newRow("a side larger than the canvas never enlarges it") << 1000 << 100 << QSize(600, 400);
}

void TestStudioExplore::previewSlotDrawsTheSameCircuitAtAReducedScale()
{
    QFETCH(int, maxSide);
    QFETCH(int, percent);
    QFETCH(QSize, size);
    QTemporaryDir out;
    js(QStringLiteral("llumatrace.generatePreview(Studio.studio.model.snapshot(), %1, 'probe');").arg(maxSide));
    const QImage preview = QImage::fromData(ovex->dynamicResources()->get(QStringLiteral("probe")), "PNG");
    QCOMPARE(preview.size(), size);
    // The export at that scale draws the same circuit: the very same pixels.
    js(QStringLiteral("llumatrace.updateGenerator(Studio.studio.model.snapshot()); llumatrace.exportPNG(%1, %2);")
               .arg(jsString(out.filePath("export.png")))
               .arg(percent));
    const QImage exported(out.filePath("export.png"));
    QVERIFY(preview.convertToFormat(QImage::Format_ARGB32) == exported.convertToFormat(QImage::Format_ARGB32));
}

void TestStudioExplore::parametersAreReadOnlyFromAPngThatCarriesThem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a PNG with the parameter chunk gives its map") << "art.png"
                                                                  << "{\"seed\":12,\"mask_text\":\"Ωmega\"}";
    QTest::newRow("a plain PNG gives an empty map") << "plain.png"
                                                    << "{}";
    QTest::newRow("a missing file gives an empty map") << "missing.png"
                                                       << "{}";
}

void TestStudioExplore::parametersAreReadOnlyFromAPngThatCarriesThem()
{
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QTemporaryDir out;
    writeArtworkPng(out.filePath("art.png"), QJsonObject {{"seed", 12}, {"mask_text", QStringLiteral("Ωmega")}});
    QImage plain(4, 4, QImage::Format_RGB32);
    plain.fill(Qt::red);
    QVERIFY(plain.save(out.filePath("plain.png")));
    const QString read
            = js("JSON.stringify(llumatrace.readArtworkParameters(" + jsString(out.filePath(file)) + "))").toString();
    QCOMPARE(QJsonDocument::fromJson(read.toUtf8()), QJsonDocument::fromJson(expected.toUtf8()));
}

void TestStudioExplore::loopPanelShowsDurationAndFileSize_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("frames");
    QTest::addColumn<QString>("fps");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("readout");
    QTest::newRow("48 frames at 24 fps last two seconds")
            << "mp4" << "48" << "24" << "100" << "2.0 s | 600 × 400 px";
    QTest::newRow("MP4 repeats a column to make an odd width even")
            << "mp4" << "10" << "4" << "50.5" << "2.5 s | 304 × 202 px";
    QTest::newRow("WebM repeats a column too") << "webm" << "10" << "4" << "50.5" << "2.5 s | 304 × 202 px";
    QTest::newRow("GIF keeps the odd width") << "gif" << "10" << "4" << "50.5" << "2.5 s | 303 × 202 px";
    QTest::newRow("a side beyond WebP's limit is named as too large")
            << "png" << "1000" << "60" << "3000" << "16.7 s | 18000 × 12000 px: too large: at most 16,383 px a side";
    QTest::newRow("more than 40 Mpx a frame is refused")
            << "webp" << "2" << "1" << "1500" << "2.0 s | 9000 × 6000 px: too large: at most 40 Mpx a frame";
}

void TestStudioExplore::loopPanelShowsDurationAndFileSize()
{
    QFETCH(QString, format);
    QFETCH(QString, frames);
    QFETCH(QString, fps);
    QFETCH(QString, scale);
    QFETCH(QString, readout);
    js("$('[data-key=export-loop-format]').val(" + jsString(format) + ").trigger('change');");
    edit("[data-key=export-loop-frames]", frames);
    edit("[data-key=export-loop-fps]", fps);
    edit("[data-key=export-loop-scale]", scale);
    QCOMPARE(js("$('[data-info=loop-duration]').text() + ' | ' + $('[data-info=loop-size]').text()").toString(), readout);
}

void TestStudioExplore::loopExportWritesTheChosenFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("alsoContains");
    QTest::newRow("MP4 is an ISO media file") << "mp4" << QByteArray("ftyp") << 4 << QByteArray("ftyp");
    QTest::newRow("WebM is an EBML document") << "webm" << QByteArray("\x1A\x45\xDF\xA3") << 0 << QByteArray("webm");
    QTest::newRow("WebP is a RIFF of WEBP with an animation") << "webp" << QByteArray("RIFF") << 0 << QByteArray("WEBPVP8X");
    QTest::newRow("GIF is GIF89a") << "gif" << QByteArray("GIF89a") << 0 << QByteArray("NETSCAPE2.0");
    QTest::newRow("animated PNG has an acTL chunk") << "png" << QByteArray("\x89PNG") << 0 << QByteArray("acTL");
}

void TestStudioExplore::loopExportWritesTheChosenFormat()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, signature);
    QFETCH(int, at);
    QFETCH(QByteArray, alsoContains);
    QTemporaryDir out;
    js("$('[data-key=export-loop-format]').val(" + jsString(format) + ").trigger('change');");
    edit("[data-key=export-loop-frames]", "4");
    edit("[data-key=export-loop-fps]", "8");
    edit("[data-key=export-loop-scale]", "25");
    // The dialog is answered without a suffix: the chosen format's is added.
    runThroughMenu("Export loop (animated)…", out.filePath("loop"));
    QVERIFY2(status().startsWith("Exported loop"), qPrintable(status()));
    const QByteArray bytes = readFile(out.filePath("loop." + format));
    QCOMPARE(bytes.mid(at, signature.size()), signature);
    QVERIFY(bytes.contains(alsoContains));
}

void TestStudioExplore::batchWritesALoopPerSeed()
{
    QTemporaryDir out;
    edit("[data-key=export-loop-frames]", "3");
    edit("[data-key=export-loop-fps]", "8");
    edit("[data-key=export-loop-scale]", "20");
    edit("[data-key=batch-seeds]", "3-4");
    js("$('[data-key=batch-kind]').val('loop-gif').trigger('change');");
    QCOMPARE(js("$('[data-info=batch-loop]').text()").toString(), QStringLiteral("3 frames at 8 fps, 20 %"));
    js("Studio.studio.batch.setFolder(" + jsString(out.path()) + ");");
    click("[data-action=batch-start]");
    QTRY_VERIFY_WITH_TIMEOUT(js("Studio.studio.batch.running === null").toBool(), 60000);
    QVERIFY2(status().startsWith("Batch export done: 2 of 2 files"), qPrintable(status()));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList({"lumatrace-3.gif", "lumatrace-4.gif"}));
    const QByteArray three = readFile(out.filePath("lumatrace-3.gif"));
    QVERIFY(three.startsWith("GIF89a"));
    QCOMPARE(qFromLittleEndian<quint16>(three.constData() + 6), quint16(120));
    QVERIFY(three != readFile(out.filePath("lumatrace-4.gif")));
    js("$('[data-key=batch-kind]').val('png').trigger('change');");
}

QTEST_MAIN(TestStudioExplore)
#include "tst_studio_explore.moc"
