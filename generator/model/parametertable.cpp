#include "parametertable.h"

#include "saturatingint.h"

namespace {

// "int": the variant's own conversion; a double that is not finite or lies outside
// the 32-bit range (where that conversion is undefined) is clamped, NaN reads as 0.
int32_t readInt(const QVariant &v)
{
    const int t = v.userType();
    if (t == QMetaType::Double || t == QMetaType::Float) {
        const double d = v.toDouble();
        if (!(d > -2147483648.0 && d < 2147483647.0))
            return saturatingTrunc(d);
    }
    return int32_t(v.toInt());
}

float readReal(const QVariant &v)
{
    return v.toFloat();
}

void assign(int32_t *out, ParameterKind kind, const QVariant &v)
{
    *out = kind == ParameterKind::TruncatedReal ? saturatingTrunc(readReal(v)) : readInt(v);
}

void assign(float *out, ParameterKind, const QVariant &v)
{
    *out = readReal(v);
}

void assign(RgbColor *out, ParameterKind, const QVariant &v)
{
    const QVariantList l = v.toList();
    out->r = l.size() > 0 ? readInt(l.at(0)) : 0;
    out->g = l.size() > 1 ? readInt(l.at(1)) : 0;
    out->b = l.size() > 2 ? readInt(l.at(2)) : 0;
}

void assign(QString *out, ParameterKind, const QVariant &v)
{
    *out = v.toString();
}

void assign(bool *out, ParameterKind, const QVariant &v)
{
    *out = v.toBool();
}

template<typename Record>
void assignField(Record *record, const ParameterField<Record> &field, const QVariant &value)
{
    std::visit([&](auto member) { assign(&(record->*member), field.kind, value); }, field.member);
}

template<typename Record>
void readRecord(const QVariantMap &map, const std::vector<ParameterField<Record>> &fields, Record *record)
{
    for (const ParameterField<Record> &field : fields)
        assignField(record, field, map.value(QLatin1String(field.key)));
}

template<typename Record>
std::vector<Record> readList(const QVariant &list, const std::vector<ParameterField<Record>> &fields)
{
    std::vector<Record> records;
    for (const QVariant &entry : list.toList()) {
        Record record;
        readRecord(entry.toMap(), fields, &record);
        records.push_back(record);
    }
    return records;
}

// dx, dy, L and c of a modifier line are formed once, at read time.
void deriveLine(Modificator *m)
{
    m->dx = m->x2 - m->x1;
    m->dy = m->y2 - m->y1;
    m->L = m->dy * m->dy + m->dx * m->dx;
    m->c = m->y1 * m->x2 - m->y2 * m->x1;
}

// The derived flag follows the mask type exactly (case-sensitive).
void deriveMaskType(GeneratorSettings *s)
{
    s->maskTypeText = (s->maskType == QLatin1String("text"));
}

QString kindName(ParameterKind kind)
{
    switch (kind) {
    case ParameterKind::Int:
    case ParameterKind::TruncatedReal:
        return QStringLiteral("int");
    case ParameterKind::Real:
        return QStringLiteral("real");
    case ParameterKind::Color:
        return QStringLiteral("color");
    case ParameterKind::Text:
        return QStringLiteral("text");
    case ParameterKind::Bool:
        break;
    }
    return QStringLiteral("bool");
}

template<typename Record>
QVariantList keysOf(const std::vector<ParameterField<Record>> &fields)
{
    QVariantList keys;
    for (const ParameterField<Record> &field : fields)
        keys.append(QString::fromLatin1(field.key));
    return keys;
}

QVariant rgb(int r, int g, int b)
{
    return QVariantList {r, g, b};
}

} // namespace

const char *const ParameterTable::kModificatorsKey = "modificators";
const char *const ParameterTable::kAdjustmentsKey = "adjustments";
const char *const ParameterTable::kChipsKey = "chips";

