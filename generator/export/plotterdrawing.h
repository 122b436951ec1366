// PlotterDrawing: the artwork as a pen plotter draws it: lines only, never a fill, one layer
// per pen colour (wires and pads, pad centres, glowing dots, signals, chips, chip pins; parts
// that share a colour share a layer), each in the order that keeps the lifted pen's travel
// short. Pads become spirals with their holes left empty, wires wider than the pen parallel
// passes (or their outlines), chips outlines with a hatch; the background is never drawn.
// What one pen would draw twice (a signal on its wire, a glowing dot on its pad) it draws once.
#pragma once

#include "layerpalette.h"
#include "penstrokes.h"
#include "vectordrawing.h"

#include <QStringList>

class ArtworkScene;
class LanePath;
struct GeneratorSettings;

class PlotterDrawing : public VectorDrawing
{
public:
    struct Options {
        double pen = 1; // the pen's line width, canvas pixels
        // How far a line may stray from a curve; a fraction of the pen unless set.
        double tolerance = 0;
        // Wires wider than the pen as their outline rather than filled with passes.
        bool outlines = false;
    };

    PlotterDrawing(const ArtworkScene &scene, const GeneratorSettings &settings, const Options &options);

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    // The layers that have lines.
    QVector<Layer> layerList() const override;
    bool visit(int layer, const Visitor &visitor) const override;

    // A layer's lines in drawing order; none for a layer that is not one.
    const QVector<PenStrokes::Polyline> &lines(int layer) const;

    // Where the pen starts: the canvas's top left.
    static QPointF home() { return QPointF(0, 0); }

private:
    // The parts of the artwork, in drawing order.
    enum Part { WiresAndPads, PadCentres, GlowingDots, Signals, Chips, ChipPins };

    struct PenLayer {
        QColor color;
        QStringList parts; // what the layer draws, for its label
        QVector<PenStrokes::Polyline> lines; // in drawing order once the drawing is made
    };

    // A stretch of radii of a dot in one colour.
    struct Ring {
        Part part;
        QColor color;
        double inner;
        double outer;
    };

    // The rings of a dot as they show once painted one over another, in drawing order.
    static QVector<Ring> shownRings(const QVector<Ring> &painted);
    // Adds lines of one part to its pen's layer.
    void add(Part part, const QColor &color, PenStrokes::Polyline line);
    void addWires(const ArtworkScene &scene, const GeneratorSettings &settings);
    void addDots(const ArtworkScene &scene, const GeneratorSettings &settings);
    void addChips(const ArtworkScene &scene, const GeneratorSettings &settings);
    void addSignals(const ArtworkScene &scene, const GeneratorSettings &settings);
    static QString nameOf(Part part);

    Options m_options;
    LayerPalette m_palette;
    int m_width;
    int m_height;
    QVector<PenLayer> m_layers;
};
