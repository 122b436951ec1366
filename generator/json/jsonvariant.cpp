#include "jsonvariant.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

bool parseJsonParameterMap(const QByteArray &bytes, QVariantMap *out, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (doc.isNull()) {
        if (error)
            *error = QStringLiteral("not valid JSON: %1 at offset %2")
                             .arg(parseError.errorString())
                             .arg(parseError.offset);
        return false;
    }
    if (!doc.isObject()) {
        if (error)
            *error = QStringLiteral("not a JSON object");
        return false;
    }
    if (out)
        *out = doc.object().toVariantMap();
    return true;
}

bool readJsonParameterFile(const QString &path, QVariantMap *out, QString *error)
{
    QFile file;
    bool opened;
    if (path == QLatin1String("-"))
        opened = file.open(stdin, QIODevice::ReadOnly);
    else {
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        if (error)
            *error = QStringLiteral("cannot read: %1").arg(file.errorString());
        return false;
    }
    // One byte beyond the limit tells a file of exactly the limit from a longer one
    // (or an endless one such as /dev/zero).
    QByteArray bytes;
    while (bytes.size() <= kMaxParameterFileBytes) {
        const QByteArray chunk
                = file.read(std::min<qint64>(qint64(1) << 20, kMaxParameterFileBytes + 1 - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("cannot read: %1").arg(file.errorString());
        return false;
    }
    if (bytes.size() > kMaxParameterFileBytes) {
        if (error)
            *error = QStringLiteral("larger than the limit of 64 MB (%1 bytes) for a parameter file")
                             .arg(kMaxParameterFileBytes);
        return false;
    }
    return parseJsonParameterMap(bytes, out, error);
}

QByteArray formatJsonNumber(double value)
{
    if (!std::isfinite(value))
        return QByteArrayLiteral("null");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QByteArray(buf, int(res.ptr - buf));
}

static void writeString(QByteArray &out, const QString &s)
{
    out += '"';
    for (const QChar ch : s) {
        const ushort c = ch.unicode();
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
                out += buf;
            } else {
                out += QString(ch).toUtf8();
            }
        }
    }
    out += '"';
}

static void writeValue(QByteArray &out, const QVariant &v);

static void writeMap(QByteArray &out, const QVariantMap &m, const QStringList &firstKeys)
{
    out += '{';
    bool first = true;
    auto writeEntry = [&](const QString &key, const QVariant &value) {
        if (!first)
            out += ',';
        first = false;
        writeString(out, key);
        out += ':';
        writeValue(out, value);
    };
    for (const QString &key : firstKeys)
        if (m.contains(key))
            writeEntry(key, m.value(key));
    for (auto it = m.constBegin(); it != m.constEnd(); ++it)
        if (!firstKeys.contains(it.key()))
            writeEntry(it.key(), it.value());
    out += '}';
}

static void writeValue(QByteArray &out, const QVariant &v)
{
    switch (v.userType()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        out += "null";
        return;
    case QMetaType::Bool:
        out += v.toBool() ? "true" : "false";
        return;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
        out += QByteArray::number(v.toLongLong());
        return;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        out += QByteArray::number(v.toULongLong());
        return;
    case QMetaType::Float:
        out += formatJsonNumber(double(v.toFloat()));
        return;
    case QMetaType::Double:
        out += formatJsonNumber(v.toDouble());
        return;
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        const QVariantList l = v.toList();
        out += '[';
        for (int i = 0; i < l.size(); ++i) {
            if (i)
                out += ',';
            writeValue(out, l.at(i));
        }
        out += ']';
        return;
    }
    case QMetaType::QVariantMap:
        writeMap(out, v.toMap(), {});
        return;
    default:
        if (v.canConvert<QVariantMap>() && v.userType() == QMetaType::QVariantHash) {
            writeMap(out, v.toMap(), {});
            return;
        }
        writeString(out, v.toString());
        return;
    }
}

QByteArray variantToJson(const QVariant &value)
{
    QByteArray out;
    writeValue(out, value);
    return out;
}

QByteArray resultMapToJson(const QVariantMap &result)
{
    QByteArray out;
    out += '{';
    bool first = true;
    for (auto it = result.constBegin(); it != result.constEnd(); ++it) {
        if (!first)
            out += ',';
        first = false;
        writeString(out, it.key());
        out += ':';
        if (it.key() == QLatin1String("wires")) {
            const QVariantList wires = it.value().toList();
            out += '[';
            for (int i = 0; i < wires.size(); ++i) {
                if (i)
                    out += ',';
                writeMap(out, wires.at(i).toMap(),
                         {QStringLiteral("xy"), QStringLiteral("thickness"), QStringLiteral("density")});
            }
            out += ']';
        } else {
            writeValue(out, it.value());
        }
    }
    out += '}';
    return out;
}
