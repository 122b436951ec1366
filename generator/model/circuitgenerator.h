// CircuitGenerator: settings from the parameter map, masks, generation and the result map.
#pragma once

#include "circuit.h"
#include "generatorsettings.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVariantMap>

class CircuitGenerator
{
public:
    // How the candidate and pin lists are kept. Both give exactly the same circuit;
    // Linear is the plain sequence (quadratic, for tests), Indexed the fast one.
    enum class ListStrategy { Indexed, Linear };

    CircuitGenerator();
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

    // Reseeds the five process-wide streams from the stored seed (resetSeed).
    void resetSeed();

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

    // ---- File mask hand-off -------------------------------------------------
    // True when the last readParameters loaded a new file mask whose PNG bytes must
    // be handed to the host as "lumatrace_mask_result".
    bool fileMaskChanged() const { return m_fileMaskChanged; }
    // PNG bytes of the last file mask (32-bit ARGB of the grey image); empty when
    // the file could not be read.
    const QByteArray &fileMaskPng() const { return m_fileMaskPng; }

    // ---- Readers ------------------------------------------------------------
    const GeneratorSettings &settings() const { return m_settings; }
    // Direct access for tests and tools; call updateMasks() after changing mask settings.
    GeneratorSettings &mutableSettings() { return m_settings; }
    Circuit *circuit() const { return m_circuit; }

    // Grid of the current settings (columns, rows, validity, too-large flag).
    GridSize gridSize() const { return Circuit::gridSize(m_settings.width, m_settings.height, m_settings.scale); }

    // Mask factor at a normalized point, single precision.
    float maskValue(float u, float v) const;

    // Text mask: none until built; 8-bit grey, 200 pixels wide.
    bool hasTextMask() const { return !m_textMask.isNull(); }
    const QImage &textMaskImage() const { return m_textMask; }
    // File mask: none when the path is empty; an empty image when the file could
    // not be read (masks every cell as black).
    bool hasFileMask() const { return m_hasFileMask; }
    const QImage &fileMaskImage() const { return m_fileMask; }

    // Rebuilds the text mask and reloads the file mask when their inputs changed
    // (part of readParameters).
    void updateMasks();

    void setListStrategy(ListStrategy s) { m_listStrategy = s; }

    // Maps a 100..900 font weight to the font engine's 0..99 weight.
    static int mapFontWeight(int weight);

    // Builds a text mask image (8-bit grey, 200 x trunc(height / width * 200)).
    // Null image when width <= 0, the height is not 1 .. 100000 rows, or no
    // QGuiApplication exists (fonts need one).
    static QImage renderTextMask(int width, int height, const QString &text, const QString &font, int letterSpacing,
                                 int weight, bool italic);
    // Loads a file mask: 200 pixels wide, smooth scaling, 8-bit grey. A file that
    // MaskFileReader refuses gives an empty (null) image and its reason in `error`.
    static QImage loadFileMask(const QString &path, QString *error = nullptr);

private:
    void updateTextMask();
    void updateFileMask();

    GeneratorSettings m_settings;
    Circuit *m_circuit = nullptr;
    ListStrategy m_listStrategy = ListStrategy::Indexed;

    // Text mask state: the image and the inputs it was built from.
    QImage m_textMask;
    bool m_textMaskBuilt = false;
    int32_t m_textWidth = 600;
    int32_t m_textHeight = 600;
    QString m_textText;
    QString m_textFont;
    int32_t m_textSpacing = 0;
    int32_t m_textWeight = 400;
    bool m_textItalic = false;

    // File mask state.
    QImage m_fileMask;
    bool m_hasFileMask = false;
    QString m_fileMaskPath;
    QByteArray m_fileMaskPng;
    bool m_fileMaskChanged = false;
    QString m_fileMaskError; // why the file mask could not be loaded; "" when it was

    QString m_lastError;
};
