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
    // A dpi that is not a number reads as 0, which no range admits; a margin or bleed that
    // is not one reads as -1, which none admits either.
    PrintLayout layout(options.value(QStringLiteral("paper")).toString(),
                       options.value(QStringLiteral("size")).toString(),
                       options.value(QStringLiteral("landscape")).toBool(),
                       options.value(QStringLiteral("dpi"), kDefaultDpi).toDouble());
    const auto number = [&options](const char *key) {
        bool ok = false;
        const double value = options.value(QLatin1String(key)).toDouble(&ok);
        return ok ? value : -1.0;
    };
    if (options.contains(QStringLiteral("margin")))
        layout.setMargin(number("margin"));
    if (options.contains(QStringLiteral("bleed")))
        layout.setBleed(number("bleed"));
    return layout;
}

void PrintLayout::setMargin(double marginMm)
{
    m_hasMargin = true;
    m_margin = marginMm;
    if (!m_pageError.isEmpty())
        return;
    const QSizeF page = millimetres();
    const double room = page.isEmpty() ? kMaxMarginMm : std::min(page.width(), page.height()) / 2;
    if (!(marginMm >= 0 && marginMm <= kMaxMarginMm && marginMm < room))
        m_pageError = page.isEmpty()
                ? QStringLiteral("margin %1 mm is not a margin from 0 to %2 mm").arg(marginMm).arg(kMaxMarginMm)
                : QStringLiteral("margin %1 mm leaves no room on a %2 x %3 mm page (from 0 to %4 mm)")
                          .arg(marginMm)
                          .arg(page.width())
                          .arg(page.height())
                          .arg(std::min(kMaxMarginMm, room));
}

void PrintLayout::setBleed(double bleedMm)
{
    m_bleed = bleedMm;
    if (m_pageError.isEmpty() && !(bleedMm >= 0 && bleedMm <= kMaxBleedMm))
        m_pageError = QStringLiteral("bleed %1 mm is not a bleed from 0 to %2 mm").arg(bleedMm).arg(kMaxBleedMm);
}

PageGeometry PrintLayout::geometry(int width, int height) const
{
    return PageGeometry(width, height, millimetres(), m_margin, m_bleed);
}

double PrintLayout::fitScalePercent(int width, int height) const
{
    if (!m_hasMargin || width <= 0 || height <= 0)
        return m_page.fitScalePercent(width, height, m_dpi);
    return geometry(width, height).rasterScalePercent(m_dpi);
}

QSizeF PrintLayout::millimetres() const
{
    return m_hasPage ? m_page.millimetres() : QSizeF();
}
