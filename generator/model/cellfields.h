// CellFields: the per-cell fields of a generation, worked out before any chip or wire: the
// modificators' turn weights, the adjustments' masking, density and signal sums, and
// each cell's presence from the mask and the masking sum.
#pragma once

class Circuit;
class GeneratorMasks;
struct GeneratorSettings;

class CellFields
{
public:
    static void compute(Circuit &circuit, const GeneratorSettings &settings, const GeneratorMasks &masks);
};
