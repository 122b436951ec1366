// Any bytes deciphered, and as a payload enciphered and deciphered again: decoding must
// stay within the input, and every payload must come back unchanged.
#include "payloadcipher.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    // The key comes from the input too, so keys other than the package key are covered.
    quint64 key = 58203174;
    if (size >= sizeof key)
        std::memcpy(&key, data, sizeof key);
    const PayloadCipher cipher(key);

    const std::optional<QByteArray> decoded = cipher.tryDecode(input);
    if (cipher.decode(input) != (decoded ? *decoded : QByteArray()))
        std::abort();

    const quint8 randomByte = size > 0 ? data[size - 1] : 0;
    const QByteArray enciphered = cipher.encode(input, randomByte);
    if (enciphered.size() != input.size() + PayloadCipher::Overhead)
        std::abort();
    const std::optional<QByteArray> back = cipher.tryDecode(enciphered);
    if (!back || *back != input)
        std::abort();
    return 0;
}
