#include "printsize.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

struct Paper {
    const char *name;
    double widthMm;
    double heightMm;
};

// Portrait sizes; the US sizes are exact inches.
const Paper kPapers[] = {
        {"A5", 148, 210},         {"A4", 210, 297},        {"A3", 297, 420},
        {"A2", 420, 594},         {"A1", 594, 841},        {"A0", 841, 1189},
        {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6}, {"Tabloid", 279.4, 431.8},
};

QSizeF oriented(QSizeF mm, bool landscape)
{
    const bool wide = mm.width() > mm.height();
    return wide == landscape ? mm : mm.transposed();
}

} // namespace

bool PrintSize::fromPaper(const QString &name, bool landscape, PrintSize *size, QString *error)
{
    for (const Paper &paper : kPapers) {
        if (name.compare(QLatin1String(paper.name), Qt::CaseInsensitive) == 0) {
            size->m_mm = oriented(QSizeF(paper.widthMm, paper.heightMm), landscape);
            return true;
        }
    }
    *error = QStringLiteral("unknown paper \"%1\" (known: %2)").arg(name, paperNames().join(QStringLiteral(", ")));
    return false;
}

bool PrintSize::fromText(const QString &text, bool landscape, PrintSize *size, QString *error)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+(?:\\.\\d+)?)x(\\d+(?:\\.\\d+)?)(mm|in)$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed().toLower());
    const double unit = match.captured(3) == QLatin1String("in") ? 25.4 : 1.0;
    const double width = match.captured(1).toDouble() * unit;
    const double height = match.captured(2).toDouble() * unit;
    if (!match.hasMatch()) {
        *error = QStringLiteral("malformed size \"%1\" (for example 210x297mm or 11x17in)").arg(text);
        return false;
    }
    if (!(width > 0 && height > 0 && width < 1e5 && height < 1e5)) {
        *error = QStringLiteral("size \"%1\" is not a page: each side must be above 0 and below 100 m").arg(text);
        return false;
    }
    size->m_mm = landscape ? oriented(QSizeF(width, height), true) : QSizeF(width, height);
    return true;
}

PrintSize PrintSize::ofCanvas(int width, int height)
{
    PrintSize size;
    size.m_mm = QSizeF(width * 25.4 / kScreenDpi, height * 25.4 / kScreenDpi);
    return size;
}

bool PrintSize::isValidDpi(double dpi)
{
    return dpi >= kMinDpi && dpi <= kMaxDpi;
}

QStringList PrintSize::paperNames()
{
    QStringList names;
    for (const Paper &paper : kPapers)
        names << QLatin1String(paper.name);
    return names;
}

double PrintSize::fitScalePercent(int width, int height, double dpi) const
{
    if (width <= 0 || height <= 0)
        return 0;
    const double pageWidth = m_mm.width() / 25.4 * dpi;
    const double pageHeight = m_mm.height() / 25.4 * dpi;
    return std::min(pageWidth / width, pageHeight / height) * 100.0;
}

int PrintSize::pixelsPerMetre(double dpi)
{
    return int(std::lround(dpi / 0.0254));
}
