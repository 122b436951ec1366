// In-process: the bundled studio app in a real Ovex, driven as a user drives it: real mouse
// clicks and drags on the page, control events, menu entries and answered file dialogs.
// The app data lives in a temporary home, so presets and the last state start empty.
#include "modaldialog.h"
#include "ovex.h"
#include "studiosession.h"
#include "xdynamicresource.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebFrame>
#include <QWheelEvent>
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

// The default artwork is 600 × 400 pixels at scale 0.6: 12-pixel cells, 50 × 34 of them.
// The grid reaches 408 pixels down, past the picture, and positions are fractions of the
// grid, so a point at fraction f of the picture's height sits at 400 f / 408.
double gridY(double fractionOfPicture)
{
    return fractionOfPicture * 400.0 / 408.0;
}

} // namespace

class TestStudioApp : public StudioSession
{
    Q_OBJECT

private:
    QByteArray previewBytes() { return ovex->dynamicResources()->get(QStringLiteral("lumatrace_result")); }

    void dragOnStage(QPointF from, QPointF to)
    {
        const QPoint start = pointIn(".stage", from.x(), from.y());
        const QPoint end = pointIn(".stage", to.x(), to.y());
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, start);
        for (int step = 1; step <= 5; ++step) {
            QMouseEvent move(QEvent::MouseMove, start + (end - start) * step / 5, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(view(), &move);
            QTest::qWait(10);
        }
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, end);
        QTest::qWait(20);
    }

    template<typename T>
    void whenShown(std::function<void(T *)> answer)
    {
        whenModalShown<T>(this, std::move(answer));
    }

    // Chooses the menu entry `text` and answers its save dialog with `path`.
    void exportThroughMenu(const QString &text, const QString &path)
    {
        QAction *action = menuAction(text);
        QVERIFY2(action, qPrintable(text));
        answerFileDialog(path);
        js("Studio.status.show('');");
        action->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!status().isEmpty(), 60000);
    }

    QSize pngSize(const QString &path) { return QImage(path).size(); }

    void moveMouse(const QPoint &to, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(view(), &move);
    }

    // Space held down over the artwork while the mouse drags `by` from `at`: the key
    // repeats as a held key does, a release and a press for every repeat.
    void spaceDrag(const QPoint &at, const QPoint &by)
    {
        moveMouse(at);
        QTest::keyPress(view(), Qt::Key_Space);
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, at);
        for (int step = 1; step <= 6; ++step) {
            QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
            QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
            QApplication::sendEvent(view(), &repeatUp);
            QApplication::sendEvent(view(), &repeatDown);
            moveMouse(at + by * step / 6, Qt::LeftButton);
            QTest::qWait(10);
        }
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, at + by);
        QTest::keyRelease(view(), Qt::Key_Space);
        QTest::qWait(20);
    }

    // Answers the next message box by the button labelled `text`.
    void answerMessageBox(const QString &text)
    {
        whenShown<QMessageBox>([text](QMessageBox *box) {
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == text)
                    button->click();
            }
        });
    }

    // The preview image once the artwork of the current map is on screen; empty when it
    // does not settle.
    QByteArray settledPreview()
    {
        const bool settled = QTest::qWaitFor(
                [this] {
                    return !js("Studio.studio.preview.pending || !!Studio.studio.preview.timer").toBool()
                            && shownImages() == js("Studio.studio.preview.imageCount").toInt();
                },
                10000);
        return settled ? previewBytes() : QByteArray();
    }

    QString storedPreset(const QString &name, const QString &key)
    {
        return js("var s = Studio.studio.store; String(s.preset(s.presetId(" + jsString(name) + "))." + key + ")")
                .toString();
    }


private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void editingAControlShowsANewPreviewImage_data();
    void editingAControlShowsANewPreviewImage();
    void sliderDragOnABigCanvasShowsImagesAlongTheWayAndThePageAnswers();
    void zoomingInRedrawsThePreviewAtItsZoom();
    void randomizeGivesANewSeedAndKeepsTheOldOneInTheHistory();
    void clickingWithAPlacingToolAddsAnItemAtThatPoint_data();
    void clickingWithAPlacingToolAddsAnItemAtThatPoint();
    void draggingWithTheModifierToolAddsASegmentAlongTheDrag_data();
    void draggingWithTheModifierToolAddsASegmentAlongTheDrag();
    void draggingAChipHandleMovesTheChip();
    void deletingAnItemInTheSideListRemovesItFromTheMap();
    void undoAndRedoStepThroughParameterChanges();
    void presetIsSavedReloadedAndDeleted();
    void presetIsRenamedThroughThePrompt();
    void chosenMaskImageIsShownAsTheGeneratorPreparedIt();
    void pngExportHasTheChosenSize_data();
    void pngExportHasTheChosenSize();
    void exportBeyondTheLimitIsRefusedNamingIt();
    void longExportShowsProgressAndCancelLeavesNoFile();
    void separatePngExportWritesTheSixLayerFiles();
    void svgExportEqualsTheToolExportOfTheExportedPreset();
    void rgbExportHasThreeBytesPerPixelAtTheChosenScale();
    void exportThatCannotBeWrittenSaysSo();
    void menuEntriesRunTheirCommands_data();
    void menuEntriesRunTheirCommands();
    void maskImageThatIsMissingOrNoImageIsReportedAndPickedUpWhenItReturns_data();
    void maskImageThatIsMissingOrNoImageIsReportedAndPickedUpWhenItReturns();
    void numberFieldShowsTheValueInUse_data();
    void numberFieldShowsTheValueInUse();
    void textMaskShowsTheFirstTextAndAnEmptyTextMasksNothing();
    void coloursArePickedByHexAndPalettesKeepLockedColours();
    void paletteInUseIsNamedAndOwnPalettesAreSavedAndImported();
    void recentSeedsHoldOnlyCommittedSeeds();
    void savingOverAnotherPresetAsksAndCanBeUndone();
    void undoingAnImportRestoresThePresetName();
    void presetKeepsItsMaskImageWhereTheFileIsGone();
    void draggingOnTheArtworkEditsThePlacedItem_data();
    void draggingOnTheArtworkEditsThePlacedItem();
    void wheelOverAFocusedNumberFieldScrollsThePanel();
    void toolbarAndLabelsFitANarrowWindow();
    void pickerPrintAndVariationsFitTheWindow_data();
    void pickerPrintAndVariationsFitTheWindow();
    void zoomKeepsThePointUnderTheMouseAndPlacingStaysExact();
    void wheelZoomFromFitKeepsThePointUnderTheMouse_data();
    void wheelZoomFromFitKeepsThePointUnderTheMouse();
    void spaceOverTheArtworkPansWhateverWasClickedLast_data();
    void spaceOverTheArtworkPansWhateverWasClickedLast();
    void undoThatMendsAnErrorClearsItsRedText();
    void typingTheFirstMaskTextShowsItAtOnce();
    void compareFlipsBetweenTheSnapshotAndTheCurrentArtwork();
    void splitShowsTheSnapshotLeftOfTheLineAndTheCurrentArtworkRight();
    void playShowsLoopFramesAndPauseTheStillAgain();
    void playingGoesOnOverAnEditedArtwork();
    void keyPTogglesPlayingExceptWhileTyping_data();
    void keyPTogglesPlayingExceptWhileTyping();
    void printBatchSnapshotAndUnsavedMarkAreRestoredAtTheNextStart();
    void lastStateIsRestoredAtTheNextStart();
};

void TestStudioApp::initTestCase()
{
    Q_INIT_RESOURCE(tressil_resources);
    QVERIFY(home.isValid());
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qApp->setQuitOnLastWindowClosed(false);
    startStudio();
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace"));
}

// Every test starts from the default artwork with the select tool and whole-file exports.
void TestStudioApp::init()
{
    js("Studio.run('file.new'); Studio.studio.model.set('seed', 4242); Studio.studio.history.commit();"
       " Studio.studio.placement.setTool('select'); Studio.studio.preview.setZoom('fit');"
       " $('[data-key=export-png-separate], [data-key=export-svg-separate], [data-key=export-png-by-width]')"
       ".prop('checked', false).trigger('change');");
    const int shown = shownImages();
    QTRY_VERIFY(shownImages() > shown);
}

void TestStudioApp::cleanupTestCase()
{
    stopStudio();
}

void TestStudioApp::editingAControlShowsANewPreviewImage_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("moving the wire length slider") << "input[type=range][data-key=wire_length]"
                                                   << "0.8"
                                                   << "wire_length"
                                                   << "0.8";
    QTest::newRow("typing a pad size") << "input.number[data-key=dot_size]"
                                       << "2.5"
                                       << "dot_size"
                                       << "2.5";
    QTest::newRow("typing a red background channel") << "input[data-key=bg_color][data-channel=R]"
                                                     << "200"
                                                     << "bg_color"
                                                     << "200,20,34";
    QTest::newRow("a number above the range is kept at the maximum") << "input.number[data-key=vignetting]"
                                                                     << "9"
                                                                     << "vignetting"
                                                                     << "1.5";
}

void TestStudioApp::editingAControlShowsANewPreviewImage()
{
    QFETCH(QString, selector);
    QFETCH(QString, value);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QByteArray before = previewBytes();
    const int shown = shownImages();
    edit(selector, value);
    QTRY_VERIFY(shownImages() > shown);
    QCOMPARE(js("String(Studio.studio.model.get('" + key + "'))").toString(), expected);
    QVERIFY(!previewBytes().isEmpty());
    QVERIFY(previewBytes() != before);
    // The toolbar and the canvas line speak of the artwork, not of how long it took.
    QVERIFY(!js("/\\d ?m?s\\b|Generated in/.test($('.toolbar').text() + $('[data-info=canvas]').text())").toBool());
}

