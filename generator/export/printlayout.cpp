#include "printlayout.h"

#include <algorithm>

PrintLayout::PrintLayout(const QString &paper, const QString &size, bool landscape, double dpi)
    : m_hasPage(!paper.isEmpty() || !size.isEmpty())
    , m_dpi(dpi)
{
    if (!m_hasPage)
        return;
    // Either leaves the page as it was when the value is not one.
    if (paper.isEmpty())
        PrintSize::fromText(size, landscape, &m_page, &m_pageError);
    else
        PrintSize::fromPaper(paper, landscape, &m_page, &m_pageError);
}

PrintLayout PrintLayout::fromOptions(const QVariantMap &options)
{
    // A dpi that is not a number reads as 0, which no range admits.
    PrintLayout layout(options.value(QStringLiteral("paper")).toString(),
                       options.value(QStringLiteral("size")).toString(),
                       options.value(QStringLiteral("landscape")).toBool(),
                       options.value(QStringLiteral("dpi"), kDefaultDpi).toDouble());
    if (options.contains(QStringLiteral("margin")))
        layout.setMargin(options.value(QStringLiteral("margin")));
    if (options.contains(QStringLiteral("bleed")))
        layout.setBleed(options.value(QStringLiteral("bleed")));
    return layout;
}

bool PrintLayout::readLength(const QVariant &value, const char *name, double *millimetres)
{
    bool ok = false;
    *millimetres = value.toDouble(&ok);
    if (!ok && m_pageError.isEmpty())
        m_pageError = QStringLiteral("%1 \"%2\" is not a length in millimetres").arg(QLatin1String(name), value.toString());
    return ok && m_pageError.isEmpty();
}

void PrintLayout::setMargin(const QVariant &marginMm)
{
    m_hasMargin = true;
    if (!readLength(marginMm, "margin", &m_margin))
        return;
    const QSizeF page = millimetres();
    const double room = page.isEmpty() ? kMaxMarginMm : std::min(page.width(), page.height()) / 2;
    if (!(m_margin >= 0 && m_margin <= kMaxMarginMm && m_margin < room))
        m_pageError = page.isEmpty()
                ? QStringLiteral("margin %1 mm is not a margin from 0 to %2 mm").arg(m_margin).arg(kMaxMarginMm)
                : QStringLiteral("margin %1 mm leaves no room on a %2 x %3 mm page (from 0 to %4 mm)")
                          .arg(m_margin)
                          .arg(page.width())
                          .arg(page.height())
                          .arg(std::min(kMaxMarginMm, room));
}

void PrintLayout::setBleed(const QVariant &bleedMm)
{
    if (readLength(bleedMm, "bleed", &m_bleed) && !(m_bleed >= 0 && m_bleed <= kMaxBleedMm))
        m_pageError = QStringLiteral("bleed %1 mm is not a bleed from 0 to %2 mm").arg(m_bleed).arg(kMaxBleedMm);
}

PageGeometry PrintLayout::geometry(int width, int height) const
{
    return PageGeometry(width, height, millimetres(), m_margin, m_bleed);
}

PageGeometry PrintLayout::rasterGeometry(int width, int height) const
{
    return PageGeometry(width, height, millimetres(), m_margin);
}

double PrintLayout::fitScalePercent(int width, int height) const
{
    if (!m_pageError.isEmpty())
        return 0;
    if (!m_hasMargin || width <= 0 || height <= 0)
        return m_page.fitScalePercent(width, height, m_dpi);
    return rasterGeometry(width, height).rasterScalePercent(m_dpi);
}

QSizeF PrintLayout::millimetres() const
{
    return m_hasPage ? m_page.millimetres() : QSizeF();
}
