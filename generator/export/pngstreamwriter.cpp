#include "pngstreamwriter.h"

#include "paralleltasks.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace {

const char kSignature[] = "\x89PNG\r\n\x1a\n";
// zlib header: deflate, 32 KB window, fastest compression level, no dictionary.
const char kZlibHeader[] = "\x78\x01";
// Raw data per compressed piece: large enough that the sync flushes cost
// nothing measurable, small enough for rows of poster width.
constexpr qint64 kPieceBytes = 512 * 1024;
constexpr int kPaeth = 4;

void putUint32(QByteArray &bytes, quint32 value)
{
    bytes.append(char(value >> 24));
    bytes.append(char(value >> 16));
    bytes.append(char(value >> 8));
    bytes.append(char(value));
}

void toRgba(const QImage &rows, int y, unsigned char *out)
{
    const auto *pixels = reinterpret_cast<const QRgb *>(rows.constScanLine(y));
    for (int x = 0; x < rows.width(); ++x) {
        const QRgb pixel = pixels[x];
        *out++ = static_cast<unsigned char>(qRed(pixel));
        *out++ = static_cast<unsigned char>(qGreen(pixel));
        *out++ = static_cast<unsigned char>(qBlue(pixel));
        *out++ = static_cast<unsigned char>(qAlpha(pixel));
    }
}

unsigned char paethPredictor(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<unsigned char>(a);
    return static_cast<unsigned char>(pb <= pc ? b : c);
}

// One filtered row: the filter type byte, then the Paeth differences of the
// RGBA bytes against the row above (zeros for the first row).
void filterRow(const unsigned char *row, const unsigned char *above, qint64 bytes, unsigned char *out, bool none)
{
    if (none) {
        *out++ = 0;
        std::copy_n(row, bytes, out);
        return;
    }
    *out++ = kPaeth;
    for (qint64 i = 0; i < 4 && i < bytes; ++i)
        out[i] = static_cast<unsigned char>(row[i] - paethPredictor(0, above[i], 0));
    for (qint64 i = 4; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(row[i] - paethPredictor(row[i - 4], above[i], above[i - 4]));
}

} // namespace

PngStreamWriter::PngStreamWriter(Output output, int width, int height, const Options &options)
    : m_output(std::move(output))
    , m_width(width)
    , m_height(height)
    , m_options(options)
    , m_rowBytes(4LL * width)
    , m_previousRow(size_t(4) * size_t(std::max(width, 0)), 0)
    , m_adler(adler32(0L, Z_NULL, 0))
{
    m_rowsPerPiece = int(std::max<qint64>(1, kPieceBytes / (m_rowBytes + 1)));
}

PngStreamWriter::PngStreamWriter(Output output, int width, int height)
    : PngStreamWriter(std::move(output), width, height, Options())
{ }

bool PngStreamWriter::writeChunk(const char type[4], const QByteArray &data)
{
    QByteArray chunk;
    chunk.reserve(data.size() + 12);
    putUint32(chunk, quint32(data.size()));
    chunk.append(type, 4);
    chunk.append(data);
    const auto *typed = reinterpret_cast<const Bytef *>(chunk.constData() + 4);
    putUint32(chunk, quint32(crc32(crc32(0L, Z_NULL, 0), typed, uInt(data.size() + 4))));
    if (!m_failed && !m_output(chunk.constData(), chunk.size()))
        m_failed = true;
    return !m_failed;
}

bool PngStreamWriter::begin()
{
    if (m_width <= 0 || m_height <= 0 || m_headerWritten)
        return false;
    m_headerWritten = true;
    if (!m_output(kSignature, 8)) {
        m_failed = true;
        return false;
    }
    QByteArray header;
    putUint32(header, quint32(m_width));
    putUint32(header, quint32(m_height));
    // 8 bits, RGBA, deflate, adaptive filtering, no interlace.
    header.append("\x08\x06\x00\x00\x00", 5);
    writeChunk("IHDR", header);
    if (m_options.pixelsPerMetre > 0) {
        QByteArray phys;
        putUint32(phys, quint32(m_options.pixelsPerMetre));
        putUint32(phys, quint32(m_options.pixelsPerMetre));
        phys.append('\x01'); // the unit is the metre
        writeChunk("pHYs", phys);
    }
    for (const TextChunk &text : m_options.texts) {
        QByteArray data = text.keyword;
        data.append('\0');
        if (text.international)
            data.append("\0\0\0\0", 4); // not compressed, no language, no translated keyword
        data.append(text.text);
        writeChunk(text.international ? "iTXt" : "tEXt", data);
    }
    return !m_failed;
}

