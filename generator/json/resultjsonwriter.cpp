#include "resultjsonwriter.h"

#include "jsonvariant.h"

#include <charconv>

ResultJsonWriter::ResultJsonWriter(Sink sink, int bufferBytes)
    : m_sink(std::move(sink))
    , m_bufferBytes(bufferBytes)
{
    // Room for the longest entry past the limit too, so that appending seldom reallocates.
    m_buffer.reserve(bufferBytes + bufferBytes / 4);
    m_buffer += "{\"wires\":[";
}

void ResultJsonWriter::writeWire(const ResultWire &wire)
{
    if (!m_firstWire)
        m_buffer += ',';
    m_firstWire = false;
    m_buffer += "{\"xy\":[";
    for (size_t i = 0; i < wire.cells.size(); ++i) {
        m_buffer += i ? ",[" : "[";
        appendInteger(wire.cells[i].x);
        m_buffer += ',';
        appendInteger(wire.cells[i].y);
        m_buffer += ']';
    }
    // The map holds the thickness as a float, which the variant writer widens to double.
    m_buffer += "],\"thickness\":";
    m_buffer += formatJsonNumber(double(wire.thickness));
    m_buffer += ",\"density\":";
    appendInteger(wire.density);
    m_buffer += '}';
    handOverWhenFull();
}

bool ResultJsonWriter::finish()
{
    m_buffer += "]}\n";
    handOver();
    return !m_failed;
}

void ResultJsonWriter::appendInteger(int32_t value)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    m_buffer.append(digits, int(end - digits));
}

void ResultJsonWriter::handOverWhenFull()
{
    if (m_buffer.size() >= m_bufferBytes)
        handOver();
}

void ResultJsonWriter::handOver()
{
    // After a failure the rest is dropped: the sink has reported it once.
    if (!m_failed && !m_buffer.isEmpty())
        m_failed = !m_sink(m_buffer);
    m_buffer.resize(0);
}
