#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <optional>

// Keyed scrambler with an integrity check for package entries. The enciphered
// form of a payload P of n bytes is n + 23 bytes: the version byte 0x03, the
// flags byte 0x04, then the chained XOR scrambling of one random byte, the
// 20-byte SHA-1 digest of P, and P.
class PayloadCipher
{
public:
    // Bytes the enciphered form adds to every payload.
    static constexpr int Overhead = 23;

    // Seeds the process-wide pseudo-random generator (std::rand) from the
    // current time, then takes the key.
    explicit PayloadCipher(quint64 key);

    quint64 key() const { return m_key; }

    // The enciphered form of plain; the random byte comes from std::rand.
    QByteArray encode(const QByteArray &plain) const;

    // The enciphered form of plain with the given random byte.
    QByteArray encode(const QByteArray &plain, quint8 randomByte) const;

    // The payload, or an empty array when data is not a valid enciphered form.
    QByteArray decode(const QByteArray &data) const;

    // The payload, or nothing when data is not a valid enciphered form; unlike
    // decode this tells a failure from an enciphered empty payload.
    std::optional<QByteArray> tryDecode(const QByteArray &data) const;

private:
    quint64 m_key;
    std::array<quint8, 8> m_keyBytes;
};
