// ParameterTable: every key of the parameter map, the setting it fills, how it is read and
// the value it holds before the first read. Reading a map, the initial settings and the
// studio's schema check all follow this one table.
#pragma once

#include "generatorsettings.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <variant>
#include <vector>

// How a value of the map is converted.
enum class ParameterKind {
    Int, // the variant's own conversion; out-of-range doubles clamp, NaN reads 0
    TruncatedReal, // read as a single-precision real, then truncated to int
    Real, // single precision
    Color, // a list of three ints (missing entries 0, extra ones ignored)
    Text,
    Bool
};

// One key of a record (the settings, or an entry of one of the three lists).
template<typename Record>
struct ParameterField {
    using Member
            = std::variant<int32_t Record::*, float Record::*, RgbColor Record::*, QString Record::*, bool Record::*>;
    const char *key;
    Member member;
    ParameterKind kind;
    QVariant initial; // before the first read; list entries start from zero instead
};

class ParameterTable
{
public:
    static const std::vector<ParameterField<GeneratorSettings>> &settingsFields();
    static const std::vector<ParameterField<Modificator>> &modificatorFields();
    static const std::vector<ParameterField<Adjustment>> &adjustmentFields();
    static const std::vector<ParameterField<ChipSpec>> &chipFields();

    // Keys of the three lists, in reading order.
    static const char *const kModificatorsKey;
    static const char *const kAdjustmentsKey;
    static const char *const kChipsKey;

    // Puts every setting to its initial value; the lists are left empty.
    static void applyInitialValues(GeneratorSettings *settings);
    // Reads every setting and the three lists from the map (a missing key reads as an
    // empty value: 0, "", false). Reseeding and the masks are the generator's business.
    static void read(const QVariantMap &map, GeneratorSettings *settings);

    // The table as data, for checking other descriptions of the parameters against it:
    // {"settings": {key: {"kind", "initial"}}, "lists": {list key: [field keys]}}.
    static QVariantMap describe();
};
