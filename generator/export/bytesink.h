// ByteSink: bytes gathered into chunks of a few hundred kilobytes and handed on a chunk at
// a time, so that a document of any size is written as it is produced, never held whole.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <memory>

class ExportFile;

class ByteSink
{
public:
    // Takes one chunk; false when it could not be kept (the sink then drops the rest).
    using Consumer = std::function<bool(const char *data, qint64 size)>;

    static constexpr qint64 kChunk = 256 * 1024;

    explicit ByteSink(Consumer consumer);
    // Chunks go to the file, every write checked by it.
    explicit ByteSink(ExportFile &file);
    // Everything is appended to memory: small documents and tests.
    explicit ByteSink(QByteArray &memory);

    ByteSink(const ByteSink &) = delete;
    ByteSink &operator=(const ByteSink &) = delete;

    void append(const char *data, qint64 size);
    void append(char c)
    {
        if (m_used == kChunk)
            handOn();
        m_buffer[m_used++] = c;
    }
    template<int N>
    void append(const char (&literal)[N])
    {
        append(literal, N - 1);
    }
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }
    // As SvgWriter::number: QString::number(value, 'g', 6).
    void appendGeneral(double value);
    // As ArtworkPdfWriter::number: fixed point, trailing zeros dropped.
    void appendFixed(double value, int decimals);
    void appendInteger(qint64 value);

    // Hands on what is buffered; false once any chunk failed. Call it at the end: the
    // destructor hands nothing on.
    bool flush();
    // Marks the output as failed by its producer (a compression error): it is discarded.
    void fail() { m_ok = false; }
    bool ok() const { return m_ok; }
    // Bytes appended so far, handed on or not.
    qint64 size() const { return m_handedOn + m_used; }

private:
    void handOn();

    Consumer m_consumer;
    std::unique_ptr<char[]> m_buffer;
    qint64 m_used = 0;
    qint64 m_handedOn = 0;
    bool m_ok = true;
};
