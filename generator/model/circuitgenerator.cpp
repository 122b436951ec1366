// CircuitGenerator: settings, one generation run and the result map.
#include "circuitgenerator.h"

#include "celllist.h"
#include "cutoffrules.h"
#include "generationbudget.h"
#include "growthloop.h"
#include "parametertable.h"
#include "randomstreams.h"

CircuitGenerator::CircuitGenerator()
    : m_ownStreams(std::make_unique<RandomStreams>())
    , m_streams(*m_ownStreams)
{ }

CircuitGenerator::CircuitGenerator(RandomStreams &streams)
    : m_streams(streams)
{ }

CircuitGenerator::~CircuitGenerator() = default;

QVariantMap CircuitGenerator::generate(const QVariantMap &parameters)
{
    readParameters(parameters);
    generateCircuit();
    return resultMap();
}

void CircuitGenerator::readParameters(const QVariantMap &parameters)
{
    // Reading draws nothing, so reseeding after the whole map equals reseeding right
    // after "seed".
    ++m_version;
    m_parameters = parameters;
    ParameterTable::read(parameters, &m_settings);
    m_streams.reseed(m_settings.seed);
    m_masks.update(m_settings);
}

void CircuitGenerator::resetSeed()
{
    m_streams.reseed(m_settings.seed);
}

void CircuitGenerator::copyStateOf(const CircuitGenerator &other)
{
    ++m_version;
    m_parameters = other.m_parameters;
    m_settings = other.m_settings;
    m_masks = other.m_masks;
    m_streams.setStates(other.m_streams.states());
}

Circuit *CircuitGenerator::generateCircuit()
{
    ++m_version;
    m_circuit.reset();
    m_lastError.clear();
    // A mask that is used but could not be loaded would silently hide every wire.
    const bool fileMaskUsed = !m_settings.maskTypeText && m_settings.masking > 0.0f && m_masks.hasFileMask();
    if (fileMaskUsed && !m_masks.fileMaskError().isEmpty()) {
        m_lastError = m_masks.fileMaskError();
        m_circuit = std::make_unique<Circuit>(0, 0);
        return m_circuit.get();
    }
    const GridSize grid = gridSize();
    GenerationBudget budget;
    // Checked before the grid is allocated: a refused map costs next to nothing.
    if (grid.valid && !budget.admit(m_settings, int64_t(grid.columns) * grid.rows)) {
        m_lastError = budget.error();
        m_circuit = std::make_unique<Circuit>(0, 0);
        return m_circuit.get();
    }
    m_circuit = std::make_unique<Circuit>(grid.valid ? grid.columns : 0, grid.valid ? grid.rows : 0);
    const bool done = m_listStrategy == ListStrategy::Linear
            ? GrowthLoop::run<LinearCellList>(*m_circuit, m_settings, m_masks, m_streams, budget)
            : GrowthLoop::run<IndexedCellList>(*m_circuit, m_settings, m_masks, m_streams, budget);
    if (!done) {
        m_lastError = budget.error();
        m_circuit = std::make_unique<Circuit>(0, 0);
    }
    return m_circuit.get();
}

QVariantMap CircuitGenerator::resultMap()
{
    QVariantList wires;
    if (m_circuit)
        wires.reserve(int(m_circuit->wires().size()));
    visitResultWires([&wires](const ResultWire &wire) {
        QVariantList xy;
        xy.reserve(int(wire.cells.size()));
        for (const GridPoint &p : wire.cells)
            xy.append(QVariant(QVariantList {QVariant(int(p.x)), QVariant(int(p.y))}));
        QVariantMap entry;
        entry.insert(QStringLiteral("xy"), xy);
        entry.insert(QStringLiteral("thickness"), QVariant(wire.thickness));
        entry.insert(QStringLiteral("density"), QVariant(int(wire.density)));
        wires.append(QVariant(entry));
    });
    QVariantMap result;
    result.insert(QStringLiteral("wires"), wires);
    return result;
}

void CircuitGenerator::visitResultWires(const ResultWires::Visitor &visit)
{
    if (m_circuit)
        ResultWires(*m_circuit, CutoffRules::limit(m_settings), m_settings.cutoffPercentage)
                .visit(m_streams.stream(StreamCutoff), visit);
}
