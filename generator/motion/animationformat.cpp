#include "animationformat.h"

#include <QFileInfo>

namespace {

QVector<AnimationFormat> makeFormats()
{
    QVector<AnimationFormat> formats;

    // H.264 High profile in yuv420p with BT.709 colour (set by the stream): what
    // browsers, phones and players all decode. The index goes to the front
    // (+faststart) so that a file starts playing before it is fully loaded.
    // A fixed thread count: x264 is deterministic for a given count, not across counts.
    AnimationFormat mp4;
    mp4.suffix = QStringLiteral("mp4");
    mp4.muxer = "mp4";
    mp4.encoder = "libx264";
    mp4.pixelFormat = "yuv420p";
    mp4.encoderOptions = {{"preset", "medium"}, {"crf", "18"}, {"profile", "high"}, {"threads", "4"}};
    mp4.muxerOptions = {{"movflags", "+faststart"}};
    mp4.evenSize = true;
    formats.append(mp4);

    // VP9 at constant quality, a little above the usual for HD video: the
    // artwork is thin lines. Tiles share the work between threads without the
    // bitstream depending on how they are scheduled; row multi-threading stays off.
    AnimationFormat webm;
    webm.suffix = QStringLiteral("webm");
    webm.muxer = "webm";
    webm.encoder = "libvpx-vp9";
    webm.pixelFormat = "yuv420p";
    webm.encoderOptions
            = {{"crf", "24"},         {"b", "0"},      {"deadline", "good"}, {"cpu-used", "4"}, {"row-mt", "0"},
               {"tile-columns", "2"}, {"threads", "4"}};
    webm.evenSize = true;
    formats.append(webm);

    // Lossless WebP frames: the artwork's thin lines and glows stay exact. The
    // least effort (0 of 6) encodes a 1920 x 1080 frame about four times faster
    // than effort 1 for a tenth more bytes, and lossy quality 90 saves bytes but
    // little time. Each frame is a whole picture; the muxer streams them to the file.
    AnimationFormat webp;
    webp.suffix = QStringLiteral("webp");
    webp.muxer = "webp";
    webp.encoder = "libwebp";
    webp.pixelFormat = "bgra";
    webp.encoderOptions = {{"lossless", "1"}, {"compression_level", "0"}};
    webp.muxerOptions = {{"loop", "0"}};
    formats.append(webp);

    // One palette for the whole loop; the encoder stores only the changed
    // rectangle of each frame and marks unchanged pixels transparent.
    AnimationFormat gif;
    gif.suffix = QStringLiteral("gif");
    gif.muxer = "gif";
    gif.encoder = "gif";
    gif.pixelFormat = "pal8";
    gif.muxerOptions = {{"loop", "0"}};
    gif.palette = true;
    formats.append(gif);

    // Animated PNG, lossless; the encoder keeps only what changes between frames.
    // Paeth filtering and zlib level 1 encode a 1920 x 1080 frame about three
    // times faster than mixed filters at level 6, for 6 % more bytes.
    AnimationFormat png;
    png.suffix = QStringLiteral("png");
    png.muxer = "apng";
    png.encoder = "apng";
    png.pixelFormat = "rgb24";
    png.encoderOptions = {{"pred", "paeth"}, {"compression_level", "1"}};
    png.muxerOptions = {{"plays", "0"}};
    formats.append(png);

    return formats;
}

} // namespace

const QVector<AnimationFormat> &AnimationFormat::all()
{
    static const QVector<AnimationFormat> formats = makeFormats();
    return formats;
}

const AnimationFormat *AnimationFormat::forPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const AnimationFormat &format : all()) {
        if (format.suffix == suffix)
            return &format;
    }
    return nullptr;
}

QSize AnimationFormat::encodedSize(const QSize &frame) const
{
    if (!evenSize)
        return frame;
    return QSize((frame.width() + 1) / 2 * 2, (frame.height() + 1) / 2 * 2);
}
