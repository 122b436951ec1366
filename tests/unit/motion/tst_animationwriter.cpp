#include "animationwriter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#include <webp/demux.h>

#include <cmath>
#include <cstdlib>

namespace {

// Odd on purpose: MP4 and WebM pad it, the other formats keep it.
constexpr int kWidth = 37;
constexpr int kHeight = 21;
constexpr int kFrames = 8;
// Divides 100 and 1000, so that GIF's and WebP's delays and the rate ffprobe
// works out from them are exact too.
constexpr int kFps = 10;
// A rate they can only approach: frames start within half their time unit.
constexpr int kOddFps = 24;

// A still background with a square that moves right and down, into the
// last column and row so that the padding repeats something visible.
QImage loopFrame(int k, QSize size = QSize(kWidth, kHeight))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((20 + 5 * x) & 255, (40 + 9 * y) & 255, 90));
    }
    const int side = qMax(7, size.height() / 3);
    const int left = k * (size.width() - 1) / (kFrames - 1) - side / 2;
    const int top = k * (size.height() - 1) / (kFrames - 1) - side / 2;
    for (int y = qMax(0, top); y < qMin(size.height(), top + side); ++y) {
        for (int x = qMax(0, left); x < qMin(size.width(), left + side); ++x)
            image.setPixel(x, y, qRgb(250, 220, 30));
    }
    return image;
}

bool encodeLoop(AnimationWriter &writer, QSize size = QSize(kWidth, kHeight))
{
    if (writer.needsPalettePass()) {
        for (int k = 0; k < kFrames; ++k) {
            if (!writer.addPaletteFrame(loopFrame(k, size)))
                return false;
        }
    }
    for (int k = 0; k < kFrames; ++k) {
        if (!writer.writeFrame(loopFrame(k, size)))
            return false;
    }
    return writer.finish();
}

struct Decoded {
    QString failure;
    QVector<QImage> frames;
    // Presentation times in seconds.
    QVector<double> times;
};

// Every frame of the first video stream as RGB32, with FFmpeg's decoders.
Decoded decodeWithFfmpeg(const QString &path)
{
    Decoded decoded;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return {QStringLiteral("cannot open"), {}, {}};
    avformat_find_stream_info(format, nullptr);
    const AVCodec *decoder = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    AVCodecContext *codec = decoder ? avcodec_alloc_context3(decoder) : nullptr;
    if (index < 0 || !codec || avcodec_parameters_to_context(codec, format->streams[index]->codecpar) < 0
        || avcodec_open2(codec, decoder, nullptr) < 0) {
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        return {QStringLiteral("no decodable video stream"), {}, {}};
    }
    const AVRational timeBase = format->streams[index]->time_base;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    auto receive = [&] {
        while (avcodec_receive_frame(codec, frame) >= 0) {
            QImage image(frame->width, frame->height, QImage::Format_RGB32);
            SwsContext *scaler = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                                frame->height, AV_PIX_FMT_BGRA,
                                                SWS_POINT | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
            // Read YUV as the file says it was written: BT.709, limited range.
            if (frame->colorspace == AVCOL_SPC_BT709) {
                sws_setColorspaceDetails(scaler, sws_getCoefficients(SWS_CS_ITU709), 0,
                                         sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
            }
            uint8_t *planes[] = {image.bits()};
            const int strides[] = {int(image.bytesPerLine())};
            sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
            sws_freeContext(scaler);
            decoded.frames.append(image.convertToFormat(QImage::Format_RGB32));
            decoded.times.append(frame->best_effort_timestamp * av_q2d(timeBase));
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(codec, packet) >= 0)
            receive();
        av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    receive();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return decoded;
}

// This FFmpeg does not decode animated WebP; libwebp's own demuxer does.
Decoded decodeWithLibwebp(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot open"), {}, {}};
    const QByteArray bytes = file.readAll();
    WebPData data {reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info))
        return {QStringLiteral("not an animated WebP"), {}, {}};
    Decoded decoded;
    double start = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t *pixels = nullptr;
        int end = 0;
        WebPAnimDecoderGetNext(decoder, &pixels, &end);
        const QImage rgba(pixels, int(info.canvas_width), int(info.canvas_height), QImage::Format_RGBA8888);
        decoded.frames.append(rgba.convertToFormat(QImage::Format_RGB32));
        // libwebp gives each frame's end; its start is the previous end.
        decoded.times.append(start);
        start = end / 1000.0;
    }
    WebPAnimDecoderDelete(decoder);
    return decoded;
}

