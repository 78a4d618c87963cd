#include "indexformat.h"

#include <cstring>

namespace IndexFormat {

uint64_t checksum(const char *data, size_t size, uint64_t seed)
{
    uint64_t h = seed;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, data + i, 8);
        h = (h ^ word) * 1099511628211ull;
        h ^= h >> 29;
    }
    for (; i < size; ++i) {
        h = (h ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    }
    return h;
}

} // namespace IndexFormat
