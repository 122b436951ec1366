#include "pngparameterreader.h"

#include "artworkmetadata.h"

#include <QBuffer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <zlib.h>

namespace {

using Result = PngParameterReader::Result;

const QByteArray kSignature("\x89PNG\r\n\x1a\n", 8);
// The language tag and translated keyword of an iTXt chunk are short words.
constexpr int kMaxChunkHeader = 1024;
constexpr qint64 kPiece = 64 * 1024;

Result failure(const QString &error)
{
    Result result;
    result.error = error;
    return result;
}

QString tooLarge()
{
    return QStringLiteral("the parameter text is larger than the limit of %1 bytes")
            .arg(PngParameterReader::kMaxTextBytes);
}

quint32 bigEndian(const QByteArray &bytes, int at)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData() + at);
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
}

// Reads up to and including the next NUL of the chunk; false past `limit` bytes.
bool readField(QIODevice &device, qint64 *left, QByteArray *field, int limit)
{
    char c = 1;
    while (*left > 0 && field->size() <= limit && device.getChar(&c)) {
        --*left;
        if (c == '\0')
            return true;
        field->append(c);
    }
    return false;
}

// Inflates `left` bytes of the device, stopping as soon as the text passes the limit.
bool inflateText(QIODevice &device, qint64 left, QByteArray *text, QString *error)
{
    z_stream zs {};
    if (inflateInit(&zs) != Z_OK) {
        *error = QStringLiteral("cannot inflate the parameter text");
        return false;
    }
    QByteArray out(int(kPiece), '\0');
    int status = Z_OK;
    while (status == Z_OK && left > 0 && text->size() <= PngParameterReader::kMaxTextBytes) {
        QByteArray in = device.read(std::min(left, kPiece));
        if (in.isEmpty())
            break;
        left -= in.size();
        zs.next_in = reinterpret_cast<Bytef *>(in.data());
        zs.avail_in = uInt(in.size());
        do {
            zs.next_out = reinterpret_cast<Bytef *>(out.data());
            zs.avail_out = uInt(out.size());
            status = inflate(&zs, Z_NO_FLUSH);
            text->append(out.constData(), out.size() - int(zs.avail_out));
        } while (status == Z_OK && zs.avail_out == 0 && text->size() <= PngParameterReader::kMaxTextBytes);
    }
    inflateEnd(&zs);
    if (text->size() > PngParameterReader::kMaxTextBytes)
        *error = tooLarge();
    else if (status != Z_STREAM_END)
        *error = QStringLiteral("the parameter text is damaged (its compressed data is broken)");
    return error->isEmpty();
}

// The rest of a text chunk, `left` bytes, stored or deflated.
Result readText(QIODevice &device, qint64 left, bool compressed, bool latin1)
{
    QByteArray text;
    QString error;
    if (compressed) {
        if (!inflateText(device, left, &text, &error))
            return failure(error);
    } else {
        if (left > PngParameterReader::kMaxTextBytes)
            return failure(tooLarge());
        text = device.read(left);
        if (text.size() != left)
            return failure(QStringLiteral("the parameter chunk is cut short"));
    }
    // tEXt and zTXt hold Latin-1, as other PNG writers (Qt's among them) store such text.
    return PngParameterReader::fromText(latin1 ? QString::fromLatin1(text).toUtf8() : text);
}

// The text of a tEXt, zTXt or iTXt chunk of `length` bytes whose keyword has been read.
Result readChunkText(QIODevice &device, const QByteArray &type, qint64 length)
{
    if (type == "tEXt")
        return readText(device, length, false, true);
    const int flagBytes = type == "zTXt" ? 1 : 2;
    QByteArray flags(flagBytes, '\0');
    if (length < flagBytes || device.read(flags.data(), flagBytes) != flagBytes)
        return failure(QStringLiteral("the parameter chunk is cut short"));
    qint64 left = length - flagBytes;
    if (type == "zTXt")
        return flags.at(0) == '\0' ? readText(device, left, true, true)
                                   : failure(QStringLiteral("the parameter text uses an unknown compression"));
    QByteArray language, translated;
    if (!readField(device, &left, &language, kMaxChunkHeader)
        || !readField(device, &left, &translated, kMaxChunkHeader))
        return failure(QStringLiteral("the parameter chunk is damaged"));
    if (flags.at(0) != '\0' && flags.at(1) != '\0')
        return failure(QStringLiteral("the parameter text uses an unknown compression"));
    return readText(device, left, flags.at(0) != '\0', false);
}

// Strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool isUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const uchar lead = *p++;
        if (lead < 0x80)
            continue;
        int more;
        uint code;
        uint least;
        if (lead >= 0xc2 && lead <= 0xdf) {
            more = 1, code = lead & 0x1f, least = 0x80;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            more = 2, code = lead & 0x0f, least = 0x800;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            more = 3, code = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xc0) != 0x80)
                return false;
            code = code << 6 | (*p & 0x3f);
        }
        if (code < least || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
    }
    return true;
}

// Whether arrays and objects nest deeper than the limit, strings skipped.
bool nestsTooDeep(const QByteArray &json)
{
    int depth = 0;
    bool inString = false;
    for (int i = 0; i < json.size(); ++i) {
        const char c = json.at(i);
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > PngParameterReader::kMaxNesting)
                return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

} // namespace

Result PngParameterReader::read(const QString &file)
{
    QFile device(file);
    if (!device.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("cannot read: %1").arg(device.errorString()));
    return read(device);
}

Result PngParameterReader::fromBytes(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return read(device);
}

Result PngParameterReader::read(QIODevice &device)
{
    if (device.read(kSignature.size()) != kSignature)
        return failure(QStringLiteral("not a PNG file"));
    const QByteArray keyword = ArtworkMetadata::kParametersKey.toLatin1() + '\0';
    for (;;) {
        const QByteArray header = device.read(8);
        if (header.size() != 8)
            break;
        const qint64 length = bigEndian(header, 0);
        const QByteArray type = header.mid(4);
        if (length > 0x7fffffff || type == "IEND")
            break;
        qint64 skip = length + 4; // the data and its CRC
        const bool text = type == "iTXt" || type == "zTXt" || type == "tEXt";
        if (text && length >= keyword.size()) {
            if (device.read(keyword.size()) == keyword)
                return readChunkText(device, type, length - keyword.size());
            skip -= keyword.size();
        }
        if (device.skip(skip) != skip)
            break;
    }
    return failure(QStringLiteral("no Lumatrace parameters in this PNG"));
}

Result PngParameterReader::fromText(const QByteArray &text)
{
    if (text.size() > kMaxTextBytes)
        return failure(tooLarge());
    if (!isUtf8(text))
        return failure(QStringLiteral("the parameter text is not valid UTF-8"));
    if (nestsTooDeep(text))
        return failure(QStringLiteral("the parameters nest deeper than the limit of %1 levels").arg(kMaxNesting));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (doc.isNull())
        return failure(QStringLiteral("the parameters are not valid JSON: %1 at offset %2")
                               .arg(parseError.errorString())
                               .arg(parseError.offset));
    if (!doc.isObject())
        return failure(QStringLiteral("the parameters are not a JSON object"));
    Result result;
    result.json = text;
    result.parameters = doc.object().toVariantMap();
    return result;
}
