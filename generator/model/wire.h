// Wire: one path of cells, grown step by step from a start cell.
#pragma once

#include "circuitcell.h"

#include <memory_resource>
#include <vector>

struct GeneratorSettings;
struct GridPoint;
class Circuit;
class PowerCache;
class RandomStream;
class RandomStreams;

class Wire
{
public:
    // Start rule (may draw stream 1 from start). Does not append the wire to the circuit.
    Wire(Circuit *circuit, CircuitCell *startCell, RandomStream &start);
    virtual ~Wire();

    // A copy of a grown wire whose cells live in store, in storage no larger than
    // they need (the wire a circuit keeps).
    Wire(const Wire &grown, std::pmr::memory_resource *store);

    // Starts afresh on startCell exactly as a new wire would, keeping the storage of
    // its cells: a rejected attempt lends it to the next one.
    void restart(CircuitCell *startCell, RandomStream &start);

    // growWire: grows in place, then applies the signal rule (streams 1 and 5). `powers`
    // raises the step weights to the settings' tendency power.
    void grow(const GeneratorSettings &settings, RandomStreams &streams, PowerCache &powers);
    // addSecondLane; returns true when a second lane was added.
    bool addSecondLane();
    // True when the first or last cell, or a lane end, is a chip pin cell.
    bool attachedToChip() const;
    bool hasLaneEnds() const { return laneEndStart != nullptr; }
    bool hasSignal() const { return signalPosition >= 0.0f; }

    std::pmr::vector<CircuitCell *> cells; // never empty; path order
    CircuitCell *laneEndStart = nullptr;
    CircuitCell *laneEndEnd = nullptr;
    uint8_t laneSide = 0; // 0 left-hand tables, 1 right-hand tables
    int32_t direction = 0;
    float thickness = 1.0f;
    int32_t density = 1;
    Circuit *circuit = nullptr;
    bool removed = false;
    float signalPosition = -1.0f;
    float signalSize = -1.0f;

private:
    Wire(Circuit *circuit, CircuitCell *startCell, std::pmr::vector<CircuitCell *> storage, RandomStream &start);
    // Copies only into a store; restart() moves a fresh wire in.
    Wire(const Wire &) = delete;
    Wire &operator=(const Wire &) = default;
    Wire &operator=(Wire &&) = default;

    enum class StepResult { Stepped, Ended, Failed };
    StepResult step(const GeneratorSettings &settings, RandomStream &start, PowerCache &powers);
    // Draws among the candidates by weight until one can be entered, and enters it.
    StepResult choose(const double weight[3], const GridPoint &p, int32_t D, RandomStream &start);
};
