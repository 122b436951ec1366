// ArtworkDrawing: the artwork as vector shapes in named layers, for the artwork SVG and
// the vector PDF. The geometry is the plain SVG document's (wires, pads, glowing dots,
// signals) plus the chips; the colours are the artwork's own.
#pragma once

#include "renderlayer.h"

#include <QColor>
#include <QPainterPath>
#include <QString>
#include <QVector>

class ArtworkScene;
class Circuit;
class LanePath;
struct GeneratorSettings;

class ArtworkDrawing
{
public:
    struct Shape {
        QPainterPath path; // canvas pixels
        QColor color;
        double strokeWidth = 0; // 0: the path is filled
        QString svg; // the same shape as one SVG element
    };

    struct Layer {
        RenderLayer layer; // Composite stands for the background
        QString label; // the name vector editors show
        QVector<Shape> shapes;
    };

    // The scene's glowing dots and signals, as the plain SVG document shows them. Layers
    // in drawing order: background, wires, dots, components, dot signals, signals.
    ArtworkDrawing(const ArtworkScene &scene, const GeneratorSettings &settings);

    int width() const { return m_width; }
    int height() const { return m_height; }
    const QVector<Layer> &layers() const { return m_layers; }

private:
    Layer &layer(RenderLayer id);
    void addWire(const LanePath &path, const QColor &color, double width, RenderLayer to);
    void addDisc(const QPointF &centre, double radius, const QColor &color, RenderLayer to);
    void addRoundedRect(const QRectF &rect, double radius, const QColor &color, RenderLayer to);
    void addChips(const Circuit &circuit, double cellSize);

    int m_width;
    int m_height;
    QVector<Layer> m_layers;
};
