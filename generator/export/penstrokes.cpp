#include "penstrokes.h"

#include "lanepath.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// A mitred corner of an offset pass reaches at most this many offsets out.
constexpr double kMiterLimit = 2;

void append(PenStrokes::Polyline &line, const QPointF &point)
{
    if (line.isEmpty() || QLineF(line.last(), point).length() > 1e-9)
        line.append(point);
}

void appendQuad(PenStrokes::Polyline &line, const QPointF &control, const QPointF &end, double tolerance)
{
    const QPointF start = line.last();
    // A quadratic strays from its chord by at most a quarter of the control's offset.
    const QPointF middle = (start + end) / 2;
    const double bulge = QLineF(middle, control).length() / 2;
    const int steps = std::clamp(int(std::ceil(std::sqrt(bulge / std::max(tolerance, 1e-6)))), 1, 64);
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        append(line, (1 - t) * (1 - t) * start + 2 * (1 - t) * t * control + t * t * end);
    }
}

QPointF normalOf(const QPointF &from, const QPointF &to)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    return length > 0 ? QPointF(-d.y() / length, d.x() / length) : QPointF();
}

} // namespace

PenStrokes::Polyline PenStrokes::centreLine(const LanePath &lane, double tolerance)
{
    Polyline line;
    for (const LanePath::Command &command : lane.commands()) {
        switch (command.kind) {
        case LanePath::MoveTo:
            line = {command.point};
            break;
        case LanePath::LineTo:
            if (line.isEmpty())
                line.append(command.point);
            append(line, command.point);
            break;
        case LanePath::QuadTo:
            if (line.isEmpty())
                line.append(command.point);
            appendQuad(line, command.control, command.point, tolerance);
            break;
        }
    }
    return line;
}

PenStrokes::Polyline PenStrokes::trimmed(const Polyline &line, double start, double end)
{
    const auto cutFront = [](const Polyline &from, double cut) {
        Polyline rest;
        for (int i = 1; i < from.size(); ++i) {
            const double segment = QLineF(from[i - 1], from[i]).length();
            if (cut < segment) {
                rest.append(from[i - 1] + (from[i] - from[i - 1]) * (cut / segment));
                rest += from.mid(i);
                return rest;
            }
            cut -= segment;
        }
        return rest;
    };
    Polyline front = start > 0 ? cutFront(line, start) : line;
    if (end <= 0 || front.size() < 2)
        return front.size() < 2 ? Polyline() : front;
    std::reverse(front.begin(), front.end());
    Polyline both = cutFront(front, end);
    std::reverse(both.begin(), both.end());
    return both.size() < 2 ? Polyline() : both;
}

PenStrokes::Polyline PenStrokes::offset(const Polyline &line, double distance)
{
    Polyline shifted;
    shifted.reserve(line.size());
    for (int i = 0; i < line.size(); ++i) {
        const QPointF before = i > 0 ? normalOf(line[i - 1], line[i]) : normalOf(line[i], line[i + 1]);
        const QPointF after = i + 1 < line.size() ? normalOf(line[i], line[i + 1]) : before;
        QPointF normal = before + after;
        const double length = std::hypot(normal.x(), normal.y());
        if (length < 1e-9) {
            normal = before;
        } else {
            // The mitre: the offset point lies `distance` from both segments.
            const double cosHalf = length / 2;
            normal = normal / length / std::max(cosHalf, 1 / kMiterLimit);
        }
        shifted.append(line[i] + normal * distance);
    }
    return shifted;
}

PenStrokes::Polyline PenStrokes::passes(const Polyline &line, double width, double pen, bool outline)
{
    if (line.size() < 2 || width <= pen)
        return line;
    const double reach = (width - pen) / 2;
    const int count = outline ? 2 : int(std::ceil((width - pen) / pen)) + 1;
    Polyline walked;
    for (int k = 0; k < count; ++k) {
        Polyline pass = offset(line, -reach + 2 * reach * k / (count - 1));
        if (k % 2 == 1)
            std::reverse(pass.begin(), pass.end());
        for (const QPointF &point : pass)
            append(walked, point);
    }
    if (outline)
        append(walked, walked.first());
    return walked;
}

