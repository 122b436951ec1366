// The five linear congruential streams, their seeding and the safe index rule.
#include "directionpermutation.h"
#include "directions.h"
#include "randomstreams.h"

#include <QtTest>

#include <algorithm>

// All eight directions of the ordering `index`.
static void readPermutation(int index, int32_t out[8])
{
    DirectionPermutation order(index);
    for (int i = 0; i < 8; ++i)
        out[i] = order.next();
}

class TestRandomStream : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstValuesFromSeedZero()
    {
        RandomStream s(0);
        // (0 * 9301 + 49297) mod 233280 = 49297; next: 49297 * 9301 + 49297 = 458 551 694 mod 233280 = 165494.
        QCOMPARE(s.next(), 49297 / 233280.0);
        QCOMPARE(s.state(), qint64(49297));
        QCOMPARE(s.next(), 165494 / 233280.0);
        QCOMPARE(s.state(), qint64(165494));
    }

    void valuesStayInUnitIntervalForNonNegativeStates()
    {
        RandomStream s(12345);
        for (int i = 0; i < 100000; ++i) {
            const double v = s.next();
            QVERIFY(v >= 0.0 && v < 1.0);
        }
    }

    void reseedUsesTheFiveOffsets()
    {
        RandomStreams streams;
        streams.reseed(7);
        const auto st = streams.states();
        QCOMPARE(st[0], qint64(7));
        QCOMPARE(st[1], qint64(1007));
        QCOMPARE(st[2], qint64(1340));
        QCOMPARE(st[3], qint64(1673));
        QCOMPARE(st[4], qint64(2340));
        QCOMPARE(streams.stream(StreamStart).state(), qint64(7));
        QCOMPARE(streams.stream(StreamSignal).state(), qint64(2340));
        // Two sets never share a state.
        RandomStreams other;
        other.reseed(8);
        QCOMPARE(streams.stream(StreamSignal).state(), qint64(2340));
    }

    void offsetsWrapAroundIn32Bits()
    {
        RandomStreams streams;
        streams.reseed(2147482000);
        const auto st = streams.states();
        QCOMPARE(st[0], qint64(2147482000));
        QCOMPARE(st[1], qint64(2147483000));
        QCOMPARE(st[2], qint64(2147483333));
        QCOMPARE(st[3], qint64(2147482000) + 1666 - (qint64(1) << 32)); // -2147483630
        QCOMPARE(st[4], qint64(2147482000) + 2333 - (qint64(1) << 32)); // -2147482963
        // The negative state keeps the sign of the dividend: values in (-1, 0].
        const double v = streams.stream(StreamCutoff).next();
        QVERIFY(v <= 0.0 && v > -1.0);
        const qint64 expected = ((qint64(-2147483630) * 9301 + 49297) % 233280);
        QCOMPARE(streams.stream(StreamCutoff).state(), expected);
        QVERIFY(expected < 0);
    }

    void negativeSeedGivesNegativeValuesAndSafeIndices()
    {
        RandomStreams streams;
        streams.reseed(-5);
        const double v = streams.stream(StreamStart).next();
        QCOMPARE(v, double((-5 * 9301 + 49297) % 233280) / 233280.0); // 2792: still positive
        RandomStream s(-100000);
        const double n = s.next();
        QVERIFY(n < 0.0);
        QCOMPARE(randomIndex(n, 10), 0);
        QCOMPARE(randomIndex(-0.9999, 3), 0);
        QCOMPARE(randomIndex(0.0, 3), 0);
        QCOMPARE(randomIndex(0.5, 3), 1);
        QCOMPARE(randomIndex(0.99999, 3), 2);
        QCOMPARE(randomIndex(1.0, 3), 2); // cannot come from a stream; still in range
    }

    void permutationTableIsLexicographic()
    {
        int32_t expected[8] = {0, 1, 2, 3, 4, 5, 6, 7};
        for (int i = 0; i < kDirectionPermutationCount; ++i) {
            int32_t got[8];
            readPermutation(i, got);
            QVERIFY2(std::equal(got, got + 8, expected), qPrintable(QString::number(i)));
            std::next_permutation(expected, expected + 8);
        }
        int32_t last[8];
        readPermutation(40319, last);
        const int32_t reversed[8] = {7, 6, 5, 4, 3, 2, 1, 0};
        QVERIFY(std::equal(last, last + 8, reversed));
        int32_t clamped[8];
        readPermutation(-3, clamped); // out-of-range index is clamped
        QCOMPARE(clamped[7], 7);
    }
};

QTEST_MAIN(TestRandomStream)
#include "tst_randomstream.moc"
