// Any bytes as a JSON parameter map, only read: the settings and lists of every key,
// with the checks made before any work (the generation budget's and the drawing's sizes).
#include "drawingbudget.h"
#include "fuzzmap.h"
#include "generationbudget.h"
#include "parametertable.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QVariantMap map;
    if (!FuzzMap::parse(data, size, &map))
        return 0;
    GeneratorSettings settings;
    ParameterTable::read(map, &settings);
    GenerationBudget budget;
    budget.admit(settings, int64_t(1) << 22);
    DrawingBudget::vectorRefusal(settings);
    return 0;
}
