#include "orvo/util/a_crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> makeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = makeTable();

} // namespace

uint32_t crc32_string(const char* text)
{
    if (!text || !*text)
        return 0;
    uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        crc = (crc >> 8) ^ kTable[(crc ^ *p) & 0xFF];
    return ~crc;
}

uint32_t crc32_bytes(const void* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        crc = (crc >> 8) ^ kTable[(crc ^ p[i]) & 0xFF];
    return ~crc;
}
