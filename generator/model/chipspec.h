// One entry of the "chips" parameter, as the settings hold it and a circuit keeps it.
#pragma once

#include <cstdint>

struct ChipSpec {
    float x = 0, y = 0; // normalized centre
    int32_t w = 0, h = 0; // size in cells
    int32_t connections = 0; // 0 none, 1 left/right, 2 top/bottom, 3 all sides (>= 4: top/bottom)
    bool render = false; // whether renderers draw the chip body
};
