#include "payloadcipher.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <cstdlib>

namespace {

constexpr char Version = 0x03;
constexpr char FlagsHashPresent = 0x04;
constexpr int HeaderSize = 2;
constexpr int DigestSize = 20;

QByteArray sha1(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

} // namespace

PayloadCipher::PayloadCipher(quint64 key)
    : m_key(key)
{
    std::srand(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch() & 0xFFFF));
    for (int i = 0; i < 8; ++i)
        m_keyBytes[i] = static_cast<quint8>((key >> (8 * i)) & 0xFF);
}

QByteArray PayloadCipher::encode(const QByteArray &plain) const
{
    return encode(plain, static_cast<quint8>(std::rand() & 0xFF));
}

QByteArray PayloadCipher::encode(const QByteArray &plain, quint8 randomByte) const
{
    const QByteArray message = char(randomByte) + sha1(plain) + plain;
    QByteArray out(HeaderSize + message.size(), Qt::Uninitialized);
    out[0] = Version;
    out[1] = FlagsHashPresent;
    quint8 previous = 0;
    for (int i = 0; i < message.size(); ++i) {
        // Chaining on the output byte spreads a change to every later byte.
        previous = quint8(message[i]) ^ m_keyBytes[i % 8] ^ previous;
        out[HeaderSize + i] = char(previous);
    }
    return out;
}

QByteArray PayloadCipher::decode(const QByteArray &data) const
{
    return tryDecode(data).value_or(QByteArray());
}

std::optional<QByteArray> PayloadCipher::tryDecode(const QByteArray &data) const
{
    // The flags byte is deliberately not examined: every writer sets it alike.
    if (data.size() <= HeaderSize || data[0] != Version)
        return std::nullopt;
    const int messageSize = data.size() - HeaderSize;
    if (messageSize - 1 < DigestSize)
        return std::nullopt;
    QByteArray message(messageSize, Qt::Uninitialized);
    quint8 previous = 0;
    for (int i = 0; i < messageSize; ++i) {
        const quint8 scrambled = quint8(data[HeaderSize + i]);
        message[i] = char(scrambled ^ m_keyBytes[i % 8] ^ previous);
        previous = scrambled;
    }
    const QByteArray payload = message.mid(1 + DigestSize);
    if (sha1(payload) != message.mid(1, DigestSize))
        return std::nullopt;
    return payload;
}
