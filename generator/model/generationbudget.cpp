#include "generationbudget.h"

#include "generatorsettings.h"

bool GenerationBudget::admit(const GeneratorSettings &settings, int64_t cellCount)
{
    const int64_t modificators = int64_t(settings.modificators.size());
    const int64_t adjustments = int64_t(settings.adjustments.size());
    const int64_t chips = int64_t(settings.chips.size());
    if (modificators > kMaxListEntries || adjustments > kMaxListEntries || chips > kMaxListEntries)
        return refuse(
                QStringLiteral("%1 modificators, %2 adjustments and %3 chips: more than the limit of %4 in a list")
                        .arg(modificators)
                        .arg(adjustments)
                        .arg(chips)
                        .arg(kMaxListEntries));
    if (settings.maskText.size() > kMaxMaskTextLength)
        return refuse(QStringLiteral("mask_text: %1 characters, more than the limit of %2")
                              .arg(settings.maskText.size())
                              .arg(kMaxMaskTextLength));
    // Both counts are at most kMaxListEntries and the grid has at most 2^22 cells: no overflow.
    const int64_t fieldWork = (modificators + adjustments) * cellCount;
    if (fieldWork > kMaxFieldWork)
        return refuse(QStringLiteral("%1 modificators and adjustments over %2 cells: more than the limit of %3 "
                                     "cell updates")
                              .arg(modificators + adjustments)
                              .arg(cellCount)
                              .arg(kMaxFieldWork));
    return true;
}

bool GenerationBudget::chargeChip(int64_t cells)
{
    m_chipCells += cells;
    if (m_chipCells > kMaxChipCells)
        return refuse(QStringLiteral("the chips cover more than the limit of %1 cells in all").arg(kMaxChipCells));
    return true;
}

bool GenerationBudget::checkPins(int64_t pinEntries)
{
    if (pinEntries > kMaxPinEntries)
        return refuse(QStringLiteral("the chips have more than the limit of %1 pins in all").arg(kMaxPinEntries));
    return true;
}

bool GenerationBudget::chargePass(int64_t candidateEntries)
{
    if (++m_passes > kMaxPasses)
        return refuse(QStringLiteral("more than the limit of %1 fill passes change the circuit").arg(kMaxPasses));
    return addPassWork(candidateEntries);
}

bool GenerationBudget::chargeCutoff(int64_t wires)
{
    return addPassWork(wires);
}

bool GenerationBudget::chargeGrowth(int64_t cells)
{
    // A start costs about as much as a step: it picks a random cell far from the last.
    m_growthWork += cells + 1;
    if (m_growthWork > kMaxGrowthWork)
        return refuse(QStringLiteral("growing the wires takes more than the limit of %1 wire starts and cell steps")
                              .arg(kMaxGrowthWork));
    return true;
}

bool GenerationBudget::addPassWork(int64_t entries)
{
    m_passWork += entries;
    if (m_passWork > kMaxPassWork)
        return refuse(QStringLiteral("the fill passes need more than the limit of %1 wire starts and cut-off checks")
                              .arg(kMaxPassWork));
    return true;
}

bool GenerationBudget::refuse(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("generation refused: ") + reason;
    return false;
}
