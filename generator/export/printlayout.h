// PrintLayout: the page and resolution a print export asks for, read by one set of rules
// for the plug-in's options and the tool's command line: a paper by name wins over a size,
// neither means no page, and a resolution not given is kDefaultDpi.
#pragma once

#include "printsize.h"

#include <QSizeF>
#include <QString>
#include <QVariantMap>

class PrintLayout
{
public:
    // Raster exports by page print at this resolution unless given another.
    static constexpr double kDefaultDpi = 300;

    // No page, at kDefaultDpi.
    PrintLayout() = default;
    // A page of `paper` (A5 ... Tabloid, any case) or else `size` ("210x297mm", "11x17in"),
    // turned to landscape when asked; both empty: no page.
    PrintLayout(const QString &paper, const QString &size, bool landscape, double dpi);
    // "paper", "size", "landscape" and "dpi" of an export's options.
    static PrintLayout fromOptions(const QVariantMap &options);

    bool hasPage() const { return m_hasPage; }
    // Why the paper or size is not a page, naming the value; empty when it is one.
    const QString &pageError() const { return m_pageError; }
    // The page; an empty size without one.
    QSizeF millimetres() const;
    double dpi() const { return m_dpi; }
    // True for PrintSize::kMinDpi ... kMaxDpi.
    bool hasValidDpi() const { return PrintSize::isValidDpi(m_dpi); }
    // The render scale, in percent, at which a canvas of width x height pixels fits the page
    // at dpi().
    double fitScalePercent(int width, int height) const { return m_page.fitScalePercent(width, height, m_dpi); }

private:
    PrintSize m_page;
    bool m_hasPage = false;
    QString m_pageError;
    double m_dpi = kDefaultDpi;
};
