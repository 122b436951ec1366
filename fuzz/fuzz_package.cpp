// Any bytes as an EJP package: loading must stay within the input and give entries that
// read back by name.
#include "ejpwrapper.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EJPWrapper wrapper;
    wrapper.loadData(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    const QMap<QString, QByteArray> &entries = wrapper.entries();
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (!wrapper.contains(it.key()) || wrapper.data(it.key()) != it.value())
            std::abort();
    return 0;
}
