// Builds ZIP archives in memory for tests and benchmarks: stored or deflated
// members, folder entries, and the offsets needed to damage them on purpose.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

namespace kbtest {

struct ZipEntry {
    std::string name; // "gfx/a.png"; a name ending in "/" is a folder entry
    std::string data;
    bool deflate = true;
};

struct ZipLayout {
    std::vector<size_t> dataOffsets; // where each member's stored bytes begin
    size_t centralDirectory = 0;     // offset of the central directory
};

inline std::string deflateRaw(const std::string& data)
{
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

inline std::string makeZip(const std::vector<ZipEntry>& entries, ZipLayout* layout = nullptr)
{
    auto put16 = [](std::string& s, uint32_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](std::string& s, uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    std::string out;
    std::string central;
    for (const ZipEntry& e : entries) {
        const bool deflated = e.deflate && !e.data.empty();
        const std::string stored = deflated ? deflateRaw(e.data) : e.data;
        const auto crc = static_cast<uint32_t>(
            crc32(0L, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const auto offset = static_cast<uint32_t>(out.size());
        const uint32_t method = deflated ? 8 : 0;
        const uint32_t time = 0x6000, date = 0x5821; // 2024-01-01 12:00

        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, 0);
        put16(out, method);
        put16(out, time);
        put16(out, date);
        put32(out, crc);
        put32(out, static_cast<uint32_t>(stored.size()));
        put32(out, static_cast<uint32_t>(e.data.size()));
        put16(out, static_cast<uint32_t>(e.name.size()));
        put16(out, 0);
        out += e.name;
        if (layout)
            layout->dataOffsets.push_back(out.size());
        out += stored;

        put32(central, 0x02014b50);
        put16(central, 20);
        put16(central, 20);
        put16(central, 0);
        put16(central, method);
        put16(central, time);
        put16(central, date);
        put32(central, crc);
        put32(central, static_cast<uint32_t>(stored.size()));
        put32(central, static_cast<uint32_t>(e.data.size()));
        put16(central, static_cast<uint32_t>(e.name.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, e.name.empty() || e.name.back() != '/' ? 0 : 0x10);
        put32(central, offset);
        central += e.name;
    }
    const auto centralOffset = static_cast<uint32_t>(out.size());
    if (layout)
        layout->centralDirectory = centralOffset;
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries.size()));
    put16(out, static_cast<uint32_t>(entries.size()));
    put32(out, static_cast<uint32_t>(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

} // namespace kbtest