// On a 4096 × 4096 canvas the artwork is drawn off the page's thread: the page takes input
// while it is drawn, and a drag shows the artwork along the way, not only at its end.
void TestStudioApp::sliderDragOnABigCanvasShowsImagesAlongTheWayAndThePageAnswers()
{
    settledPreview();
    js("Studio.studio.model.update({width: 4096, height: 4096}); Studio.studio.history.commit(); 0");
    QVERIFY(!settledPreview().isEmpty());
    QCOMPARE(QImage::fromData(previewBytes()).width(), js("Studio.studio.preview.showing.scale * 4096").toInt());

    // A click arriving while a change is drawn is answered before its image comes.
    edit("input[type=range][data-key=wire_length]", "0.3");
    QTRY_VERIFY(js("!!Studio.studio.preview.inFlight").toBool());
    const int drawn = js("Studio.studio.preview.inFlight.id").toInt();
    js("window.answeredDuring = -1; $('.toolbar [data-command=\"view.overlays\"]').one('click', function () {"
       " var p = Studio.studio.preview; window.answeredDuring = p.inFlight ? p.inFlight.id : 0; }); 0");
    const QPoint button = pointIn(".toolbar [data-command='view.overlays']");
    QCoreApplication::postEvent(view(), new QMouseEvent(QEvent::MouseButtonPress, button, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(view(), new QMouseEvent(QEvent::MouseButtonRelease, button, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
    QTRY_VERIFY(js("window.answeredDuring >= 0").toBool());
    QCOMPARE(js("window.answeredDuring").toInt(), drawn);
    click(".toolbar [data-command='view.overlays']");
    settledPreview();

    js("window.dragImages = []; $(Studio.studio.preview.image).on('load.drag', function () {"
       " if (this.src.indexOf('lumatrace_result') >= 0) dragImages.push(Studio.studio.preview.showing.count); }); 0");
    const int before = js("Studio.studio.preview.imageCount").toInt();
    QElapsedTimer drag;
    drag.start();
    double value = 0.2;
    while (drag.elapsed() < 2500) {
        value += 0.002;
        js(QStringLiteral("var r = document.querySelector('input[type=range][data-key=wire_length]'); r.value = %1;"
                          " var e = document.createEvent('HTMLEvents'); e.initEvent('input', true, false);"
                          " r.dispatchEvent(e); 0")
                   .arg(value));
        QTest::qWait(16);
    }
    QVERIFY(!settledPreview().isEmpty());
    js("$(Studio.studio.preview.image).off('load.drag'); 0");
    // The slider's step is 0.01: the last value dragged to is the one drawn.
    QVERIFY(qAbs(mapValue("wire_length").toDouble() - value) < 0.011);
    const QVariantList shown = js("dragImages").toList();
    const int last = js("Studio.studio.preview.imageCount").toInt();
    QSet<int> along;
    for (const QVariant &count : shown) {
        if (count.toInt() > before && count.toInt() < last)
            along.insert(count.toInt());
    }
    QVERIFY2(along.size() >= 2, qPrintable(QString::number(along.size())));
    QCOMPARE(shown.last().toInt(), last);

    js("Studio.studio.model.update({width: 600, height: 400}); Studio.studio.history.commit(); 0");
    QVERIFY(!settledPreview().isEmpty());
}

// Zoomed in, the artwork is drawn again at the zoom, with as many pixels as it is shown at.
void TestStudioApp::zoomingInRedrawsThePreviewAtItsZoom()
{
    js("Studio.studio.preview.setZoom(1); 0");
    QVERIFY(!settledPreview().isEmpty());
    QCOMPARE(QImage::fromData(previewBytes()).size(), QSize(600, 400));
    js("Studio.studio.preview.setZoom(3); 0");
    QTRY_COMPARE(QImage::fromData(settledPreview()).size(), QSize(1800, 1200));
    QCOMPARE(js("document.querySelector('.artwork').naturalWidth").toInt(), 1800);
    js("Studio.studio.preview.setZoom('fit'); 0");
    QVERIFY(!settledPreview().isEmpty());
}

void TestStudioApp::randomizeGivesANewSeedAndKeepsTheOldOneInTheHistory()
{
    const int shown = shownImages();
    click("[data-action=randomize-seed]");
    QTRY_VERIFY(shownImages() > shown);
    const int seed = mapValue("seed").toInt();
    QVERIFY(seed != 4242);
    QCOMPARE(js("document.querySelector('input.number[data-key=seed]').value").toString(), QString::number(seed));
    QCOMPARE(js("$('.seed-chip').map(function () { return this.textContent; }).get().slice(0, 2).join(' ')").toString(),
             QString::number(seed) + " 4242");
    click(".seed-chip[data-seed='4242']");
    QCOMPARE(mapValue("seed").toInt(), 4242);
}

void TestStudioApp::clickingWithAPlacingToolAddsAnItemAtThatPoint_data()
{
    QTest::addColumn<QString>("tool");
    QTest::newRow("chip") << "chips";
    QTest::newRow("adjustment") << "adjustments";
}

void TestStudioApp::clickingWithAPlacingToolAddsAnItemAtThatPoint()
{
    QFETCH(QString, tool);
    const int before = js("Studio.studio.model.map." + tool + ".length").toInt();
    click(".toolbar [data-tool=" + tool + "]");
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, pointIn(".stage", 0.25, 0.75));
    QTRY_COMPARE(js("Studio.studio.model.map." + tool + ".length").toInt(), before + 1);
    const QVariantMap item = js("Studio.studio.model.map." + tool + "[" + QString::number(before) + "]").toMap();
    QVERIFY2(qAbs(item.value("x").toDouble() - 0.25) < 0.005, qPrintable(item.value("x").toString()));
    QVERIFY2(qAbs(item.value("y").toDouble() - gridY(0.75)) < 0.005, qPrintable(item.value("y").toString()));
    QCOMPARE(js("$('.placed[data-list=" + tool + "] .card').length").toInt(), before + 1);
    QCOMPARE(js("$('.overlay .item." + tool + "').length").toInt(), before + 1);
}

void TestStudioApp::draggingWithTheModifierToolAddsASegmentAlongTheDrag_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<int>("direction");
    QTest::newRow("left to right favours horizontal wires") << QPointF(0.2, 0.3) << QPointF(0.7, 0.3) << 3;
    QTest::newRow("top to bottom favours vertical wires") << QPointF(0.6, 0.1) << QPointF(0.6, 0.9) << 1;
    // 0.3 of 600 px across and 0.45 of 400 px up: 180 px each way, 45 degrees.
    QTest::newRow("up and right favours north-east diagonals") << QPointF(0.2, 0.8) << QPointF(0.5, 0.35) << 2;
    QTest::newRow("down and right favours north-west diagonals") << QPointF(0.2, 0.2) << QPointF(0.5, 0.65) << 4;
}

void TestStudioApp::draggingWithTheModifierToolAddsASegmentAlongTheDrag()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(int, direction);
    click(".toolbar [data-tool=modificators]");
    dragOnStage(from, to);
    QTRY_COMPARE(js("Studio.studio.model.map.modificators.length").toInt(), 1);
    const QVariantMap mod = js("Studio.studio.model.map.modificators[0]").toMap();
    QVERIFY(qAbs(mod.value("x1").toDouble() - from.x()) < 0.005);
    QVERIFY(qAbs(mod.value("y1").toDouble() - gridY(from.y())) < 0.005);
    QVERIFY(qAbs(mod.value("x2").toDouble() - to.x()) < 0.005);
    QVERIFY(qAbs(mod.value("y2").toDouble() - gridY(to.y())) < 0.005);
    QCOMPARE(mod.value("direction").toInt(), direction);
    QCOMPARE(mod.value("type").toInt(), 0);
}

void TestStudioApp::draggingAChipHandleMovesTheChip()
{
    // The default artwork has one chip in the middle; its handle sits at its centre.
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 1);
    dragOnStage(QPointF(0.5, 0.5), QPointF(0.3, 0.4));
    const QVariantMap chip = js("Studio.studio.model.map.chips[0]").toMap();
    QVERIFY2(qAbs(chip.value("x").toDouble() - 0.3) < 0.005, qPrintable(chip.value("x").toString()));
    // The chip moves by the drag: 0.1 of the picture's height up is 0.1 × 400 / 408 of the grid.
    QVERIFY2(qAbs(chip.value("y").toDouble() - (0.5 - gridY(0.1))) < 0.005, qPrintable(chip.value("y").toString()));
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 1);
    QCOMPARE(js("document.querySelector('.card[data-list=chips] input.number[data-key=x]').value").toDouble(),
             chip.value("x").toDouble());
}

void TestStudioApp::deletingAnItemInTheSideListRemovesItFromTheMap()
{
    click(".toolbar [data-tool=adjustments]");
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, pointIn(".stage", 0.1, 0.1));
    QTRY_COMPARE(js("Studio.studio.model.map.adjustments.length").toInt(), 1);
    edit(".card[data-list=adjustments] input.number[data-key=radius]", "0.05");
    QCOMPARE(js("Studio.studio.model.map.adjustments[0].radius").toDouble(), 0.05);
    click(".card[data-list=adjustments] [data-action=delete]");
    QCOMPARE(js("Studio.studio.model.map.adjustments.length").toInt(), 0);
    QCOMPARE(js("$('.card[data-list=adjustments]').length").toInt(), 0);
}

void TestStudioApp::undoAndRedoStepThroughParameterChanges()
{
    edit("input[type=range][data-key=signal_amount]", "0.9");
    edit("input[type=range][data-key=signal_amount]", "0.2");
    click(".toolbar [data-command='edit.undo']");
    QCOMPARE(mapValue("signal_amount").toDouble(), 0.9);
    click(".toolbar [data-command='edit.undo']");
    QCOMPARE(mapValue("signal_amount").toDouble(), 0.5);
    QCOMPARE(js("document.querySelector('input.number[data-key=signal_amount]').value").toString(),
             QStringLiteral("0.5"));
    click(".toolbar [data-command='edit.redo']");
    QCOMPARE(mapValue("signal_amount").toDouble(), 0.9);
}

void TestStudioApp::presetIsSavedReloadedAndDeleted()
{
    edit("input.number[data-key=wire_thickness]", "3.5");
    edit("input[data-key=preset-name]", "Neon 'board'");
    click("[data-action=save-preset]");
    QCOMPARE(js("$('.preset-list li[data-preset]').length").toInt(), 1);
    QCOMPARE(js("$('.preset-list .preset-name').text()").toString(), QStringLiteral("Neon 'board'"));
    QVERIFY(QFileInfo::exists(home.filePath("data/Lumatrace/studio.sqlite")));
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Neon 'board'"));

    edit("input.number[data-key=wire_thickness]", "0.5");
    click(".preset-list .preset-name");
    QCOMPARE(mapValue("wire_thickness").toDouble(), 3.5);
    QCOMPARE(js("document.querySelector('input.number[data-key=wire_thickness]').value").toString(),
             QStringLiteral("3.5"));

    whenShown<QMessageBox>([](QMessageBox *box) {
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == QLatin1String("Delete"))
                button->click();
        }
    });
    click(".preset-list [data-action=delete]");
    QCOMPARE(js("$('.preset-list li[data-preset]').length").toInt(), 0);
    QCOMPARE(js("Studio.studio.store.presets().length").toInt(), 0);
}