double meanDifference(const QImage &a, const QImage &b)
{
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return double(sum) / (3.0 * a.width() * a.height());
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAnimationWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formats_data();
    void loopDecodesToItsFramesAtTheirTimes_data() { formats_data(); }
    void loopDecodesToItsFramesAtTheirTimes();
    void ffprobeReportsCodecFramesAndRate_data() { formats_data(); }
    void ffprobeReportsCodecFramesAndRate();
    void sameFramesGiveIdenticalBytes_data() { formats_data(); }
    void sameFramesGiveIdenticalBytes();
    void loopingFormatsLoopForever_data();
    void loopingFormatsLoopForever();
    void fileNamesTellAnimationFormats_data();
    void fileNamesTellAnimationFormats();
    void cancelLeavesNoFileAndKeepsTheOldOne();
    void destroyingBeforeFinishLeavesNoFile();
    void missingFramesGiveErrorAndNoFile();
    void unwritableFolderGivesErrorAndNoFile();
    void missingEncoderModuleGivesErrorAndNoFile();

private:
    QTemporaryDir m_dir;
};

void TestAnimationWriter::formats_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QSize>("size");
    // The mean difference per channel a decoded frame may have; 0 is lossless.
    QTest::addColumn<double>("tolerance");
    // How far from k / fps frame k may start, in seconds.
    QTest::addColumn<double>("timing");
    QTest::newRow("mp4 is H.264 padded to even") << "mp4"
                                                 << "h264" << QSize(38, 22) << 6.0 << 1e-6;
    QTest::newRow("webm is VP9 padded to even, in milliseconds") << "webm"
                                                                 << "vp9" << QSize(38, 22) << 6.0 << 0.0005;
    QTest::newRow("webp is lossless at the exact size, in milliseconds") << "webp"
                                                                         << "webp" << QSize(37, 21) << 0.0 << 0.0005;
    QTest::newRow("gif is paletted at the exact size, in hundredths") << "gif"
                                                                      << "gif" << QSize(37, 21) << 6.0 << 0.005;
    // APNG stores 1/24 s exactly; FFmpeg's reader adds delays rounded to 10 µs.
    QTest::newRow("png is lossless APNG at the exact size") << "png"
                                                            << "apng" << QSize(37, 21) << 0.0 << 0.0001;
}

void TestAnimationWriter::loopDecodesToItsFramesAtTheirTimes()
{
    QFETCH(QString, suffix);
    QFETCH(QSize, size);
    QFETCH(double, tolerance);
    QFETCH(double, timing);
    const QString path = m_dir.filePath(QStringLiteral("decode.") + suffix);
    AnimationWriter writer(path, kWidth, kHeight, kOddFps, kFrames);
    QVERIFY2(encodeLoop(writer), qPrintable(writer.error()));
    QCOMPARE(QSize(writer.encodedWidth(), writer.encodedHeight()), size);

    const Decoded decoded = suffix == QLatin1String("webp") ? decodeWithLibwebp(path) : decodeWithFfmpeg(path);
    QVERIFY2(decoded.failure.isEmpty(), qPrintable(decoded.failure));
    QCOMPARE(decoded.frames.size(), kFrames);
    for (int k = 0; k < kFrames; ++k) {
        const QImage &frame = decoded.frames.at(k);
        QCOMPARE(frame.size(), size);
        QVERIFY2(std::abs(decoded.times.at(k) - double(k) / kOddFps) <= timing + 1e-9,
                 qPrintable(QStringLiteral("frame %1 at %2 s").arg(k).arg(decoded.times.at(k))));
        const QImage expected = loopFrame(k).convertToFormat(QImage::Format_RGB32);
        const QImage picture = frame.copy(0, 0, kWidth, kHeight);
        if (tolerance == 0)
            QCOMPARE(picture, expected);
        else
            QVERIFY2(
                    meanDifference(picture, expected) <= tolerance,
                    qPrintable(QStringLiteral("frame %1 differs by %2").arg(k).arg(meanDifference(picture, expected))));
        // The padding repeats the last column and row.
        if (size.width() > kWidth)
            QVERIFY(meanDifference(frame.copy(kWidth, 0, 1, kHeight), expected.copy(kWidth - 1, 0, 1, kHeight))
                    <= 2 * tolerance);
        if (size.height() > kHeight)
            QVERIFY(meanDifference(frame.copy(0, kHeight, kWidth, 1), expected.copy(0, kHeight - 1, kWidth, 1))
                    <= 2 * tolerance);
    }
}

