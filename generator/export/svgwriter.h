#pragma once

#include "renderlayer.h"

#include <QColor>
#include <QPoint>
#include <QString>

class ArtworkScene;
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
    // The whole document of one layer.
    static QString svgDocument(const ArtworkScene &scene, const GeneratorSettings &settings, RenderLayer layer);

    // A number as SVG text: general format, at most 6 significant digits,
    // trailing zeros removed; independent of the process locale.
    static QString number(double value);
    // "#rrggbb" in lower case.
    static QString colorName(const QColor &color);
    // Path data: "M x y ", "L x y ", "Q cx cy x y " per command.
    static QString pathData(const LanePath &path);
    // One stroked, unfilled path element, ending with a line feed.
    static QString pathElement(const QString &data, const QColor &color, double strokeWidth);
    // A pad or glow dot: nothing when r1 <= r2 or r1 <= 0; a solid circle
    // when r2 = r3, otherwise a ring of radius r2 and width r1 − r2; then an
    // inner solid circle of radius r3 in color3 when r3 > 0.
    static QString dotElements(const QPoint &centre, const QColor &color1, const QColor &color3, double r1, double r2,
                               double r3);

private:
    static QString wireElements(const Wire &wire, const GeneratorSettings &settings, const RenderMetrics &metrics,
                                const QColor &color);
    // The wire's pads; its glowing dots are appended to glowText.
    static QString dotElements(const ArtworkScene &scene, size_t index, const RenderMetrics &metrics, RenderLayer layer,
                               const LayerPalette &palette, QString &glowText);
    static QString signalElements(const ArtworkScene &scene, size_t index, const GeneratorSettings &settings,
                                  const RenderMetrics &metrics, const QColor &color);
    static QString coordinate(double value, bool integral);
    static QString solidCircle(const QPoint &centre, double radius, const QColor &color);
};
