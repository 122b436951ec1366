#include "pngstreamwriter.h"

#include "paralleltasks.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>
#include <zlib.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

void toRgba(const QImage &rows, int y, unsigned char *out, bool alpha)
{
    const auto *pixels = reinterpret_cast<const QRgb *>(rows.constScanLine(y));
    const int width = rows.width();
    for (int x = 0; x < width; ++x) {
        const QRgb pixel = pixels[x];
        *out++ = static_cast<unsigned char>(qRed(pixel));
        *out++ = static_cast<unsigned char>(qGreen(pixel));
        *out++ = static_cast<unsigned char>(qBlue(pixel));
        if (alpha)
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

#ifdef __SSE2__
__m128i widened(const unsigned char *bytes)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(bytes)), _mm_setzero_si128());
}

__m128i absolute(__m128i value)
{
    return _mm_max_epi16(value, _mm_sub_epi16(_mm_setzero_si128(), value));
}

__m128i select(__m128i mask, __m128i whenSet, __m128i otherwise)
{
    return _mm_or_si128(_mm_and_si128(mask, whenSet), _mm_andnot_si128(mask, otherwise));
}

// The Paeth differences of eight bytes at once from `from` on, as far as whole groups
// reach; returns where the scalar loop goes on. Each byte's predictor reads only the
// unfiltered rows, so the eight are independent, and the branches of paethPredictor
// become masks with the same ties.
qint64 filterPaethGroups(const unsigned char *row, const unsigned char *above, qint64 from, qint64 bytes,
                         int pixelBytes, unsigned char *out)
{
    const __m128i lowBytes = _mm_set1_epi16(0xff);
    qint64 i = from;
    for (; i + 8 <= bytes; i += 8) {
        const __m128i a = widened(row + i - pixelBytes);
        const __m128i b = widened(above + i);
        const __m128i c = widened(above + i - pixelBytes);
        const __m128i bc = _mm_sub_epi16(b, c);
        const __m128i ac = _mm_sub_epi16(a, c);
        // |p − a|, |p − b| and |p − c| for p = a + b − c.
        const __m128i pa = absolute(bc);
        const __m128i pb = absolute(ac);
        const __m128i pc = absolute(_mm_add_epi16(ac, bc));
        const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
        const __m128i predictor = select(notA, select(_mm_cmpgt_epi16(pb, pc), c, b), a);
        const __m128i difference = _mm_and_si128(_mm_sub_epi16(widened(row + i), predictor), lowBytes);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(difference, _mm_setzero_si128()));
    }
    return i;
}
#else
qint64 filterPaethGroups(const unsigned char *, const unsigned char *, qint64 from, qint64, int, unsigned char *)
{
    return from;
}
#endif

// One filtered row: the filter type byte, then the Paeth differences of the
// pixel bytes against the row above (zeros for the first row).
void filterRow(const unsigned char *row, const unsigned char *above, qint64 bytes, int pixelBytes, unsigned char *out,
               bool none)
{
    if (none) {
        *out++ = 0;
        std::copy_n(row, bytes, out);
        return;
    }
    *out++ = kPaeth;
    for (qint64 i = 0; i < pixelBytes && i < bytes; ++i)
        out[i] = static_cast<unsigned char>(row[i] - paethPredictor(0, above[i], 0));
    for (qint64 i = filterPaethGroups(row, above, pixelBytes, bytes, pixelBytes, out); i < bytes; ++i)
        out[i] = static_cast<unsigned char>(row[i]
                                            - paethPredictor(row[i - pixelBytes], above[i], above[i - pixelBytes]));
}

} // namespace

