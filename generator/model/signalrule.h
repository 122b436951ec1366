// SignalRule: whether a grown wire carries a signal, and where and how long it is.
#pragma once

class RandomStream;
class Wire;
struct GeneratorSettings;

class SignalRule
{
public:
    // Draws stream 5 for a wire of two or more cells: a signal when the draw is below the
    // signal amount or a cell's adjustment signal sum exceeds 1; then its position and size.
    static void apply(Wire *wire, const GeneratorSettings &settings, RandomStream &signal);
};
