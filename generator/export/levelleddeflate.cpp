#include "levelleddeflate.h"

LevelledDeflate::LevelledDeflate(ByteSink::Consumer out)
    : m_out(std::move(out))
{ }

bool LevelledDeflate::write(const char *data, qint64 size)
{
    if (!m_deflate && m_held.size() + size <= kHeldInput) {
        m_held.append(data, int(size));
        return true;
    }
    if (!m_deflate)
        start(kFastLevel);
    return m_deflate->write(data, size);
}

bool LevelledDeflate::finish()
{
    if (!m_deflate)
        start(kThoroughLevel);
    return m_deflate->finish();
}

void LevelledDeflate::start(int level)
{
    m_deflate = std::make_unique<DeflateStream>(level, m_out);
    m_deflate->write(m_held.constData(), m_held.size());
    m_held = QByteArray();
}
