// PngParameterReader: the parameter map an exported PNG carries in its
// "lumatrace-parameters" text chunk (iTXt as the exporters write it; tEXt or zTXt in
// Latin-1 as other writers do), read as hostile input: the file may be anything.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

class QIODevice;

class PngParameterReader
{
public:
    // A map of the largest studio artwork, a long mask_text and an embedded mask image
    // included, is far below this; the studio survives a hundred times more.
    static constexpr qint64 kMaxTextBytes = qint64(1) << 20;
    // Parameter maps nest three deep (map, list, entry); this leaves room to spare.
    static constexpr int kMaxNesting = 32;

    struct Result {
        QByteArray json; // the chunk's text as UTF-8, exactly as stored in an iTXt chunk
        QVariantMap parameters;
        // "" on success; else one line without the file name ("not a PNG file", ...).
        QString error;
        bool ok() const { return error.isEmpty(); }
    };

    // Reads the first parameter chunk of the PNG, inflating a compressed one no further
    // than kMaxTextBytes, and checks that its text is UTF-8 holding one JSON object
    // nested at most kMaxNesting deep.
    static Result read(const QString &file);
    static Result read(QIODevice &device);
    static Result fromBytes(const QByteArray &bytes);

    // The checks on the text alone.
    static Result fromText(const QByteArray &text);
};
