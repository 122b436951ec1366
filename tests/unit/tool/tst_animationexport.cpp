// The export command's animated loops, run as a real process and read back with FFmpeg's
// command-line decoder: frame 0 is the still, the loop's frames are the same at any multiple
// of the frame count, and bad values are refused naming the option.
#include "toolrunner.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kMap = QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json");

// Every frame of an animation file as RGBA rows, decoded by ffmpeg.
QByteArray decodedFrames(const QString &file)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-v", "error", "-i", file, "-f", "rawvideo", "-pix_fmt", "rgba", "-"});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return QByteArray();
    return ffmpeg.readAllStandardOutput();
}

QByteArray rgbaOf(const QString &pngFile)
{
    const QImage image = QImage(pngFile).convertToFormat(QImage::Format_RGBA8888);
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4);
    return bytes;
}

} // namespace

class TestAnimationExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void loopFramesAreTheStillMoved();
    void videoOfOddSizeGetsAnEvenOne();
    void badValuesAreRefusedNamingTheOption_data();
    void badValuesAreRefusedNamingTheOption();

private:
    QTemporaryDir m_dir;
};

void TestAnimationExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
        QSKIP("ffmpeg is not installed");
}

void TestAnimationExport::loopFramesAreTheStillMoved()
{
    const QString still = m_dir.filePath(QStringLiteral("still.png"));
    const QString four = m_dir.filePath(QStringLiteral("four.png"));
    const QString eight = m_dir.filePath(QStringLiteral("eight.png"));
    const QStringList scale {"--scale", "40", "--seed", "7"};
    QCOMPARE(runLumatrace(QStringList {"export", kMap, still} + scale).exitCode, 0);
    QCOMPARE(runLumatrace(QStringList {"export", kMap, four, "--frames", "4"} + scale).exitCode, 0);
    QCOMPARE(runLumatrace(QStringList {"export", kMap, eight, "--frames", "8", "--fps", "30"} + scale).exitCode, 0);

    const QByteArray stillPixels = rgbaOf(still);
    const int frameBytes = stillPixels.size();
    const QByteArray fourFrames = decodedFrames(four);
    const QByteArray eightFrames = decodedFrames(eight);
    QVERIFY(frameBytes > 0);
    QCOMPARE(fourFrames.size(), 4 * frameBytes);
    QCOMPARE(eightFrames.size(), 8 * frameBytes);
    QVERIFY(fourFrames.left(frameBytes) == stillPixels);
    for (int k = 1; k < 4; ++k) {
        const QByteArray frame = fourFrames.mid(k * frameBytes, frameBytes);
        QVERIFY2(frame == eightFrames.mid(2 * k * frameBytes, frameBytes), qPrintable(QString::number(k)));
        QVERIFY2(frame != stillPixels, "the signals move");
    }
}

void TestAnimationExport::videoOfOddSizeGetsAnEvenOne()
{
    // 600 x 600 at 25.5 % is 153 x 153.
    const QString file = m_dir.filePath(QStringLiteral("odd.mp4"));
    QCOMPARE(runLumatrace({"export", kMap, file, "--frames", "3", "--scale", "25.5"}).exitCode, 0);
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {"-v", "error", "-count_frames", "-show_entries",
                                            "stream=codec_name,width,height,r_frame_rate,nb_read_frames", "-of",
                                            "csv=p=0", file});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.readAllStandardOutput().trimmed(), QByteArray("h264,154,154,24/1,3"));
}

void TestAnimationExport::badValuesAreRefusedNamingTheOption_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("message"); // empty: the usage
    QTest::newRow("one frame") << QStringList {"a.mp4", "--frames", "1"}
                               << QByteArray("--frames 1 is not a frame count from 2 to 1000");
    QTest::newRow("too many frames") << QStringList {"a.gif", "--frames", "1001"}
                                     << QByteArray("--frames 1001 is not a frame count from 2 to 1000");
    QTest::newRow("frames that are no number") << QStringList {"a.png", "--frames", "many"}
                                               << QByteArray("--frames many is not a frame count from 2 to 1000");
    QTest::newRow("no rate") << QStringList {"a.webm", "--fps", "0"}
                             << QByteArray("--fps 0 is not a rate from 1 to 60 frames a second");
    QTest::newRow("too fast") << QStringList {"a.webp", "--fps", "61"}
                              << QByteArray("--fps 61 is not a rate from 1 to 60 frames a second");
    QTest::newRow("frames for an SVG") << QStringList {"a.svg", "--frames", "4"} << QByteArray();
    QTest::newRow("layers of a loop") << QStringList {"a.mp4", "--separate"} << QByteArray();
    QTest::newRow("an artwork loop") << QStringList {"a.gif", "--artwork"} << QByteArray();
}

void TestAnimationExport::badValuesAreRefusedNamingTheOption()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    args[0] = dir.filePath(args[0]);
    const ToolRun run = runLumatrace(QStringList {"export", kMap} + args);
    QCOMPARE(run.exitCode, 2);
    if (message.isEmpty())
        QVERIFY(run.err.startsWith("lumatrace: usage: lumatrace export"));
    else
        QCOMPARE(run.err, "lumatrace: " + message + "\n");
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestAnimationExport)
#include "tst_animationexport.moc"
