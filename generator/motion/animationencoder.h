#pragma once

#include <QString>

class QImage;

// The encoding half of AnimationWriter, behind FFmpeg: it lives in a module of its own
// (libLumatraceVideo.so) that the writer loads on first use, so a process that never
// writes an animation does not load FFmpeg's libraries (about a hundred and forty, which
// took 50 ms of every start). The calls mean what AnimationWriter's calls of the same
// names mean; error() is one line naming the file.
class AnimationEncoder
{
public:
    virtual ~AnimationEncoder() = default;

    virtual bool open() = 0;
    virtual bool addPaletteFrame(const QImage &frame) = 0;
    virtual bool writeFrame(const QImage &frame) = 0;
    virtual bool finish() = 0;
    virtual void cancel() = 0;
    virtual QString error() const = 0;
};

// One animation file: its name (whose suffix names the format), the frames' size, the
// rate and the number of frames.
struct AnimationRequest {
    QString path;
    int width;
    int height;
    int fps;
    int frameCount;
};

// The module's one entry point, looked up by name: a new encoder for the file, owned by
// the caller.
using CreateAnimationEncoder = AnimationEncoder *(*)(const AnimationRequest &request);
inline constexpr char kCreateAnimationEncoderSymbol[] = "lumatraceCreateAnimationEncoder";
inline constexpr char kAnimationEncoderModule[] = "libLumatraceVideo.so";
