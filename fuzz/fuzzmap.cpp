#include "fuzzmap.h"

#include "jsonvariant.h"

#include <algorithm>
#include <cmath>

bool FuzzMap::parse(const uint8_t *data, size_t size, QVariantMap *map)
{
    return parseJsonParameterMap(QByteArray(reinterpret_cast<const char *>(data), int(size)), map, nullptr);
}

void FuzzMap::keepSmall(QVariantMap &map, double maxSide)
{
    clampNumber(map, "width", -64, maxSide);
    clampNumber(map, "height", -64, maxSide);
    const double scale = map.value(QStringLiteral("scale")).toDouble();
    if (scale > 0 && scale < 0.5)
        map[QStringLiteral("scale")] = 0.5;
    clampNumber(map, "loops", -2, 2);
    truncateList(map, "modificators", 8);
    truncateList(map, "adjustments", 8);
    truncateList(map, "chips", 8);
    map[QStringLiteral("mask_text")] = map.value(QStringLiteral("mask_text")).toString().left(16);
    map[QStringLiteral("mask_file_path")] = QString();
}

// JSON gives whole numbers as integers and others as doubles: both are clamped, while a
// value of another type stays as mistyped as it came.
void FuzzMap::clampNumber(QVariantMap &map, const char *key, double low, double high)
{
    const QString name = QString::fromLatin1(key);
    const QVariant value = map.value(name);
    const bool number = value.type() == QVariant::Double || value.type() == QVariant::LongLong
            || value.type() == QVariant::ULongLong || value.type() == QVariant::Int;
    if (number && std::isfinite(value.toDouble()))
        map[name] = std::clamp(value.toDouble(), low, high);
}

void FuzzMap::truncateList(QVariantMap &map, const char *key, int count)
{
    const QString name = QString::fromLatin1(key);
    if (map.value(name).type() == QVariant::List)
        map[name] = map.value(name).toList().mid(0, count);
}
