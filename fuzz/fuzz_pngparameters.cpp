// Any bytes as a PNG whose parameter map is read: chunks, compressed text, UTF-8, nesting
// and JSON, all within the reader's limits.
#include "pngparameterreader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto read = PngParameterReader::fromBytes(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    if (read.ok() && read.json.size() > PngParameterReader::kMaxTextBytes)
        std::abort();
    return 0;
}
