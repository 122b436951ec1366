// PdfStreamObject: one stream object of a PDF, its (compressed) bytes taken in pieces.
// While they stay few they are held, and the object is written as a small document has
// always had it, with its length in the dictionary; past that the object starts at once,
// its length an indirect object written after it, so a large page is never held whole.
#pragma once

#include <QByteArray>
#include <QtGlobal>

class ByteSink;

class PdfStreamObject
{
public:
    // Bytes held before the object starts with an indirect length.
    static constexpr qint64 kHeldLimit = 4 * 1024 * 1024;

    // Object `number` with `dictionary` (without /Length) into out; an indirect length
    // becomes object lengthNumber.
    PdfStreamObject(ByteSink &out, int number, int lengthNumber, const QByteArray &dictionary);

    PdfStreamObject(const PdfStreamObject &) = delete;
    PdfStreamObject &operator=(const PdfStreamObject &) = delete;

    // False once the sink failed.
    bool take(const char *data, qint64 size);
    // Ends the object; then writes the length object when there is one, recording its offset.
    void finish();
    bool hasLengthObject() const { return m_lengthOffset >= 0; }
    qint64 lengthObjectOffset() const { return m_lengthOffset; }

private:
    void start(const QByteArray &length);

    ByteSink &m_out;
    int m_number;
    int m_lengthNumber;
    QByteArray m_dictionary;
    QByteArray m_held;
    qint64 m_length = 0;
    qint64 m_lengthOffset = -1;
    bool m_started = false;
};
