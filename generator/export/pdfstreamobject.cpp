#include "pdfstreamobject.h"

#include "bytesink.h"

PdfStreamObject::PdfStreamObject(ByteSink &out, int number, int lengthNumber, const QByteArray &dictionary)
    : m_out(out)
    , m_number(number)
    , m_lengthNumber(lengthNumber)
    , m_dictionary(dictionary)
{ }

bool PdfStreamObject::take(const char *data, qint64 size)
{
    m_length += size;
    if (!m_started && m_held.size() + size <= kHeldLimit) {
        m_held.append(data, int(size));
        return true;
    }
    if (!m_started)
        start(QByteArray::number(m_lengthNumber) + " 0 R");
    m_out.append(data, size);
    return m_out.ok();
}

void PdfStreamObject::start(const QByteArray &length)
{
    m_started = true;
    m_out.appendInteger(m_number);
    m_out.append(" 0 obj\n<< /Length ");
    m_out.append(length);
    m_out.append(' ');
    m_out.append(m_dictionary);
    m_out.append(" >>\nstream\n");
    m_out.append(m_held);
    m_held = QByteArray();
}

void PdfStreamObject::finish()
{
    const bool indirect = m_started;
    if (!indirect)
        start(QByteArray::number(m_length));
    m_out.append("\nendstream\nendobj\n");
    if (!indirect)
        return;
    m_lengthOffset = m_out.size();
    m_out.appendInteger(m_lengthNumber);
    m_out.append(" 0 obj\n");
    m_out.appendInteger(m_length);
    m_out.append("\nendobj\n");
}
