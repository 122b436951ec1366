// Generation speed for the canvas sizes users make (run by hand, never by CTest):
//   build-gen/bin/bench_generate            fast lists, the sizes below
//   build-gen/bin/bench_generate --linear   also the plain linear lists (slow)
#include "circuit.h"
#include "circuitgenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

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

// One generation with its result map, in ms. As in the studio, a generator lives on
// and frees its previous circuit when it makes the next one.
static double generateOnce(CircuitGenerator &g, const QVariantMap &p, int *wires)
{
    QElapsedTimer t;
    t.start();
    g.readParameters(p);
    const Circuit *c = g.generateCircuit();
    g.resultMap();
    *wires = int(c->wires().size());
    return t.nsecsElapsed() / 1e6;
}

// The times of each round, by size.
using Rounds = std::vector<std::vector<double>>;

static double best(const Rounds &rounds, size_t size)
{
    double t = rounds.front()[size];
    for (const std::vector<double> &round : rounds)
        t = std::min(t, round[size]);
    return t;
}

// The median over the rounds of larger / smaller within the round. The machine this
// runs on may turn busier or quieter from one second to the next; the runs of one
// round lie a second apart, while the best runs of two sizes may not lie in the same
// state.
static double medianRatio(const Rounds &rounds, size_t larger, size_t smaller)
{
    std::vector<double> ratios;
    for (const std::vector<double> &round : rounds)
        ratios.push_back(round[larger] / round[smaller]);
    std::sort(ratios.begin(), ratios.end());
    const size_t n = ratios.size();
    return n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
}

struct Size {
    const char *label;
    int width, height;
    double scale;
};

// Every run of every size, by round. Each size has its own generator, so that every
// run frees a circuit of its own size, and the sizes take turns, so that a busy spell
// of the machine weighs on all of them alike.
static Rounds run(const std::vector<Size> &sizes, CircuitGenerator::ListStrategy strategy, int repeats)
{
    Rounds rounds(size_t(repeats), std::vector<double>(sizes.size()));
    std::vector<int> wires(sizes.size(), 0);
    std::vector<CircuitGenerator> generators(sizes.size());
    for (CircuitGenerator &g : generators)
        g.setListStrategy(strategy);
    for (std::vector<double> &round : rounds)
        for (size_t k = 0; k < sizes.size(); ++k)
            round[k] = generateOnce(generators[k], params(sizes[k].width, sizes[k].height, sizes[k].scale), &wires[k]);
    for (size_t k = 0; k < sizes.size(); ++k) {
        const GridSize grid = Circuit::gridSize(sizes[k].width, sizes[k].height, float(sizes[k].scale));
        std::printf("%-34s %5d x %-5d = %8lld cells  %6d wires  %9.1f ms (best of %d)%s\n", sizes[k].label,
                    grid.columns, grid.rows, (long long)grid.columns * grid.rows, wires[k], best(rounds, k), repeats,
                    strategy == CircuitGenerator::ListStrategy::Linear ? "  [linear lists]" : "");
    }
    std::fflush(stdout);
    return rounds;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool linear = app.arguments().contains(QStringLiteral("--linear"));
    const std::vector<Size> small
            = {{"600 x 600 at scale 0.6", 600, 600, 0.6}, {"65k cells (1920 x 1080 at 0.2828)", 1920, 1080, 0.2828}};
    // The two sizes compared, and the one between them.
    const std::vector<Size> compared = {{"130k cells (1920 x 1080 at 0.2)", 1920, 1080, 0.2},
                                        {"260k cells (1920 x 1080 at 0.1414)", 1920, 1080, 0.1414},
                                        {"518k cells (1920 x 1080 at 0.1)", 1920, 1080, 0.1}};
    run(small, CircuitGenerator::ListStrategy::Indexed, 3);
    const Rounds rounds = run(compared, CircuitGenerator::ListStrategy::Indexed, 7);
    // Four times the cells: linear scaling would take four times as long.
    std::printf("518k / 130k cells, best of each     %.2f x   (target <= 4.5; 518k target <= 1000 ms)\n",
                best(rounds, 2) / best(rounds, 0));
    std::printf("518k / 130k cells, round by round   %.2f x   (median of %zu rounds)\n", medianRatio(rounds, 2, 0),
                rounds.size());
    if (linear)
        run(small, CircuitGenerator::ListStrategy::Linear, 3);
    return 0;
}
