// JSON <-> variant helpers of the generator core: parameter maps in, result maps out.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// Reads a JSON object as a parameter map, exactly as page script hands it over:
// numbers become doubles, arrays lists, objects maps. path "-" reads standard input.
// On failure returns false and sets *error to a one-line description of the problem
// (without the file name). Reads at most kMaxParameterFileBytes; a longer input is refused
// as soon as that much has been read.
bool readJsonParameterFile(const QString &path, QVariantMap *out, QString *error);
// 64 MB: a parameter map of the largest studio artwork is a few kilobytes.
constexpr qint64 kMaxParameterFileBytes = qint64(64) << 20;
// The same from bytes already read.
bool parseJsonParameterMap(const QByteArray &bytes, QVariantMap *out, QString *error);

// Shortest text that reads back to exactly the same double ("1", "0.1", "2.4000000953674316").
// Not-a-number and infinities, which JSON cannot carry, are written as null.
QByteArray formatJsonNumber(double value);

// Compact JSON of a variant: maps (keys in map order), lists, strings, bools, numbers
// (ints as integers, floats widened to double, shortest round-trip form), null.
QByteArray variantToJson(const QVariant &value);

// The result map as one line of JSON, wire entries with their keys in the order
// xy, thickness, density.
QByteArray resultMapToJson(const QVariantMap &result);