// One worker's zlib stream and filtered rows, reset for every piece.
class PngStreamWriter::Deflater
{
public:
    explicit Deflater(bool stored)
        : m_ready(deflateInit2(&m_stream, stored ? 0 : 1, Z_DEFLATED, -15, 8, Z_RLE) == Z_OK)
    { }
    ~Deflater()
    {
        if (m_ready)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    Bytes &raw() { return m_raw; }

    // Deflates raw() into out, ending the stream when last and with a sync
    // flush (a byte boundary) otherwise; false when zlib fails (memory).
    bool deflateInto(Bytes &out, bool last)
    {
        if (!m_ready || deflateReset(&m_stream) != Z_OK)
            return false;
        out.resize(deflateBound(&m_stream, uLong(m_raw.size())) + 16);
        m_stream.next_in = m_raw.data();
        m_stream.avail_in = uInt(m_raw.size());
        m_stream.next_out = out.data();
        m_stream.avail_out = uInt(out.size());
        const int status = deflate(&m_stream, last ? Z_FINISH : Z_SYNC_FLUSH);
        out.resize(m_stream.total_out);
        return status == (last ? Z_STREAM_END : Z_OK) && m_stream.avail_in == 0;
    }

private:
    z_stream m_stream {};
    bool m_ready;
    Bytes m_raw;
};

PngStreamWriter::PngStreamWriter(Output output, int width, int height, const Options &options)
    : m_output(std::move(output))
    , m_width(width)
    , m_height(height)
    , m_options(options)
    , m_rowBytes(qint64(options.printable ? 3 : 4) * width)
    , m_previousRow(size_t(4) * size_t(std::max(width, 0)), 0)
    , m_adler(adler32(0L, Z_NULL, 0))
{
    m_rowsPerPiece = int(std::max<qint64>(1, kPieceBytes / (m_rowBytes + 1)));
}

PngStreamWriter::PngStreamWriter(Output output, int width, int height)
    : PngStreamWriter(std::move(output), width, height, Options())
{ }

PngStreamWriter::~PngStreamWriter() = default;

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
    // 8 bits, RGBA (or RGB), deflate, adaptive filtering, no interlace.
    header.append(m_options.printable ? "\x08\x02\x00\x00\x00" : "\x08\x06\x00\x00\x00", 5);
    writeChunk("IHDR", header);
    if (m_options.printable)
        writeChunk("sRGB", QByteArray(1, '\0')); // perceptual rendering intent
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
        toRgba(rows, y, m_pending.data() + (m_pendingRows + y) * m_rowBytes, !m_options.printable);
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

void PngStreamWriter::compressPiece(int index, bool last, Deflater &deflater, Piece &piece) const
{
    const int first = index * m_rowsPerPiece;
    const int count = std::max(0, std::min(m_rowsPerPiece, m_pendingRows - first));
    Bytes &raw = deflater.raw();
    raw.resize(size_t(count * (m_rowBytes + 1)));
    for (int y = 0; y < count; ++y) {
        const unsigned char *row = m_pending.data() + (first + y) * m_rowBytes;
        const unsigned char *above = first + y == 0 ? m_previousRow.data() : row - m_rowBytes;
        filterRow(row, above, m_rowBytes, m_options.printable ? 3 : 4, raw.data() + y * (m_rowBytes + 1),
                  m_options.stored);
    }
    piece.rawSize = qint64(raw.size());
    piece.adler = adler32(adler32(0L, Z_NULL, 0), raw.data(), uInt(raw.size()));
    piece.deflated = deflater.deflateInto(piece.compressed, last);
}

bool PngStreamWriter::flushPieces(bool last)
{
    // The last call always compresses one piece, if only to end the stream.
    const int count = last ? std::max(1, (m_pendingRows + m_rowsPerPiece - 1) / m_rowsPerPiece)
                           : m_pendingRows / m_rowsPerPiece;
    if (count == 0)
        return true;
    const int threads = std::min(ParallelTasks::resolve(m_options.threads), count);
    while (int(m_deflaters.size()) < threads)
        m_deflaters.push_back(std::make_unique<Deflater>(m_options.stored));
    if (int(m_pieces.size()) < count)
        m_pieces.resize(size_t(count));
    ParallelTasks::run(count, threads, [&](int index, int worker) {
        compressPiece(index, last && index == count - 1, *m_deflaters[size_t(worker)], m_pieces[size_t(index)]);
    });
    for (int i = 0; i < count; ++i) {
        const Piece &piece = m_pieces[size_t(i)];
        if (!piece.deflated) {
            m_failed = true;
            return false;
        }
        QByteArray data;
        if (m_rowsOut == 0 && i == 0)
            data.append(kZlibHeader, 2);
        data.append(reinterpret_cast<const char *>(piece.compressed.data()), int(piece.compressed.size()));
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
