#include "circuitbuilder.h"
#include "lanegeometry.h"
#include "svgwriter.h"

#include <QtTest>

namespace {

constexpr float kCos22 = 0.923879532511f;
constexpr float kSin22 = 0.382683432365f;
constexpr float kHalfRoot2 = 0.707106781187f;

QVector<QPoint> row(int y, int from, int to)
{
    QVector<QPoint> cells;
    for (int x = from; x <= to; ++x)
        cells.append(QPoint(x, y));
    return cells;
}

QString kinds(const LanePath &path)
{
    QString text;
    for (const LanePath::Command &command : path.commands())
        text += QLatin1Char("MLQ"[command.kind]);
    return text;
}

} // namespace

class TestLaneGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shiftDirectionIsTheBisectorOfTheLeftNormals_data();
    void shiftDirectionIsTheBisectorOfTheLeftNormals();
    void shiftDirectionsAreUnitVectors();
    void laneOffsetShiftsInteriorPoints_data();
    void laneOffsetShiftsInteriorPoints();
    void laneEndsReplaceTheEndsOfOneLane_data();
    void laneEndsReplaceTheEndsOfOneLane();
    void lanePathEmitsCommands_data();
    void lanePathEmitsCommands();
    void partialStretchKeepsOnlyTheSecondMoveInAPainterPath();
    void roundedLaneWithLaneEndsStartsAndEndsOnThem();
    void cornerRadiusIsSharedBetweenLanes();
};

void TestLaneGeometry::shiftDirectionIsTheBisectorOfTheLeftNormals_data()
{
    QTest::addColumn<int>("entered");
    QTest::addColumn<int>("left");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::newRow("going straight east shifts due north") << 3 << 3 << 0.0f << -1.0f;
    QTest::newRow("going straight south shifts due east") << 5 << 5 << 1.0f << 0.0f;
    QTest::newRow("going straight south-east shifts north-east") << 4 << 4 << kHalfRoot2 << -kHalfRoot2;
    QTest::newRow("east then south-east shifts 22.5 degrees east of north") << 3 << 4 << kSin22 << -kCos22;
    QTest::newRow("east then north-east shifts 22.5 degrees west of north") << 3 << 2 << -kSin22 << -kCos22;
    QTest::newRow("west then north-west wraps round the compass") << 7 << 0 << -kSin22 << kCos22;
    QTest::newRow("north-west then west is the same bisector") << 0 << 7 << -kSin22 << kCos22;
    QTest::newRow("a right-angle turn shifts along minus x") << 3 << 5 << -1.0f << 0.0f;
    QTest::newRow("a reversal shifts along minus x") << 3 << 7 << -1.0f << 0.0f;
    QTest::newRow("an unset direction shifts along minus x") << -1 << 3 << -1.0f << 0.0f;
    QTest::newRow("a code past west shifts along minus x") << 3 << 8 << -1.0f << 0.0f;
}

void TestLaneGeometry::shiftDirectionIsTheBisectorOfTheLeftNormals()
{
    QFETCH(int, entered);
    QFETCH(int, left);
    QFETCH(float, x);
    QFETCH(float, y);
    const QPointF u = LaneGeometry::shiftDirection(entered, left);
    // Exact single-precision values, not merely close ones.
    QCOMPARE(float(u.x()), x);
    QCOMPARE(float(u.y()), y);
    QCOMPARE(u.x(), double(x));
    QCOMPARE(u.y(), double(y));
}

void TestLaneGeometry::shiftDirectionsAreUnitVectors()
{
    for (int d = 0; d < 8; ++d) {
        for (int turn : {-1, 0, 1}) {
            const QPointF u = LaneGeometry::shiftDirection(d, (d + turn + 8) % 8);
            QVERIFY2(qAbs(std::hypot(u.x(), u.y()) - 1.0) < 1e-7, qPrintable(QString::number(d)));
        }
    }
}

