#pragma once

#include "hugepageallocator.h"

#include <QByteArray>
#include <QImage>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

// Encodes an opaque ARGB32 image as an 8-bit RGBA (or RGB) PNG while its rows arrive
// in bands, top to bottom, so the whole image never has to be in memory.
// Every row is Paeth-filtered and deflated with zlib's run-length strategy in
// pieces of a fixed number of rows, compressed in parallel and joined into
// one zlib stream (each piece ends on a byte boundary with a sync flush), so
// the bytes depend neither on the bands nor on the number of threads.
class PngStreamWriter
{
public:
    // Receives the encoded bytes in order; returns false to stop.
    using Output = std::function<bool(const char *data, qint64 size)>;

    // A tEXt chunk, or an iTXt chunk (UTF-8 text, no language) when international.
    struct TextChunk {
        QByteArray keyword;
        QByteArray text;
        bool international = false;
    };

    struct Options {
        // The pHYs resolution, the same both ways; 3937 (100 dpi) unless set.
        int pixelsPerMetre = kDefaultPixelsPerMetre;
        QVector<TextChunk> texts;
        // Compression threads; 0 uses one per core.
        int threads = 0;
        // Rows stored unfiltered and uncompressed: for images handed over in
        // memory and never kept, where only speed counts.
        bool stored = false;
        // For print: RGB without the always-opaque alpha channel, marked as sRGB.
        bool printable = false;
    };

    static constexpr int kDefaultPixelsPerMetre = 3937;

    PngStreamWriter(Output output, int width, int height, const Options &options);
    PngStreamWriter(Output output, int width, int height);
    ~PngStreamWriter();

    // Signature, IHDR, pHYs and the text chunks.
    bool begin();
    // The next rows of the image (ARGB32 or RGB32, the image's width).
    bool writeRows(const QImage &rows);
    // The last rows' data and IEND; false unless exactly height rows came.
    bool finish();

    // A whole image encoded in memory.
    static QByteArray encode(const QImage &image, const Options &options);
    static QByteArray encode(const QImage &image);

private:
    // Byte buffers that grow without being cleared first.
    using Bytes = std::vector<unsigned char, HugePageAllocator<unsigned char>>;
    struct Piece {
        Bytes compressed;
        unsigned long adler;
        qint64 rawSize;
        bool deflated;
    };
    class Deflater;

    bool writeChunk(const char type[4], const QByteArray &data);
    bool flushPieces(bool last);
    void compressPiece(int index, bool last, Deflater &deflater, Piece &piece) const;

    Output m_output;
    int m_width;
    int m_height;
    Options m_options;
    int m_rowsPerPiece;
    qint64 m_rowBytes;
    // RGBA rows not yet compressed, after the last row of the previous piece.
    Bytes m_pending;
    int m_pendingRows = 0;
    std::vector<unsigned char> m_previousRow;
    int m_rowsIn = 0;
    int m_rowsOut = 0;
    unsigned long m_adler;
    // Kept from piece to piece: fresh buffers and zlib states for every
    // piece cost more in page faults than their compression.
    std::vector<Piece> m_pieces;
    std::vector<std::unique_ptr<Deflater>> m_deflaters;
    bool m_headerWritten = false;
    bool m_failed = false;
};
