// PrintSize: a physical page (a named paper or a custom size) and the resolutions a print
// export may ask for; it turns them into a render scale and PNG metadata.
#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

class PrintSize
{
public:
    static constexpr int kMinDpi = 72;
    static constexpr int kMaxDpi = 1200;
    // A canvas with no page given prints at this resolution (a screen's pixel size).
    static constexpr int kScreenDpi = 96;

    // A5 ... A0, Letter, Legal, Tabloid (any case), portrait unless landscape. False with a
    // message naming the value for any other name.
    static bool fromPaper(const QString &name, bool landscape, PrintSize *size, QString *error);
    // "210x297mm", "11x17in" (decimals allowed); landscape puts the longer side across.
    // False with a message naming the value when malformed or not positive.
    static bool fromText(const QString &text, bool landscape, PrintSize *size, QString *error);
    // A canvas of width x height pixels printed at kScreenDpi.
    static PrintSize ofCanvas(int width, int height);
    // True for kMinDpi ... kMaxDpi.
    static bool isValidDpi(double dpi);
    static QStringList paperNames();

    QSizeF millimetres() const { return m_mm; }
    // The largest render scale, in percent, at which a canvas of width x height pixels fits
    // the page at dpi; the output then meets the page along its limiting side.
    double fitScalePercent(int width, int height, double dpi) const;

    // PNG resolution (pHYs) for a dpi: 300 dpi is 11811 pixels per metre.
    static int pixelsPerMetre(double dpi);

private:
    QSizeF m_mm;
};
