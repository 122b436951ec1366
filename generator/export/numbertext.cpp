#include "numbertext.h"

#include <QByteArray>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr qint64 kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
// Products below 2^52 keep a fraction that a double holds exactly.
constexpr double kExactLimit = 4503599627370496.0;

int copied(const QByteArray &text, char *out)
{
    const int length = std::min(text.size(), NumberText::kMaxLength);
    std::memcpy(out, text.constData(), size_t(length));
    return length;
}

// Decimals that give six significant digits for magnitudes from 1e-4 up to 1e6.
int significantDecimals(double magnitude)
{
    // Each literal lies at or above its power of ten, so the comparisons are exact ones.
    static constexpr double kBounds[] = {1e5, 1e4, 1e3, 1e2, 1e1, 1, 1e-1, 1e-2, 1e-3};
    int decimals = 0;
    while (decimals < 9 && magnitude < kBounds[decimals])
        ++decimals;
    return decimals;
}

} // namespace

int NumberText::general(double value, char *out)
{
    if (value == 0) {
        out[0] = '0';
        return 1;
    }
    const double magnitude = std::fabs(value);
    // Outside this range the toolkit writes an exponent (or nan, inf); rare enough to leave to it.
    if (!(magnitude >= 1e-4 && magnitude < 999999.5))
        return copied(QString::number(value, 'g', 6).toLatin1(), out);
    // Whole numbers, most coordinates, need no rounding.
    if (magnitude == std::floor(magnitude))
        return integer(qint64(value), out);
    const int decimals = significantDecimals(magnitude);
    return decimalText(value < 0, scaledRound(magnitude, decimals), decimals, out);
}

int NumberText::fixed(double value, int decimals, char *out)
{
    const double magnitude = std::fabs(value);
    if (magnitude == std::floor(magnitude) && magnitude < kExactLimit && decimals >= 0)
        return integer(qint64(magnitude == 0 ? 0 : value), out);
    const qint64 scaled = decimals >= 0 && decimals <= 9 ? scaledRound(magnitude, decimals) : -1;
    if (scaled < 0) {
        QByteArray text = QByteArray::number(value, 'f', decimals);
        if (text.contains('.')) {
            while (text.endsWith('0'))
                text.chop(1);
            if (text.endsWith('.'))
                text.chop(1);
        }
        return copied(text == "-0" ? QByteArray("0") : text, out);
    }
    return decimalText(value < 0 && scaled > 0, scaled, decimals, out);
}

int NumberText::integer(qint64 value, char *out)
{
    return int(std::to_chars(out, out + kMaxLength, value).ptr - out);
}

qint64 NumberText::scaledRound(double magnitude, int decimals)
{
    const double factor = double(kPowers[decimals]);
    const double product = magnitude * factor;
    if (!(product < kExactLimit))
        return -1;
    // The exact product is product + error; a tie only when the rounded one ends in .5.
    const double error = std::fma(magnitude, factor, -product);
    const double whole = std::floor(product);
    const double fraction = product - whole;
    const bool up = fraction > 0.5 || (fraction == 0.5 && error >= 0);
    return qint64(whole) + (up ? 1 : 0);
}

int NumberText::decimalText(bool negative, qint64 scaled, int decimals, char *out)
{
    char *p = out;
    if (negative)
        *p++ = '-';
    p = std::to_chars(p, out + kMaxLength, scaled / kPowers[decimals]).ptr;
    qint64 fraction = scaled % kPowers[decimals];
    if (fraction == 0)
        return int(p - out);
    int digits = decimals;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --digits;
    }
    *p++ = '.';
    for (int i = digits - 1; i >= 0; --i) {
        p[i] = char('0' + fraction % 10);
        fraction /= 10;
    }
    return int(p + digits - out);
}
