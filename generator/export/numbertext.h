// NumberText: numbers as the vector documents print them, written into a character buffer
// several times faster than the toolkit's conversions yet to the same characters: ties in
// the last printed digit round away from zero, as the toolkit does, not to even.
#pragma once

#include <QtGlobal>

class NumberText
{
public:
    // Room for any number these functions write (a fixed-point double of 308 digits).
    static constexpr int kMaxLength = 400;

    // QString::number(value, 'g', 6): at most six significant digits, trailing zeros
    // dropped, an exponent below 1e-4 and from 1e6; -0 is "0". Returns the length.
    static int general(double value, char *out);
    // QByteArray::number(value, 'f', decimals) with trailing zeros and a trailing point
    // dropped; "0" for every value that rounds to zero. decimals from 0 to 9.
    static int fixed(double value, int decimals, char *out);
    static int integer(qint64 value, char *out);

private:
    // |value| * 10^decimals rounded to a whole number, ties away from zero; -1 when the
    // result would not be exact in a double.
    static qint64 scaledRound(double magnitude, int decimals);
    // The sign, then units.fraction with the fraction's trailing zeros dropped.
    static int decimalText(bool negative, qint64 scaled, int decimals, char *out);
};