void TestLaneGeometry::laneOffsetShiftsInteriorPoints_data()
{
    QTest::addColumn<QVector<QPoint>>("cells");
    QTest::addColumn<int>("density");
    QTest::addColumn<int>("lane");
    QTest::addColumn<int>("index");
    QTest::addColumn<QPointF>("offset");
    // Cell size 20: half cell 10, lane shift float(∓0.38 × 10) = ∓3.8f.
    const double orthogonal = double(3.8f) * 1.2;
    const double diagonal = double(float(kHalfRoot2 * 3.8f));
    const QVector<QPoint> east = row(2, 0, 3);
    const QVector<QPoint> southEast = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    const QVector<QPoint> corner = {{0, 1}, {1, 1}, {1, 2}};
    QTest::newRow("east-going lane 0 shifts down by 0.38 h × 1.2") << east << 2 << 0 << 1 << QPointF(0, orthogonal);
    QTest::newRow("east-going lane 1 shifts up by 0.38 h × 1.2") << east << 2 << 1 << 2 << QPointF(0, -orthogonal);
    QTest::newRow("diagonal lane 0 shifts along the normal without the factor")
            << southEast << 2 << 0 << 1 << QPointF(-diagonal, diagonal);
    QTest::newRow("diagonal lane 1 shifts the other way") << southEast << 2 << 1 << 2 << QPointF(diagonal, -diagonal);
    QTest::newRow("a right-angle corner shifts along x") << corner << 2 << 0 << 1 << QPointF(orthogonal, 0);
    QTest::newRow("the first point is not shifted") << east << 2 << 0 << 0 << QPointF(0, 0);
    QTest::newRow("the last point is not shifted") << east << 2 << 1 << 3 << QPointF(0, 0);
    QTest::newRow("a single lane is not shifted") << east << 1 << 0 << 1 << QPointF(0, 0);
}

void TestLaneGeometry::laneOffsetShiftsInteriorPoints()
{
    QFETCH(QVector<QPoint>, cells);
    QFETCH(int, density);
    QFETCH(int, lane);
    QFETCH(int, index);
    QFETCH(QPointF, offset);
    CircuitBuilder builder(6, 6);
    const Wire &wire = builder.addWire(cells, density);
    QCOMPARE(LaneGeometry(wire, 20.0, 1.0f, 0.0f).laneOffset(lane, index), offset);
}

void TestLaneGeometry::laneEndsReplaceTheEndsOfOneLane_data()
{
    QTest::addColumn<int>("laneSide");
    QTest::addColumn<int>("lane");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("last");
    // Cells (0,2)..(3,2) with lane ends (0,3) and (3,3), cell size 20.
    QTest::newRow("left-hand side: lane 1 runs to the lane ends") << 0 << 1 << QPoint(10, 70) << QPoint(70, 70);
    QTest::newRow("left-hand side: lane 0 keeps the cell centres") << 0 << 0 << QPoint(10, 50) << QPoint(70, 50);
    QTest::newRow("right-hand side: lane 0 runs to the lane ends") << 1 << 0 << QPoint(10, 70) << QPoint(70, 70);
    QTest::newRow("right-hand side: lane 1 keeps the cell centres") << 1 << 1 << QPoint(10, 50) << QPoint(70, 50);
}

void TestLaneGeometry::laneEndsReplaceTheEndsOfOneLane()
{
    QFETCH(int, laneSide);
    QFETCH(int, lane);
    QFETCH(QPoint, first);
    QFETCH(QPoint, last);
    CircuitBuilder builder(6, 6);
    Wire &wire = builder.addWire(row(2, 0, 3), 2);
    builder.setLaneEnds(wire, {0, 3}, {3, 3}, laneSide);
    const LaneGeometry geometry(wire, 20.0, 1.0f, 0.0f);
    QCOMPARE(geometry.lanePoint(lane, 0), first);
    QCOMPARE(geometry.lanePoint(lane, 3), last);
    QCOMPARE(geometry.lanePoint(lane, 1), QPoint(30, 50));
}