void TestStudioApp::presetIsRenamedThroughThePrompt()
{
    edit("input[data-key=preset-name]", "First");
    click("[data-action=save-preset]");
    whenShown<QInputDialog>([](QInputDialog *dialog) {
        dialog->setTextValue(QStringLiteral("Second"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    click(".preset-list [data-action=rename]");
    QCOMPARE(js("$('.preset-list .preset-name').text()").toString(), QStringLiteral("Second"));
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Second"));
    js("var s = Studio.studio.store; s.deletePreset(s.presetId('Second'));");
}

void TestStudioApp::chosenMaskImageIsShownAsTheGeneratorPreparedIt()
{
    QTemporaryDir dir;
    QImage mask(400, 100, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QVERIFY(mask.save(dir.filePath("mask.png")));
    js("$('[data-key=mask_type]').val('image').trigger('change');");
    QVERIFY(js("$('[data-action=choose-mask_file_path]').is(':visible')").toBool());
    QVERIFY(!js("$('input[data-key=mask_text]').is(':visible')").toBool());
    whenShown<QFileDialog>([&dir](QFileDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(dir.filePath("mask.png"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    click("[data-action=choose-mask_file_path]");
    QCOMPARE(mapValue("mask_file_path").toString(), dir.filePath("mask.png"));
    // The generator hands over the mask scaled to 200 pixels wide, aspect ratio kept.
    QTRY_COMPARE(js("document.querySelector('.mask-thumbnail').naturalWidth").toInt(), 200);
    QCOMPARE(js("document.querySelector('.mask-thumbnail').naturalHeight").toInt(), 50);
    QVERIFY(js("document.querySelector('.mask-thumbnail').src").toString().startsWith("drc:lumatrace_mask_result"));
    click("[data-action=clear-mask_file_path]");
    QCOMPARE(mapValue("mask_file_path").toString(), QString());
}

void TestStudioApp::pngExportHasTheChosenSize_data()
{
    QTest::addColumn<bool>("byWidth");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QSize>("size");
    QTest::newRow("half scale of 600 × 400") << false << "50" << QSize(300, 200);
    QTest::newRow("print width of 1800 pixels triples it") << true << "1800" << QSize(1800, 1200);
}

void TestStudioApp::pngExportHasTheChosenSize()
{
    QFETCH(bool, byWidth);
    QFETCH(QString, value);
    QFETCH(QSize, size);
    QTemporaryDir out;
    js(QStringLiteral("document.querySelector('[data-key=export-png-by-width]').checked = %1;")
               .arg(byWidth ? "true" : "false"));
    fire("[data-key=export-png-by-width]", "change");
    edit(byWidth ? "[data-key=export-png-width]" : "[data-key=export-png-scale]", value);
    exportThroughMenu("Export PNG…", out.filePath("art.png"));
    QVERIFY2(status().startsWith("Exported PNG"), qPrintable(status()));
    QVERIFY2(status().contains("art.png"), qPrintable(status()));
    QCOMPARE(pngSize(out.filePath("art.png")), size);
}

void TestStudioApp::exportBeyondTheLimitIsRefusedNamingIt()
{
    js("document.querySelector('[data-key=export-png-by-width]').checked = false;");
    fire("[data-key=export-png-by-width]", "change");
    edit("[data-key=export-png-scale]", "20000"); // 120,000 px wide
    QVERIFY2(js("$('.export-block .hint.error').text()").toString().contains("65,535 px a side"),
             qPrintable(js("$('.export-block .hint').text()").toString()));
    js("Studio.status.show('');");
    QAction *action = menuAction("Export PNG…");
    QVERIFY(action);
    action->trigger(); // refused before any dialog opens
    QTRY_VERIFY(status().contains("refused: too large: at most 65,535 px a side"));
    edit("[data-key=export-png-scale]", "200");
}

void TestStudioApp::longExportShowsProgressAndCancelLeavesNoFile()
{
    QTemporaryDir out;
    js("document.querySelector('[data-key=export-png-by-width]').checked = false;"
       " document.querySelector('[data-key=export-png-separate]').checked = false;");
    fire("[data-key=export-png-by-width]", "change");
    edit("[data-key=export-png-scale]", "1200"); // 7200 x 4800, written band by band
    js("window.shownProgress = -1;"
       " llumatrace.exportProgress.connect(function (p) {"
       "   if (window.shownProgress < 0 && p > 0) {"
       "     window.shownProgress = p;"
       "     document.querySelector('.busy-cancel').click(); } });");
    exportThroughMenu("Export PNG…", out.filePath("poster.png"));
    QVERIFY2(status().contains("cancelled"), qPrintable(status()));
    // The bar showed the progress the export reported before it was stopped.
    QVERIFY(js("window.shownProgress > 0 && window.shownProgress < 100"
               " && Number($('.busy-progress').val()) === window.shownProgress")
                    .toBool());
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    edit("[data-key=export-png-scale]", "200");
}

void TestStudioApp::separatePngExportWritesTheSixLayerFiles()
{
    QTemporaryDir out;
    edit("[data-key=export-png-scale]", "25");
    js("document.querySelector('[data-key=export-png-by-width]').checked = false;"
       " document.querySelector('[data-key=export-png-separate]').checked = true;");
    fire("[data-key=export-png-separate]", "change");
    exportThroughMenu("Export PNG…", out.filePath("layers.png"));
    QVERIFY2(status().startsWith("Exported PNG"), qPrintable(status()));
    const QStringList names {"layers.png",         "layers.wires.png",      "layers.dots.png", "layers.components.png",
                             "layers.signals.png", "layers.dot_signals.png"};
    for (const QString &name : names) {
        QCOMPARE(pngSize(out.filePath(name)), QSize(150, 100));
        QVERIFY2(status().contains(name), qPrintable(name));
    }
}

void TestStudioApp::svgExportEqualsTheToolExportOfTheExportedPreset()
{
    QTemporaryDir out;
    // Something placed and a text mask in another script make the preset worth comparing.
    click(".toolbar [data-tool=modificators]");
    dragOnStage(QPointF(0.1, 0.2), QPointF(0.9, 0.3));
    edit("input[data-key=mask_text]", QStringLiteral("Ωmega"));
    edit("input.number[data-key=masking]", "0.8");
    exportThroughMenu("Export preset…", out.filePath("preset.json"));
    QVERIFY2(status().startsWith("Exported preset"), qPrintable(status()));
    const QJsonObject preset = QJsonDocument::fromJson(readFile(out.filePath("preset.json"))).object();
    QCOMPARE(preset.value("mask_text").toString(), QStringLiteral("Ωmega"));
    QCOMPARE(preset.value("modificators").toArray().size(), 1);

    // The SVG export is the artwork, chips and colours included; the plain layer masks
    // are offered under their own name.
    exportThroughMenu("Export SVG…", out.filePath("art.svg"));
    QVERIFY2(status().startsWith("Exported SVG"), qPrintable(status()));
    exportThroughMenu("Export layer masks SVG…", out.filePath("masks.svg"));
    QVERIFY2(status().startsWith("Exported layer masks SVG"), qPrintable(status()));
    for (const QStringList &kind : {QStringList {"art.svg", "tool-art.svg", "--artwork"},
                                    QStringList {"masks.svg", "tool-masks.svg"}}) {
        QProcess tool;
        tool.start(toolPath, QStringList {"export", out.filePath("preset.json"), out.filePath(kind[1])} + kind.mid(2));
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(readFile(out.filePath(kind[0])), readFile(out.filePath(kind[1])));
    }
    const QByteArray artwork = readFile(out.filePath("art.svg"));
    QVERIFY2(artwork.contains("id=\"layer-components\"") && artwork.contains("<path"),
             artwork.left(400).constData());
    QVERIFY(readFile(out.filePath("masks.svg")).startsWith("<svg"));
    QVERIFY(js("$('.export-block .vector-note:visible').text()").toString().contains("raster effects"));
}

void TestStudioApp::rgbExportHasThreeBytesPerPixelAtTheChosenScale()
{
    QTemporaryDir out;
    edit("[data-key=export-rgb-scale]", "50");
    exportThroughMenu("Export raw RGB…", out.filePath("art.rgb"));
    QVERIFY2(status().startsWith("Exported RGB (300 × 200)"), qPrintable(status()));
    const QByteArray bytes = readFile(out.filePath("art.rgb"));
    QCOMPARE(bytes.size(), 300 * 200 * 3);
    // The top-left corner is background darkened by the vignette: never brighter than it.
    QVERIFY(quint8(bytes[0]) <= 9 && quint8(bytes[1]) <= 20 && quint8(bytes[2]) <= 34);
}

void TestStudioApp::exportThatCannotBeWrittenSaysSo()
{
    QTemporaryDir out;
    // A folder where the file should go: the export cannot open it for writing.
    QVERIFY(QDir(out.path()).mkpath("taken.png"));
    js("Studio.status.show('');");
    // The file dialog would open that folder instead of choosing it, so for this one run
    // the dialog is replaced by its answer.
    js("var chooser = app.dialogSaveFile; app.dialogSaveFile = function () { return "
       + jsString(out.filePath("taken.png")) + "; }; Studio.run('file.exportPng'); app.dialogSaveFile = chooser;");
    QTRY_VERIFY_WITH_TIMEOUT(!status().isEmpty(), 60000);
    QVERIFY2(status().startsWith("PNG export failed: could not write " + out.filePath("taken.png")),
             qPrintable(status()));
    QCOMPARE(js("Studio.status.kind").toString(), QStringLiteral("error"));
    QVERIFY(!js("Studio.studio.exports.busy.isOn()").toBool());
}

void TestStudioApp::menuEntriesRunTheirCommands_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("check");
    QTest::newRow("randomize seed") << "Randomize seed"
                                    << "Studio.studio.model.get('seed') !== 4242";
    QTest::newRow("actual size") << "Actual size (100 %)"
                                 << "Studio.studio.preview.zoomMode === 1";
    QTest::newRow("hiding the overlays") << "Show overlays"
                                         << "!Studio.studio.placement.isVisible()";
    QTest::newRow("reset keeps the seed")
            << "Reset parameters"
            << "Studio.studio.model.get('seed') === 4242 && Studio.studio.model.get('dot_size') === 1.3";
}

void TestStudioApp::menuEntriesRunTheirCommands()
{
    QFETCH(QString, entry);
    QFETCH(QString, check);
    js("Studio.studio.preview.setZoom('fit'); Studio.studio.placement.setVisible(true); "
       "Studio.studio.model.set('dot_size', 3);");
    QAction *action = menuAction(entry);
    QVERIFY(action);
    QVERIFY(!action->shortcut().isEmpty());
    action->trigger();
    QVERIFY(js(check).toBool());
    js("Studio.studio.placement.setVisible(true); Studio.studio.preview.setZoom('fit');");
}

void TestStudioApp::maskImageThatIsMissingOrNoImageIsReportedAndPickedUpWhenItReturns_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a mask image that was moved away") << false << "is missing";
    QTest::newRow("a mask file that is not an image") << true << "could not be read";
}

void TestStudioApp::maskImageThatIsMissingOrNoImageIsReportedAndPickedUpWhenItReturns()
{
    QFETCH(bool, present);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString path = dir.filePath("mask.png");
    QImage mask(400, 100, QImage::Format_RGB32);
    mask.fill(Qt::black);
    QPainter(&mask).fillRect(0, 0, 200, 100, Qt::white);
    js("$('[data-key=mask_type]').val('image').trigger('change');");
    edit("input.number[data-key=masking]", "0.9");
    const QByteArray unmasked = settledPreview();

    if (present)
        QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile(path).exists());
    js("Studio.studio.model.set('mask_file_path', " + jsString(path) + "); Studio.studio.history.commit();");
    QTRY_VERIFY(js("$('[data-info=mask-problem]').is(':visible')").toBool());
    QVERIFY2(js("$('[data-info=mask-problem]').text()").toString().contains(problem),
             qPrintable(js("$('[data-info=mask-problem]').text()").toString()));
    QVERIFY2(status().contains(problem), qPrintable(status()));
    QCOMPARE(js("Studio.status.kind").toString(), QStringLiteral("error"));
    QVERIFY(js("$('.notice.error').is(':visible')").toBool());
    // The artwork shows without the mask instead of going blank.
    QCOMPARE(settledPreview(), unmasked);
    QCOMPARE(mapValue("mask_file_path").toString(), path);
    screenshot(present ? "mask-not-an-image" : "mask-missing");

    // The image put in place is used without choosing it again.
    QFile::remove(path);
    QVERIFY(mask.save(path, "PNG"));
    QTRY_VERIFY_WITH_TIMEOUT(!js("$('[data-info=mask-problem]').is(':visible')").toBool(), 5000);
    QTRY_COMPARE(js("document.querySelector('.mask-thumbnail').naturalWidth").toInt(), 200);
    QVERIFY(settledPreview() != unmasked);
    QVERIFY(!js("$('.notice.error').is(':visible')").toBool());
    js("Studio.studio.model.set('mask_file_path', ''); Studio.studio.history.commit();");
}

void TestStudioApp::numberFieldShowsTheValueInUse_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("inUse");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("note");
    QTest::newRow("text that is no number keeps the shadow in use") << "input.number[data-key=wire_shadow]"
                                                                    << "abc"
                                                                    << "wire_shadow"
                                                                    << "0.6"
                                                                    << "0.6"
                                                                    << "Not a number";
    QTest::newRow("an emptied width shows the width in use") << "input.number[data-key=width]"
                                                             << ""
                                                             << "width"
                                                             << "600"
                                                             << "600"
                                                             << "Empty";
    QTest::newRow("a colour channel above 255 is clamped and shown clamped")
            << "input[data-key=bg_color][data-channel=R]"
            << "999"
            << "bg_color"
            << "255,20,34"
            << "255"
            << "The highest is 255";
    QTest::newRow("a value finer than the step is used as it is shown") << "input.number[data-key=wire_shadow]"
                                                                        << "0.123456"
                                                                        << "wire_shadow"
                                                                        << "0.12"
                                                                        << "0.12"
                                                                        << "Rounded to 0.12";
    QTest::newRow("a width below the range is raised to the lowest") << "input.number[data-key=width]"
                                                                     << "5"
                                                                     << "width"
                                                                     << "32"
                                                                     << "32"
                                                                     << "The lowest is 32";
}

void TestStudioApp::numberFieldShowsTheValueInUse()
{
    QFETCH(QString, selector);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QString, inUse);
    QFETCH(QString, shown);
    QFETCH(QString, note);
    // Typed as a user types: the field holds the text, not what script could set. A colour's
    // channels are in its picker.
    if (key.endsWith("_color"))
        click("[data-action=pick-" + key + "]");
    click(selector);
    js("document.querySelector(" + jsString(selector) + ").select();");
    if (typed.isEmpty())
        QTest::keyClick(view(), Qt::Key_Backspace);
    else
        QTest::keyClicks(view(), typed);
    js("document.activeElement.blur();");
    QCOMPARE(js("String(Studio.studio.model.get('" + key + "'))").toString(), inUse);
    QCOMPARE(js("document.querySelector(" + jsString(selector) + ").value").toString(), shown);
    const QString noteText
            = js("$(" + jsString(selector) + ").closest('.field').find('.field-note').text()").toString();
    QVERIFY2(noteText.startsWith(note), qPrintable(noteText));
}

void TestStudioApp::textMaskShowsTheFirstTextAndAnEmptyTextMasksNothing()
{
    const QByteArray unmasked = settledPreview();
    QCOMPARE(mapValue("masking").toDouble(), 0.0);
    // Each family once, by the name the generator takes.
    QCOMPARE(
            js("var names = $('select[data-key=mask_font] option').map(function () { return this.textContent; }).get();"
               " names.filter(function (n, i) { return names.indexOf(n) !== i || n.indexOf('[') >= 0; }).join(', ')")
                    .toString(),
            QString());
    edit("input[data-key=mask_text]", "LUMA");
    QVERIFY(mapValue("masking").toDouble() > 0);
    QCOMPARE(js("document.querySelector('input.number[data-key=masking]').value").toDouble(),
             mapValue("masking").toDouble());
    QVERIFY(settledPreview() != unmasked);
    edit("input[data-key=mask_text]", "");
    QVERIFY(mapValue("masking").toDouble() > 0);
    QCOMPARE(settledPreview(), unmasked);
}

void TestStudioApp::coloursArePickedByHexAndPalettesKeepLockedColours()
{
    const QString hex = "input[data-key=wire_color][data-hex]";
    const auto type = [this](const QString &selector, const QString &text) {
        click(selector);
        js("document.querySelector(" + jsString(selector) + ").select();");
        QTest::keyClicks(view(), text);
        js("document.activeElement.blur();");
    };
    type(hex, "#FF8800");
    QCOMPARE(js("String(Studio.studio.model.get('wire_color'))").toString(), QStringLiteral("255,136,0"));
    type(hex, "zz");
    QCOMPARE(js("document.querySelector(" + jsString(hex) + ").value").toString(), QStringLiteral("#ff8800"));
    QVERIFY(js("$(" + jsString(hex) + ").closest('.field').find('.field-note').text()")
                    .toString()
                    .startsWith("Not a colour"));
    // A valid colour takes the note away at once.
    type(hex, "#FF8800");
    QCOMPARE(js("$(" + jsString(hex) + ").closest('.field').find('.field-note').length").toInt(), 0);

    click("[data-lock=bg_color]");
    QVERIFY(js("Studio.studio.colours.isLocked('bg_color')").toBool());
    js("$('[data-key=palette]').val(String(Studio.Colours.palettes.map(function (p) { return p.name; "
       "}).indexOf('Neon')))"
       ".trigger('change');");
    QCOMPARE(js("String(Studio.studio.model.get('wire_color'))").toString(), QStringLiteral("255,64,204"));
    QCOMPARE(js("String(Studio.studio.model.get('bg_color'))").toString(), QStringLiteral("9,20,34"));
    const QString neon = js("JSON.stringify(Studio.studio.model.map)").toString();
    for (int i = 0; i < 3; ++i) {
        click("[data-action=new-palette]");
        QCOMPARE(js("String(Studio.studio.model.get('bg_color'))").toString(), QStringLiteral("9,20,34"));
    }
    QVERIFY(js("String(Studio.studio.model.get('wire_color'))").toString() != "255,64,204");
    screenshot("colours");
    click(".toolbar [data-command='edit.undo']");
    click(".toolbar [data-command='edit.undo']");
    click(".toolbar [data-command='edit.undo']");
    QCOMPARE(js("JSON.stringify(Studio.studio.model.map)").toString(), neon);
    click("[data-lock=bg_color]");
    QVERIFY(!js("Studio.studio.colours.isLocked('bg_color')").toBool());

    // The picker's square: its top-right corner is the hue at full saturation and value.
    click("[data-action=pick-signal_color]");
    QVERIFY(js("$('[data-picker-for=signal_color]').is(':visible')").toBool());
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier,
                      pointIn("[data-picker-for=signal_color] .sv-square", 0.99, 0.01));
    const QVariantList picked = js("Studio.studio.model.get('signal_color')").toList();
    const int brightest = qMax(picked[0].toInt(), qMax(picked[1].toInt(), picked[2].toInt()));
    const int darkest = qMin(picked[0].toInt(), qMin(picked[1].toInt(), picked[2].toInt()));
    QVERIFY2(brightest >= 250 && darkest <= 10,
             qPrintable(js("String(Studio.studio.model.get('signal_color'))").toString()));
}

void TestStudioApp::paletteInUseIsNamedAndOwnPalettesAreSavedAndImported()
{
    QTemporaryDir dir;
    const auto inUse = [this] { return js("$('[data-info=palette-name]').text()").toString(); };
    QCOMPARE(inUse(), QStringLiteral("Studio teal"));
    QCOMPARE(js("$('.palette-swatches .palette').length").toInt(), 7);
    QCOMPARE(js("$('.palette-swatches .palette.current').attr('data-palette')").toString(), QStringLiteral("Studio teal"));
    click(".palette-swatches [data-palette='Neon']");
    QCOMPARE(inUse(), QStringLiteral("Neon"));
    edit("input[data-key=wire_color][data-hex]", "#123456");
    QCOMPARE(inUse(), QStringLiteral("Your own colours"));
    const QString own = js("JSON.stringify([Studio.studio.model.get('bg_color'), Studio.studio.model.get('wire_color')])")
                                .toString();

    // Saved under a name: a swatch of its own, kept for the next start.
    whenShown<QInputDialog>([](QInputDialog *dialog) {
        dialog->setTextValue(QStringLiteral("Mine"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    click("[data-action=save-palette]");
    QCOMPARE(inUse(), QStringLiteral("Mine"));
    QCOMPARE(js("Studio.studio.store.value('palettes', []).map(function (p) { return p.name; }).join()").toString(),
             QStringLiteral("Mine"));
    click(".palette-swatches [data-palette='Paper']");
    click(".palette-swatches [data-palette='Mine']");
    QCOMPARE(js("JSON.stringify([Studio.studio.model.get('bg_color'), Studio.studio.model.get('wire_color')])").toString(),
             own);

    // Imported: a palette file by its name, a preset by its file's name; anything else is refused.
    QVERIFY(writeFile(dir.filePath("sunset.json"),
                      R"({"name": "Sunset", "colours": [[40, 10, 30], [255, 140, 60], [40, 10, 30], [255, 220, 120]]})"));
    QVERIFY(writeFile(dir.filePath("board.json"),
                      R"({"seed": 1, "bg_color": [1, 2, 3], "wire_color": [4, 5, 6], "inside_hole_color": [7, 8, 9],)"
                      R"( "signal_color": [10, 11, 12]})"));
    QVERIFY(writeFile(dir.filePath("notes.json"), R"({"text": "no colours here"})"));
    for (const QString &file : {QStringLiteral("sunset.json"), QStringLiteral("board.json"), QStringLiteral("notes.json")}) {
        answerFileDialog(dir.filePath(file));
        click("[data-action=import-palette]");
    }
    QVERIFY2(status().startsWith("Could not import notes.json"), qPrintable(status()));
    QCOMPARE(js("Studio.studio.colours.own.map(function (p) { return p.name; }).join()").toString(),
             QStringLiteral("Mine,Sunset,board"));
    click(".palette-swatches [data-palette='board']");
    QCOMPARE(js("String(Studio.studio.model.get('signal_color'))").toString(), QStringLiteral("10,11,12"));
    js("Studio.studio.colours.own = []; Studio.studio.store.setValue('palettes', []); Studio.studio.colours.render();");
}

void TestStudioApp::recentSeedsHoldOnlyCommittedSeeds()
{
    const QString seed = "input.number[data-key=seed]";
    for (const char *typed : {"7", "77", "777", "777777"}) {
        js("document.querySelector(" + jsString(seed) + ").value = '" + QLatin1String(typed) + "';");
        fire(seed, "input");
    }
    fire(seed, "change");
    QCOMPARE(mapValue("seed").toInt(), 777777);
    QCOMPARE(js("document.querySelector(" + jsString(seed) + ").value").toString(), QStringLiteral("777777"));
    QCOMPARE(js("$('.seed-chip').map(function () { return this.textContent; }).get().slice(0, 2).join(' ')").toString(),
             QStringLiteral("777777 4242"));
    QCOMPARE(js("$('.seed-chip[data-seed=7], .seed-chip[data-seed=77], .seed-chip[data-seed=777]').length").toInt(), 0);
    click("[data-action=step-up-seed]");
    QCOMPARE(mapValue("seed").toInt(), 777778);
    QCOMPARE(js("$('input[type=range][data-key=seed]').length").toInt(), 0);
}

void TestStudioApp::savingOverAnotherPresetAsksAndCanBeUndone()
{
    edit("input.number[data-key=wire_thickness]", "3.5");
    edit("input[data-key=preset-name]", "Kept");
    click("[data-action=save-preset]");
    js("Studio.run('file.new');");
    edit("input.number[data-key=wire_thickness]", "0.5");
    edit("input[data-key=preset-name]", "Kept");

    answerMessageBox("Cancel");
    click("[data-action=save-preset]");
    QCOMPARE(storedPreset("Kept", "wire_thickness"), QStringLiteral("3.5"));
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace"));

    answerMessageBox("Replace");
    click("[data-action=save-preset]");
    QCOMPARE(storedPreset("Kept", "wire_thickness"), QStringLiteral("0.5"));
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Kept"));
    QVERIFY(js("$('.notice [data-notice-action=Undo]').is(':visible')").toBool());
    screenshot("preset-replaced");
    click(".notice [data-notice-action=Undo]");
    QCOMPARE(storedPreset("Kept", "wire_thickness"), QStringLiteral("3.5"));
    // The artwork no longer matches the preset it is named after.
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Kept (unsaved changes)"));
    QVERIFY(js("$('.preset-list li.current').hasClass('modified')").toBool());

    answerMessageBox("Delete");
    click(".preset-list li[data-preset=Kept] [data-action=delete]");
    QCOMPARE(js("Studio.studio.store.presetId('Kept')").toString(), QString());
    click(".notice [data-notice-action=Undo]");
    QCOMPARE(storedPreset("Kept", "wire_thickness"), QStringLiteral("3.5"));
    js("var s = Studio.studio.store; s.deletePreset(s.presetId('Kept')); Studio.studio.presets.setCurrent('');");
}

void TestStudioApp::undoingAnImportRestoresThePresetName()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("Imported board.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"seed": 99, "wire_thickness": 2.5})");
    file.close();
    answerFileDialog(file.fileName());
    QAction *import = menuAction("Import preset…");
    QVERIFY(import);
    import->trigger();
    QCOMPARE(mapValue("seed").toInt(), 99);
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Imported board"));
    QCOMPARE(js("$('.preset-list li.current').attr('data-preset')").toString(), QStringLiteral("Imported board"));

    click(".toolbar [data-command='edit.undo']");
    QCOMPARE(mapValue("seed").toInt(), 4242);
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace"));
    QCOMPARE(js("document.querySelector('[data-key=preset-name]').value").toString(), QString());
    QCOMPARE(js("$('.preset-list li.current').length").toInt(), 0);
    click(".toolbar [data-command='edit.redo']");
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Imported board"));

    // A file that is no parameter map changes nothing, not even the recent seeds.
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(R"({"seed": "abc"})");
    file.close();
    answerFileDialog(file.fileName());
    import->trigger();
    QVERIFY2(status().startsWith("Could not import"), qPrintable(status()));
    QCOMPARE(mapValue("seed").toInt(), 99);
    QCOMPARE(js("$('.seed-chip[data-seed=0]').length").toInt(), 0);
    js("var s = Studio.studio.store; s.deletePreset(s.presetId('Imported board')); "
       "Studio.studio.presets.setCurrent('');");
}

void TestStudioApp::presetKeepsItsMaskImageWhereTheFileIsGone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("logo.png");
    QImage mask(400, 100, QImage::Format_RGB32);
    mask.fill(Qt::black);
    QPainter painter(&mask);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(40, 10, 300, 80));
    painter.end();
    QVERIFY(mask.save(path));
    js("$('[data-key=mask_type]').val('image').trigger('change');");
    edit("input.number[data-key=masking]", "0.9");
    js("Studio.studio.model.set('mask_file_path', " + jsString(path) + "); Studio.studio.history.commit();");
    QTRY_COMPARE(js("document.querySelector('.mask-thumbnail').naturalWidth").toInt(), 200);
    const QByteArray masked = settledPreview();
    edit("input[data-key=preset-name]", "Portable");
    click("[data-action=save-preset]");
    QVERIFY(js("$('.preset-list li[data-preset=Portable] .preset-thumbnail').attr('src')")
                    .toString()
                    .startsWith("data:image/png"));
    exportThroughMenu("Export preset…", dir.filePath("portable.json"));
    const QJsonObject exported = QJsonDocument::fromJson(readFile(dir.filePath("portable.json"))).object();
    QCOMPARE(exported.value("mask_image").toObject().value("width").toInt(), 200);
    QCOMPARE(exported.value("mask_image").toObject().value("height").toInt(), 50);

    // The image file is gone, as on another machine: the preset still gives the same artwork.
    QVERIFY(QFile::remove(path));
    QTRY_VERIFY_WITH_TIMEOUT(js("$('[data-info=mask-problem]').is(':visible')").toBool(), 5000);
    QVERIFY(settledPreview() != masked);
    click(".preset-list li[data-preset=Portable] .preset-name");
    QVERIFY2(mapValue("mask_file_path").toString().startsWith(home.filePath("data/Lumatrace/masks/logo-")),
             qPrintable(mapValue("mask_file_path").toString()));
    QVERIFY(!js("$('[data-info=mask-problem]').is(':visible')").toBool());
    QCOMPARE(settledPreview(), masked);
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Portable"));

    js("Studio.run('file.new');");
    answerFileDialog(dir.filePath("portable.json"));
    menuAction("Import preset…")->trigger();
    QVERIFY2(mapValue("mask_file_path").toString().endsWith(".pgm"), qPrintable(mapValue("mask_file_path").toString()));
    QCOMPARE(settledPreview(), masked);
    screenshot("portable-preset");
    js("var s = Studio.studio.store; s.presets().forEach(function (p) { s.deletePreset(p.id); });"
       " Studio.studio.presets.setCurrent('');");
}

void TestStudioApp::draggingOnTheArtworkEditsThePlacedItem_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QString>("check");
    // The default chip of 8 × 5 cells at the centre covers columns 21 to 29 and rows 15 to
    // 20 of 12-pixel cells: its body spans 0.42 to 0.6 across, its corner sits at 360, 252.
    QTest::newRow("a chip's body moves the chip")
            << "" << QPointF(0.55, 0.52) << QPointF(0.35, 0.42)
            << "var c = Studio.studio.model.map.chips[0]; Math.abs(c.x - 0.3) < 0.005 && c.w === 8";
    QTest::newRow("a chip's corner resizes it about its centre")
            << "" << QPointF(30 * 12 / 600.0, 21 * 12 / 400.0) << QPointF(33 * 12 / 600.0, 23 * 12 / 400.0)
            << "var c = Studio.studio.model.map.chips[0]; c.w === 14 && c.h === 9 && c.x === 0.5";
    QTest::newRow("an adjustment's rim handle sets its radius")
            << "Studio.studio.model.addItem('adjustments', {x: 0.25, y: 0.25, radius: 0.05});"
               " Studio.studio.history.commit();"
            << QPointF(0.25 + std::sqrt(0.05 * std::log(4.0)), 0.25 * 408 / 400.0)
            << QPointF(0.25 + std::sqrt(0.1 * std::log(4.0)), 0.25 * 408 / 400.0)
            << "Math.abs(Studio.studio.model.map.adjustments[0].radius - 0.1) < 0.003";
    QTest::newRow("a horizontal modifier's end dragged up becomes vertical")
            << "Studio.studio.model.addItem('modificators', {x1: 0.1, y1: 0.8, x2: 0.3, y2: 0.8, direction: 3});"
               " Studio.studio.history.commit();"
            << QPointF(0.3, 0.8 * 408 / 400.0) << QPointF(0.1, 0.1)
            << "Studio.studio.model.map.modificators[0].direction === 1";
}

void TestStudioApp::draggingOnTheArtworkEditsThePlacedItem()
{
    QFETCH(QString, setup);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(QString, check);
    js(setup);
    dragOnStage(from, to);
    QVERIFY2(js(check).toBool(),
             qPrintable(js("JSON.stringify(Studio.studio.model.map.chips) + "
                           "JSON.stringify(Studio.studio.model.map.adjustments) + "
                           "JSON.stringify(Studio.studio.model.map.modificators)")
                                .toString()));
}

void TestStudioApp::wheelOverAFocusedNumberFieldScrollsThePanel()
{
    const QString field = ".panel.left input.number[data-key=wire_thickness]";
    click(field);
    QVERIFY(js("document.activeElement === document.querySelector(" + jsString(field) + ")").toBool());
    const QPoint at = pointIn(field);
    const int scrolled = js("document.querySelector('.panel.left .panel-scroll').scrollTop").toInt();
    QWheelEvent wheel(at, view()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    QTest::qWait(20);
    QCOMPARE(mapValue("wire_thickness").toDouble(), 1.2);
    QCOMPARE(js("document.querySelector(" + jsString(field) + ").value").toString(), QStringLiteral("1.2"));
    QVERIFY(js("document.querySelector('.panel.left .panel-scroll').scrollTop").toInt() > scrolled);
}

void TestStudioApp::toolbarAndLabelsFitANarrowWindow()
{
    js("app.win.setSize(1000, 700);");
    QTRY_COMPARE(view()->width(), 1000);
    QTest::qWait(50);
    screenshot("window-1000");
    // Every button of the toolbar on one line, inside the window.
    QCOMPARE(js("var tops = $('.toolbar button').map(function () { return this.getBoundingClientRect().top; }).get();"
                " Math.max.apply(null, tops) - Math.min.apply(null, tops)")
                     .toInt(),
             0);
    QVERIFY(js("$('.toolbar button').get().every(function (b) { var r = b.getBoundingClientRect();"
               " return r.right <= window.innerWidth && r.height < 34; })")
                    .toBool());
    // Nothing sticks out of the parameter panel, and no label of it is cut.
    QCOMPARE(js("$('.panel.left .field:visible').filter(function () { var r = this.getBoundingClientRect();"
                " return $(this).children(':visible').get().some(function (c) {"
                " return c.getBoundingClientRect().right > r.right + 1; }); })"
                ".map(function () { return this.getAttribute('data-field'); }).get().join(', ')")
                     .toString(),
             QString());
    QCOMPARE(js("$('.panel.left .field > label:visible').filter(function () { return this.scrollWidth > "
                "this.clientWidth; }).map(function () { return this.textContent; }).get().join(', ')")
                     .toString(),
             QString());
    // A message longer than the status line shows whole over the artwork.
    const QString message = "Exported PNG: " + QString("a-long-file-name.png (85.9 KB), ").repeated(8);
    js("Studio.status.show(" + jsString(message) + ");");
    QCOMPARE(js("$('.notice.on .notice-text').text()").toString(), message);
    js("Studio.status.show('Short.');");
    js("app.win.setSize(1280, 800);");
}

void TestStudioApp::pickerPrintAndVariationsFitTheWindow_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("1280 × 800") << 1280;
    QTest::newRow("1000 wide") << 1000;
}

void TestStudioApp::pickerPrintAndVariationsFitTheWindow()
{
    QFETCH(int, width);
    js(QStringLiteral("app.win.setSize(%1, 800);").arg(width));
    QTRY_COMPARE(view()->width(), width);
    QTest::qWait(50);
    QCOMPARE(js("$('.toolbar button').filter(function () { return this.getBoundingClientRect().right > window.innerWidth; })"
                ".map(function () { return this.textContent; }).get().join(', ')")
                     .toString(),
             QString());
    // Every channel of an open picker inside it, every hex field showing its whole colour.
    js("$('.picker.open').removeClass('open');");
    click("[data-action=pick-signal_color]");
    QVERIFY(js("$('[data-picker-for=signal_color]').is(':visible')").toBool());
    QCOMPARE(js("var p = document.querySelector('[data-picker-for=signal_color]').getBoundingClientRect();"
                " $('[data-picker-for=signal_color] input.channel').filter(function () {"
                " var r = this.getBoundingClientRect(); return r.right > p.right - 1 || r.left < p.left; }).length")
                     .toInt(),
             0);
    QCOMPARE(js("$('input.hex').filter(function () { return this.scrollWidth > this.clientWidth; }).length").toInt(), 0);
    screenshot(QStringLiteral("picker-%1").arg(width));
    click("[data-action=pick-signal_color]");
    // Every control of the export panel inside the panel, whatever print kind is chosen.
    js("$('[data-group=exports]').removeClass('collapsed'); $('[data-key=print-kind]').val('artwork-svg').trigger('change');");
    const QString outside = js("var panel = document.querySelector('.panel.right').getBoundingClientRect();"
                               " $('.panel.right .export-block').find('select:visible, input:visible, button:visible')"
                               ".filter(function () { var r = this.getBoundingClientRect();"
                               " return r.right > panel.right || r.left < panel.left; })"
                               ".map(function () { return this.getAttribute('data-key') || this.textContent; })"
                               ".get().join(', ')")
                                    .toString();
    QVERIFY2(outside.isEmpty(), qPrintable(outside));
    pointIn(".print-export");
    screenshot(QStringLiteral("print-%1").arg(width));
    // The variation header on one line.
    js("Studio.studio.variations.open();");
    QTRY_COMPARE_WITH_TIMEOUT(js("Studio.studio.variations.rendered").toInt(), 9, 30000);
    // No part taller than a button (a wrapped text is), none past the bar's end.
    const QString lines = js("var bar = document.querySelector('.variation-bar').getBoundingClientRect();"
                             " $('.variation-bar').children().get().map(function (c) { var r = c.getBoundingClientRect();"
                             " return r.height <= 34 && r.right <= bar.right ? '' : c.textContent; }).join('')")
                                  .toString();
    screenshot(QStringLiteral("variations-%1").arg(width));
    js("Studio.studio.variations.close(); app.win.setSize(1280, 800);");
    QVERIFY2(lines.isEmpty(), qPrintable(lines));
}

void TestStudioApp::zoomKeepsThePointUnderTheMouseAndPlacingStaysExact()
{
    js("Studio.studio.preview.setZoom('fit');");
    const QPoint at = pointIn(".stage", 0.3, 0.4);
    const QVariantList before
            = js("var r = document.querySelector('.stage').getBoundingClientRect(); [r.width];").toList();
    // Four notches make the artwork larger than the view both ways, so it need not be centred.
    QWheelEvent wheel(at, view()->mapToGlobal(at), QPoint(), QPoint(0, 480), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    QTRY_VERIFY(js("Studio.studio.preview.zoomMode !== 'fit'").toBool());
    const QVariantList box = js("var r = document.querySelector('.stage').getBoundingClientRect();"
                                " [r.left, r.top, r.width, r.height];")
                                     .toList();
    QVERIFY(box[2].toDouble() > before[0].toDouble() * 2.4);
    // The point of the artwork under the mouse stays there, to a pixel.
    QVERIFY2(qAbs(box[0].toDouble() + 0.3 * box[2].toDouble() - at.x()) <= 1.5, qPrintable(box[0].toString()));
    QVERIFY2(qAbs(box[1].toDouble() + 0.4 * box[3].toDouble() - at.y()) <= 1.5, qPrintable(box[1].toString()));

    // At 200 %, moved by a space-drag, a chip lands where it is clicked.
    click(".toolbar [data-command='view.double']");
    QCOMPARE(js("document.querySelector('.stage').getBoundingClientRect().width").toInt(), 1200);
    const QPoint middle = pointIn(".scroller", 0.5, 0.5);
    const int scrolled = js("document.querySelector('.scroller').scrollLeft").toInt();
    // A field still being edited: a click on the artwork ends that, and then with the chip
    // tool a press on the artwork would place a chip; with space held it pans.
    click("input.number[data-key=wire_thickness]");
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, middle);
    QCOMPARE(js("document.activeElement.tagName").toString(), QStringLiteral("BODY"));
    click(".toolbar [data-tool=chips]");
    QTest::keyPress(view(), Qt::Key_Space);
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, middle);
    for (int step = 1; step <= 4; ++step) {
        QMouseEvent move(QEvent::MouseMove, middle - QPoint(25 * step, 0), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view(), &move);
    }
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, middle - QPoint(100, 0));
    QTest::keyRelease(view(), Qt::Key_Space);
    QCOMPARE(js("document.querySelector('.scroller').scrollLeft").toInt(), scrolled + 100);
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 1);

    const QVariantList stage
            = js("var r = document.querySelector('.stage').getBoundingClientRect(); [r.left, r.top];").toList();
    // Up and left of the middle, clear of the chip at the centre of the artwork.
    const QPoint target = middle + QPoint(-203, -151);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, target);
    QTRY_COMPARE(js("Studio.studio.model.map.chips.length").toInt(), 2);
    const QVariantMap chip = js("Studio.studio.model.map.chips[1]").toMap();
    // Two view pixels are one artwork pixel; the grid is 600 × 408 pixels.
    const double x = (target.x() - stage[0].toDouble()) / 2 / 600;
    const double y = (target.y() - stage[1].toDouble()) / 2 / 408;
    QVERIFY2(qAbs(chip.value("x").toDouble() - x) < 0.002, qPrintable(chip.value("x").toString()));
    QVERIFY2(qAbs(chip.value("y").toDouble() - y) < 0.002, qPrintable(chip.value("y").toString()));

    // Dragged by its body 100 view pixels right, the chip moves 50 artwork pixels.
    click(".toolbar [data-tool=select]");
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, target + QPoint(0, 8));
    for (int step = 1; step <= 4; ++step) {
        QMouseEvent move(QEvent::MouseMove, target + QPoint(25 * step, 8), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view(), &move);
    }
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, target + QPoint(100, 8));
    const double moved = js("Studio.studio.model.map.chips[1].x").toDouble();
    QVERIFY2(qAbs(moved - (chip.value("x").toDouble() + 50.0 / 600)) < 0.002, qPrintable(QString::number(moved)));
    screenshot("zoom-200");
    js("Studio.studio.preview.setZoom('fit');");
}

