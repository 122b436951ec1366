#pragma once

#include <QImage>

class Circuit;
struct GeneratorSettings;

// A quick picture of a generated circuit, shown while its artwork is drawn on a canvas
// whose artwork takes long to draw: each wire a plain line through its cells at its width,
// a pad at each wire's ends and the chips' bodies, in the artwork's colours, without
// antialiasing, effects or random draws. It costs under a microsecond a wire (8 ms for the
// 11,000 wires of a 4096 × 4096 canvas), where the artwork costs about ten.
class CircuitSketch
{
public:
    // The sketch at render scale s, the size the artwork has at s; null when that canvas has
    // no pixels or is larger than a whole-canvas render may be.
    static QImage draw(const Circuit &circuit, const GeneratorSettings &settings, float renderScale);
};
