#include "lanegeometry.h"

#include "circuit.h"
#include "rendermetrics.h"

#include <algorithm>
#include <cmath>

namespace {

// cos and sin of m × 22.5 degrees for m = 0..15 (x right, y down), rounded
// once to single precision from the exact values; exactly 0 and ±1 at the
// multiples of 90 degrees.
struct UnitVector {
    float x;
    float y;
};

constexpr float kCos22 = 0.923879532511286756f;
constexpr float kSin22 = 0.382683432365089772f;
constexpr float kHalfRoot2 = 0.707106781186547524f;

constexpr UnitVector kUnitVectors[16]
        = {{1.0f, 0.0f},  {kCos22, kSin22},   {kHalfRoot2, kHalfRoot2},   {kSin22, kCos22},
           {0.0f, 1.0f},  {-kSin22, kCos22},  {-kHalfRoot2, kHalfRoot2},  {-kCos22, kSin22},
           {-1.0f, 0.0f}, {-kCos22, -kSin22}, {-kHalfRoot2, -kHalfRoot2}, {-kSin22, -kCos22},
           {0.0f, -1.0f}, {kSin22, -kCos22},  {kHalfRoot2, -kHalfRoot2},  {kCos22, -kSin22}};

// The left-hand normal of direction d points at (135 + 45 d) degrees, that is
// 22.5-degree step 2 (d + 3).
int normalStep(int d)
{
    return 2 * (d + 3);
}

bool isDirectionCode(int d)
{
    return d >= 0 && d < 8;
}

// North, east, south or west; unset or invalid codes are not.
bool isOrthogonalCode(int d)
{
    return isDirectionCode(d) && isOrthogonalDirection(d);
}

} // namespace

LaneGeometry::LaneGeometry(const Wire &wire, double cellSize, float wireThickness, float wireRoundness)
    : m_hasLaneEnds(wire.hasLaneEnds())
    , m_laneEndLane(wire.laneSide == 0 ? 1 : 0)
    , m_density(wire.density)
    , m_cornerRadius(
              float(wire.thickness * cellSize * 0.25 * wireThickness * wireRoundness * (1.0f / float(wire.density))))
    , m_halfCell(float(0.5 * cellSize))
{
    auto centre = [cellSize](const CircuitCell *cell) {
        return RenderMetrics::cellCentre(cell->x, cell->y, cellSize);
    };
    for (const CircuitCell *cell : wire.cells) {
        m_points.append(centre(cell));
        m_directions.append(wire.circuit->direction(cell));
    }
    if (m_hasLaneEnds) {
        m_laneEndStart = centre(wire.laneEndStart);
        m_laneEndEnd = centre(wire.laneEndEnd);
    }
}

QPointF LaneGeometry::shiftDirection(int d, int e)
{
    if (!isDirectionCode(d) || !isDirectionCode(e))
        return QPointF(-1.0, 0.0);
    const int turn = (e - d + 8) % 8;
    int step = 0;
    if (turn == 0)
        step = normalStep(d);
    else if (turn == 1)
        step = normalStep(d) + 1;
    else if (turn == 7)
        step = normalStep(d) - 1;
    else
        return QPointF(-1.0, 0.0);
    const UnitVector &u = kUnitVectors[step % 16];
    return QPointF(u.x, u.y);
}

QPointF LaneGeometry::laneOffset(int lane, int k) const
{
    const int n = m_points.size();
    if (m_density < 2 || k <= 0 || k >= n - 1)
        return QPointF(0.0, 0.0);
    const float shift = lane == 0 ? -0.38 * m_halfCell : 0.38 * m_halfCell;
    const int d = m_directions[k];
    const int e = m_directions[k + 1];
    const double factor = isOrthogonalCode(d) || isOrthogonalCode(e) ? 1.2 : 1.0;
    const QPointF u = shiftDirection(d, e);
    // The product with the shift stays in single precision; the factor is a double.
    return QPointF(double(float(u.x()) * shift) * factor, double(float(u.y()) * shift) * factor);
}

bool LaneGeometry::usesLaneEnds(int lane) const
{
    return m_hasLaneEnds && lane == m_laneEndLane;
}

QPoint LaneGeometry::lanePoint(int lane, int k) const
{
    if (usesLaneEnds(lane)) {
        if (k == 0)
            return m_laneEndStart;
        if (k == m_points.size() - 1)
            return m_laneEndEnd;
    }
    return m_points[k];
}

QPointF LaneGeometry::shiftedPoint(int lane, int k) const
{
    return QPointF(m_points[k]) + laneOffset(lane, k);
}

LanePath LaneGeometry::lanePath(int lane, int start, int end) const
{
    LanePath path;
    const int n = m_points.size();
    const int first = std::max(start, 0);
    const int last = end >= 0 && end < n ? end : n - 1;
    // A rounded corner is a line and a curve; a straight lane one command a point.
    path.reserve(2 * std::max(0, last - first + 1) + 1);
    if (m_cornerRadius > 0)
        roundedLane(path, lane, first, last);
    else
        straightLane(path, lane, first, last);
    return path;
}

void LaneGeometry::straightLane(LanePath &path, int lane, int first, int last) const
{
    const int n = m_points.size();
    // Only a substituted lane end is known to be a whole-pixel point here;
    // the others are written by the general number rule.
    const bool integral = usesLaneEnds(lane);
    for (int k = first; k <= last; ++k) {
        if (k == 0)
            path.moveTo(lanePoint(lane, 0), integral);
        else if (k == n - 1)
            path.lineTo(lanePoint(lane, k), integral);
        else if (k == first)
            path.moveTo(shiftedPoint(lane, k));
        else
            path.lineTo(shiftedPoint(lane, k));
    }
}

void LaneGeometry::roundedLane(LanePath &path, int lane, int first, int last) const
{
    const int n = m_points.size();
    for (int k = first; k <= last; ++k) {
        if (k == 0) {
            path.moveTo(lanePoint(lane, 0));
            if (n == 1)
                path.lineTo(lanePoint(lane, 0));
            continue;
        }
        // Past the last corner the segment wraps to the first cell; only its
        // t matters there, and only for a stretch that starts at the last cell.
        const int next = (k + 1) % n;
        const QPointF a = QPointF(lanePoint(lane, k)) + laneOffset(lane, k);
        const QPointF b = QPointF(lanePoint(lane, next)) + laneOffset(lane, next);
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        const float length = float(std::sqrt(dx * dx + dy * dy));
        float t = m_cornerRadius / length;
        if (t > 0.5f)
            t = 0.5f;
        const float rest = 1.0f - t;
        const QPointF q1 = a * double(rest) + b * double(t);
        if (k == first) {
            path.moveTo(q1);
        } else if (k >= n - 1) {
            path.lineTo(lanePoint(lane, k));
            continue;
        } else {
            path.quadTo(shiftedPoint(lane, k), q1);
        }
        if (k < n - 1) {
            const QPointF q2 = a * double(t) + b * double(rest);
            if (k == first)
                path.moveTo(q2);
            else
                path.lineTo(q2);
        } else if (k == first) {
            path.lineTo(lanePoint(lane, k));
        }
    }
}