bool PngStreamWriter::writeRows(const QImage &rows)
{
    if (m_failed || !m_headerWritten || rows.width() != m_width || rows.depth() != 32
        || m_rowsIn + rows.height() > m_height)
        return false;
    m_pending.resize(size_t((m_pendingRows + rows.height()) * m_rowBytes));
    for (int y = 0; y < rows.height(); ++y)
        toRgba(rows, y, m_pending.data() + (m_pendingRows + y) * m_rowBytes);
    m_pendingRows += rows.height();
    m_rowsIn += rows.height();
    if (m_pendingRows >= m_rowsPerPiece)
        return flushPieces(false);
    return true;
}

bool PngStreamWriter::finish()
{
    if (m_failed || m_rowsIn != m_height)
        return false;
    if (!flushPieces(true))
        return false;
    return writeChunk("IEND", QByteArray());
}

void PngStreamWriter::compressPiece(int index, bool last, Piece &piece) const
{
    const int first = index * m_rowsPerPiece;
    const int count = std::max(0, std::min(m_rowsPerPiece, m_pendingRows - first));
    std::vector<unsigned char> raw(size_t(count * (m_rowBytes + 1)));
    for (int y = 0; y < count; ++y) {
        const unsigned char *row = m_pending.data() + (first + y) * m_rowBytes;
        const unsigned char *above = first + y == 0 ? m_previousRow.data() : row - m_rowBytes;
        filterRow(row, above, m_rowBytes, raw.data() + y * (m_rowBytes + 1), m_options.stored);
    }
    piece.rawSize = qint64(raw.size());
    piece.adler = adler32(adler32(0L, Z_NULL, 0), raw.data(), uInt(raw.size()));
    z_stream stream {};
    deflateInit2(&stream, m_options.stored ? 0 : 1, Z_DEFLATED, -15, 8, Z_RLE);
    piece.compressed.resize(int(deflateBound(&stream, uLong(raw.size())) + 16));
    stream.next_in = raw.data();
    stream.avail_in = uInt(raw.size());
    stream.next_out = reinterpret_cast<Bytef *>(piece.compressed.data());
    stream.avail_out = uInt(piece.compressed.size());
    deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    piece.compressed.resize(int(stream.total_out));
    deflateEnd(&stream);
}

bool PngStreamWriter::flushPieces(bool last)
{
    // The last call always compresses one piece, if only to end the stream.
    const int count = last ? std::max(1, (m_pendingRows + m_rowsPerPiece - 1) / m_rowsPerPiece)
                           : m_pendingRows / m_rowsPerPiece;
    if (count == 0)
        return true;
    std::vector<Piece> pieces(static_cast<size_t>(count));
    ParallelTasks::run(count, ParallelTasks::resolve(m_options.threads), [&](int index, int) {
        compressPiece(index, last && index == count - 1, pieces[size_t(index)]);
    });
    for (int i = 0; i < count; ++i) {
        Piece &piece = pieces[size_t(i)];
        QByteArray data;
        if (m_rowsOut == 0 && i == 0)
            data.append(kZlibHeader, 2);
        data.append(piece.compressed);
        m_adler = adler32_combine(m_adler, piece.adler, piece.rawSize);
        if (last && i == count - 1)
            putUint32(data, quint32(m_adler));
        if (!writeChunk("IDAT", data))
            return false;
    }
    const int used = std::min(m_pendingRows, count * m_rowsPerPiece);
    if (used == 0)
        return true;
    std::copy_n(m_pending.data() + (used - 1) * m_rowBytes, m_rowBytes, m_previousRow.data());
    m_pending.erase(m_pending.begin(), m_pending.begin() + used * m_rowBytes);
    m_pendingRows -= used;
    m_rowsOut += used;
    return true;
}

QByteArray PngStreamWriter::encode(const QImage &image, const Options &options)
{
    QByteArray bytes;
    PngStreamWriter writer(
            [&bytes](const char *data, qint64 size) {
                bytes.append(data, int(size));
                return true;
            },
            image.width(), image.height(), options);
    const QImage rows = image.depth() == 32 ? image : image.convertToFormat(QImage::Format_ARGB32);
    if (!writer.begin() || !writer.writeRows(rows) || !writer.finish())
        return QByteArray();
    return bytes;
}

QByteArray PngStreamWriter::encode(const QImage &image)
{
    return encode(image, Options());
}
