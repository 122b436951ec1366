// Grid geometry, cell defaults, wire start rule, growth checks, second lane, release.
#include "celllist.h"
#include "circuit.h"
#include "eraseat.h"
#include "generatorsettings.h"
#include "powercache.h"
#include "randomstreams.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <numeric>
#include <random>

#include <unistd.h>

// Resident memory of this process, from the kernel's page counts.
static qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// The first `count` cells of the grid, in index order.
static void fillCells(Wire &w, Circuit &c, int32_t count)
{
    w.cells.clear();
    for (int32_t i = 0; i < count; ++i)
        w.cells.push_back(&c.cellByIndex(i));
}

class TestCircuitModel : public QObject
{
    Q_OBJECT

    RandomStreams m_streams;
    RandomStream &start() { return m_streams.stream(StreamStart); }
    void grow(Wire *w, const GeneratorSettings &st)
    {
        PowerCache powers(double(st.tendencyPower));
        w->grow(st, m_streams, powers);
    }

private Q_SLOTS:
    void gridGeometry()
    {
        GridSize g = Circuit::gridSize(600, 600, 0.6f);
        QVERIFY(g.valid);
        QCOMPARE(Circuit::cellSize(0.6f), 12.0f);
        QCOMPARE(g.columns, 50);
        QCOMPARE(g.rows, 50);
        g = Circuit::gridSize(600, 600, 0.7f); // cell size 14: 600 / 14 = 42.86 -> 43
        QCOMPARE(g.columns, 43);
        QCOMPARE(g.rows, 43);
        g = Circuit::gridSize(1920, 1080, 0.2f); // cell size 4
        QCOMPARE(g.columns, 480);
        QCOMPARE(g.rows, 270);
    }

