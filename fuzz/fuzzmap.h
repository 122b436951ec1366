// FuzzMap: a parameter map from fuzzer bytes, cut down so that one input takes
// milliseconds: the budgets bound the work of any map, but a fuzzer must run thousands a
// second to explore, and the limits themselves have their own tests.
#pragma once

#include <QVariantMap>

#include <cstddef>
#include <cstdint>

class FuzzMap
{
public:
    // False when the bytes are not a JSON object.
    static bool parse(const uint8_t *data, size_t size, QVariantMap *map);
    // Canvas sides of at most maxSide pixels, cells of at least 10 pixels, at most two
    // passes, short lists, a short mask text and no mask file.
    static void keepSmall(QVariantMap &map, double maxSide);

private:
    static void clampNumber(QVariantMap &map, const char *key, double low, double high);
    static void truncateList(QVariantMap &map, const char *key, int count);
};