void TestStudioApp::compareFlipsBetweenTheSnapshotAndTheCurrentArtwork()
{
    const auto stagePixels = [this] {
        QTest::qWait(50);
        const QVariantList r = js("var r = document.querySelector('.stage').getBoundingClientRect();"
                                  " [r.left, r.top, r.width, r.height];")
                                       .toList();
        return view()->grab(QRect(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt())).toImage();
    };
    js("Studio.studio.placement.setVisible(false);");
    settledPreview();
    const QImage a = stagePixels();
    click(".toolbar [data-command='view.keepA']");
    // A is the picture on screen, whatever scale the preview was drawn at.
    QTRY_VERIFY(js("var s = document.querySelector('[data-info=snapshot]');"
                   " s.naturalWidth > 0 && s.naturalWidth === document.querySelector('.stage "
                   "img.artwork:not(.snapshot)').naturalWidth")
                        .toBool());
    edit("input.number[data-key=wire_thickness]", "3");
    settledPreview();
    const QImage b = stagePixels();
    QVERIFY(a != b);

    click(".toolbar [data-command='view.flip']");
    QVERIFY(js("Studio.studio.compare.showingA").toBool());
    QVERIFY(js("$('[data-info=compare-badge]').text()").toString().startsWith("A"));
    const QImage shownA = stagePixels();
    QCOMPARE(shownA, a);
    screenshot("compare-a");
    click(".toolbar [data-command='view.flip']");
    QCOMPARE(stagePixels(), b);

    // An edit while A shows is an edit of B, so B comes back.
    click(".toolbar [data-command='view.flip']");
    edit("input.number[data-key=wire_thickness]", "2");
    QVERIFY(!js("Studio.studio.compare.showingA").toBool());
    js("Studio.studio.placement.setVisible(true);");
}

