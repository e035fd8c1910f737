// Display patterns from the settings and templates: the first 8 bytes are the
// value, the rest the pattern.
#include "FuzzSupport.h"

#include "data/NumberFormat.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    double value = 0;
    if (size >= sizeof value) {
        std::memcpy(&value, data, sizeof value);
        data += sizeof value;
        size -= sizeof value;
    }
    const QString pattern = QString::fromUtf8(Fuzz::bytes(data, size));
    formatNumber(pattern, value);
    formatNumber(pattern, -value);
    excelNumberFormat(pattern);
    return 0;
}
