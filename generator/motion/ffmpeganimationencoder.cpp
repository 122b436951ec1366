#include "ffmpeganimationencoder.h"

#include "animationformat.h"
#include "averror.h"
#include "encodedstream.h"
#include "filtergraph.h"
#include "frameconverter.h"
#include "pendingfile.h"

#include <QImage>
#include <QSize>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
}

namespace {

// Bayer (ordered) dithering depends only on a pixel's position and colour, so
// still parts of the artwork stay still from frame to frame; error diffusion
// would make them crawl wherever anything earlier on the row moves.
constexpr char kPaletteDescription[] = "[in]palettegen=stats_mode=full[out]";
constexpr char kDitherDescription[] = "[in][palette]paletteuse=dither=bayer:bayer_scale=2[out]";

enum class State { Idle, Open, Finished, Failed };

} // namespace

struct FfmpegAnimationEncoder::Private {
    explicit Private(const AnimationRequest &request)
        : request(request)
        , format(AnimationFormat::forPath(request.path))
        , file(request.path)
    { }

    bool fail(const QString &reason);
    QString startDithering();
    QString writeDithered(const AVFrame *frame);

    const AnimationRequest request;
    const AnimationFormat *format;
    State state = State::Idle;
    QString error;
    PendingFile file;
    std::unique_ptr<EncodedStream> stream;
    std::unique_ptr<FrameConverter> converter;
    std::unique_ptr<FilterGraph> paletteGraph;
    std::unique_ptr<FilterGraph> ditherGraph;
    int paletteFrames = 0;
    int writtenFrames = 0;
};

bool FfmpegAnimationEncoder::Private::fail(const QString &reason)
{
    if (error.isEmpty())
        error = reason;
    state = State::Failed;
    // The stream lets go of the file before it is removed.
    ditherGraph.reset();
    paletteGraph.reset();
    stream.reset();
    file.discard();
    return false;
}

QString FfmpegAnimationEncoder::Private::startDithering()
{
    if (paletteFrames != request.frameCount)
        return QStringLiteral("the palette pass saw %1 of %2 frames").arg(paletteFrames).arg(request.frameCount);
    int result = paletteGraph->push(0, nullptr);
    AVFrame *palette = av_frame_alloc();
    if (!palette)
        return QStringLiteral("cannot allocate a frame");
    if (result >= 0)
        result = paletteGraph->pull(palette);
    QString reason;
    if (result < 0) {
        reason = QStringLiteral("cannot build the palette: %1").arg(avErrorText(result));
    } else {
        ditherGraph = std::make_unique<FilterGraph>();
        reason = ditherGraph->open(kDitherDescription,
                                   {{"in", request.width, request.height, AV_PIX_FMT_BGRA, request.fps},
                                    {"palette", palette->width, palette->height, palette->format, request.fps}},
                                   AV_PIX_FMT_PAL8);
        if (reason.isEmpty()) {
            // The one palette frame, then the end of that input: paletteuse
            // keeps using it for every frame that follows.
            palette->pts = 0;
            result = ditherGraph->push(1, palette);
            if (result >= 0)
                result = ditherGraph->push(1, nullptr);
            if (result < 0)
                reason = QStringLiteral("cannot use the palette: %1").arg(avErrorText(result));
        }
    }
    av_frame_free(&palette);
    paletteGraph.reset();
    return reason;
}

QString FfmpegAnimationEncoder::Private::writeDithered(const AVFrame *frame)
{
    int result = ditherGraph->push(0, frame);
    if (result < 0)
        return QStringLiteral("cannot dither the frame: %1").arg(avErrorText(result));
    AVFrame *dithered = av_frame_alloc();
    if (!dithered)
        return QStringLiteral("cannot allocate a frame");
    QString reason;
    while (reason.isEmpty() && (result = ditherGraph->pull(dithered)) >= 0) {
        reason = stream->write(dithered);
        av_frame_unref(dithered);
    }
    av_frame_free(&dithered);
    if (reason.isEmpty() && result != AVERROR(EAGAIN) && result != AVERROR_EOF)
        reason = QStringLiteral("cannot dither the frame: %1").arg(avErrorText(result));
    return reason;
}

FfmpegAnimationEncoder::FfmpegAnimationEncoder(const AnimationRequest &request)
    : d(std::make_unique<Private>(request))
{ }

FfmpegAnimationEncoder::~FfmpegAnimationEncoder()
{
    cancel();
}