int PenStrokes::segmentsOf(double radius, double tolerance)
{
    if (radius <= tolerance)
        return 8;
    return std::clamp(int(std::ceil(kPi / std::acos(1 - tolerance / radius))), 8, 720);
}

PenStrokes::Polyline PenStrokes::spiral(const QPointF &centre, double inner, double outer, double pen,
                                        double tolerance)
{
    double first = inner + pen / 2;
    double last = outer - pen / 2;
    int turns = int(std::ceil((last - first) / pen));
    if (turns <= 0) {
        // Room for one circle only: along the ring's middle, or just inside a small disc's
        // edge; a disc no wider than the pen is a dot.
        first = last = inner > 0 ? (inner + outer) / 2 : std::max(0.0, outer - pen / 2);
        if (first <= tolerance)
            return {centre, centre + QPointF(tolerance, 0)};
        turns = 0;
    }
    const int segments = segmentsOf(outer, tolerance);
    // A circle at the first radius, the spiral out, a circle at the last.
    const int total = turns == 0 ? segments : segments * (turns + 2);
    Polyline line;
    line.reserve(total + 1);
    for (int i = 0; i <= total; ++i) {
        const double angle = 2 * kPi * i / segments;
        const double grown = turns == 0 ? 0 : std::clamp(double(i - segments) / (segments * turns), 0.0, 1.0);
        const double r = first + (last - first) * grown;
        append(line, centre + QPointF(r * std::cos(angle), r * std::sin(angle)));
    }
    return line;
}

std::pair<double, double> PenStrokes::span(const QRectF &rect, double radius, double y)
{
    double inset = 0;
    const double fromEdge = std::min(y - rect.top(), rect.bottom() - y);
    if (fromEdge < radius) {
        const double dy = radius - fromEdge;
        inset = radius - std::sqrt(std::max(0.0, radius * radius - dy * dy));
    }
    return {rect.left() + inset, rect.right() - inset};
}

PenStrokes::Polyline PenStrokes::hatched(const QRectF &rect, double radius, double pen, double tolerance)
{
    // The line's middle runs half a pen inside the edge, so the ink stays within it.
    const QRectF inside = rect.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    if (inside.width() <= 0 || inside.height() <= 0) {
        const QPointF c = rect.center();
        return rect.width() >= rect.height() ? Polyline {QPointF(inside.left(), c.y()), QPointF(inside.right(), c.y())}
                                             : Polyline {QPointF(c.x(), inside.top()), QPointF(c.x(), inside.bottom())};
    }
    const double r = std::clamp(radius - pen / 2, 0.0, std::min(inside.width(), inside.height()) / 2);
    Polyline line;
    // The outline, clockwise from the top edge's left end, one corner arc at a time.
    const QPointF corners[] = {{inside.right() - r, inside.top() + r},
                               {inside.right() - r, inside.bottom() - r},
                               {inside.left() + r, inside.bottom() - r},
                               {inside.left() + r, inside.top() + r}};
    const int steps = std::max(2, segmentsOf(r, tolerance) / 4);
    line.append(QPointF(inside.left() + r, inside.top()));
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i <= steps; ++i) {
            const double angle = kPi * (-0.5 + 0.5 * c + 0.5 * double(i) / steps);
            append(line, corners[c] + QPointF(r * std::cos(angle), r * std::sin(angle)));
        }
    }
    append(line, QPointF(inside.left() + r, inside.top()));
    // The hatch, to and fro, a pen width apart.
    const int rows = int(std::ceil(inside.height() / pen)) - 1;
    for (int k = 1; k <= rows; ++k) {
        const double y = inside.top() + inside.height() * k / (rows + 1);
        const auto [left, right] = span(inside, r, y);
        append(line, QPointF(k % 2 ? left : right, y));
        append(line, QPointF(k % 2 ? right : left, y));
    }
    return line;
}
