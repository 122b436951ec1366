// The vector documents' fast number text against the toolkit's conversions it replaces:
// the same characters for every value of each family, ties and signs included.
#include "numbertext.h"

#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <random>

namespace {

using Family = std::function<double(std::mt19937_64 &)>;

double scaled(std::mt19937_64 &random, double unit, int offset)
{
    return double(qint64(random() % 20000000) - offset) * unit;
}

// What the PDF writer printed before: fixed point without trailing zeros, never "-0".
QByteArray toolkitFixed(double value, int decimals)
{
    static const QRegularExpression trailingZeros(QStringLiteral("\\.?0+$"));
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.')))
        text.remove(trailingZeros);
    return text == QLatin1String("-0") ? QByteArray("0") : text.toLatin1();
}

} // namespace

Q_DECLARE_METATYPE(Family)

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesTheToolkitForEveryValue_data()
    {
        QTest::addColumn<Family>("family");
        QTest::newRow("canvas coordinates")
                << Family([](std::mt19937_64 &r) { return std::uniform_real_distribution<double>(-5e4, 5e4)(r); });
        QTest::newRow("dyadic values: exact ties in the last digit")
                << Family([](std::mt19937_64 &r) { return std::ldexp(scaled(r, 1, 10000000), int(r() % 40) - 20); });
        QTest::newRow("halves") << Family([](std::mt19937_64 &r) { return scaled(r, 1, 0) + 0.5; });
        QTest::newRow("integers, negative too") << Family([](std::mt19937_64 &r) { return scaled(r, 1, 10000000); });
        QTest::newRow("twentieths") << Family([](std::mt19937_64 &r) { return scaled(r, 0.05, 10000000); });
        QTest::newRow("thousandths around ties") << Family([](std::mt19937_64 &r) { return scaled(r, 0.0005, 0); });
        QTest::newRow("tiny to huge") << Family(
                [](std::mt19937_64 &r) { return scaled(r, 1, 10000000) * std::pow(10.0, int(r() % 40) - 25); });
        QTest::newRow("any bit pattern") << Family([](std::mt19937_64 &r) {
            const quint64 bits = r();
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        });
        QTest::newRow("edges") << Family([](std::mt19937_64 &r) {
            static const double edges[]
                    = {0.0,       -0.0,      999999.5,     999999.49999, -999999.5, 1e-4,    9.99995e-5,
                       0.0999995, 0.9999995, 123456.5,     0.0625,       -0.0625,   -0.0004, -0.0005,
                       1e21,      5e-324,    std::nan(""), HUGE_VAL,     -HUGE_VAL};
            return edges[r() % (sizeof edges / sizeof edges[0])];
        });
    }

    void matchesTheToolkitForEveryValue()
    {
        QFETCH(Family, family);
        std::mt19937_64 random(7);
        char text[NumberText::kMaxLength];
        // QCOMPARE only on a difference, which it then shows: a million comparisons otherwise.
        for (int i = 0; i < 10000; ++i) {
            const double value = family(random);
            const QByteArray general(text, NumberText::general(value, text));
            if (general != QString::number(value, 'g', 6).toLatin1())
                QCOMPARE(general, QString::number(value, 'g', 6).toLatin1());
            for (int decimals : {2, 3, 4, 6}) {
                const QByteArray fixed(text, NumberText::fixed(value, decimals, text));
                if (fixed != toolkitFixed(value, decimals))
                    QCOMPARE(fixed, toolkitFixed(value, decimals));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