bool FfmpegAnimationEncoder::open()
{
    if (d->state == State::Open)
        return true;
    if (d->state != State::Idle)
        return d->fail(QStringLiteral("the writer was already used"));
    // The encoders' statistics come at FFmpeg's default level, on standard
    // error; failures reach the caller through error(). A front that chose a
    // level of its own keeps it.
    if (av_log_get_level() == AV_LOG_INFO)
        av_log_set_level(AV_LOG_ERROR);
    QString reason = d->file.create();
    if (!reason.isEmpty())
        return d->fail(reason);

    const AnimationFormat &format = *d->format;
    const QSize encoded = format.encodedSize(QSize(d->request.width, d->request.height));
    // The GIF encoder takes palette frames from the filter graph; the
    // converter's frames feed the graph, so they are BGRA.
    const int converted = format.palette ? AV_PIX_FMT_BGRA : av_get_pix_fmt(format.pixelFormat.constData());
    d->converter = std::make_unique<FrameConverter>(d->request.width, d->request.height, encoded.width(),
                                                    encoded.height(), converted);
    reason = d->converter->open();
    if (reason.isEmpty()) {
        d->stream = std::make_unique<EncodedStream>();
        reason = d->stream->open(d->file.temporaryPath(), format, encoded.width(), encoded.height(), d->request.fps);
    }
    if (reason.isEmpty() && format.palette) {
        d->paletteGraph = std::make_unique<FilterGraph>();
        reason = d->paletteGraph->open(kPaletteDescription,
                                       {{"in", d->request.width, d->request.height, AV_PIX_FMT_BGRA, d->request.fps}},
                                       AV_PIX_FMT_BGRA);
    }
    if (!reason.isEmpty())
        return d->fail(QStringLiteral("%1: %2").arg(d->request.path, reason));
    d->state = State::Open;
    return true;
}

bool FfmpegAnimationEncoder::addPaletteFrame(const QImage &frame)
{
    if (!open())
        return false;
    if (!d->format->palette)
        return d->fail(QStringLiteral("%1: this format needs no palette pass").arg(d->request.path));
    if (!d->paletteGraph)
        return d->fail(QStringLiteral("%1: palette frames after the palette pass").arg(d->request.path));
    if (d->paletteFrames >= d->request.frameCount)
        return d->fail(
                QStringLiteral("%1: more than %2 palette frames").arg(d->request.path).arg(d->request.frameCount));
    const AVFrame *converted = d->converter->convert(frame, d->paletteFrames);
    if (!converted)
        return d->fail(QStringLiteral("%1: %2").arg(d->request.path, d->converter->error()));
    const int result = d->paletteGraph->push(0, converted);
    if (result < 0)
        return d->fail(
                QStringLiteral("%1: cannot count the frame's colours: %2").arg(d->request.path, avErrorText(result)));
    ++d->paletteFrames;
    return true;
}

bool FfmpegAnimationEncoder::writeFrame(const QImage &frame)
{
    if (!open())
        return false;
    if (d->writtenFrames >= d->request.frameCount)
        return d->fail(QStringLiteral("%1: more than %2 frames").arg(d->request.path).arg(d->request.frameCount));
    if (d->paletteGraph) {
        const QString reason = d->startDithering();
        if (!reason.isEmpty())
            return d->fail(QStringLiteral("%1: %2").arg(d->request.path, reason));
    }
    const AVFrame *converted = d->converter->convert(frame, d->writtenFrames);
    if (!converted)
        return d->fail(QStringLiteral("%1: %2").arg(d->request.path, d->converter->error()));
    const QString reason = d->ditherGraph ? d->writeDithered(converted) : d->stream->write(converted);
    if (!reason.isEmpty())
        return d->fail(QStringLiteral("%1: %2").arg(d->request.path, reason));
    ++d->writtenFrames;
    return true;
}

bool FfmpegAnimationEncoder::finish()
{
    if (d->state != State::Open) {
        return d->fail(d->state == State::Idle
                               ? QStringLiteral("%1: no frames were written").arg(d->request.path)
                               : QStringLiteral("%1: the writer was already used").arg(d->request.path));
    }
    if (d->writtenFrames != d->request.frameCount) {
        return d->fail(QStringLiteral("%1: %2 of %3 frames were written")
                               .arg(d->request.path)
                               .arg(d->writtenFrames)
                               .arg(d->request.frameCount));
    }
    QString reason = d->ditherGraph ? d->writeDithered(nullptr) : QString();
    if (reason.isEmpty())
        reason = d->stream->finish();
    if (reason.isEmpty())
        reason = d->file.commit();
    if (!reason.isEmpty())
        return d->fail(QStringLiteral("%1: %2").arg(d->request.path, reason));
    d->stream.reset();
    d->ditherGraph.reset();
    d->converter.reset();
    d->state = State::Finished;
    return true;
}

void FfmpegAnimationEncoder::cancel()
{
    if (d->state == State::Finished || d->state == State::Failed)
        return;
    d->fail(QString());
    d->error.clear();
}

QString FfmpegAnimationEncoder::error() const
{
    return d->error;
}

// The module's entry point (see animationencoder.h). The writer has checked the settings.
extern "C" Q_DECL_EXPORT AnimationEncoder *lumatraceCreateAnimationEncoder(const AnimationRequest &request)
{
    return new FfmpegAnimationEncoder(request);
}
