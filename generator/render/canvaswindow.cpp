#include "canvaswindow.h"

#include <QPainter>

CanvasWindow::CanvasWindow(QImage &rows, int top, int canvasHeight)
    : m_rows(0, top, rows.width(), rows.height())
{
    const bool whole = top == 0 && rows.height() == canvasHeight;
    if (whole || !spansCanvas(canvasHeight)) {
        m_device = QImage(rows.bits(), rows.width(), rows.height(), rows.bytesPerLine(), rows.format());
        m_translation = top;
        return;
    }
    // Row y of the device is row y - top of the band; only the band's rows are ever
    // addressed, since the painter is clipped to them. The address is formed as an
    // integer: the canvas's first row lies before the band's memory.
    const quintptr first = reinterpret_cast<quintptr>(rows.bits()) - quintptr(top) * quintptr(rows.bytesPerLine());
    m_device = QImage(reinterpret_cast<uchar *>(first), rows.width(), canvasHeight, rows.bytesPerLine(), rows.format());
    m_clipped = true;
}

void CanvasWindow::begin(QPainter &painter)
{
    painter.begin(&m_device);
    if (m_clipped)
        painter.setClipRect(m_rows);
    else if (m_translation != 0)
        painter.translate(0, -m_translation);
}
