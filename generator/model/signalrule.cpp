#include "signalrule.h"

#include "circuit.h"
#include "generatorsettings.h"
#include "randomstream.h"
#include "wire.h"

void SignalRule::apply(Wire *wire, const GeneratorSettings &st, RandomStream &s5)
{
    if (wire->cells.size() < 2)
        return;
    const double r = s5.next();
    bool signal = r < double(st.signalAmount);
    if (!signal && wire->circuit->hasSignalAboveOne()) {
        for (const CircuitCell *c : wire->cells) {
            if (c->values[SlotAdjustSignal] > 1.0f) {
                signal = true;
                break;
            }
        }
    }
    if (!signal)
        return;
    wire->signalPosition = float(s5.next());
    double size = (0.5 - s5.next()) * double(st.signalSizeVariance) + double(st.signalSize);
    if (!(size >= 0.0))
        size = 0.0; // below 0 (or not a number) becomes 0
    if (size > 1.0)
        size = 1.0;
    wire->signalSize = float(size);
}
