// DeflateStream: zlib-framed deflate (as PDF's FlateDecode expects) of bytes handed in
// pieces, its output handed on in chunks, so that neither side is ever held whole.
#pragma once

#include "bytesink.h"

#include <memory>

struct z_stream_s;

class DeflateStream
{
public:
    // level as zlib's: 1 fastest, 9 smallest.
    DeflateStream(int level, ByteSink::Consumer out);
    ~DeflateStream();

    DeflateStream(const DeflateStream &) = delete;
    DeflateStream &operator=(const DeflateStream &) = delete;

    // False once compression or the consumer failed.
    bool write(const char *data, qint64 size);
    // Ends the stream; false when anything failed.
    bool finish();

private:
    bool run(int flush);

    ByteSink::Consumer m_out;
    std::unique_ptr<z_stream_s> m_stream;
    std::unique_ptr<char[]> m_buffer;
    bool m_ok = true;
};
