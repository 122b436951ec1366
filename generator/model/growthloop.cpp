#include "growthloop.h"

float GrowthLoop::thicknessDraw(const GeneratorSettings &s, RandomStreams &streams)
{
    if (streams.stream(StreamThick).next() < double(s.wireThickPercent)) {
        if (streams.stream(StreamThickLevel).next() < 0.25)
            return s.maxWireThickness;
        return (s.maxWireThickness + 1.0f) * 0.5f;
    }
    return 1.0f;
}

float GrowthLoop::meanDensity(const Circuit &circuit, const Wire *w)
{
    if (!circuit.hasDensity())
        return 0.0f; // every value +0: so is their sum
    float sum = 0.0f;
    for (const CircuitCell *c : w->cells)
        sum += c->values[SlotAdjustDensity];
    return sum / float(w->cells.size());
}
