// Generation runs: hand-checked small circuits, edge cases, bad input, determinism,
// and the fast candidate/pin lists against plain linear lists.
#include "celllist.h"
#include "circuitgenerator.h"
#include "generationbudget.h"
#include "randomstreams.h"

#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// Stream values worked out by hand from state' = (state * 9301 + 49297) mod 233280.
// Stream 1 from seed 0: 49297, 165494, 127551, 172348, 191165, 14802, 87499, 196856,
// 225513, 125230. Stream 2 from 1000: 19097, 144414. Stream 3 from 1333: 83690.
// Stream 4 from 1666: 148283, 78120. Stream 5 from 2333: 53490, 206827, 120344.
double v(qint64 state)
{
    return double(state) / 233280.0;
}

QVariantMap baseMap()
{
    return QVariantMap {{"seed", 0.0},
                        {"width", 600.0},
                        {"height", 600.0},
                        {"scale", 1.0},
                        {"masking", 0.0},
                        {"masking_scale_x", 1.0},
                        {"masking_scale_y", 1.0},
                        {"wire_length", 0.4},
                        {"wire_thick_percent", 0.0},
                        {"cutoff_length", 0.0},
                        {"cutoff_percentage", 1.0},
                        {"max_wire_thickness", 2.4},
                        {"tendency_straight", 0.5},
                        {"tendency_homogenity", 0.5},
                        {"dense_amount", 0.0},
                        {"tendency_hv", 0.0},
                        {"tendency_random", 0.5},
                        {"tendency_power", 1.0},
                        {"loops", 1.0},
                        {"signal_amount", 0.5},
                        {"signal_size", 0.5},
                        {"signal_size_variance", 0.5}};
}

// A complete description of a circuit for equality checks.
QString describe(const Circuit *c)
{
    QString out = QStringLiteral("%1x%2;").arg(c->columns()).arg(c->rows());
    for (const ChipPlacement &p : c->chips())
        out += QStringLiteral("chip %1 %2 %3 %4 %5 %6;")
                       .arg(p.colStart)
                       .arg(p.rowStart)
                       .arg(p.colEnd)
                       .arg(p.rowEnd)
                       .arg(p.pinsTopBottom)
                       .arg(p.pinsLeftRight);
    for (const auto &w : c->wires()) {
        out += QStringLiteral("w t%1 d%2 s%3 p%4 z%5 dir%6:")
                       .arg(double(w->thickness))
                       .arg(w->density)
                       .arg(w->laneSide)
                       .arg(double(w->signalPosition), 0, 'g', 9)
                       .arg(double(w->signalSize), 0, 'g', 9)
                       .arg(w->direction);
        for (const CircuitCell *cell : w->cells)
            out += QStringLiteral("%1,%2 ").arg(cell->x).arg(cell->y);
        if (w->laneEndStart)
            out += QStringLiteral("L%1,%2 %3,%4")
                           .arg(w->laneEndStart->x)
                           .arg(w->laneEndStart->y)
                           .arg(w->laneEndEnd->x)
                           .arg(w->laneEndEnd->y);
        out += ';';
    }
    for (int x = 0; x < c->columns(); ++x)
        for (int y = 0; y < c->rows(); ++y) {
            const CircuitCell &cell = c->cell(x, y);
            out += QStringLiteral("%1%2%3%4")
                           .arg(c->isFree(&cell))
                           .arg(c->orientation(&cell))
                           .arg(c->direction(&cell))
                           .arg(c->pinDirection(&cell));
        }
    return out;
}

QVariantMap dataMap(const QString &name)
{
    QFile file(QStringLiteral(TRESSIL_TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).toVariant().toMap();
}

bool allValuesFinite(const Circuit *c)
{
    for (int x = 0; x < c->columns(); ++x)
        for (int y = 0; y < c->rows(); ++y)
            for (float f : c->cell(x, y).values)
                if (!std::isfinite(f))
                    return false;
    return true;
}

} // namespace

