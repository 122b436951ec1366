#pragma once

#include "animationencoder.h"

#include <memory>

// AnimationEncoder on FFmpeg's libraries: converts each frame to the format's pixel
// format, encodes and muxes it into a temporary file beside the target, and for GIF
// first builds one palette from the whole loop and dithers every frame with it.
class FfmpegAnimationEncoder : public AnimationEncoder
{
public:
    explicit FfmpegAnimationEncoder(const AnimationRequest &request);
    ~FfmpegAnimationEncoder() override;

    bool open() override;
    bool addPaletteFrame(const QImage &frame) override;
    bool writeFrame(const QImage &frame) override;
    bool finish() override;
    void cancel() override;
    QString error() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
