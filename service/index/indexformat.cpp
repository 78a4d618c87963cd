#include "index/indexformat.h"

#include <cstring>

namespace IndexFormat {

namespace {

constexpr uint64_t prime = 1099511628211ull;

uint64_t mix(uint64_t h, uint64_t word)
{
    h = (h ^ word) * prime;
    return h ^ (h >> 29);
}

} // namespace

void Checksum::add(const char *data, size_t size)
{
    size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        uint64_t words[4];
        std::memcpy(words, data + i, 32);
        for (int lane = 0; lane < 4; ++lane) {
            m_lanes[lane] = mix(m_lanes[lane], words[lane]);
        }
    }
    for (; i < size; ++i) {
        m_lanes[0] = mix(m_lanes[0], static_cast<unsigned char>(data[i]));
    }
}

uint64_t Checksum::value() const
{
    uint64_t h = m_lanes[0];
    for (int lane = 1; lane < 4; ++lane) {
        h = mix(h, m_lanes[lane]);
    }
    return h;
}

uint64_t checksum(const char *data, size_t size)
{
    Checksum sum;
    sum.add(data, size);
    return sum.value();
}

} // namespace IndexFormat
