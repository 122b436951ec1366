#pragma once

#include "hugepageallocator.h"

#include <QImage>

#include <vector>

// The images of one render pass, kept between bands and renders so that a
// render does not allocate (and fault in) fresh full-size images for every
// effect; bands of different heights share one buffer per image. One set
// per thread.
class RenderBuffers
{
public:
    enum Kind { Work, Shadow, Signal, Glow, Blurred, KindCount };

    // An image of the given size and format over the kept buffer of this
    // kind, grown when too small; its pixels are undefined. Valid until the
    // next call for the same kind. A null image when memory is short.
    QImage &image(Kind kind, const QSize &size, QImage::Format format);
    // The image the last call for this kind returned.
    QImage &current(Kind kind) { return m_views[kind]; }

private:
    std::vector<uchar, HugePageAllocator<uchar>> m_stores[KindCount];
    QImage m_views[KindCount];
};
