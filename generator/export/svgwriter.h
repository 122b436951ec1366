#pragma once

#include "renderlayer.h"

#include <QColor>
#include <QPoint>
#include <QString>

class ArtworkScene;
class ByteSink;
class LanePath;
class LayerPalette;
class RenderMetrics;
class Wire;
struct GeneratorSettings;

// Writes a circuit as an SVG document at render scale 1: circles for pads
// and glowing dots, stroked paths for wires and signals; no shadow, vignette,
// blur or chips. Glowing dots and signal positions are the scene's choices.
class SvgWriter
{
public:
    // The whole document of one layer, element by element into the sink.
    static void write(const ArtworkScene &scene, const GeneratorSettings &settings, RenderLayer layer, ByteSink &out);
    // The same document in memory.
    static QString svgDocument(const ArtworkScene &scene, const GeneratorSettings &settings, RenderLayer layer);

    // A number as SVG text: general format, at most 6 significant digits,
    // trailing zeros removed; independent of the process locale.
    static QString number(double value);
    // "#rrggbb" in lower case.
    static QString colorName(const QColor &color);
    static void appendColor(const QColor &color, ByteSink &out);
    // Path data: "M x y ", "L x y ", "Q cx cy x y " per command.
    static QString pathData(const LanePath &path);
    static void appendPathData(const LanePath &path, ByteSink &out);
    // One stroked, unfilled path element, ending with a line feed.
    static QString pathElement(const QString &data, const QColor &color, double strokeWidth);
    static void appendPathElement(const LanePath &path, const QColor &color, double strokeWidth, ByteSink &out);
    // A pad or glow dot: nothing when r1 <= r2 or r1 <= 0; a solid circle
    // when r2 = r3, otherwise a ring of radius r2 and width r1 − r2; then an
    // inner solid circle of radius r3 in color3 when r3 > 0.
    static QString dotElements(const QPoint &centre, const QColor &color1, const QColor &color3, double r1, double r2,
                               double r3);
    static void appendDotElements(const QPoint &centre, const QColor &color1, const QColor &color3, double r1,
                                  double r2, double r3, ByteSink &out);

private:
    static void appendWireElements(const Wire &wire, const GeneratorSettings &settings, const RenderMetrics &metrics,
                                   const QColor &color, ByteSink &out);
    // The wire's pads, or its glowing dots.
    static void appendDots(const ArtworkScene &scene, size_t index, const RenderMetrics &metrics, RenderLayer layer,
                           const LayerPalette &palette, bool glow, ByteSink &out);
    static void appendSignalElements(const ArtworkScene &scene, size_t index, const GeneratorSettings &settings,
                                     const RenderMetrics &metrics, const QColor &color, ByteSink &out);
    static void appendPathStyle(const QColor &color, double strokeWidth, ByteSink &out);
    static void appendSolidCircle(const QPoint &centre, double radius, const QColor &color, ByteSink &out);
};
