#include "renderbuffers.h"

QImage &RenderBuffers::image(Kind kind, const QSize &size, QImage::Format format)
{
    QImage &store = m_stores[kind];
    QImage &view = m_views[kind];
    if (view.size() == size && view.format() == format)
        return view;
    // Drop the view first, so that the store is not shared while it may be replaced.
    view = QImage();
    if (store.width() != size.width() || store.height() < size.height() || store.format() != format)
        store = QImage(size, format);
    if (store.isNull())
        return view;
    view = QImage(store.bits(), size.width(), size.height(), store.bytesPerLine(), format);
    return view;
}