    void badGeometryGivesEmptyGrid()
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        for (float scale : {0.0f, -1.0f, nan, inf, -inf}) {
            const GridSize g = Circuit::gridSize(600, 600, scale);
            QVERIFY(!g.valid);
            QCOMPARE(g.columns, 0);
            QCOMPARE(g.rows, 0);
        }
        QVERIFY(!Circuit::gridSize(0, 600, 1.0f).valid);
        QVERIFY(!Circuit::gridSize(600, -3, 1.0f).valid);
        const GridSize big = Circuit::gridSize(100000, 100000, 0.05f); // 100000 x 100000 cells
        QVERIFY(!big.valid);
        QVERIFY(big.tooLarge);
        const GridSize tiny = Circuit::gridSize(600, 600, 1e-30f);
        QVERIFY(tiny.tooLarge);
        // The limit itself: 2048 x 1024 cells is allowed, one more column is not.
        QVERIFY(Circuit::gridSize(2048, 1024, 0.05f).valid);
        QVERIFY(Circuit::gridSize(2049, 1024, 0.05f).tooLarge);
        Circuit empty(0, 5);
        QCOMPARE(empty.columns(), 0);
        QCOMPARE(empty.rows(), 0);
        QVERIFY(empty.wires().empty());
    }

    void newCellDefaults()
    {
        Circuit c(3, 2);
        const CircuitCell &cell = c.cell(2, 1);
        QCOMPARE(cell.x, 2);
        QCOMPARE(cell.y, 1);
        QVERIFY(c.isFree(&cell));
        QVERIFY(cell.chip == nullptr);
        QCOMPARE(c.orientation(&cell), -1);
        QCOMPARE(c.direction(&cell), -1);
        QCOMPARE(c.pinDirection(&cell), -1);
        QVERIFY(!c.isPin(&cell));
        const float expected[9] = {0, 0, 0, 0, 0, 1.0f, 0, 0, 0.1f};
        for (int i = 0; i < 9; ++i)
            QCOMPARE(cell.values[i], expected[i]);
        QVERIFY(c.cellAt(3, 0) == nullptr);
        QVERIFY(c.cellAt(-1, 0) == nullptr);
        QCOMPARE(c.indexOf(&c.cell(1, 1)), 3); // x-major: x * rows + y
    }

    void directionTables()
    {
        const CellOffset expected[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
        const int orient[8] = {4, 1, 2, 3, 4, 1, 2, 3};
        for (int d = 0; d < 8; ++d) {
            QVERIFY(kDirectionOffsets[d] == expected[d]);
            QCOMPARE(kDirectionOrientation[d], orient[d]);
        }
        QCOMPARE(turnDirection(0, -1), 7);
        QCOMPARE(turnDirection(7, 1), 0);
    }

    void startRuleKeepsPresetDirectionWithoutDrawing()
    {
        m_streams.reseed(3);
        const auto before = m_streams.states();
        Circuit c(3, 3);
        c.setDirection(&c.cell(1, 1), DirEast);
        Wire *w = c.newWire(&c.cell(1, 1), start());
        QCOMPARE(w->direction, int(DirEast));
        QVERIFY(!c.isFree(&c.cell(1, 1)));
        QCOMPARE(m_streams.states(), before);
        QCOMPARE(w->density, 1);
        QCOMPARE(w->thickness, 1.0f);
        QCOMPARE(w->signalPosition, -1.0f);
        QCOMPARE(w->signalSize, -1.0f);
        QCOMPARE(int(c.wires().size()), 1);
    }

    void startRuleOnIsolatedCellTakesDirectionZero()
    {
        m_streams.reseed(0);
        Circuit c(1, 1);
        Wire w(&c, &c.cell(0, 0), start());
        QCOMPARE(w.direction, 0);
        QCOMPARE(c.direction(&c.cell(0, 0)), 0);
        QCOMPARE(c.orientation(&c.cell(0, 0)), 4);
        QCOMPARE(m_streams.stream(RandomStreamId(1)).state(), qint64(49297)); // one draw
    }

    void startRuleFollowsThePermutation()
    {
        // Seed 0: r = 49297 / 233280 -> index trunc(0.21132 * 40320) = 8520
        // = 1*5040 + 4*720 + 5*120 + 0 -> ordering 1 5 7 0 2 3 4 6.
        // From the centre of a 3 x 3 grid every neighbour is free: direction 1.
        m_streams.reseed(0);
        Circuit c(3, 3);
        Wire w(&c, &c.cell(1, 1), start());
        QCOMPARE(w.direction, 1);
        // With north taken, the next in the ordering (5, south) is chosen.
        m_streams.reseed(0);
        Circuit c2(3, 3);
        c2.setFree(&c2.cell(1, 0), false);
        Wire w2(&c2, &c2.cell(1, 1), start());
        QCOMPARE(w2.direction, 5);
    }

    void diagonalCrossingBlocksStep()
    {
        GeneratorSettings st;
        st.wireLength = 0.4f;
        // A flank entered north-east has orientation 2, one entered east 3.
        for (int flankDirection : {DirNorthEast, DirEast}) {
            const int flankOrientation = kDirectionOrientation[flankDirection];
            m_streams.reseed(11);
            Circuit c(2, 2);
            c.setDirection(&c.cell(0, 0), DirSouthEast); // heading into (1, 1)
            for (CircuitCell *f : {&c.cell(1, 0), &c.cell(0, 1)}) {
                c.setFree(f, false);
                c.setDirection(f, flankDirection);
            }
            Wire *w = c.newWire(&c.cell(0, 0), start());
            grow(w, st);
            // Orientation 2 crosses a south-east step: blocked. Orientation 3 does not.
            QCOMPARE(int(w->cells.size()), flankOrientation == 2 ? 1 : 2);
        }
    }

    void growthStopsOnPinAndAtMaxCells()
    {
        GeneratorSettings st;
        st.tendencyStraight = 1000.0f; // practically always straight
        st.signalAmount = 0.0f;
        st.wireLength = 0.4f;
        m_streams.reseed(1);
        Circuit c(10, 1);
        c.setDirection(&c.cell(0, 0), DirEast);
        c.setPinDirection(&c.cell(6, 0), DirEast);
        Wire *w = c.newWire(&c.cell(0, 0), start());
        grow(w, st);
        QCOMPARE(int(w->cells.size()), 7); // (0,0) .. (6,0), ends on the pin
        QCOMPARE(w->cells.back()->x, 6);

        st.wireLength = 0.01f; // maxCells = trunc(200 * 0.01f) = 2
        Circuit c2(10, 1);
        c2.setDirection(&c2.cell(0, 0), DirEast);
        Wire *w2 = c2.newWire(&c2.cell(0, 0), start());
        grow(w2, st);
        QCOMPARE(int(w2->cells.size()), 2);

        st.wireLength = -1.0f; // negative: single cells
        Circuit c3(10, 1);
        c3.setDirection(&c3.cell(0, 0), DirEast);
        Wire *w3 = c3.newWire(&c3.cell(0, 0), start());
        const auto before = m_streams.states();
        grow(w3, st);
        QCOMPARE(int(w3->cells.size()), 1);
        QCOMPARE(m_streams.states(), before); // one-cell wire draws nothing from stream 5
    }

    void signalDrawsFromStreamFive()
    {
        GeneratorSettings st;
        st.tendencyStraight = 1000.0f;
        st.wireLength = 0.015f; // maxCells 3
        st.signalAmount = 1.0f; // always a signal
        st.signalSize = 0.5f;
        st.signalSizeVariance = 0.5f;
        m_streams.reseed(0);
        Circuit c(5, 1);
        c.setDirection(&c.cell(0, 0), DirEast);
        Wire *w = c.newWire(&c.cell(0, 0), start());
        grow(w, st);
        QCOMPARE(int(w->cells.size()), 3);
        // Stream 5 from seed 0 + 2333: 53490, 206827, 120344.
        QCOMPARE(w->signalPosition, float(206827 / 233280.0));
        QCOMPARE(w->signalSize, float((0.5 - 120344 / 233280.0) * 0.5 + 0.5));
        QCOMPARE(m_streams.stream(RandomStreamId(5)).state(), qint64(120344));

        st.signalAmount = 0.0f; // no signal: one draw
        m_streams.reseed(0);
        Circuit c2(5, 1);
        c2.setDirection(&c2.cell(0, 0), DirEast);
        Wire *w2 = c2.newWire(&c2.cell(0, 0), start());
        grow(w2, st);
        QCOMPARE(w2->signalPosition, -1.0f);
        QCOMPARE(m_streams.stream(RandomStreamId(5)).state(), qint64(53490));
    }

    void secondLaneLeftThenRight()
    {
        // A straight eastward wire of 6 cells in row 2 of an 8 x 5 grid.
        auto build = [this](Circuit &c) {
            Wire *w = c.newWire(&c.cell(1, 2), start()); // direction preset below
            return w;
        };
        for (bool blockAbove : {false, true}) {
            Circuit c(8, 5);
            c.setDirection(&c.cell(1, 2), DirEast);
            Wire *w = build(c);
            for (int x = 2; x <= 6; ++x) {
                CircuitCell &cell = c.cell(x, 2);
                c.setFree(&cell, false);
                c.setDirection(&cell, DirEast);
                w->cells.push_back(&cell);
            }
            if (blockAbove)
                c.setFree(&c.cell(1, 1), false);
            QVERIFY(w->addSecondLane());
            QCOMPARE(w->density, 2);
            // Left of east is north (LeftA[3] = (0,-1)); right is south.
            const int y = blockAbove ? 3 : 1;
            QCOMPARE(int(w->laneSide), blockAbove ? 1 : 0);
            QCOMPARE(w->laneEndStart, &c.cell(1, y));
            QCOMPARE(w->laneEndEnd, &c.cell(6, y));
            QVERIFY(!c.isFree(w->laneEndStart));
            QCOMPARE(c.direction(w->laneEndStart), -1);
            QVERIFY(!w->addSecondLane()); // density already 2
        }
    }

    void secondLanePreconditions()
    {
        Circuit c(10, 5);
        c.setDirection(&c.cell(1, 2), DirEast);
        Wire *w = c.newWire(&c.cell(1, 2), start());
        for (int x = 2; x <= 5; ++x) {
            c.setDirection(&c.cell(x, 2), DirEast);
            w->cells.push_back(&c.cell(x, 2));
        }
        QVERIFY(!w->addSecondLane()); // 5 cells: too short
        c.setDirection(&c.cell(6, 2), DirEast);
        w->cells.push_back(&c.cell(6, 2));
        w->thickness = 1.7f;
        QVERIFY(!w->addSecondLane()); // thick
        w->thickness = 1.0f;
        QVERIFY(w->addSecondLane());
    }

    void releaseKeepsPinDirectionSummaryAndValues()
    {
        Circuit c(4, 1);
        c.setDirection(&c.cell(0, 0), DirEast);
        c.setPinDirection(&c.cell(3, 0), DirWest);
        c.cell(3, 0).values[7] = 0.25f;
        const ChipSpec chip;
        c.cell(1, 0).chip = &chip;
        c.cell(2, 0).values[SlotPresence] = 0.5f;
        c.summariseCells();
        Wire *w = c.newWire(&c.cell(0, 0), start());
        for (int x = 1; x <= 3; ++x) {
            c.setFree(&c.cell(x, 0), false);
            c.setDirection(&c.cell(x, 0), DirEast);
            w->cells.push_back(&c.cell(x, 0));
        }
        QVERIFY(w->attachedToChip());
        c.releaseWire(w);
        for (int x = 0; x <= 3; ++x) {
            QVERIFY(c.isFree(&c.cell(x, 0)));
            QCOMPARE(c.direction(&c.cell(x, 0)), -1);
            QCOMPARE(c.orientation(&c.cell(x, 0)), -1);
        }
        QCOMPARE(c.pinDirection(&c.cell(3, 0)), int(DirWest));
        QVERIFY(c.isPin(&c.cell(3, 0)));
        QCOMPARE(c.cell(3, 0).values[7], 0.25f);
        // What the summary found about a cell outlives the wire on it.
        for (int x = 0; x <= 3; ++x) {
            QCOMPARE(c.underChip(&c.cell(x, 0)), x == 1);
            QCOMPARE(c.presenceBelowOne(&c.cell(x, 0)), x == 2);
        }
        QCOMPARE(int(c.wires().size()), 1); // still listed
    }

    // Wires are cut and refilled pass after pass; a kept wire is a copy of the grown
    // one, and a deleted wire's memory goes to the next, so that a thousand passes on a
    // large grid need no more than one.
    void keptWiresCopyTheGrownOneAndReuseDeletedMemory()
    {
        Circuit c(100, 500);
        Wire grown(&c, &c.cell(0, 0), start());
        grown.laneEndStart = &c.cell(1, 1);
        grown.laneEndEnd = &c.cell(2, 2);
        grown.laneSide = 1;
        grown.thickness = 2.5f;
        grown.signalPosition = 0.25f;
        grown.signalSize = 0.75f;
        fillCells(grown, c, 3);
        c.addWire(grown);
        const Wire *first = c.wires()[0];
        std::vector<size_t> pass(1000);
        std::iota(pass.begin(), pass.end(), size_t(1));
        const qint64 before = residentBytes();
        QVERIFY(before > 0);
        for (int round = 0; round < 200; ++round) {
            if (round > 0)
                c.deleteWires(pass);
            grown.density = 1 + round % 2;
            fillCells(grown, c, 40 + round % 20);
            for (size_t k = 0; k < pass.size(); ++k)
                c.addWire(grown);
        }
        // Kept apart, the 199,000 deleted wires would take over 100 MB.
        const qint64 growth = residentBytes() - before;
        QVERIFY2(growth < (24 << 20), qPrintable(QString::number(growth)));

        QCOMPARE(c.wires().size(), pass.size() + 1);
        QCOMPARE(c.wires()[0], first);
        QCOMPARE(int(first->cells.size()), 3);
        const Wire &kept = *c.wires().back();
        QCOMPARE(int(kept.cells.size()), 59);
        QVERIFY(std::equal(kept.cells.begin(), kept.cells.end(), grown.cells.begin()));
        QCOMPARE(kept.laneEndStart, &c.cell(1, 1));
        QCOMPARE(kept.laneEndEnd, &c.cell(2, 2));
        QCOMPARE(int(kept.laneSide), 1);
        QCOMPARE(kept.thickness, 2.5f);
        QCOMPARE(kept.density, 2);
        QCOMPARE(kept.signalPosition, 0.25f);
        QCOMPARE(kept.signalSize, 0.75f);
        QCOMPARE(kept.circuit, &c);
    }

    void attachedToChipByLaneEnd()
    {
        Circuit c(5, 5);
        c.setDirection(&c.cell(0, 0), DirEast);
        Wire *w = c.newWire(&c.cell(0, 0), start());
        QVERIFY(!w->attachedToChip());
        w->laneEndStart = &c.cell(2, 2);
        w->laneEndEnd = &c.cell(3, 3);
        c.setPinDirection(&c.cell(3, 3), 1);
        QVERIFY(w->attachedToChip());
    }

    // Growth trusts the summary instead of the cells; it must say what the cells say.
    // slot -1 puts the cell under a chip.
    void summaryAnswersAsTheCells_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<float>("value");
        QTest::addColumn<bool>("presenceBelowOne");
        QTest::addColumn<bool>("turnWeights");
        QTest::addColumn<bool>("density");
        QTest::addColumn<bool>("signalAboveOne");
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("initial values") << int(SlotPresence) << 1.0f << false << false << false << false;
        QTest::newRow("presence just below 1") << int(SlotPresence) << 0.99f << true << false << false << false;
        QTest::newRow("presence NaN is entered") << int(SlotPresence) << nan << false << false << false << false;
        QTest::newRow("turn weight") << 2 << 0.25f << false << true << false << false;
        QTest::newRow("turn weight -0") << 4 << -0.0f << false << true << false << false;
        QTest::newRow("tiny density") << int(SlotAdjustDensity) << 1e-30f << false << false << true << false;
        QTest::newRow("signal at 1") << int(SlotAdjustSignal) << 1.0f << false << false << false << false;
        QTest::newRow("signal above 1") << int(SlotAdjustSignal) << 1.5f << false << false << false << true;
        QTest::newRow("under a chip") << -1 << 0.0f << false << false << false << false;
    }

    void summaryAnswersAsTheCells()
    {
        QFETCH(int, slot);
        QFETCH(float, value);
        Circuit c(3, 2);
        const ChipSpec chip;
        CircuitCell &cell = c.cell(1, 1);
        if (slot >= 0)
            cell.values[slot] = value;
        else
            cell.chip = &chip;
        // Unsummarised, every query reads the cell.
        QVERIFY(c.hasTurnWeights() && c.hasDensity() && c.hasSignalAboveOne());
        const bool below = c.presenceBelowOne(&cell);
        c.summariseCells();
        QCOMPARE(c.presenceBelowOne(&cell), below);
        QTEST(c.presenceBelowOne(&cell), "presenceBelowOne");
        QCOMPARE(c.underChip(&cell), slot < 0);
        QVERIFY(!c.presenceBelowOne(&c.cell(0, 0)) && !c.underChip(&c.cell(0, 0)));
        QTEST(c.hasTurnWeights(), "turnWeights");
        QTEST(c.hasDensity(), "density");
        QTEST(c.hasSignalAboveOne(), "signalAboveOne");
    }

    void eraseAtKeepsTheOrderOfTheOthers_data()
    {
        QTest::addColumn<QVector<int>>("positions");
        QTest::addColumn<QVector<int>>("kept");
        QTest::newRow("none") << QVector<int> {} << QVector<int> {0, 1, 2, 3, 4, 5};
        QTest::newRow("first and last") << QVector<int> {0, 5} << QVector<int> {1, 2, 3, 4};
        QTest::newRow("a run and a single") << QVector<int> {1, 2, 4} << QVector<int> {0, 3, 5};
        QTest::newRow("all") << QVector<int> {0, 1, 2, 3, 4, 5} << QVector<int> {};
    }

    // Owning pointers: the erased objects are deleted, the others keep their order.
    void eraseAtKeepsTheOrderOfTheOthers()
    {
        QFETCH(QVector<int>, positions);
        QFETCH(QVector<int>, kept);
        auto alive = std::make_shared<int>(0);
        struct Counted {
            explicit Counted(int v, std::shared_ptr<int> n)
                : value(v)
                , count(std::move(n))
            {
                ++*count;
            }
            ~Counted() { --*count; }
            int value;
            std::shared_ptr<int> count;
        };
        std::vector<std::unique_ptr<Counted>> items;
        for (int i = 0; i < 6; ++i)
            items.push_back(std::make_unique<Counted>(i, alive));
        eraseAt(items, std::vector<size_t>(positions.begin(), positions.end()));
        QVector<int> values;
        for (const auto &item : items)
            values.append(item->value);
        QCOMPARE(values, kept);
        QCOMPARE(*alive, kept.size());
    }

    void indexedListMatchesLinearList()
    {
        std::mt19937 rng(1234);
        for (int round = 0; round < 30; ++round) {
            // The later rounds list more cells than one block of the index holds.
            const int cells = 1 + int(rng() % (round < 20 ? 300u : 3000u));
            IndexedCellList fast(cells);
            LinearCellList plain(cells);
            if (round % 2 == 0) {
                fast.appendSequential(cells);
                plain.appendSequential(cells);
            }
            for (int op = 0; op < 3000; ++op) {
                const unsigned kind = rng() % 4;
                if (kind == 0 || plain.empty()) {
                    const int cell = int(rng() % unsigned(cells));
                    fast.append(cell);
                    plain.append(cell);
                } else if (kind == 1) {
                    const int k = int(rng() % unsigned(plain.size()));
                    QCOMPARE(fast.at(k), plain.at(k));
                    const int cell = plain.at(k);
                    QCOMPARE(fast.removeFirst(cell), plain.removeFirst(cell));
                } else {
                    const int cell = int(rng() % unsigned(cells));
                    QCOMPARE(fast.removeFirst(cell), plain.removeFirst(cell));
                }
                QCOMPARE(fast.size(), plain.size());
            }
            for (int k = 0; k < plain.size(); ++k)
                QCOMPARE(fast.at(k), plain.at(k));
        }
    }
};

QTEST_MAIN(TestCircuitModel)
#include "tst_circuitmodel.moc"
