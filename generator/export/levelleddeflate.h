// LevelledDeflate: deflate whose level follows the size of what it compresses. Input is
// held up to kHeldInput; a stream that ends within it compresses at the thorough level,
// as small documents always have; a longer one at the fast level, streamed as it comes,
// so a large page costs seconds, not minutes. The same input always gives the same bytes.
#pragma once

#include "bytesink.h"
#include "deflatestream.h"

#include <QByteArray>

#include <memory>

class LevelledDeflate
{
public:
    static constexpr qint64 kHeldInput = 2 * 1024 * 1024;
    static constexpr int kThoroughLevel = 6;
    static constexpr int kFastLevel = 1;

    explicit LevelledDeflate(ByteSink::Consumer out);

    // False once compression or the consumer failed.
    bool write(const char *data, qint64 size);
    bool finish();

private:
    void start(int level);

    ByteSink::Consumer m_out;
    QByteArray m_held;
    std::unique_ptr<DeflateStream> m_deflate;
};