void TestAnimationWriter::ffprobeReportsCodecFramesAndRate()
{
    QFETCH(QString, suffix);
    QFETCH(QString, codec);
    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    if (ffprobe.isEmpty())
        QSKIP("ffprobe is not installed");
    const QString path = m_dir.filePath(QStringLiteral("probe.") + suffix);
    AnimationWriter writer(path, kWidth, kHeight, kFps, kFrames);
    QVERIFY2(encodeLoop(writer), qPrintable(writer.error()));

    QProcess probe;
    probe.start(ffprobe,
                {QStringLiteral("-v"), QStringLiteral("quiet"), QStringLiteral("-count_frames"),
                 QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                 QStringLiteral("stream=codec_name,r_frame_rate,nb_read_frames"), QStringLiteral("-of"),
                 QStringLiteral("default=noprint_wrappers=1"), path});
    QVERIFY(probe.waitForFinished(60000));
    QStringList fields = QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // This ffprobe names animated WebP's codec but decodes none of its frames.
    const QStringList expected = suffix == QLatin1String("webp")
            ? QStringList {QStringLiteral("codec_name=webp")}
            : QStringList {QStringLiteral("codec_name=") + codec, QStringLiteral("r_frame_rate=%1/1").arg(kFps),
                           QStringLiteral("nb_read_frames=%1").arg(kFrames)};
    if (suffix == QLatin1String("webp"))
        fields = fields.filter(QStringLiteral("codec_name"));
    QCOMPARE(fields, expected);
}

void TestAnimationWriter::sameFramesGiveIdenticalBytes()
{
    QFETCH(QString, suffix);
    // Large enough for several VP9 tiles and x264 threads to share the work.
    const QSize size(641, 361);
    QByteArray bytes[2];
    for (int run = 0; run < 2; ++run) {
        const QString path = m_dir.filePath(QStringLiteral("same%1.").arg(run) + suffix);
        AnimationWriter writer(path, size.width(), size.height(), kFps, kFrames);
        QVERIFY2(encodeLoop(writer, size), qPrintable(writer.error()));
        bytes[run] = fileBytes(path);
    }
    QVERIFY(!bytes[0].isEmpty());
    QVERIFY(bytes[0] == bytes[1]);
}

void TestAnimationWriter::loopingFormatsLoopForever_data()
{
    QTest::addColumn<QString>("suffix");
    // The loop count's field, preceded by what leads up to it; zero is endless.
    QTest::addColumn<QByteArray>("marker");
    QTest::addColumn<QByteArray>("endless");
    QTest::newRow("gif: NETSCAPE2.0 extension with count 0")
            << "gif" << QByteArray("NETSCAPE2.0\x03\x01", 13) << QByteArray(2, '\0');
    // acTL: length, type, frame count (8), then the number of plays.
    QTest::newRow("png: acTL with 0 plays") << "png" << QByteArray("acTL\0\0\0\x08", 8) << QByteArray(4, '\0');
    // ANIM: payload size 6, background colour (4 bytes), then the loop count.
    QTest::newRow("webp: ANIM with loop count 0") << "webp" << QByteArray("ANIM\x06\0\0\0", 8) << QByteArray(2, '\0');
}

