// DrawingBudget: how much painting a render of the settings asks for, checked before any
// pixel is drawn. Generation is bounded by GenerationBudget; the sizes of what is drawn
// (pads, holes, wires) are not, and one pad 10^6 cells wide covers the whole canvas, so
// a few thousand of them keep the painter busy for minutes.
#pragma once

#include <QString>

class Circuit;
struct GeneratorSettings;

class DrawingBudget
{
public:
    // The painting a render may do, in pixels covered by its discs and strokes: a few
    // seconds of filling (pads fill about 4 Gpx a second, overhead included), or a
    // generous multiple of the canvas (large pads on a poster cover it a few times over
    // and take their time like the rest of such an export). Usual maps cover their
    // canvas about three times.
    static constexpr qint64 kMinCoveredPixels = qint64(1) << 34;
    static constexpr qint64 kCanvasMultiple = 32;
    // The vector documents take the raster exports' largest side.
    static constexpr int kMaxVectorSide = 65535;

    // Estimated pixels covered by one render of circuit at renderScale (every buffer of
    // the composite counted), split by the key that sizes them.
    struct Estimate {
        double dots = 0; // dot_size: pads, holes, glowing and shadow dots
        double innerDots = 0; // inside_hole_size
        double strokes = 0; // wire_thickness and max_wire_thickness: wires and signals
        double total() const { return dots + innerDots + strokes; }
    };
    static Estimate estimate(const Circuit &circuit, const GeneratorSettings &settings, float renderScale);

    // "" when a render of circuit at renderScale stays within the budget; else a line
    // naming the key that asks for the most: "dot_size: 1e+06 is too large: ...".
    static QString rasterRefusal(const Circuit &circuit, const GeneratorSettings &settings, float renderScale);
    // "" when the canvas fits kMaxVectorSide and the sizes the drawing derives from the
    // settings are finite; else a line naming the key. For SVG and PDF, which paint
    // nothing but write every size as a number.
    static QString vectorRefusal(const GeneratorSettings &settings);
};
