// Generation speed for the canvas sizes users make (run by hand, never by CTest):
//   build-gen/bin/bench_generate            fast lists, the sizes below
//   build-gen/bin/bench_generate --linear   also the plain linear lists (slow)
#include "circuitgenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

static QVariantMap params(int width, int height, double scale)
{
    return QVariantMap {
            {"seed", 1.0},
            {"width", double(width)},
            {"height", double(height)},
            {"scale", scale},
            {"masking", 0.0},
            {"masking_scale_x", 1.0},
            {"masking_scale_y", 1.0},
            {"wire_length", 0.4},
            {"wire_thick_percent", 0.1},
            {"cutoff_length", 0.3},
            {"cutoff_percentage", 0.5},
            {"max_wire_thickness", 2.4},
            {"tendency_straight", 0.5},
            {"tendency_homogenity", 0.5},
            {"dense_amount", 0.5},
            {"tendency_hv", 0.0},
            {"tendency_random", 0.5},
            {"tendency_power", 1.0},
            {"loops", 2.0},
            {"signal_amount", 0.5},
            {"signal_size", 0.5},
            {"signal_size_variance", 0.5},
            {"chips",
             QVariantList {QVariantMap {
                     {"x", 0.5}, {"y", 0.5}, {"w", 8.0}, {"h", 4.0}, {"connections", 3.0}, {"render", true}}}}};
}

static double run(const char *label, int width, int height, double scale, CircuitGenerator::ListStrategy strategy)
{
    CircuitGenerator g;
    g.setListStrategy(strategy);
    const QVariantMap p = params(width, height, scale);
    double best = 1e30;
    int wires = 0;
    const int repeats = 3;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        g.readParameters(p);
        const Circuit *c = g.generateCircuit();
        g.resultMap();
        best = std::min(best, t.nsecsElapsed() / 1e6);
        wires = int(c->wires().size());
    }
    const GridSize grid = g.gridSize();
    std::printf("%-34s %5d x %-5d = %8lld cells  %6d wires  %9.1f ms (best of %d)%s\n", label, grid.columns, grid.rows,
                (long long)grid.columns * grid.rows, wires, best, repeats,
                strategy == CircuitGenerator::ListStrategy::Linear ? "  [linear lists]" : "");
    std::fflush(stdout);
    return best;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool linear = app.arguments().contains(QStringLiteral("--linear"));
    const auto fast = CircuitGenerator::ListStrategy::Indexed;
    run("600 x 600 at scale 0.6", 600, 600, 0.6, fast);
    run("1920 x 1080 at scale 0.2", 1920, 1080, 0.2, fast);
    run("65k cells (1920 x 1080 at 0.2828)", 1920, 1080, 0.2828, fast);
    const double quarter = run("130k cells (1920 x 1080 at 0.2)", 1920, 1080, 0.2, fast);
    run("260k cells (1920 x 1080 at 0.1414)", 1920, 1080, 0.1414, fast);
    const double whole = run("518k cells (1920 x 1080 at 0.1)", 1920, 1080, 0.1, fast);
    // Four times the cells: linear scaling would take four times as long.
    std::printf("518k / 130k cells                  %.2f x   (target <= 4.5; 518k target <= 1000 ms)\n",
                whole / quarter);
    if (linear) {
        const auto slow = CircuitGenerator::ListStrategy::Linear;
        run("600 x 600 at scale 0.6", 600, 600, 0.6, slow);
        run("65k cells (1920 x 1080 at 0.2828)", 1920, 1080, 0.2828, slow);
    }
    return 0;
}
