#include "penroute.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

double distance(const QPointF &a, const QPointF &b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

// Both ends of every line in square cells, so that the nearest end is found by looking at
// the cells around a point, ring by ring, instead of at every line.
class PenRoute::EndGrid
{
public:
    explicit EndGrid(const QVector<Polyline> &lines)
        : m_lines(lines)
        , m_drawn(size_t(lines.size()), false)
    {
        QRectF bounds;
        for (const Polyline &line : lines)
            bounds |= QRectF(line.first(), line.last()).normalized().adjusted(0, 0, 1e-9, 1e-9);
        m_origin = bounds.topLeft();
        // About two ends a cell.
        m_cell = std::max(1e-6, std::sqrt(bounds.width() * bounds.height() / std::max(1, int(lines.size()))));
        m_columns = std::max(1, int(bounds.width() / m_cell) + 1);
        m_rows = std::max(1, int(bounds.height() / m_cell) + 1);
        m_cells.resize(size_t(m_columns) * size_t(m_rows));
        for (int i = 0; i < lines.size(); ++i) {
            cellAt(lines[i].first()).push_back(2 * i);
            cellAt(lines[i].last()).push_back(2 * i + 1);
        }
    }

    // The nearest end of a line not drawn yet, as 2 × line + (1 for its last point); -1 when none is left.
    int nearest(const QPointF &from) const
    {
        const int cx = std::clamp(int((from.x() - m_origin.x()) / m_cell), 0, m_columns - 1);
        const int cy = std::clamp(int((from.y() - m_origin.y()) / m_cell), 0, m_rows - 1);
        int best = -1;
        double bestDistance = std::numeric_limits<double>::max();
        const int reach = std::max(m_columns, m_rows);
        for (int ring = 0; ring <= reach; ++ring) {
            // Every end in a further ring lies at least ring cells away (less the point's place in its cell).
            if (best >= 0 && bestDistance <= (ring - 1) * m_cell)
                break;
            for (int y = cy - ring; y <= cy + ring; ++y) {
                if (y < 0 || y >= m_rows)
                    continue;
                const bool edgeRow = y == cy - ring || y == cy + ring;
                for (int x = cx - ring; x <= cx + ring; x += edgeRow ? 1 : 2 * std::max(ring, 1)) {
                    if (x >= 0 && x < m_columns)
                        consider(m_cells[size_t(y) * size_t(m_columns) + size_t(x)], from, &best, &bestDistance);
                }
            }
        }
        return best;
    }

    void markDrawn(int line) { m_drawn[size_t(line)] = true; }

private:
    std::vector<int> &cellAt(const QPointF &p)
    {
        const int x = std::clamp(int((p.x() - m_origin.x()) / m_cell), 0, m_columns - 1);
        const int y = std::clamp(int((p.y() - m_origin.y()) / m_cell), 0, m_rows - 1);
        return m_cells[size_t(y) * size_t(m_columns) + size_t(x)];
    }

    void consider(const std::vector<int> &ends, const QPointF &from, int *best, double *bestDistance) const
    {
        for (int end : ends) {
            if (m_drawn[size_t(end / 2)])
                continue;
            const Polyline &line = m_lines[end / 2];
            const double d = distance(from, end % 2 ? line.last() : line.first());
            // Ties go to the lower end number, so the order never depends on the cells.
            if (d < *bestDistance || (d == *bestDistance && end < *best)) {
                *best = end;
                *bestDistance = d;
            }
        }
    }

    const QVector<Polyline> &m_lines;
    std::vector<bool> m_drawn;
    QPointF m_origin;
    double m_cell = 1;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<std::vector<int>> m_cells;
};

QVector<PenRoute::Polyline> PenRoute::ordered(QVector<Polyline> lines, const QPointF &home, double joinDistance)
{
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const Polyline &l) { return l.isEmpty(); }), lines.end());
    QVector<Polyline> route;
    if (lines.isEmpty())
        return route;
    EndGrid grid(lines);
    QPointF at = home;
    for (int end = grid.nearest(at); end >= 0; end = grid.nearest(at)) {
        grid.markDrawn(end / 2);
        Polyline line = std::move(lines[end / 2]);
        if (end % 2)
            std::reverse(line.begin(), line.end());
        if (!route.isEmpty() && distance(at, line.first()) <= joinDistance)
            route.last() += line.mid(distance(at, line.first()) > 0 ? 0 : 1);
        else
            route.append(std::move(line));
        at = route.last().last();
    }
    return route;
}

double PenRoute::travel(const QVector<Polyline> &lines, const QPointF &home)
{
    double total = 0;
    QPointF at = home;
    for (const Polyline &line : lines) {
        total += distance(at, line.first());
        at = line.last();
    }
    return total;
}

double PenRoute::drawn(const QVector<Polyline> &lines)
{
    double total = 0;
    for (const Polyline &line : lines) {
        for (int i = 1; i < line.size(); ++i)
            total += distance(line[i - 1], line[i]);
    }
    return total;
}
