#include "artworkpdfwriter.h"

#include "bytesink.h"
#include "levelleddeflate.h"
#include "numbertext.h"
#include "pdfstreamobject.h"
#include "vectordrawing.h"

#include <QVector>

#include <algorithm>

// The page is written directly rather than through the toolkit's PDF engine, which rounds
// page sizes to whole points: a print shop checks that an A3 file is A3.

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// Objects: catalog, page tree, page, information, then one per layer, the content stream
// and the content's length.
constexpr int kInfoObject = 4;
constexpr int kFirstLayerObject = 5;

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

void appendBox(const char *name, const QRectF &mm, double mediaHeightMm, ByteSink &out)
{
    // PDF's y runs up from the sheet's bottom.
    const QRectF box(mm.x(), mediaHeightMm - mm.bottom(), mm.width(), mm.height());
    out.append(name, qstrlen(name));
    out.append(" [");
    out.append(ArtworkPdfWriter::number(box.left() * kPointsPerMm, 2));
    out.append(' ');
    out.append(ArtworkPdfWriter::number(box.top() * kPointsPerMm, 2));
    out.append(' ');
    out.append(ArtworkPdfWriter::number(box.right() * kPointsPerMm, 2));
    out.append(' ');
    out.append(ArtworkPdfWriter::number(box.bottom() * kPointsPerMm, 2));
    out.append(']');
}

void beginObject(int number, ByteSink &out, QVector<qint64> &offsets)
{
    offsets[number - 1] = out.size();
    out.appendInteger(number);
    out.append(" 0 obj\n");
}

void appendReferences(int first, int count, ByteSink &out)
{
    for (int i = 0; i < count; ++i) {
        out.append(i == 0 ? "" : " ");
        out.appendInteger(first + i);
        out.append(" 0 R");
    }
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
    out.append(" /Root 1 0 R /Info 4 0 R >>\nstartxref\n");
    out.appendInteger(xref);
    out.append("\n%%EOF\n");
}

// The layers the page shows: every layer, the background only when asked for.
QVector<VectorDrawing::Layer> shownLayers(const VectorDrawing &drawing, bool background)
{
    QVector<VectorDrawing::Layer> layers = drawing.layerList();
    layers.erase(std::remove_if(layers.begin(), layers.end(),
                                [background](const VectorDrawing::Layer &l) { return l.background && !background; }),
                 layers.end());
    return layers;
}

} // namespace

QByteArray ArtworkPdfWriter::number(double value, int decimals)
{
    char text[NumberText::kMaxLength];
    return QByteArray(text, NumberText::fixed(value, decimals, text));
}

QByteArray ArtworkPdfWriter::textString(const QString &text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 32 && c.unicode() < 127; });
    if (plain) {
        QByteArray literal = text.toLatin1();
        literal.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
        return '(' + literal + ')';
    }
    QByteArray utf16("<FEFF");
    for (const QChar c : text)
        utf16 += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return utf16 + '>';
}

QByteArray ArtworkPdfWriter::document(const VectorDrawing &drawing, const Page &page)
{
    QByteArray bytes;
    ByteSink sink(bytes);
    write(drawing, page, sink);
    sink.flush();
    return bytes;
}

