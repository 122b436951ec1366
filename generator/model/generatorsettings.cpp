#include "generatorsettings.h"

#include "parametertable.h"

GeneratorSettings::GeneratorSettings()
{
    ParameterTable::applyInitialValues(this);
}
