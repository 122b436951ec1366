// ResultJsonWriter: the result map as one line of JSON, written wire by wire.
#pragma once

#include "resultwires.h"

#include <QByteArray>

#include <functional>

// Gives exactly the bytes of resultMapToJson(resultMap()) + "\n" while holding no more
// than a buffer of them: at the largest grid the map as a variant tree took more memory
// than the generation itself.
class ResultJsonWriter
{
public:
    // Takes the text in order, a buffer at a time; false (a failed write) ends the writing.
    using Sink = std::function<bool(const QByteArray &)>;
    static constexpr int kDefaultBufferBytes = 256 * 1024;

    explicit ResultJsonWriter(Sink sink, int bufferBytes = kDefaultBufferBytes);

    // Appends one entry of "wires" ({"xy", "thickness", "density"}).
    void writeWire(const ResultWire &wire);
    // Ends the line and hands over the rest. False when the sink failed at any point.
    bool finish();

private:
    void appendInteger(int32_t value);
    void handOverWhenFull();
    void handOver();

    Sink m_sink;
    int m_bufferBytes;
    QByteArray m_buffer;
    bool m_firstWire = true;
    bool m_failed = false;
};
