// SecondLane: a parallel lane beside a grown wire, for double-lane fill wires.
#pragma once

class Wire;

class SecondLane
{
public:
    // Tries the eight lane-end table pairs in order and takes the first whose two end
    // cells are free and pass the crossing checks; true when a lane was added.
    static bool add(Wire *wire);
};