void TestStudioApp::playShowsLoopFramesAndPauseTheStillAgain()
{
    settledPreview();
    edit("[data-key=export-loop-frames]", "12");
    edit("[data-key=export-loop-fps]", "30");
    click("[data-command='view.play']");
    QCOMPARE(js("$('[data-command=\"view.play\"]').text()").toString(), QStringLiteral("❚❚Pause"));
    QTRY_VERIFY(js("Studio.studio.player.framesShown >= 2").toBool());
    const int stills = shownImages();
    QTRY_VERIFY(js("Studio.studio.player.framesShown >= 8").toBool());
    QVERIFY(js("document.querySelector('img.artwork').src").toString().contains("drc:lumatrace_loop_frame?n="));
    // Frames of the preview's size, none counted as a new artwork shown.
    QCOMPARE(QImage::fromData(ovex->dynamicResources()->get(QStringLiteral("lumatrace_loop_frame"))).size(),
             QImage::fromData(previewBytes()).size());
    QCOMPARE(shownImages(), stills);
    // Zooming while playing keeps playing.
    click(".toolbar [data-command='view.double']");
    const int frames = js("Studio.studio.player.framesShown").toInt();
    QTRY_VERIFY(js("Studio.studio.player.framesShown").toInt() > frames + 2);
    js("$('[data-key=batch-kind]').val('loop-webm').trigger('change');"
       " document.querySelector('.loop-export').scrollIntoView(); 0");
    screenshot("playing");
    js("$('[data-key=batch-kind]').val('png').trigger('change');");

    click("[data-command='view.play']");
    QVERIFY(!js("Studio.studio.player.playing").toBool());
    QTRY_VERIFY(js("document.querySelector('img.artwork').src").toString().contains("drc:lumatrace_result?n="));
    QCOMPARE(js("$('[data-command=\"view.play\"]').text()").toString(), QStringLiteral("▶Play"));
    const int stopped = js("Studio.studio.player.framesShown").toInt();
    QTest::qWait(200);
    QCOMPARE(js("Studio.studio.player.framesShown").toInt(), stopped);
    js("Studio.studio.preview.setZoom('fit');");
}

