// CircuitGenerator: settings from the parameter map, masks, generation and the result map.
#pragma once

#include "circuit.h"
#include "generatormasks.h"
#include "generatorsettings.h"
#include "resultwires.h"

#include <QString>
#include <QVariantMap>

#include <memory>

class RandomStreams;

class CircuitGenerator
{
public:
    // How the candidate and pin lists are kept. Both give exactly the same circuit;
    // Linear is the plain sequence (quadratic, for tests), Indexed the fast one.
    enum class ListStrategy { Indexed, Linear };

    // A generator with a set of random streams of its own.
    CircuitGenerator();
    // A generator that draws from streams shared with others (the plug-in's one set);
    // they must outlive it.
    explicit CircuitGenerator(RandomStreams &streams);
    virtual ~CircuitGenerator();

    CircuitGenerator(const CircuitGenerator &) = delete;
    CircuitGenerator &operator=(const CircuitGenerator &) = delete;

    // ---- Facade for the plug-in and the tool --------------------------------
    // readParameters + generateCircuit + resultMap: the plug-in's generate.
    QVariantMap generate(const QVariantMap &parameters);

    // Reads every setting from the map in key order, reseeding the five streams
    // right after "seed"; then the text mask, the file mask and the three lists.
    // This alone is the plug-in's updateGenerator.
    void readParameters(const QVariantMap &parameters);

    // Reseeds the five streams from the stored seed (resetSeed).
    void resetSeed();

    // Takes over another generator's settings, parameter map, masks and stream states as
    // they stand, reading and reseeding nothing: it then builds the circuit the other would
    // build next. A preview worker draws from such a copy while the original stays in use.
    void copyStateOf(const CircuitGenerator &other);

    // The streams it draws from; the artwork's own draws come from them too.
    RandomStreams &streams() { return m_streams; }

    // Deletes the previous circuit, builds a new one from the settings, keeps and
    // returns it. Never null; an empty circuit (0 x 0) for a bad or too large grid,
    // and for a refused generation (see lastError).
    Circuit *generateCircuit();

    // Why the last generateCircuit refused to generate: the settings exceed the
    // GenerationBudget, or the file mask they use could not be loaded. "" when it
    // generated (an empty grid is no refusal).
    const QString &lastError() const { return m_lastError; }

    // The result map of the current circuit: {"wires": [{"xy", "thickness",
    // "density"}, ...]}. Draws stream 4 once per wire. Empty list without a circuit.
    QVariantMap resultMap();
    // The wires of that map one at a time, with the same draws, without building it.
    void visitResultWires(const ResultWires::Visitor &visit);

    // ---- Readers ------------------------------------------------------------
    const GeneratorSettings &settings() const { return m_settings; }
    // The map the settings were last read from, as it was handed over.
    const QVariantMap &parameters() const { return m_parameters; }
    // Direct access for tests and tools; call updateMasks() after changing mask settings.
    GeneratorSettings &mutableSettings() { return m_settings; }
    Circuit *circuit() const { return m_circuit.get(); }

    // Grid of the current settings (columns, rows, validity, too-large flag).
    GridSize gridSize() const { return Circuit::gridSize(m_settings.width, m_settings.height, m_settings.scale); }

    // The text and file masks of the current settings.
    const GeneratorMasks &masks() const { return m_masks; }
    // Mask factor at a normalized point, single precision.
    float maskValue(float u, float v) const { return m_masks.value(m_settings, u, v); }
    // Rebuilds the masks after their settings were changed through mutableSettings().
    void updateMasks() { m_masks.update(m_settings); }

    void setListStrategy(ListStrategy s) { m_listStrategy = s; }

    // Changes whenever settings are read or a circuit is generated, so that what was drawn
    // from an earlier state can tell it is out of date.
    quint64 version() const { return m_version; }

private:
    std::unique_ptr<RandomStreams> m_ownStreams;
    RandomStreams &m_streams;
    GeneratorSettings m_settings;
    QVariantMap m_parameters;
    GeneratorMasks m_masks;
    std::unique_ptr<Circuit> m_circuit;
    ListStrategy m_listStrategy = ListStrategy::Indexed;

    QString m_lastError;
    quint64 m_version = 0;
};