class TestCircuitGenerator : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void handCheckedSingleCell()
    {
        // 20 x 20 at scale 1: a 1 x 1 grid. One fill wire: stream 2 (thickness),
        // stream 1: c, the start index, the start direction (no free neighbour: 0),
        // three selection draws (all three candidates off the grid). No signal
        // (one cell). The cut-off draws stream 4 once; presence 1: the wire stays.
        QVariantMap p = baseMap();
        p["width"] = 20.0;
        p["height"] = 20.0;
        CircuitGenerator g;
        const QVariantMap result = g.generate(p);
        const Circuit *c = g.circuit();
        QCOMPARE(c->columns(), 1);
        QCOMPARE(int(c->wires().size()), 1);
        QCOMPARE(c->wires()[0]->direction, 0);
        const auto st = g.streams().states();
        QCOMPARE(st[0], qint64(14802)); // sixth value of stream 1
        QCOMPARE(st[1], qint64(19097));
        QCOMPARE(st[2], qint64(1333));
        QCOMPARE(st[3], qint64(78120)); // cut-off + result filter
        QCOMPARE(st[4], qint64(2333));
        const QVariantList wires = result.value("wires").toList();
        QCOMPARE(wires.size(), 1);
        const QVariantMap w = wires[0].toMap();
        QCOMPARE(w.value("xy").toList(), (QVariantList {QVariant(QVariantList {0, 0})}));
        QCOMPARE(w.value("thickness").toFloat(), 1.0f);
        QCOMPARE(w.value("density").toInt(), 1);
    }

    void handCheckedRowOfThree()
    {
        // 60 x 20 at scale 1: cells (0,0) (1,0) (2,0), candidate order x-major.
        // thickness: s2 0.0819 >= 0 -> 1.0. c = s1[1]. start index floor(0.70942 * 3) = 2: (2,0).
        // Start direction: s1[3] -> permutation 22045 = 4 2 5 6 3 0 7 1; the first
        // neighbour on the grid and free is 7 (west).
        // Step 1 at (2,0), D = 7: weights straight 1.0, left 0.5, right 0.5 (no neighbour
        // orientations). total 2, v = 2 * 0.7388 = 1.4776 -> second (left, d 6, off grid);
        // [straight, right] total 1.5, v = 1.229 -> right (d 0, off grid);
        // [straight] -> (1,0) accepted.
        // Step 2 at (1,0): neighbour (2,0) has orientation 3: q3 = 1, Q = 1, straight
        // 1.5, v = 2.5 * 0.37508 = 0.94 -> straight: (0,0).
        // Step 3 at (0,0): three draws, every candidate off the grid: the wire ends.
        // Signal: s5 0.2293 < 0.5: position s5[2], size (0.5 - s5[3]) * 0.5 + 0.5.
        // Accepted at once (c >= 0, mean density 0). Cut-off: s4, 3 cells > limit 0.
        QVariantMap p = baseMap();
        p["width"] = 60.0;
        p["height"] = 20.0;
        CircuitGenerator g;
        const QVariantMap result = g.generate(p);
        const Circuit *c = g.circuit();
        QCOMPARE(c->columns(), 3);
        QCOMPARE(c->rows(), 1);
        QCOMPARE(int(c->wires().size()), 1);
        const Wire *w = c->wires()[0];
        QCOMPARE(int(w->cells.size()), 3);
        QCOMPARE(w->cells[0], &c->cell(2, 0));
        QCOMPARE(w->cells[1], &c->cell(1, 0));
        QCOMPARE(w->cells[2], &c->cell(0, 0));
        QCOMPARE(w->direction, 7);
        QCOMPARE(c->orientation(&c->cell(0, 0)), 3);
        QCOMPARE(w->signalPosition, float(v(206827)));
        QCOMPARE(w->signalSize, float((0.5 - v(120344)) * 0.5 + 0.5));
        const auto st = g.streams().states();
        QCOMPARE(st[0], qint64(125230)); // ten draws of stream 1
        QCOMPARE(st[3], qint64(78120));
        QCOMPARE(st[4], qint64(120344));
        const QVariantList wires = result.value("wires").toList();
        QCOMPARE(wires.size(), 1);
        QCOMPARE(wires[0].toMap().value("xy").toList(),
                 (QVariantList {QVariant(QVariantList {2, 0}), QVariant(QVariantList {1, 0}),
                                QVariant(QVariantList {0, 0})}));
    }

    void handCheckedChipWithPins()
    {
        // 5 x 5 grid, chip at the centre with w = h = 0 and connections 1:
        // colStart = trunc(0.5 * 5 - 0) = 2, rowStart 2, colEnd = rowEnd = 2.
        // Pins: (1,2) direction 7 pinDirection 3, then (3,2) direction 3 pinDirection 7.
        // wire_length 0.004: maxCells 0, wires never step.
        // Pin wire 1: s1 0.211 * 2 -> index 0: (1,2); s2 0.0819 < 0.5 thick, s3 0.359
        // >= 0.25 -> (2.4 + 1) * 0.5 = 1.7. Pin wire 2: s1 -> (3,2); s2 0.619: 1.0.
        // Fill: every other cell becomes a one-cell wire; the one started on the chip
        // cell is cut (first cell under a chip) and its cell freed.
        QVariantMap p = baseMap();
        p["width"] = 100.0;
        p["height"] = 100.0;
        p["wire_length"] = 0.004;
        p["wire_thick_percent"] = 0.5;
        p["chips"] = QVariantList {
                QVariantMap {{"x", 0.5}, {"y", 0.5}, {"w", 0.0}, {"h", 0.0}, {"connections", 1.0}, {"render", true}}};
        CircuitGenerator g;
        const QVariantMap result = g.generate(p);
        const Circuit *c = g.circuit();
        QCOMPARE(int(c->chips().size()), 1);
        const ChipPlacement &chip = c->chips()[0];
        QCOMPARE(chip.colStart, 2);
        QCOMPARE(chip.rowStart, 2);
        QCOMPARE(chip.colEnd, 2);
        QCOMPARE(chip.rowEnd, 2);
        QVERIFY(chip.pinsLeftRight);
        QVERIFY(!chip.pinsTopBottom);
        QCOMPARE(c->pinDirection(&c->cell(1, 2)), 3);
        QCOMPARE(c->pinDirection(&c->cell(3, 2)), 7);
        QCOMPARE(c->direction(&c->cell(1, 2)), 7);
        QVERIFY(c->wires().size() == 24);
        QCOMPARE(c->wires()[0]->cells[0], &c->cell(1, 2));
        QCOMPARE(c->wires()[0]->thickness, 1.7f);
        QCOMPARE(c->wires()[1]->cells[0], &c->cell(3, 2));
        QCOMPARE(c->wires()[1]->thickness, 1.0f);
        QVERIFY(c->wires()[0]->attachedToChip());
        QCOMPARE(c->cell(2, 2).presence(), 0.0f);
        QVERIFY(c->cell(2, 2).chip != nullptr);
        QVERIFY(c->isFree(&c->cell(2, 2))); // freed by the cut-off, left empty after the last pass
        for (const auto &w : c->wires()) {
            QCOMPARE(int(w->cells.size()), 1);
            QVERIFY(w->cells[0] != &c->cell(2, 2));
        }
        QCOMPARE(result.value("wires").toList().size(), 24);
    }

    void handCheckedModificatorAndAdjustment()
    {
        // 10 x 10 grid; loops 0, no chips: nothing grows, the cell fields stay.
        // Modificator along y = 0.5 (dx 1, dy 0, L 1, c 0.5), intensity 1, spread 1,
        // direction 3: slot 3 += 10 * 2.71828^(-50 (0.5 - v)^2).
        // Adjustment at (0.5, 0.5), radius 0.1, hardness 0, masking 0.5, density 1,
        // signal 1: at the centre g = 1: slot 6 0.5, slot 7 1, slot 8 0.1 + 2, presence 0.5.
        QVariantMap p = baseMap();
        p["width"] = 200.0;
        p["height"] = 200.0;
        p["loops"] = 0.0;
        p["modificators"] = QVariantList {QVariantMap {{"type", 0.0},
                                                       {"x1", 0.0},
                                                       {"y1", 0.5},
                                                       {"x2", 1.0},
                                                       {"y2", 0.5},
                                                       {"intensity", 1.0},
                                                       {"spread", 1.0},
                                                       {"direction", 3.0}},
                                          QVariantMap {{"type", 1.0},
                                                       {"x1", 0.0},
                                                       {"y1", 0.5},
                                                       {"x2", 1.0},
                                                       {"y2", 0.5},
                                                       {"intensity", 1.0},
                                                       {"spread", 1.0},
                                                       {"direction", 1.0}}, // type 1: nothing
                                          QVariantMap {{"type", 0.0},
                                                       {"x1", 0.0},
                                                       {"y1", 0.5},
                                                       {"x2", 1.0},
                                                       {"y2", 0.5},
                                                       {"intensity", 1.0},
                                                       {"spread", 0.0},
                                                       {"direction", 2.0}}}; // spread 0: nothing
        p["adjustments"] = QVariantList {QVariantMap {{"x", 0.5},
                                                      {"y", 0.5},
                                                      {"radius", 0.1},
                                                      {"hardness", 0.0},
                                                      {"masking", 0.5},
                                                      {"density", 1.0},
                                                      {"signal_amount", 1.0}},
                                         QVariantMap {{"x", 0.5},
                                                      {"y", 0.5},
                                                      {"radius", 0.0},
                                                      {"hardness", 0.0},
                                                      {"masking", 1.0},
                                                      {"density", 1.0},
                                                      {"signal_amount", 1.0}}}; // radius 0: nothing
        CircuitGenerator g;
        g.generate(p);
        const Circuit *c = g.circuit();
        QVERIFY(c->wires().empty());
        QVERIFY(allValuesFinite(c));
        QCOMPARE(c->cell(3, 5).values[3], 10.0f);
        QVERIFY(qAbs(c->cell(3, 4).values[3] - float(10.0 * std::pow(2.71828, -0.5))) < 1e-5f);
        QCOMPARE(c->cell(3, 5).values[1], 0.0f);
        QCOMPARE(c->cell(3, 5).values[2], 0.0f);
        const CircuitCell &centre = c->cell(5, 5);
        QCOMPARE(centre.values[6], 0.5f);
        QCOMPARE(centre.values[7], 1.0f);
        QCOMPARE(centre.values[8], float(0.1f + 2.0));
        QCOMPARE(centre.presence(), 0.5f);
        // Corner: d2 = 0.5 > 0.01 * 1.41, g = 2.71828^(-10 * 0.5).
        QVERIFY(qAbs(c->cell(0, 0).values[7] - float(std::pow(2.71828, -5.0))) < 1e-7f);
    }

    void loopsZeroGrowsOnlyPinWires()
    {
        QVariantMap p = baseMap();
        p["loops"] = 0.0;
        p["scale"] = 0.6;
        p["chips"] = QVariantList {QVariantMap {{"x", 0.5}, {"y", 0.5}, {"w", 4.0}, {"h", 2.0}, {"connections", 3.0}}};
        CircuitGenerator g;
        g.generate(p);
        const Circuit *c = g.circuit();
        // Unclipped chip: 5 columns, 3 rows; pins 5 + 5 + 3 + 3.
        QCOMPARE(c->chips()[0].colEnd - c->chips()[0].colStart, 4);
        // A pin wire that reaches another pin ends there and uses that pin up, so there
        // are at most 16 wires, each starting on a pin, and every pin cell is taken.
        QVERIFY(c->wires().size() <= 16 && c->wires().size() >= 8);
        int pins = 0;
        for (int x = 0; x < c->columns(); ++x)
            for (int y = 0; y < c->rows(); ++y)
                if (c->pinDirection(&c->cell(x, y)) >= 0) {
                    ++pins;
                    QVERIFY(!c->isFree(&c->cell(x, y)));
                }
        QCOMPARE(pins, 16);
        int freeCells = 0;
        for (const auto &w : c->wires())
            QVERIFY(c->isPin(w->cells.front()));
        for (int x = 0; x < c->columns(); ++x)
            for (int y = 0; y < c->rows(); ++y)
                freeCells += c->isFree(&c->cell(x, y));
        QVERIFY(freeCells > 0); // the other cells stay empty
    }

    void chipAtEdgeAndManyConnections()
    {
        QVariantMap p = baseMap();
        p["loops"] = 0.0;
        p["chips"] = QVariantList {QVariantMap {{"x", 0.0}, {"y", 0.0}, {"w", 3.0}, {"h", 3.0}, {"connections", 3.0}},
                                   QVariantMap {{"x", 0.5}, {"y", 0.5}, {"w", 2.0}, {"h", 2.0}, {"connections", 4.0}}};
        CircuitGenerator g;
        g.generate(p);
        const Circuit *c = g.circuit();
        const ChipPlacement &a = c->chips()[0];
        QCOMPARE(a.colStart, 0); // trunc(0 - 1) = -1 -> 0
        QCOMPARE(a.rowStart, 0);
        const ChipPlacement &b = c->chips()[1];
        QVERIFY(!b.pinsTopBottom && !b.pinsLeftRight); // connections 4: flags false
        // Chip a: pins only on the bottom and right (4 + 4); chip b: top and bottom (3 + 3).
        int pins = 0;
        for (int x = 0; x < c->columns(); ++x)
            for (int y = 0; y < c->rows(); ++y)
                pins += c->pinDirection(&c->cell(x, y)) >= 0;
        QCOMPARE(pins, 14);
        QCOMPARE(c->pinDirection(&c->cell(4, 0)), 7); // right of chip a, pointing west into it
        QCOMPARE(c->pinDirection(&c->cell(0, 4)), 1); // below chip a, pointing north
        QCOMPARE(c->pinDirection(&c->cell(14, 13)), 5); // above chip b (rows 14..16)
    }

    void denseAmountOneGivesSecondLanes()
    {
        QVariantMap p = baseMap();
        p["scale"] = 0.6;
        p["dense_amount"] = 1.0;
        p["wire_length"] = 0.05;
        CircuitGenerator g;
        g.generate(p);
        int doubles = 0;
        for (const auto &w : g.circuit()->wires()) {
            if (w->density == 2) {
                ++doubles;
                QVERIFY(w->laneEndStart && w->laneEndEnd);
                QVERIFY(w->cells.size() > 5);
            }
        }
        QVERIFY(doubles > 0);
    }

    void cutoffFiltersResult()
    {
        QVariantMap p = baseMap();
        p["scale"] = 0.6;
        p["cutoff_length"] = 1.0;
        p["cutoff_percentage"] = 1.0;
        p["wire_length"] = 0.05; // limit trunc(1 * 1 * 0.05 * 200) = 10, maxCells 10
        p["chips"] = QVariantList {QVariantMap {{"x", 0.5}, {"y", 0.5}, {"w", 4.0}, {"h", 2.0}, {"connections", 3.0}}};
        CircuitGenerator g;
        const QVariantMap result = g.generate(p);
        // Every wire is at most 10 cells: all left out of the list, pin wires included.
        QVERIFY(!g.circuit()->wires().empty());
        QCOMPARE(result.value("wires").toList().size(), 0);
        // Only chip-attached wires survive the cut-off in the circuit.
        for (const auto &w : g.circuit()->wires())
            QVERIFY(w->attachedToChip());
    }

    void reseedAndRegenerateIsIdentical()
    {
        QVariantMap p = baseMap();
        p["seed"] = 1234.0;
        p["scale"] = 0.5;
        p["loops"] = 3.0;
        p["cutoff_length"] = 0.5;
        p["cutoff_percentage"] = 0.7;
        p["dense_amount"] = 0.6;
        p["wire_thick_percent"] = 0.3;
        p["modificators"] = QVariantList {QVariantMap {{"type", 0.0},
                                                       {"x1", 0.1},
                                                       {"y1", 0.2},
                                                       {"x2", 0.8},
                                                       {"y2", 0.7},
                                                       {"intensity", 0.5},
                                                       {"spread", 0.3},
                                                       {"direction", 2.0}}};
        p["chips"] = QVariantList {QVariantMap {{"x", 0.3}, {"y", 0.6}, {"w", 5.0}, {"h", 3.0}, {"connections", 3.0}}};
        CircuitGenerator g;
        const QVariantMap r1 = g.generate(p);
        const QString d1 = describe(g.circuit());
        g.resetSeed();
        g.generateCircuit();
        const QVariantMap r2 = g.resultMap();
        QCOMPARE(describe(g.circuit()), d1);
        QCOMPARE(r2, r1);
        CircuitGenerator other;
        QCOMPARE(other.generate(p), r1);
    }

    void fastListsEqualLinearLists_data()
    {
        QTest::addColumn<QVariantMap>("map");
        auto add = [](const char *name, QVariantMap changes) {
            QVariantMap p = baseMap();
            for (auto it = changes.begin(); it != changes.end(); ++it)
                p[it.key()] = it.value();
            QTest::newRow(name) << p;
        };
        add("defaults", {{"scale", 0.6}});
        add("dense", {{"scale", 0.5}, {"dense_amount", 0.8}, {"loops", 2.0}, {"seed", 77.0}});
        add("cutoff",
            {{"scale", 0.4}, {"cutoff_length", 0.6}, {"cutoff_percentage", 0.8}, {"loops", 4.0}, {"seed", 5.0}});
        add("chips",
            {{"scale", 0.5},
             {"seed", 9.0},
             {"wire_thick_percent", 0.4},
             {"chips",
              QVariantList {QVariantMap {{"x", 0.3}, {"y", 0.3}, {"w", 6.0}, {"h", 4.0}, {"connections", 3.0}},
                            QVariantMap {{"x", 0.35}, {"y", 0.3}, {"w", 6.0}, {"h", 4.0}, {"connections", 2.0}},
                            QVariantMap {{"x", 0.8}, {"y", 0.8}, {"w", 2.0}, {"h", 8.0}, {"connections", 1.0}}}}});
        add("adjust",
            {{"scale", 0.5},
             {"seed", 31.0},
             {"loops", 2.0},
             {"cutoff_length", 0.3},
             {"adjustments",
              QVariantList {QVariantMap {{"x", 0.5},
                                         {"y", 0.5},
                                         {"radius", 0.05},
                                         {"hardness", 0.5},
                                         {"masking", 0.7},
                                         {"density", 2.0},
                                         {"signal_amount", 1.0}}}}});
        add("negative seed", {{"scale", 0.6}, {"seed", -12345.0}, {"loops", 2.0}, {"cutoff_length", 0.4}});
        add("every unattached wire cut in each of 300 passes",
            {{"scale", 2.0},
             {"loops", 300.0},
             {"cutoff_length", 1.0},
             {"cutoff_percentage", 1.0},
             {"seed", 3.0},
             {"chips",
              QVariantList {QVariantMap {{"x", 0.5}, {"y", 0.5}, {"w", 2.0}, {"h", 2.0}, {"connections", 3.0}}}}});
        add("many passes that change nothing after the first",
            {{"scale", 0.6}, {"loops", 100000.0}, {"seed", 11.0}, {"dense_amount", 0.3}});
        add("wrap seed", {{"scale", 0.6}, {"seed", 2147482000.0}, {"loops", 2.0}, {"cutoff_length", 0.4}});
    }

    void fastListsEqualLinearLists()
    {
        QFETCH(QVariantMap, map);
        CircuitGenerator fast;
        const QVariantMap r1 = fast.generate(map);
        CircuitGenerator plain;
        plain.setListStrategy(CircuitGenerator::ListStrategy::Linear);
        const QVariantMap r2 = plain.generate(map);
        QCOMPARE(plain.streams().states(), fast.streams().states());
        QCOMPARE(describe(plain.circuit()), describe(fast.circuit()));
        QCOMPARE(r2, r1);
        QVERIFY(!fast.circuit()->wires().empty());
    }

    // Once nothing is left to fill and no wire can be cut, further passes only draw
    // stream 4 once per wire; they are skipped and the draws made in one go. Expected:
    // the circuit of one pass and stream 4 advanced draw by draw.
    void passesThatChangeNothingGiveTheSameCircuitAndStreams_data()
    {
        QTest::addColumn<double>("seed");
        QTest::addColumn<double>("loops");
        QTest::newRow("a second pass") << 7.0 << 2.0;
        QTest::newRow("fewer skipped draws than the stream has states") << 7.0 << 500.0;
        QTest::newRow("many more skipped draws than the stream has states") << 7.0 << 123457.0;
        QTest::newRow("negative stream states") << -54321.0 << 123457.0;
    }

    void passesThatChangeNothingGiveTheSameCircuitAndStreams()
    {
        QFETCH(double, seed);
        QFETCH(double, loops);
        QVariantMap p = baseMap(); // cut-off length 0 and no mask: no wire is ever cut
        p["seed"] = seed;
        p["scale"] = 0.6;
        p["loops"] = 1.0;
        CircuitGenerator onePass;
        onePass.readParameters(p);
        onePass.generateCircuit();
        auto expected = onePass.streams().states();
        RandomStream stream4(expected[StreamCutoff - 1]);
        const qint64 draws = (qint64(loops) - 1) * qint64(onePass.circuit()->wires().size());
        for (qint64 i = 0; i < draws; ++i)
            stream4.next();
        expected[StreamCutoff - 1] = stream4.state();

        p["loops"] = loops;
        CircuitGenerator many;
        many.readParameters(p);
        many.generateCircuit();
        QCOMPARE(many.lastError(), QString());
        QCOMPARE(describe(many.circuit()), describe(onePass.circuit()));
        QCOMPARE(many.streams().states(), expected);
    }

    void passesThatChangeNothingAreNotCountedAgainstTheBudget()
    {
        QVariantMap p = baseMap();
        p["loops"] = 2147483647.0;
        CircuitGenerator g;
        g.generate(p);
        QCOMPARE(g.lastError(), QString());
        QVERIFY(!g.circuit()->wires().empty());
    }

    void workBeyondTheBudgetIsRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("endless passes that cut every wire") << "budget_endless_passes.json"
                                                            << "1000 fill passes";
        QTest::newRow("a hundred adjustments on the largest grid") << "budget_adjustments_on_largest_grid.json"
                                                                   << "67108864 cell updates";
        QTest::newRow("a thousand chips on the largest grid") << "budget_thousand_chips.json"
                                                              << "67108864 cells";
        QTest::newRow("chips with millions of pins") << "budget_many_pins.json"
                                                     << "1048576 pins";
        // Every short wire tried ten times over six passes: stopped after a few seconds.
        QTest::newRow("dense short wires, pass after pass") << "budget_endless_growth.json"
                                                           << "16777216 wire starts";
    }

    void workBeyondTheBudgetIsRefused()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        const QVariantMap map = dataMap(file);
        QVERIFY(!map.isEmpty());
        CircuitGenerator g;
        const QVariantMap result = g.generate(map);
        QVERIFY2(g.lastError().startsWith("generation refused: "), qPrintable(g.lastError()));
        QVERIFY2(g.lastError().contains(reason), qPrintable(g.lastError()));
        QCOMPARE(g.circuit()->cellCount(), int64_t(0));
        QCOMPARE(result.value("wires").toList().size(), 0);
        // The next map within the budget generates again.
        g.generate(baseMap());
        QCOMPARE(g.lastError(), QString());
        QVERIFY(!g.circuit()->wires().empty());
    }

    void artworkMapsAreWithinTheBudget_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *name : {"render_default_map.json", "render_mixed_map.json", "render_showcase_map.json"})
            QTest::newRow(name) << name;
    }

    void artworkMapsAreWithinTheBudget()
    {
        QFETCH(QString, file);
        CircuitGenerator g;
        g.generate(dataMap(file));
        QCOMPARE(g.lastError(), QString());
        QVERIFY(!g.circuit()->wires().empty());
    }

    void budgetLimitsAreInclusive_data()
    {
        QTest::addColumn<int>("passes");
        QTest::addColumn<qint64>("workPerPass");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("the most passes") << int(GenerationBudget::kMaxPasses) << qint64(1) << true;
        QTest::newRow("one pass more") << int(GenerationBudget::kMaxPasses) + 1 << qint64(1) << false;
        QTest::newRow("the most pass work in one pass") << 1 << qint64(GenerationBudget::kMaxPassWork) << true;
        QTest::newRow("one step of pass work more") << 1 << qint64(GenerationBudget::kMaxPassWork + 1) << false;
        QTest::newRow("the most pass work over two passes") << 2 << qint64(GenerationBudget::kMaxPassWork / 2) << true;
    }

    void budgetLimitsAreInclusive()
    {
        QFETCH(int, passes);
        QFETCH(qint64, workPerPass);
        QFETCH(bool, admitted);
        GenerationBudget budget;
        bool ok = true;
        for (int i = 0; i < passes && ok; ++i)
            ok = budget.chargePass(workPerPass);
        QCOMPARE(ok, admitted);
        QCOMPARE(budget.error().isEmpty(), admitted);
    }

    // The candidate list is emptied and refilled in every pass; it must give the entries
    // of a plain sequence whatever happened to it before.
    void indexedListRefilledAfterEmptyingKeepsPlainOrder()
    {
        IndexedCellList fast(8);
        LinearCellList plain(8);
        for (int round = 0; round < 1000; ++round) {
            for (int32_t c : {3, 1, 4, 1, 5, 7, 2, 6}) {
                fast.append(c);
                plain.append(c);
            }
            QCOMPARE(fast.size(), plain.size());
            for (int k = 0; k < plain.size(); ++k)
                QCOMPARE(fast.at(k), plain.at(k));
            for (int32_t c : {1, 6, 3, 1, 7, 5, 2, 4}) {
                QCOMPARE(fast.removeFirst(c), plain.removeFirst(c));
                QCOMPARE(fast.size(), plain.size());
                for (int k = 0; k < plain.size(); ++k)
                    QCOMPARE(fast.at(k), plain.at(k));
            }
            QVERIFY(fast.empty());
            QCOMPARE(fast.slotCount(), 0);
        }
    }

    void badGeometryGivesEmptyCircuitWithoutDraws_data()
    {
        QTest::addColumn<QVariant>("scale");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("scale 0") << QVariant(0.0) << 600.0 << 600.0;
        QTest::newRow("scale negative") << QVariant(-1.0) << 600.0 << 600.0;
        QTest::newRow("scale not a number") << QVariant("abc") << 600.0 << 600.0;
        QTest::newRow("scale infinite") << QVariant(std::numeric_limits<double>::infinity()) << 600.0 << 600.0;
        QTest::newRow("width 0") << QVariant(0.6) << 0.0 << 600.0;
        QTest::newRow("height negative") << QVariant(0.6) << 600.0 << -10.0;
        QTest::newRow("too large") << QVariant(0.01) << 100000.0 << 100000.0;
    }

    void badGeometryGivesEmptyCircuitWithoutDraws()
    {
        QFETCH(QVariant, scale);
        QFETCH(double, width);
        QFETCH(double, height);
        QVariantMap p = baseMap();
        p["scale"] = scale;
        p["width"] = width;
        p["height"] = height;
        p["chips"] = QVariantList {QVariantMap {{"x", 0.5}, {"y", 0.5}, {"w", 2.0}, {"h", 2.0}, {"connections", 3.0}}};
        CircuitGenerator g;
        g.readParameters(p);
        const auto before = g.streams().states();
        Circuit *c = g.generateCircuit();
        QCOMPARE(c->columns(), 0);
        QCOMPARE(c->rows(), 0);
        QVERIFY(c->wires().empty());
        QVERIFY(c->chips().empty());
        QCOMPARE(g.streams().states(), before);
        QCOMPARE(g.resultMap().value("wires").toList().size(), 0);
    }

    void badValuesStaySafe()
    {
        QVariantMap p = baseMap();
        p["scale"] = 0.6;
        p["seed"] = -999999.0;
        p["tendency_power"] = -1.0;
        p["tendency_random"] = 0.0;
        p["tendency_straight"] = 0.0;
        p["tendency_homogenity"] = 0.0;
        p["modificators"] = QVariantList {QVariantMap {{"type", 0.0},
                                                       {"x1", 0.3},
                                                       {"y1", 0.3},
                                                       {"x2", 0.3},
                                                       {"y2", 0.3},
                                                       {"intensity", 1.0},
                                                       {"spread", 1.0},
                                                       {"direction", 3.0}},
                                          QVariantMap {{"type", 0.0},
                                                       {"x1", 0.0},
                                                       {"y1", 0.0},
                                                       {"x2", 1.0},
                                                       {"y2", 1.0},
                                                       {"intensity", 1e30},
                                                       {"spread", 1e-30},
                                                       {"direction", 9.0}}};
        CircuitGenerator g;
        g.generate(p);
        QVERIFY(allValuesFinite(g.circuit()));
        QVERIFY(!g.circuit()->wires().empty());

        p["wire_length"] = -0.5; // wires stay single cells
        g.generate(p);
        for (const auto &w : g.circuit()->wires())
            QCOMPARE(int(w->cells.size()), 1);
    }

    void zeroWeightsTakeStraightFirst()
    {
        // Every raw weight 0 (power 1): total 0, v 0, the straight candidate is taken.
        // With a negative power the non-finite weights are taken as 0: the same.
        for (double power : {1.0, -1.0}) {
            QVariantMap p = baseMap();
            p["width"] = 200.0;
            p["height"] = 20.0;
            p["tendency_power"] = power;
            p["tendency_random"] = 0.0;
            p["tendency_straight"] = 0.0;
            p["tendency_homogenity"] = 0.0;
            p["signal_amount"] = 0.0;
            CircuitGenerator g;
            g.generate(p);
            // One row: every wire runs straight east or west until it meets a taken cell.
            for (const auto &w : g.circuit()->wires())
                for (size_t i = 1; i < w->cells.size(); ++i)
                    QCOMPARE(g.circuit()->direction(w->cells[i]), g.circuit()->direction(w->cells[0]));
        }
    }
};

QTEST_MAIN(TestCircuitGenerator)
#include "tst_circuitgenerator.moc"