void TestStudioApp::playingGoesOnOverAnEditedArtwork()
{
    js("Studio.studio.player.play();");
    QTRY_VERIFY(js("Studio.studio.player.framesShown > 0").toBool());
    edit("input.number[data-key=wire_thickness]", "3");
    const QByteArray edited = settledPreview();
    QVERIFY(!edited.isEmpty());
    const int frames = js("Studio.studio.player.framesShown").toInt();
    QTRY_VERIFY(js("Studio.studio.player.framesShown").toInt() > frames + 2);
    // An export reads the map into the generator; playing picks up after it.
    QTemporaryDir out;
    exportThroughMenu("Export PNG…", out.filePath("still.png"));
    QVERIFY2(status().startsWith("Exported PNG"), qPrintable(status()));
    const int afterExport = js("Studio.studio.player.framesShown").toInt();
    QTRY_VERIFY(js("Studio.studio.player.framesShown").toInt() > afterExport + 2);
    js("Studio.studio.player.pause();");
}

void TestStudioApp::keyPTogglesPlayingExceptWhileTyping_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("P over the artwork plays") << "" << true;
    QTest::newRow("P in a number field is typed") << "input.number[data-key=wire_thickness]" << false;
    QTest::newRow("P in the seed list is typed") << "[data-key=batch-seeds]" << false;
}

