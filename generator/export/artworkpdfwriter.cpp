#include "artworkpdfwriter.h"

#include "artworkdrawing.h"
#include "bytesink.h"
#include "levelleddeflate.h"
#include "numbertext.h"
#include "pdfstreamobject.h"

#include <QVector>

#include <algorithm>

// The page is written directly rather than through the toolkit's PDF engine, which rounds
// page sizes to whole points: a print shop checks that an A3 file is A3.

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// Objects: catalog, page tree, page, content stream, information, the content's length.
constexpr int kContentObject = 4;
constexpr int kInfoObject = 5;
constexpr int kLengthObject = 6;

void appendColour(const QColor &c, ByteSink &out)
{
    out.appendFixed(c.redF(), 4);
    out.append(' ');
    out.appendFixed(c.greenF(), 4);
    out.append(' ');
    out.appendFixed(c.blueF(), 4);
}

void appendPoint(double x, double y, ByteSink &out)
{
    out.appendFixed(x, 3);
    out.append(' ');
    out.appendFixed(y, 3);
}

void beginObject(int number, ByteSink &out, QVector<qint64> &offsets)
{
    offsets[number - 1] = out.size();
    out.appendInteger(number);
    out.append(" 0 obj\n");
}

void appendXref(const QVector<qint64> &offsets, ByteSink &out)
{
    const qint64 xref = out.size();
    out.append("xref\n0 ");
    out.appendInteger(offsets.size() + 1);
    out.append("\n0000000000 65535 f \n");
    for (qint64 offset : offsets) {
        out.append(QByteArray::number(offset).rightJustified(10, '0'));
        out.append(" 00000 n \n");
    }
    out.append("trailer\n<< /Size ");
    out.appendInteger(offsets.size() + 1);
    out.append(" /Root 1 0 R /Info 5 0 R >>\nstartxref\n");
    out.appendInteger(xref);
    out.append("\n%%EOF\n");
}

} // namespace

QByteArray ArtworkPdfWriter::number(double value, int decimals)
{
    char text[NumberText::kMaxLength];
    return QByteArray(text, NumberText::fixed(value, decimals, text));
}

QByteArray ArtworkPdfWriter::document(const ArtworkDrawing &drawing, const QSizeF &pageMm, bool background)
{
    QByteArray bytes;
    ByteSink sink(bytes);
    write(drawing, pageMm, background, sink);
    sink.flush();
    return bytes;
}

void ArtworkPdfWriter::write(const ArtworkDrawing &drawing, const QSizeF &pageMm, bool background, ByteSink &out)
{
    const QSizeF page = pageMm * kPointsPerMm;
    QVector<qint64> offsets(kInfoObject);
    out.append("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    beginObject(1, out, offsets);
    out.append("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    beginObject(2, out, offsets);
    out.append("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
    beginObject(3, out, offsets);
    out.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ");
    out.append(number(page.width(), 2) + ' ' + number(page.height(), 2));
    out.append("] /Resources << >> /Contents 4 0 R >>\nendobj\n");

    offsets[kContentObject - 1] = out.size();
    PdfStreamObject stream(out, kContentObject, kLengthObject, "/Filter /FlateDecode");
    LevelledDeflate deflate([&stream](const char *data, qint64 size) { return stream.take(data, size); });
    ByteSink text([&deflate](const char *data, qint64 size) { return deflate.write(data, size); });
    content(drawing, page, background, text);
    if (!text.flush() || !deflate.finish())
        out.fail();
    stream.finish();
    if (stream.hasLengthObject())
        offsets.append(stream.lengthObjectOffset());

    beginObject(kInfoObject, out, offsets);
    out.append("<< /Creator (Lumatrace) /Producer (Lumatrace) >>\nendobj\n");
    appendXref(offsets, out);
}

void ArtworkPdfWriter::content(const ArtworkDrawing &drawing, const QSizeF &page, bool background, ByteSink &out)
{
    // Canvas pixels to page points: fitted, centred, y pointing down as on the canvas.
    const double s = std::min(page.width() / drawing.width(), page.height() / drawing.height());
    const double tx = (page.width() - drawing.width() * s) / 2;
    const double ty = (page.height() - drawing.height() * s) / 2;
    out.append("q\n");
    out.appendFixed(s, 6);
    out.append(" 0 0 ");
    out.appendFixed(-s, 6);
    out.append(' ');
    appendPoint(tx, page.height() - ty, out);
    out.append(" cm\n0 J 0 j 4 M\n");
    for (const ArtworkDrawing::Layer &layer : ArtworkDrawing::layers()) {
        if (layer.layer == Composite && !background)
            continue;
        drawing.visit(layer.layer, [&out](const ArtworkDrawing::Shape &shape) {
            appendColour(shape.color, out);
            if (shape.strokeWidth > 0) {
                out.append(" RG ");
                out.appendFixed(shape.strokeWidth, 3);
                out.append(" w\n");
                pathOperators(shape.painterPath(), out);
                out.append("S\n");
            } else {
                out.append(" rg\n");
                pathOperators(shape.painterPath(), out);
                out.append("f\n");
            }
            return out.ok();
        });
    }
    out.append("Q\n");
}

void ArtworkPdfWriter::pathOperators(const QPainterPath &path, ByteSink &out)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            appendPoint(e.x, e.y, out);
            out.append(" m\n");
        } else if (e.isLineTo()) {
            appendPoint(e.x, e.y, out);
            out.append(" l\n");
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            appendPoint(e.x, e.y, out);
            out.append(' ');
            appendPoint(c2.x, c2.y, out);
            out.append(' ');
            appendPoint(end.x, end.y, out);
            out.append(" c\n");
            i += 2;
        }
    }
}
