#include "deflatestream.h"

#include <zlib.h>

#include <algorithm>

DeflateStream::DeflateStream(int level, ByteSink::Consumer out)
    : m_out(std::move(out))
    , m_stream(new z_stream_s())
    , m_buffer(new char[ByteSink::kChunk])
{
    m_ok = deflateInit(m_stream.get(), level) == Z_OK;
}

DeflateStream::~DeflateStream()
{
    deflateEnd(m_stream.get());
}

bool DeflateStream::write(const char *data, qint64 size)
{
    // avail_in is 32 bits wide.
    while (m_ok && size > 0) {
        const qint64 piece = std::min<qint64>(size, ByteSink::kChunk);
        m_stream->next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
        m_stream->avail_in = uInt(piece);
        m_ok = run(Z_NO_FLUSH);
        data += piece;
        size -= piece;
    }
    return m_ok;
}

bool DeflateStream::finish()
{
    m_stream->next_in = nullptr;
    m_stream->avail_in = 0;
    m_ok = m_ok && run(Z_FINISH);
    return m_ok;
}

bool DeflateStream::run(int flush)
{
    int status = Z_OK;
    do {
        m_stream->next_out = reinterpret_cast<Bytef *>(m_buffer.get());
        m_stream->avail_out = uInt(ByteSink::kChunk);
        status = deflate(m_stream.get(), flush);
        if (status == Z_STREAM_ERROR)
            return false;
        const qint64 produced = ByteSink::kChunk - m_stream->avail_out;
        if (produced > 0 && !m_out(m_buffer.get(), produced))
            return false;
        // Without Z_FINISH, deflate is done with the input once it leaves output room.
    } while (flush == Z_FINISH ? status != Z_STREAM_END : m_stream->avail_out == 0);
    return true;
}