void TestStudioApp::keyPTogglesPlayingExceptWhileTyping()
{
    QFETCH(QString, focus);
    QFETCH(bool, toggles);
    js("document.activeElement && document.activeElement.blur();");
    if (!focus.isEmpty())
        js("document.querySelector(" + jsString(focus) + ").focus();");
    QTest::keyClick(view(), Qt::Key_P);
    QCOMPARE(js("Studio.studio.player.playing").toBool(), toggles);
    QTest::keyClick(view(), Qt::Key_P);
    QVERIFY(!js("Studio.studio.player.playing").toBool());
    js("document.activeElement && document.activeElement.blur();");
}

void TestStudioApp::splitShowsTheSnapshotLeftOfTheLineAndTheCurrentArtworkRight()
{
    js("Studio.run('view.keepA');");
    QTRY_VERIFY(js("JSON.stringify(Studio.studio.compare.map) === JSON.stringify(Studio.studio.model.map)").toBool());
    const int shown = shownImages();
    js("Studio.studio.model.set('seed', 5151); Studio.studio.history.commit();");
    QTRY_VERIFY(shownImages() > shown && !js("Studio.studio.preview.pending || !!Studio.studio.preview.timer").toBool());
    QTest::qWait(50);
    // What the view shows at a point, of A alone, of B alone and of the split.
    const QPoint left = pointIn(".stage", 0.3, 0.2);
    const QPoint right = pointIn(".stage", 0.7, 0.8);
    const auto colourAt = [this](const QPoint &at) { return view()->grab().toImage().pixel(at); };
    js("Studio.run('view.flip');");
    const QRgb aLeft = colourAt(left);
    js("Studio.run('view.flip');");
    const QRgb bLeft = colourAt(left), bRight = colourAt(right);
    QVERIFY(aLeft != bLeft);
    click(".toolbar [data-command='view.split']");
    QVERIFY(js("$('.viewport').hasClass('split') && $('[data-info=split-divider]').is(':visible')").toBool());
    QCOMPARE(colourAt(left), aLeft);
    QCOMPARE(colourAt(right), bRight);
    screenshot("split");
    // The line drags: left of it A, right of it B.
    const QPoint line = pointIn("[data-info=split-divider]");
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, line);
    moveMouse(QPoint(pointIn(".stage", 0.2, 0.5).x(), line.y()), Qt::LeftButton);
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, QPoint(pointIn(".stage", 0.2, 0.5).x(), line.y()));
    QVERIFY(qAbs(js("Studio.studio.compare.splitAt").toDouble() - 0.2) < 0.01);
    QCOMPARE(colourAt(left), bLeft);
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 1);
    // An edit keeps the split; the button ends it.
    js("Studio.studio.model.set('seed', 5152); Studio.studio.history.commit();");
    QVERIFY(js("$('.viewport').hasClass('split')").toBool());
    click(".toolbar [data-command='view.split']");
    QVERIFY(!js("$('.viewport').hasClass('split') || $('.artwork.snapshot').is(':visible')").toBool());
}

void TestStudioApp::wheelZoomFromFitKeepsThePointUnderTheMouse_data()
{
    QTest::addColumn<int>("notches");
    QTest::addColumn<QPointF>("point");
    // One notch leaves the artwork narrower than the view one way or both: it must not be
    // centred there, or it jumps under the mouse.
    QTest::newRow("one notch near the top left") << 1 << QPointF(0.2, 0.15);
    QTest::newRow("one notch near the bottom right") << 1 << QPointF(0.85, 0.9);
    QTest::newRow("two notches in the middle") << 2 << QPointF(0.5, 0.45);
}