void ArtworkPdfWriter::write(const VectorDrawing &drawing, const Page &page, ByteSink &out)
{
    const PageGeometry &geometry = page.geometry;
    const QSizeF media = geometry.mediaMm();
    const QVector<VectorDrawing::Layer> layers = shownLayers(drawing, page.background);
    const int contentObject = kFirstLayerObject + layers.size();
    QVector<qint64> offsets(contentObject);

    out.append("%PDF-1.5\n%\xe2\xe3\xcf\xd3\n");
    beginObject(1, out, offsets);
    out.append("<< /Type /Catalog /Pages 2 0 R /OCProperties << /OCGs [");
    appendReferences(kFirstLayerObject, layers.size(), out);
    out.append("] /D << /Order [");
    appendReferences(kFirstLayerObject, layers.size(), out);
    out.append("] >> >> >>\nendobj\n");
    beginObject(2, out, offsets);
    out.append("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
    beginObject(3, out, offsets);
    out.append("<< /Type /Page /Parent 2 0 R ");
    appendBox("/MediaBox", QRectF(QPointF(0, 0), media), media.height(), out);
    out.append(' ');
    appendBox("/TrimBox", geometry.trimMm(), media.height(), out);
    out.append(' ');
    appendBox("/BleedBox", QRectF(QPointF(0, 0), media), media.height(), out);
    out.append("\n/Resources << /Properties <<");
    for (int i = 0; i < layers.size(); ++i) {
        out.append(" /L");
        out.appendInteger(i);
        out.append(' ');
        out.appendInteger(kFirstLayerObject + i);
        out.append(" 0 R");
    }
    out.append(" >> >> /Contents ");
    out.appendInteger(contentObject);
    out.append(" 0 R >>\nendobj\n");
    beginObject(kInfoObject, out, offsets);
    out.append("<< ");
    if (!page.title.isEmpty()) {
        out.append("/Title ");
        out.append(textString(page.title));
        out.append(' ');
    }
    out.append("/Creator (Lumatrace) /Producer (Lumatrace) >>\nendobj\n");
    for (int i = 0; i < layers.size(); ++i) {
        beginObject(kFirstLayerObject + i, out, offsets);
        out.append("<< /Type /OCG /Name ");
        out.append(textString(layers[i].label));
        out.append(" >>\nendobj\n");
    }

    offsets[contentObject - 1] = out.size();
    PdfStreamObject stream(out, contentObject, contentObject + 1, "/Filter /FlateDecode");
    LevelledDeflate deflate([&stream](const char *data, qint64 size) { return stream.take(data, size); });
    ByteSink text([&deflate](const char *data, qint64 size) { return deflate.write(data, size); });
    content(drawing, page, text);
    if (!text.flush() || !deflate.finish())
        out.fail();
    stream.finish();
    if (stream.hasLengthObject())
        offsets.append(stream.lengthObjectOffset());
    appendXref(offsets, out);
}

void ArtworkPdfWriter::content(const VectorDrawing &drawing, const Page &page, ByteSink &out)
{
    // Canvas pixels to page points: placed as the geometry says, y pointing down as on the canvas.
    const PageGeometry &geometry = page.geometry;
    const double s = geometry.mmPerPixel() * kPointsPerMm;
    const QPointF origin = geometry.artworkMm().topLeft() * kPointsPerMm;
    const double height = geometry.mediaMm().height() * kPointsPerMm;
    out.append("q\n");
    out.appendFixed(s, 6);
    out.append(" 0 0 ");
    out.appendFixed(-s, 6);
    out.append(' ');
    appendPoint(origin.x(), height - origin.y(), out);
    out.append(" cm\n0 J 0 j 4 M\n");
    const QVector<VectorDrawing::Layer> layers = shownLayers(drawing, page.background);
    bool round = false;
    for (int i = 0; i < layers.size(); ++i) {
        out.append("/OC /L");
        out.appendInteger(i);
        out.append(" BDC\n");
        if (layers[i].background && geometry.bleedMm() > 0) {
            // Colour that runs past the cut: the whole sheet, in canvas pixels.
            const QRectF sheet = geometry.mediaInCanvasPixels();
            drawing.visit(layers[i].id, [&](const VectorDrawing::Shape &shape) {
                appendColour(shape.color, out);
                out.append(" rg\n");
                appendPoint(sheet.x(), sheet.y(), out);
                out.append(' ');
                appendPoint(sheet.width(), sheet.height(), out);
                out.append(" re f\n");
                return out.ok();
            });
            out.append("EMC\n");
            continue;
        }
        drawing.visit(layers[i].id, [&](const VectorDrawing::Shape &shape) {
            appendColour(shape.color, out);
            if (shape.strokeWidth > 0) {
                out.append(" RG ");
                out.appendFixed(shape.strokeWidth, 3);
                out.append(" w\n");
                if (shape.pen != round) {
                    round = shape.pen;
                    out.append(round ? "1 J 1 j\n" : "0 J 0 j\n");
                }
                pathOperators(shape.painterPath(), out);
                out.append("S\n");
            } else {
                out.append(" rg\n");
                pathOperators(shape.painterPath(), out);
                out.append("f\n");
            }
            return out.ok();
        });
        out.append("EMC\n");
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
