#include "travellingsignal.h"

#include "lanegeometry.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace {

// Curves are measured as this many chords: even speed to the eye, cheap per frame.
constexpr int kCurveChords = 16;

} // namespace

TravellingSignal::TravellingSignal(const LaneGeometry &geometry, int lane, int cellCount, SignalStretch stretch)
    : m_still(geometry.lanePath(lane, stretch.start(), stretch.end()))
    , m_start(std::clamp(stretch.start(), 0, cellCount - 1))
    , m_end(std::clamp(stretch.end(), m_start, cellCount - 1))
{
    const QVector<LanePath::Command> commands = geometry.lanePath(lane).commands();
    double length = 0;
    for (int i = 1; i < commands.size(); ++i) {
        const LanePath::Command &command = commands[i];
        Segment segment {command.kind == LanePath::QuadTo, commands[i - 1].point, command.control, command.point, 0};
        segment.length = segment.curved ? curveLength(segment, 1.0) : QLineF(segment.start, segment.end).length();
        m_segmentStart.push_back(length);
        m_segments.push_back(segment);
        length += segment.length;
    }
    // A rounded lane has a curve and a line per interior cell, and a cell's place is where
    // its line ends; a straight lane has one line per cell. The last cell ends the lane.
    const bool rounded = geometry.cornerRadius() > 0;
    for (int cell = 0; cell < cellCount; ++cell) {
        const int command = cell == cellCount - 1 ? commands.size() - 1 : std::min(rounded ? 2 * cell : cell, commands.size() - 1);
        m_nodeLength.push_back(command == 0 ? 0.0 : m_segmentStart[size_t(command - 1)] + m_segments[size_t(command - 1)].length);
    }
}

LanePath TravellingSignal::at(double shift) const
{
    if (shift == 0 || m_segments.empty())
        return m_still;
    const double steps = this->steps();
    double from = m_start + shift;
    double to = m_end + shift;
    if (from >= steps) {
        from -= steps;
        to -= steps;
    }
    LanePath path;
    if (to <= steps) {
        path = piece(from, to);
        return path;
    }
    // Past the last cell the signal comes back in at the first.
    path = piece(from, steps);
    const LanePath rest = piece(0, to - steps);
    for (const LanePath::Command &command : rest.commands()) {
        if (command.kind == LanePath::MoveTo)
            path.moveTo(command.point);
        else if (command.kind == LanePath::LineTo)
            path.lineTo(command.point);
        else
            path.quadTo(command.control, command.point);
    }
    return path;
}

LanePath TravellingSignal::piece(double from, double to) const
{
    const Place a = placeAt(from);
    const Place b = placeAt(to);
    LanePath path;
    path.moveTo(pointAt(a));
    if (a.segment == b.segment) {
        appendPart(path, m_segments[size_t(a.segment)], a.t, b.t);
        return path;
    }
    appendPart(path, m_segments[size_t(a.segment)], a.t, 1.0);
    for (int s = a.segment + 1; s < b.segment; ++s)
        appendPart(path, m_segments[size_t(s)], 0.0, 1.0);
    appendPart(path, m_segments[size_t(b.segment)], 0.0, b.t);
    return path;
}

TravellingSignal::Place TravellingSignal::placeAt(double cellPosition) const
{
    const int last = int(m_nodeLength.size()) - 1;
    const int cell = std::clamp(int(std::floor(cellPosition)), 0, std::max(0, last - 1));
    const double within = std::clamp(cellPosition - cell, 0.0, 1.0);
    const double next = m_nodeLength[size_t(std::min(cell + 1, last))];
    const double length = m_nodeLength[size_t(cell)] + within * (next - m_nodeLength[size_t(cell)]);
    const auto after = std::upper_bound(m_segmentStart.begin(), m_segmentStart.end(), length);
    const int segment = std::max(0, int(after - m_segmentStart.begin()) - 1);
    const Segment &s = m_segments[size_t(segment)];
    const double into = length - m_segmentStart[size_t(segment)];
    if (!(s.length > 0))
        return {segment, 0.0};
    const double t = s.curved ? curveParameter(s, into) : into / s.length;
    return {segment, std::clamp(t, 0.0, 1.0)};
}

QPointF TravellingSignal::pointAt(const Place &place) const
{
    return pointOn(m_segments[size_t(place.segment)], place.t);
}

QPointF TravellingSignal::pointOn(const Segment &segment, double t)
{
    if (!segment.curved)
        return segment.start + (segment.end - segment.start) * t;
    const double u = 1 - t;
    return segment.start * (u * u) + segment.control * (2 * u * t) + segment.end * (t * t);
}

double TravellingSignal::curveLength(const Segment &segment, double t)
{
    double length = 0;
    QPointF previous = segment.start;
    for (int i = 1; i <= kCurveChords; ++i) {
        const QPointF point = pointOn(segment, t * i / kCurveChords);
        length += QLineF(previous, point).length();
        previous = point;
    }
    return length;
}

double TravellingSignal::curveParameter(const Segment &segment, double length)
{
    double walked = 0;
    QPointF previous = segment.start;
    for (int i = 1; i <= kCurveChords; ++i) {
        const QPointF point = pointOn(segment, double(i) / kCurveChords);
        const double chord = QLineF(previous, point).length();
        if (walked + chord >= length && chord > 0)
            return (i - 1 + (length - walked) / chord) / kCurveChords;
        walked += chord;
        previous = point;
    }
    return 1.0;
}

void TravellingSignal::appendPart(LanePath &path, const Segment &segment, double t0, double t1) const
{
    if (!(t1 > t0))
        return;
    if (!segment.curved) {
        path.lineTo(pointOn(segment, t1));
        return;
    }
    // The part of a quadratic curve between t0 and t1 is again one: its control point is
    // the curve's polar form at (t0, t1).
    const QPointF control = segment.start * ((1 - t0) * (1 - t1)) + segment.control * ((1 - t0) * t1 + t0 * (1 - t1))
            + segment.end * (t0 * t1);
    path.quadTo(control, pointOn(segment, t1));
}