void TestStudioApp::wheelZoomFromFitKeepsThePointUnderTheMouse()
{
    QFETCH(int, notches);
    QFETCH(QPointF, point);
    js("Studio.studio.preview.setZoom('fit');");
    const QPoint at = pointIn(".stage", point.x(), point.y());
    const double width = js("document.querySelector('.stage').getBoundingClientRect().width").toDouble();
    QWheelEvent wheel(at, view()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    QTRY_VERIFY(js("Studio.studio.preview.zoomMode !== 'fit'").toBool());
    const auto under = [this, point, at] {
        const QVariantList box = js("var r = document.querySelector('.stage').getBoundingClientRect();"
                                    " [r.left, r.top, r.width, r.height];")
                                         .toList();
        return QPointF(box[0].toDouble() + point.x() * box[2].toDouble() - at.x(),
                       box[1].toDouble() + point.y() * box[3].toDouble() - at.y());
    };
    QVERIFY(js("document.querySelector('.stage').getBoundingClientRect().width").toDouble() > width * 1.2);
    QVERIFY2(qAbs(under().x()) <= 1.5 && qAbs(under().y()) <= 1.5,
             qPrintable(QStringLiteral("%1, %2").arg(under().x()).arg(under().y())));
    // Nor does the next image of the artwork move it.
    const int shown = shownImages();
    js("Studio.studio.model.set('seed', 4343);");
    QTRY_VERIFY(shownImages() > shown);
    QVERIFY2(qAbs(under().x()) <= 1.5 && qAbs(under().y()) <= 1.5,
             qPrintable(QStringLiteral("%1, %2").arg(under().x()).arg(under().y())));
}

void TestStudioApp::spaceOverTheArtworkPansWhateverWasClickedLast_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("tool");
    QTest::newRow("Colours ▸ New, then a space-drag with the select tool") << "[data-action=new-palette]"
                                                                            << "select";
    QTest::newRow("Colours ▸ New, then a space-drag with the chip tool") << "[data-action=new-palette]"
                                                                          << "chips";
    QTest::newRow("the seed's + button, then a space-drag with the adjustment tool")
            << "[data-action=step-up-seed]"
            << "adjustments";
}

void TestStudioApp::spaceOverTheArtworkPansWhateverWasClickedLast()
{
    QFETCH(QString, clicked);
    QFETCH(QString, tool);
    click(".toolbar [data-command='view.double']");
    js("Studio.studio.placement.setTool(" + jsString(tool) + ");");
    click(clicked);
    QCOMPARE(js("document.activeElement === document.querySelector(" + jsString(clicked) + ")").toBool(), true);
    const QString map = js("JSON.stringify(Studio.studio.model.map)").toString();
    const int steps = js("Studio.studio.history.states.length").toInt();
    const QPoint middle = pointIn(".scroller", 0.5, 0.5);
    const int scrolled = js("document.querySelector('.scroller').scrollLeft").toInt();
    spaceDrag(middle, QPoint(-90, 0));
    QCOMPARE(js("document.querySelector('.scroller').scrollLeft").toInt(), scrolled + 90);
    QCOMPARE(js("JSON.stringify(Studio.studio.model.map)").toString(), map);
    QCOMPARE(js("Studio.studio.history.states.length").toInt(), steps);
    // Away from the artwork the key presses the focused button, as it should.
    moveMouse(pointIn(clicked));
    js("document.querySelector(" + jsString(clicked) + ").focus();");
    QTest::keyClick(view(), Qt::Key_Space);
    QTRY_COMPARE(js("Studio.studio.history.states.length").toInt(), steps + 1);
    js("Studio.studio.preview.setZoom('fit');");
}

void TestStudioApp::undoThatMendsAnErrorClearsItsRedText()
{
    edit("input.number[data-key=width]", "4096");
    edit("[data-key=export-png-scale]", "2000");
    QAction *exportPng = menuAction("Export PNG…");
    QVERIFY(exportPng);
    exportPng->trigger();
    QVERIFY2(js("Studio.status.kind").toString() == "error", qPrintable(status()));
    QVERIFY(js("$('.status-message').hasClass('error')").toBool());
    js("Studio.run('edit.undo');");
    QCOMPARE(mapValue("width").toInt(), 600);
    QCOMPARE(js("Studio.status.kind").toString(), QStringLiteral("info"));
    QVERIFY(!js("$('.status-message').hasClass('error') || $('.notice').hasClass('error')").toBool());
    edit("[data-key=export-png-scale]", "200");
}

void TestStudioApp::typingTheFirstMaskTextShowsItAtOnce()
{
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 1);
    const QString field = "input[data-key=mask_text]";
    click(field);
    QTest::keyClicks(view(), "LUMA");
    // Full strength at the first letter: a weaker mask only thins the wires.
    QCOMPARE(mapValue("masking").toDouble(), 1.0);
    QCOMPARE(js("document.querySelector('input.number[data-key=masking]').value").toString(), QStringLiteral("1"));
    // The chip of a new artwork would cover the word; it makes room, and Undo brings it back.
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 0);
    QVERIFY2(status().contains("made room"), qPrintable(status()));
    js("document.activeElement.blur();");
    js("Studio.run('edit.undo');");
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 1);
    QCOMPARE(mapValue("mask_text").toString(), QString());
    // A chip the user placed stays.
    js("Studio.studio.model.updateItem('chips', 0, {x: 0.2}); Studio.studio.history.commit();");
    click(field);
    QTest::keyClicks(view(), "AB");
    QCOMPARE(js("Studio.studio.model.map.chips.length").toInt(), 1);
    js("document.activeElement.blur();");
}

void TestStudioApp::printBatchSnapshotAndUnsavedMarkAreRestoredAtTheNextStart()
{
    QTemporaryDir out;
    js("Studio.studio.presets.saveAs('Kept');");
    edit("input.number[data-key=dot_size]", "2");
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Kept (unsaved changes)"));
    js("$('[data-key=print-kind]').val('pdf'); $('[data-key=print-paper]').val('A3');"
       " $('[data-key=print-orientation]').val('landscape').trigger('change');");
    edit("[data-key=print-dpi]", "150");
    js("Studio.studio.batch.setFolder(" + jsString(out.path()) + ");");
    js("$('[data-key=batch-kind]').val('bin'); $('[data-key=batch-size-mode]').val('print').trigger('change');");
    edit("[data-key=batch-seeds]", "5-9, 12");
    js("Studio.run('view.keepA');");
    QTRY_VERIFY(js("JSON.stringify(Studio.studio.compare.map) === JSON.stringify(Studio.studio.model.map)").toBool());
    const QString snapshot = js("JSON.stringify(Studio.studio.compare.map)").toString();
    js("Studio.studio.model.set('seed', 777); Studio.studio.history.commit();");
    QTest::qWait(600); // the state is saved a moment after the last change
    stopStudio();
    startStudio();

    QCOMPARE(js("['kind', 'paper', 'orientation', 'dpi'].map(function (k) {"
                " return $('[data-key=print-' + k + ']').val(); }).join(' ')")
                     .toString(),
             QStringLiteral("pdf A3 landscape 150"));
    QCOMPARE(js("[$('[data-key=batch-seeds]').val(), $('[data-key=batch-kind]').val(),"
                " $('[data-key=batch-size-mode]').val(), Studio.studio.batch.folder].join('|')")
                     .toString(),
             "5-9, 12|bin|print|" + out.path());
    QCOMPARE(js("JSON.stringify(Studio.studio.compare.map)").toString(), snapshot);
    QVERIFY(!js("$('.toolbar [data-command=\"view.flip\"]').prop('disabled')").toBool());
    js("Studio.run('view.flip');");
    QVERIFY(js("Studio.studio.compare.showingA").toBool());
    QTRY_COMPARE(js("document.querySelector('.artwork.snapshot').naturalWidth").toInt(), 600);
    QCOMPARE(mapValue("seed").toInt(), 777);
    QCOMPARE(ovex->mainWindow()->windowTitle(), QStringLiteral("Lumatrace — Kept (unsaved changes)"));
    QVERIFY(js("$('.preset-list li.current').hasClass('modified')").toBool());
    js("Studio.run('view.flip');");
}

void TestStudioApp::lastStateIsRestoredAtTheNextStart()
{
    edit("[data-key=export-loop-frames]", "30");
    js("$('[data-key=export-loop-format]').val('webm').trigger('change');");
    edit("input.number[data-key=loops]", "4");
    edit("input[data-key=mask_text]", QStringLiteral("Grüße"));
    edit("[data-key=export-rgb-scale]", "37");
    js("Studio.run('view.actual');");
    QTest::qWait(600); // the state is saved a moment after the last change
    stopStudio();
    startStudio();
    QCOMPARE(js("document.querySelector('[data-key=export-rgb-scale]').value").toString(), QStringLiteral("37"));
    QCOMPARE(js("$('[data-key=export-loop-frames]').val() + ' ' + $('[data-key=export-loop-format]').val()").toString(),
             QStringLiteral("30 webm"));
    QCOMPARE(js("Studio.studio.preview.zoomMode").toInt(), 1);
    QCOMPARE(mapValue("loops").toInt(), 4);
    QCOMPARE(mapValue("mask_text").toString(), QStringLiteral("Grüße"));
    QCOMPARE(js("document.querySelector('input.number[data-key=loops]').value").toString(), QStringLiteral("4"));
    QVERIFY(status().startsWith("Welcome back"));

    // A mask image moved away since: the start says so instead of claiming all is restored.
    QTemporaryDir dir;
    QImage mask(200, 100, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QVERIFY(mask.save(dir.filePath("mask.png")));
    js("$('[data-key=mask_type]').val('image').trigger('change');");
    js("Studio.studio.model.set('mask_file_path', " + jsString(dir.filePath("mask.png")) + ");");
    QTest::qWait(600);
    stopStudio();
    QVERIFY(QFile::remove(dir.filePath("mask.png")));
    startStudio();
    QVERIFY2(status().startsWith("Your last artwork is restored, but without its mask"), qPrintable(status()));
    QVERIFY(js("$('[data-info=mask-problem]').is(':visible')").toBool());
    QVERIFY(js("$('.notice.error [data-notice-action]').text()").toString().startsWith("Locate"));
}

QTEST_MAIN(TestStudioApp)
#include "tst_studio_app.moc"
