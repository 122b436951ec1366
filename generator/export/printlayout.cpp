#include "printlayout.h"

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
    return PrintLayout(options.value(QStringLiteral("paper")).toString(),
                       options.value(QStringLiteral("size")).toString(),
                       options.value(QStringLiteral("landscape")).toBool(),
                       options.value(QStringLiteral("dpi"), kDefaultDpi).toDouble());
}

QSizeF PrintLayout::millimetres() const
{
    return m_hasPage ? m_page.millimetres() : QSizeF();
}
