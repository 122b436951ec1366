// GenerationBudget: the most work one generation may do.
#pragma once

#include <QString>

#include <cstdint>

struct GeneratorSettings;

// Every limit lies far above what any artwork of the studio needs (at most 1024 x 1024
// cells, 6 fill passes, a few dozen placed items of at most 60 x 60 cells), and low enough
// that a map within all of them generates in seconds on the largest grid. A map beyond
// a limit is refused as a whole: the generator keeps an empty circuit and says why.
//
// The limits, in the units the work grows in:
// - list lengths: at most kMaxListEntries modificators, adjustments and chips each, and
//   at most kMaxMaskTextLength UTF-16 code units of mask_text (used or not);
// - list entries x cells: every modificator and adjustment visits every cell, so their
//   count times the cell count is at most kMaxFieldWork; the chips' rectangles cover at
//   most kMaxChipCells cells in all and give at most kMaxPinEntries pins;
// - growth: all wires and rejected attempts together make at most kMaxGrowthWork wire
//   starts and cell steps (the dense rule may try a wire ten times), which bounds the
//   time of a run, a few seconds, whatever the other limits let through;
// - passes: at most kMaxPasses fill passes do work (passes that provably change nothing
//   are skipped and not counted), and all passes together start at most kMaxPassWork
//   wires and cut-off checks.
class GenerationBudget
{
public:
    static constexpr int64_t kMaxListEntries = 100000;
    static constexpr int64_t kMaxFieldWork = int64_t(1) << 26;
    static constexpr int64_t kMaxChipCells = int64_t(1) << 26;
    static constexpr int64_t kMaxPinEntries = int64_t(1) << 20;
    static constexpr int64_t kMaxPasses = 1000;
    static constexpr int64_t kMaxPassWork = int64_t(1) << 26;
    static constexpr int64_t kMaxGrowthWork = int64_t(1) << 24;
    // The text mask fits its text into 200 pixels, so a few words are all that shows;
    // laying out millions of characters takes seconds and hundreds of MB.
    static constexpr int64_t kMaxMaskTextLength = 1000;

    // Checks the limits known before any work: list lengths, list entries x cells and
    // the length of mask_text.
    bool admit(const GeneratorSettings &settings, int64_t cellCount);
    // Counts one chip's rectangle; false once the chips cover too many cells.
    bool chargeChip(int64_t cells);
    // Counts the pin list's length after a chip; false when it is too long.
    bool checkPins(int64_t pinEntries);
    // Counts one fill pass that does work, with the wires it may start; false when
    // there are too many passes or too much pass work.
    bool chargePass(int64_t candidateEntries);
    // Counts the cut-off checks of one pass; false when the pass work is too much.
    bool chargeCutoff(int64_t wires);
    // Counts the cells of one grown wire or attempt; false once growth has taken too many.
    bool chargeGrowth(int64_t cells);

    // Why the budget was exceeded; "" while it holds.
    const QString &error() const { return m_error; }

private:
    bool addPassWork(int64_t entries);
    bool refuse(const QString &reason);

    int64_t m_chipCells = 0;
    int64_t m_passes = 0;
    int64_t m_passWork = 0;
    int64_t m_growthWork = 0;
    QString m_error;
};
