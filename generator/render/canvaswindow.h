#pragma once

#include <QImage>
#include <QRect>

class QPainter;

// The device a painter draws one band through, in canvas coordinates. Qt's raster
// engine clips thin lines against the bounds of its device before it rasterises
// them, and a line clipped elsewhere comes out a little different; so the device
// spans the whole canvas, over the band's memory, and a clip keeps the painter
// within the band's rows. A canvas taller than the raster engine's coordinate
// range gets a device of the band's own rows instead (no whole-canvas render
// exists at that size), translated so that canvas coordinates still apply.
class CanvasWindow
{
public:
    // The engine drops geometry beyond this many pixels from the device origin.
    static constexpr int kMaxDeviceRows = 32767;

    // rows holds canvas rows top .. top + rows.height() of a canvas that many
    // rows high; it must outlive the window.
    CanvasWindow(QImage &rows, int top, int canvasHeight);

    // Begins the painter on the window; canvas coordinates land on the rows.
    void begin(QPainter &painter);

    // Whether canvases of this height share one device geometry in every band.
    static bool spansCanvas(int canvasHeight) { return canvasHeight <= kMaxDeviceRows; }

private:
    QImage m_device;
    QRect m_rows;
    int m_translation = 0;
    bool m_clipped = false;
};
