#include "renderbuffers.h"

#include <new>

QImage &RenderBuffers::image(Kind kind, const QSize &size, QImage::Format format)
{
    QImage &view = m_views[kind];
    if (view.size() == size && view.format() == format)
        return view;
    view = QImage();
    if (size.isEmpty())
        return view;
    // Rows padded to 32 bits, as QImage requires of outside data.
    const qsizetype bytesPerLine
            = (qsizetype(size.width()) * QImage::toPixelFormat(format).bitsPerPixel() / 8 + 3) & ~3;
    auto &store = m_stores[kind];
    const size_t bytes = size_t(bytesPerLine) * size_t(size.height());
    if (store.size() < bytes) {
        try {
            // Never copies the old pixels: they are undefined for the caller.
            store.clear();
            store.shrink_to_fit();
            store.resize(bytes);
        } catch (const std::bad_alloc &) {
            return view;
        }
    }
    view = QImage(store.data(), size.width(), size.height(), int(bytesPerLine), format);
    return view;
}