void TestAnimationWriter::loopingFormatsLoopForever()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, marker);
    QFETCH(QByteArray, endless);
    const QString path = m_dir.filePath(QStringLiteral("loop.") + suffix);
    AnimationWriter writer(path, kWidth, kHeight, kFps, kFrames);
    QVERIFY2(encodeLoop(writer), qPrintable(writer.error()));
    const QByteArray bytes = fileBytes(path);
    const int at = bytes.indexOf(marker);
    QVERIFY(at >= 0);
    const int skip = suffix == QLatin1String("webp") ? 4 : 0;
    QCOMPARE(bytes.mid(at + marker.size() + skip, endless.size()), endless);
}

void TestAnimationWriter::fileNamesTellAnimationFormats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("animation");
    QTest::newRow("mp4") << "/tmp/a.mp4" << true;
    QTest::newRow("upper-case WEBM") << "loop.WEBM" << true;
    QTest::newRow("webp") << "x.y.webp" << true;
    QTest::newRow("gif") << "a.gif" << true;
    QTest::newRow("png holds an APNG") << "a.png" << true;
    QTest::newRow("svg is no animation") << "a.svg" << false;
    QTest::newRow("no suffix") << "mp4" << false;
}

void TestAnimationWriter::fileNamesTellAnimationFormats()
{
    QFETCH(QString, name);
    QFETCH(bool, animation);
    QCOMPARE(AnimationWriter::isAnimationFile(name), animation);
    QCOMPARE(AnimationWriter::suffixes(), QStringList({"mp4", "webm", "webp", "gif", "png"}));
}

void TestAnimationWriter::cancelLeavesNoFileAndKeepsTheOldOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.mp4"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    AnimationWriter writer(path, kWidth, kHeight, kFps, kFrames);
    QVERIFY(writer.writeFrame(loopFrame(0)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    writer.cancel();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("old.mp4")});
    QCOMPARE(fileBytes(path), QByteArray("old"));
    QVERIFY(writer.error().isEmpty());
}

void TestAnimationWriter::destroyingBeforeFinishLeavesNoFile()
{
    QTemporaryDir dir;
    {
        AnimationWriter writer(dir.filePath(QStringLiteral("gone.gif")), kWidth, kHeight, kFps, kFrames);
        QVERIFY(writer.addPaletteFrame(loopFrame(0)));
    }
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestAnimationWriter::missingFramesGiveErrorAndNoFile()
{
    QTemporaryDir dir;
    AnimationWriter writer(dir.filePath(QStringLiteral("short.png")), kWidth, kHeight, kFps, kFrames);
    QVERIFY(writer.writeFrame(loopFrame(0)));
    QVERIFY(!writer.finish());
    QVERIFY2(writer.error().contains(QLatin1String("1 of 8 frames")), qPrintable(writer.error()));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestAnimationWriter::unwritableFolderGivesErrorAndNoFile()
{
    QTemporaryDir dir;
    // A folder that does not exist stops even root, whom permissions do not.
    const QString path = dir.filePath(QStringLiteral("missing/loop.webm"));
    AnimationWriter writer(path, kWidth, kHeight, kFps, kFrames);
    QVERIFY(!writer.writeFrame(loopFrame(0)));
    QVERIFY2(writer.error().contains(QLatin1String("cannot create a file")), qPrintable(writer.error()));
    QVERIFY(!writer.finish());
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void TestAnimationWriter::missingEncoderModuleGivesErrorAndNoFile()
{
    QTemporaryDir dir;
    const QByteArray module = qgetenv("LUMATRACE_VIDEO_MODULE");
    qputenv("LUMATRACE_VIDEO_MODULE", dir.filePath(QStringLiteral("absent.so")).toLocal8Bit());
    AnimationWriter writer(dir.filePath(QStringLiteral("loop.gif")), kWidth, kHeight, kFps, kFrames);
    const bool opened = writer.open();
    qputenv("LUMATRACE_VIDEO_MODULE", module);
    QVERIFY(!opened);
    QVERIFY2(writer.error().startsWith(QLatin1String("cannot load the animation encoder libLumatraceVideo.so: ")),
             qPrintable(writer.error()));
    QVERIFY(!writer.writeFrame(loopFrame(0)));
    QVERIFY(!writer.finish());
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestAnimationWriter)
#include "tst_animationwriter.moc"
