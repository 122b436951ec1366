#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QImage;

// Encodes a loop of opaque frames into an animation file, chosen by the file
// name's suffix (case-insensitive):
//   .mp4   H.264 (libx264, High profile, CRF 18), yuv420p BT.709, index first
//          (+faststart), so it plays in browsers and on phones
//   .webm  VP9 (libvpx-vp9, CRF 30), yuv420p BT.709
//   .webp  animated WebP, lossless, loops forever
//   .gif   one 255-colour palette built from the whole loop, ordered (Bayer)
//          dithering, loops forever
//   .png   animated PNG, lossless, loops forever
// yuv420p halves the colour resolution both ways, so an MP4 or WebM file of
// odd width or height is one pixel wider or taller, the last column or row
// repeated: no artwork is lost. The other formats keep the exact size.
//
// Frame k is shown at k / fps seconds and the file records the rate (GIF
// stores delays in hundredths of a second, WebP and WebM times in
// milliseconds, so there frames start within half a unit of that). Frames
// stream into the encoder and are never kept, so memory does not grow with
// the number of frames.
// GIF needs the palette of the whole loop before its first frame: when
// needsPalettePass() is true, hand every frame to addPaletteFrame() first,
// then every frame again, the same and in the same order, to writeFrame().
//
// The file is written under a temporary name in the target's folder and
// renamed into place by finish(); cancel(), a failure, or destruction before
// finish() removes it, so nothing is left and a file that was there is kept.
// The same frames give the same bytes: encoder threads are fixed and
// FFmpeg's bit-exact flags keep times, versions and random identifiers out.
class AnimationWriter
{
public:
    static constexpr int kMinFps = 1;
    static constexpr int kMaxFps = 60;
    static constexpr int kMinFrames = 2;
    static constexpr int kMaxFrames = 1000;
    // The largest side WebP can hold, the limit for every format.
    static constexpr int kMaxSide = 16383;

    AnimationWriter(const QString &path, int width, int height, int fps, int frameCount);
    ~AnimationWriter();

    AnimationWriter(const AnimationWriter &) = delete;
    AnimationWriter &operator=(const AnimationWriter &) = delete;

    // True when the path's suffix names an animation format.
    static bool isAnimationFile(const QString &path);
    // The suffixes, lower case without the dot: mp4, webm, webp, gif, png.
    static QStringList suffixes();

    // Checks the settings, creates the temporary file and opens the encoder.
    // Called by the first frame if not before; false with error() set.
    bool open();
    // True for GIF: every frame goes to addPaletteFrame() before writeFrame().
    bool needsPalettePass() const;
    // One frame of the palette pass, in order.
    bool addPaletteFrame(const QImage &frame);
    // The next frame (any QImage format; ARGB32 and RGB32 are taken as they
    // are). False with error() set on failure; later calls then fail too.
    bool writeFrame(const QImage &frame);
    // Completes the file and renames it into place; false unless exactly
    // frameCount frames were written and everything succeeded.
    bool finish();
    // Stops and removes the temporary file; nothing is written.
    void cancel();

    // Why the last call failed, one line; empty while all is well.
    QString error() const;
    // The size of the encoded picture: even for MP4 and WebM.
    int encodedWidth() const;
    int encodedHeight() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
