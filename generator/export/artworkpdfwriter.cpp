#include "artworkpdfwriter.h"

#include "artworkdrawing.h"

#include <QVector>

#include <algorithm>

// The page is written directly rather than through the toolkit's PDF engine, which rounds
// page sizes to whole points: a print shop checks that an A3 file is A3.

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

QByteArray colour(const QColor &c)
{
    return ArtworkPdfWriter::number(c.redF(), 4) + ' ' + ArtworkPdfWriter::number(c.greenF(), 4) + ' '
            + ArtworkPdfWriter::number(c.blueF(), 4);
}

// Deflated with zlib's framing, as FlateDecode expects (qCompress prefixes the length).
QByteArray deflated(const QByteArray &data)
{
    return qCompress(data, 6).mid(4);
}

} // namespace

QByteArray ArtworkPdfWriter::number(double value, int decimals)
{
    QByteArray text = QByteArray::number(value, 'f', decimals);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    return text == "-0" ? QByteArray("0") : text;
}

QByteArray ArtworkPdfWriter::document(const ArtworkDrawing &drawing, const QSizeF &pageMm, bool background)
{
    const QSizeF page = pageMm * kPointsPerMm;
    const QByteArray stream = deflated(content(drawing, page, background));
    const QVector<QByteArray> objects = {
            "<< /Type /Catalog /Pages 2 0 R >>",
            "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(page.width(), 2) + ' ' + number(page.height(), 2)
                    + "] /Resources << >> /Contents 4 0 R >>",
            "<< /Length " + QByteArray::number(stream.size()) + " /Filter /FlateDecode >>\nstream\n" + stream
                    + "\nendstream",
            "<< /Creator (Lumatrace) /Producer (Lumatrace) >>",
    };
    QByteArray pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    QVector<int> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const int xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R /Info 5 0 R >>\nstartxref\n"
            + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

QByteArray ArtworkPdfWriter::content(const ArtworkDrawing &drawing, const QSizeF &page, bool background)
{
    // Canvas pixels to page points: fitted, centred, y pointing down as on the canvas.
    const double s = std::min(page.width() / drawing.width(), page.height() / drawing.height());
    const double tx = (page.width() - drawing.width() * s) / 2;
    const double ty = (page.height() - drawing.height() * s) / 2;
    QByteArray text = "q\n" + number(s, 6) + " 0 0 " + number(-s, 6) + ' ' + number(tx) + ' '
            + number(page.height() - ty) + " cm\n0 J 0 j 4 M\n";
    for (const ArtworkDrawing::Layer &layer : drawing.layers()) {
        if (layer.layer == Composite && !background)
            continue;
        for (const ArtworkDrawing::Shape &shape : layer.shapes) {
            if (shape.strokeWidth > 0) {
                text += colour(shape.color) + " RG " + number(shape.strokeWidth) + " w\n" + pathOperators(shape.path)
                        + "S\n";
            } else {
                text += colour(shape.color) + " rg\n" + pathOperators(shape.path) + "f\n";
            }
        }
    }
    return text + "Q\n";
}

QByteArray ArtworkPdfWriter::pathOperators(const QPainterPath &path)
{
    QByteArray text;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QByteArray point = number(e.x) + ' ' + number(e.y);
        if (e.isMoveTo()) {
            text += point + " m\n";
        } else if (e.isLineTo()) {
            text += point + " l\n";
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            text += point + ' ' + number(c2.x) + ' ' + number(c2.y) + ' ' + number(end.x) + ' ' + number(end.y)
                    + " c\n";
            i += 2;
        }
    }
    return text;
}
