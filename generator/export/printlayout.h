// PrintLayout: the page and resolution a print export asks for, read by one set of rules
// for the plug-in's options and the tool's command line: a paper by name wins over a size,
// neither means no page, and a resolution not given is kDefaultDpi. A margin, when given,
// makes a raster export the whole sheet; a bleed is for PDF pages.
#pragma once

#include "pagegeometry.h"
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
    // The largest margin and bleed a sheet takes, in millimetres.
    static constexpr double kMaxMarginMm = 100;
    static constexpr double kMaxBleedMm = 25;

    // "paper", "size", "landscape", "dpi", "margin" and "bleed" of an export's options.
    static PrintLayout fromOptions(const QVariantMap &options);

    bool hasPage() const { return m_hasPage; }
    // The artwork fits inside marginMm of the page's edges; set, a raster export holds the
    // whole page. A margin the page has no room for sets pageError().
    void setMargin(const QVariant &marginMm);
    bool hasMargin() const { return m_hasMargin; }
    // Bleed around the trim, from 0 to kMaxBleedMm; another value sets pageError().
    void setBleed(const QVariant &bleedMm);
    double bleedMm() const { return m_bleed; }
    // The canvas of width x height pixels on this layout's sheet (the canvas at 96 dpi
    // without a page).
    PageGeometry geometry(int width, int height) const;
    // The same for a raster page, which is the paper itself: no bleed.
    PageGeometry rasterGeometry(int width, int height) const;

    // Why the paper, size, margin or bleed is not a page, naming the value; empty when it is one.
    const QString &pageError() const { return m_pageError; }
    // The page; an empty size without one.
    QSizeF millimetres() const;
    double dpi() const { return m_dpi; }
    // True for PrintSize::kMinDpi ... kMaxDpi.
    bool hasValidDpi() const { return PrintSize::isValidDpi(m_dpi); }
    // The render scale, in percent, at which a canvas of width x height pixels fits the page
    // at dpi(), inside the margin; 0 when the layout is not a page.
    double fitScalePercent(int width, int height) const;

private:
    // A length option's value; false, setting pageError() unless set before, when it is
    // not a number.
    bool readLength(const QVariant &value, const char *name, double *millimetres);

    PrintSize m_page;
    bool m_hasPage = false;
    QString m_pageError;
    double m_dpi = kDefaultDpi;
    bool m_hasMargin = false;
    double m_margin = 0;
    double m_bleed = 0;
};
