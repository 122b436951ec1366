#include "bytesink.h"

#include "exportfile.h"
#include "numbertext.h"

#include <cstring>

ByteSink::ByteSink(Consumer consumer)
    : m_consumer(std::move(consumer))
    , m_buffer(new char[kChunk])
{ }

ByteSink::ByteSink(ExportFile &file)
    : ByteSink([&file](const char *data, qint64 size) { return file.write(data, size); })
{ }

ByteSink::ByteSink(QByteArray &memory)
    : ByteSink([&memory](const char *data, qint64 size) {
        memory.append(data, int(size));
        return true;
    })
{ }

void ByteSink::append(const char *data, qint64 size)
{
    if (size <= 0)
        return;
    if (m_used + size > kChunk)
        handOn();
    // A piece larger than a chunk goes on as it is rather than through the buffer.
    if (size > kChunk) {
        m_ok = m_ok && m_consumer(data, size);
        m_handedOn += size;
        return;
    }
    std::memcpy(m_buffer.get() + m_used, data, size_t(size));
    m_used += size;
}

void ByteSink::appendGeneral(double value)
{
    char text[NumberText::kMaxLength];
    append(text, NumberText::general(value, text));
}

void ByteSink::appendFixed(double value, int decimals)
{
    char text[NumberText::kMaxLength];
    append(text, NumberText::fixed(value, decimals, text));
}

void ByteSink::appendInteger(qint64 value)
{
    char text[NumberText::kMaxLength];
    append(text, NumberText::integer(value, text));
}

bool ByteSink::flush()
{
    handOn();
    return m_ok;
}

void ByteSink::handOn()
{
    if (m_used == 0)
        return;
    // After a failure the rest is dropped: the file is discarded anyway.
    m_ok = m_ok && m_consumer(m_buffer.get(), m_used);
    m_handedOn += m_used;
    m_used = 0;
}