const std::vector<ParameterField<GeneratorSettings>> &ParameterTable::settingsFields()
{
    using S = GeneratorSettings;
    using K = ParameterKind;
    // In the order the map is read.
    static const std::vector<ParameterField<S>> fields = {
            {"seed", &S::seed, K::Int, 0},
            {"width", &S::width, K::Int, 600},
            {"height", &S::height, K::TruncatedReal, 600},
            {"masking", &S::masking, K::Real, 0.0},
            {"masking_scale_x", &S::maskingScaleX, K::Real, 1.0},
            {"masking_scale_y", &S::maskingScaleY, K::Real, 1.0},
            {"scale", &S::scale, K::Real, 0.6},
            {"wire_length", &S::wireLength, K::Real, 0.4},
            {"wire_thick_percent", &S::wireThickPercent, K::Real, 0.1},
            {"cutoff_length", &S::cutoffLength, K::Real, 0.0},
            {"cutoff_percentage", &S::cutoffPercentage, K::Real, 1.0},
            {"wire_thickness", &S::wireThickness, K::Real, 1.0},
            {"dot_size", &S::dotSize, K::Real, 1.2},
            {"hole_size", &S::holeSize, K::Real, 0.5},
            {"inside_hole_size", &S::insideHoleSize, K::Real, 0.5},
            {"max_wire_thickness", &S::maxWireThickness, K::Real, 2.4},
            {"wire_roundness", &S::wireRoundness, K::Real, 0.0},
            {"tendency_straight", &S::tendencyStraight, K::Real, 0.5},
            {"tendency_homogenity", &S::tendencyHomogenity, K::Real, 0.5},
            {"dense_amount", &S::denseAmount, K::Real, 0.5},
            {"tendency_hv", &S::tendencyHv, K::Real, 0.0},
            {"tendency_random", &S::tendencyRandom, K::Real, 0.5},
            {"tendency_power", &S::tendencyPower, K::Real, 1.0},
            {"loops", &S::loops, K::Int, 1},
            {"bg_color", &S::bgColor, K::Color, rgb(0, 50, 100)},
            {"wire_color", &S::wireColor, K::Color, rgb(255, 255, 255)},
            {"inside_hole_color", &S::insideHoleColor, K::Color, rgb(255, 255, 255)},
            {"signal_color", &S::signalColor, K::Color, rgb(255, 255, 255)},
            {"signal_amount", &S::signalAmount, K::Real, 0.5},
            {"signal_size", &S::signalSize, K::Real, 0.5},
            {"signal_size_variance", &S::signalSizeVariance, K::Real, 0.5},
            {"signal_glowing", &S::signalGlowing, K::Real, 0.5},
            {"glowing_dots_amount", &S::glowingDotsAmount, K::Real, 0.0},
            {"wire_shadow", &S::wireShadow, K::Real, 0.0},
            {"vignetting", &S::vignetting, K::Real, 0.5},
            {"mask_type", &S::maskType, K::Text, QString()},
            {"mask_text", &S::maskText, K::Text, QString()},
            {"mask_font", &S::maskFont, K::Text, QString()},
            {"mask_letter_spacing", &S::maskLetterSpacing, K::Int, 0},
            {"mask_font_weight", &S::maskFontWeight, K::Int, 400},
            {"mask_italic", &S::maskItalic, K::Bool, false},
            {"invert_mask", &S::invertMask, K::Bool, false},
            {"mask_file_path", &S::maskFilePath, K::Text, QString()},
    };
    return fields;
}

const std::vector<ParameterField<Modificator>> &ParameterTable::modificatorFields()
{
    using M = Modificator;
    using K = ParameterKind;
    static const std::vector<ParameterField<M>> fields = {
            {"type", &M::type, K::Int, {}},      {"x1", &M::x1, K::Real, {}},
            {"y1", &M::y1, K::Real, {}},         {"x2", &M::x2, K::Real, {}},
            {"y2", &M::y2, K::Real, {}},         {"intensity", &M::intensity, K::Real, {}},
            {"spread", &M::spread, K::Real, {}}, {"direction", &M::direction, K::Int, {}},
    };
    return fields;
}

const std::vector<ParameterField<Adjustment>> &ParameterTable::adjustmentFields()
{
    using A = Adjustment;
    using K = ParameterKind;
    static const std::vector<ParameterField<A>> fields = {
            {"x", &A::x, K::Real, {}},
            {"y", &A::y, K::Real, {}},
            {"radius", &A::radius, K::Real, {}},
            {"hardness", &A::hardness, K::Real, {}},
            {"masking", &A::masking, K::Real, {}},
            {"density", &A::density, K::Real, {}},
            {"signal_amount", &A::signalAmount, K::Real, {}},
    };
    return fields;
}

const std::vector<ParameterField<ChipSpec>> &ParameterTable::chipFields()
{
    using C = ChipSpec;
    using K = ParameterKind;
    static const std::vector<ParameterField<C>> fields = {
            {"x", &C::x, K::Real, {}},
            {"y", &C::y, K::Real, {}},
            {"w", &C::w, K::Int, {}},
            {"h", &C::h, K::Int, {}},
            {"connections", &C::connections, K::Int, {}},
            {"render", &C::render, K::Bool, {}},
    };
    return fields;
}

void ParameterTable::applyInitialValues(GeneratorSettings *settings)
{
    for (const ParameterField<GeneratorSettings> &field : settingsFields())
        assignField(settings, field, field.initial);
    deriveMaskType(settings);
}

void ParameterTable::read(const QVariantMap &map, GeneratorSettings *settings)
{
    readRecord(map, settingsFields(), settings);
    deriveMaskType(settings);
    settings->modificators = readList(map.value(QLatin1String(kModificatorsKey)), modificatorFields());
    for (Modificator &m : settings->modificators)
        deriveLine(&m);
    settings->adjustments = readList(map.value(QLatin1String(kAdjustmentsKey)), adjustmentFields());
    settings->chips = readList(map.value(QLatin1String(kChipsKey)), chipFields());
}

QVariantMap ParameterTable::describe()
{
    QVariantMap settings;
    for (const ParameterField<GeneratorSettings> &field : settingsFields()) {
        settings.insert(QString::fromLatin1(field.key),
                        QVariantMap {{QStringLiteral("kind"), kindName(field.kind)},
                                     {QStringLiteral("initial"), field.initial}});
    }
    const QVariantMap lists {{QLatin1String(kModificatorsKey), keysOf(modificatorFields())},
                             {QLatin1String(kAdjustmentsKey), keysOf(adjustmentFields())},
                             {QLatin1String(kChipsKey), keysOf(chipFields())}};
    return QVariantMap {{QStringLiteral("settings"), settings}, {QStringLiteral("lists"), lists}};
}