void TestLaneGeometry::lanePathEmitsCommands_data()
{
    QTest::addColumn<QVector<QPoint>>("cells");
    QTest::addColumn<int>("density");
    QTest::addColumn<float>("roundness");
    QTest::addColumn<int>("lane");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("data");
    const QVector<QPoint> corner = {{0, 0}, {1, 0}, {1, 1}};
    // Cell size 20 throughout; a straight east-going double wire shifts its
    // interior points by 3.8f × 1.2 = 4.56.
    QTest::newRow("a single straight lane is the polyline of the centres")
            << row(2, 0, 3) << 1 << 0.0f << 0 << -1 << -1 << "M 10 50 L 30 50 L 50 50 L 70 50 ";
    QTest::newRow("straight lane 0 of a double wire bends down between shared ends")
            << row(2, 0, 3) << 2 << 0.0f << 0 << -1 << -1 << "M 10 50 L 30 54.56 L 50 54.56 L 70 50 ";
    QTest::newRow("straight lane 1 of a double wire bends up")
            << row(2, 0, 3) << 2 << 0.0f << 1 << -1 << -1 << "M 10 50 L 30 45.44 L 50 45.44 L 70 50 ";
    QTest::newRow("a straight stretch moves to its first interior point")
            << row(0, 0, 3) << 1 << 0.0f << 0 << 1 << 2 << "M 30 10 L 50 10 ";
    QTest::newRow("a straight stretch to the end lines to the last centre")
            << row(0, 0, 3) << 1 << 0.0f << 0 << 2 << 9 << "M 50 10 L 70 10 ";
    // ρ = 1 × 20 × 0.25 × 1 × 1 = 5 on 20-pixel segments: t = 0.25.
    QTest::newRow("a rounded corner is a curve from the first point to rho past the corner")
            << corner << 1 << 1.0f << 0 << -1 << -1 << "M 10 10 Q 30 10 30 15 L 30 25 L 30 30 ";
    QTest::newRow("a large roundness caps the curve at the segment midpoint")
            << corner << 1 << 100.0f << 0 << -1 << -1 << "M 10 10 Q 30 10 30 20 L 30 20 L 30 30 ";
    QTest::newRow("a rounded stretch moves twice, then curves and runs corner by corner")
            << row(0, 0, 9) << 1 << 1.0f << 0 << 2 << 5
            << "M 55 10 M 65 10 Q 70 10 75 10 L 85 10 Q 90 10 95 10 L 105 10 Q 110 10 115 10 L 125 10 ";
    // At the last cell the segment wraps to the first: 60 pixels back, t = 5 / 60.
    QTest::newRow("a rounded stretch starting at the last cell moves and lines to it")
            << row(0, 0, 3) << 1 << 1.0f << 0 << 3 << 3 << "M 65 10 L 70 10 ";
    QTest::newRow("a rounded one-cell wire is a move and a line to its centre")
            << QVector<QPoint> {{1, 1}} << 1 << 1.0f << 0 << -1 << -1 << "M 30 30 L 30 30 ";
    QTest::newRow("a stretch past the last cell emits nothing") << row(0, 0, 3) << 1 << 0.0f << 0 << 4 << 3 << "";
}

void TestLaneGeometry::lanePathEmitsCommands()
{
    QFETCH(QVector<QPoint>, cells);
    QFETCH(int, density);
    QFETCH(float, roundness);
    QFETCH(int, lane);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, data);
    CircuitBuilder builder(10, 6);
    const Wire &wire = builder.addWire(cells, density);
    const LaneGeometry geometry(wire, 20.0, 1.0f, roundness);
    QCOMPARE(SvgWriter::pathData(geometry.lanePath(lane, start, end)), data);
}

void TestLaneGeometry::partialStretchKeepsOnlyTheSecondMoveInAPainterPath()
{
    CircuitBuilder builder(10, 1);
    const Wire &wire = builder.addWire(row(0, 0, 9));
    const QPainterPath path = LaneGeometry(wire, 20.0, 1.0f, 1.0f).lanePath(0, 2, 5).toPainterPath();
    // One move, then per corner a curve (stored as a cubic: three elements) and a line.
    QCOMPARE(path.elementCount(), 1 + 3 * (3 + 1));
    QVERIFY(path.elementAt(0).isMoveTo());
    QCOMPARE(QPointF(path.elementAt(0)), QPointF(65, 10));
    QCOMPARE(path.currentPosition(), QPointF(125, 10));
}

void TestLaneGeometry::roundedLaneWithLaneEndsStartsAndEndsOnThem()
{
    CircuitBuilder builder(3, 3);
    Wire &wire = builder.addWire(row(1, 0, 2), 2);
    builder.setLaneEnds(wire, {0, 0}, {2, 0}, 1);
    const LaneGeometry geometry(wire, 20.0, 1.0f, 1.0f);
    const LanePath diverted = geometry.lanePath(0);
    QCOMPARE(kinds(diverted), QStringLiteral("MQLL"));
    QCOMPARE(diverted.commands().first().point, QPointF(10, 10));
    QCOMPARE(diverted.commands().last().point, QPointF(50, 10));
    const LanePath centred = geometry.lanePath(1);
    QCOMPARE(centred.commands().first().point, QPointF(10, 30));
    QCOMPARE(centred.commands().last().point, QPointF(50, 30));
}

void TestLaneGeometry::cornerRadiusIsSharedBetweenLanes()
{
    CircuitBuilder builder(4, 1);
    Wire &wire = builder.addWire(row(0, 0, 3), 2);
    wire.thickness = 2.4f;
    // ρ = 2.4 × 20 × 0.25 × 1.5 × 0.5 × (1 / 2), in double, stored as float.
    QCOMPARE(LaneGeometry(wire, 20.0, 1.5f, 0.5f).cornerRadius(), float(double(2.4f) * 20.0 * 0.25 * 1.5 * 0.5 * 0.5));
}

QTEST_APPLESS_MAIN(TestLaneGeometry)
#include "tst_lanegeometry.moc"
