// Any bytes as a JSON parameter map, generated on a small grid with few passes, with the
// result map, as the plug-in's generate does. Without a GUI application text masks stay
// blank, which keeps font layout (fuzz_render's business) out of the way.
#include "circuitgenerator.h"
#include "fuzzmap.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QVariantMap map;
    if (!FuzzMap::parse(data, size, &map))
        return 0;
    // At most 16 x 16 cells.
    FuzzMap::keepSmall(map, 160);
    CircuitGenerator generator;
    generator.readParameters(map);
    generator.generateCircuit();
    generator.resultMap();
    return 0;
}
