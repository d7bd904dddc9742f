#include "audiogen.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include <vorbis/vorbisenc.h>

namespace audiogen {

std::vector<int16_t> sine(uint32_t frames, int channels, int rate, double hz, int amplitude)
{
    std::vector<int16_t> values;
    values.reserve(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    const double w = 2.0 * std::numbers::pi * hz / rate;
    for (uint32_t f = 0; f < frames; ++f) {
        const auto v = static_cast<int16_t>(std::lround(amplitude * std::sin(w * f)));
        for (int c = 0; c < channels; ++c)
            values.push_back(v);
    }
    return values;
}

std::vector<int16_t> level(uint32_t frames, int channels, int16_t value)
{
    return std::vector<int16_t>(static_cast<size_t>(frames) * static_cast<size_t>(channels), value);
}

std::vector<int16_t> ramp(uint32_t frames, int channels, int step)
{
    std::vector<int16_t> values;
    for (uint32_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            values.push_back(static_cast<int16_t>(static_cast<uint16_t>(static_cast<int64_t>(f) * step)));
    return values;
}

namespace {

void put16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putPage(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

} // namespace

std::string wav(const std::vector<int16_t>& values, int channels, int rate, int bits)
{
    const uint32_t bytesPerSample = bits == 8 ? 1 : 2;
    const uint32_t dataSize = static_cast<uint32_t>(values.size()) * bytesPerSample;
    std::string out = "RIFF";
    put32(out, 36 + dataSize + (dataSize & 1));
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(channels));
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate) * static_cast<uint32_t>(channels) * bytesPerSample);
    put16(out, static_cast<uint32_t>(channels) * bytesPerSample);
    put16(out, static_cast<uint32_t>(bits));
    out += "data";
    put32(out, dataSize);
    for (int16_t v : values) {
        if (bits == 8)
            out.push_back(static_cast<char>((static_cast<uint16_t>(v) >> 8) ^ 0x80));
        else
            put16(out, static_cast<uint16_t>(v));
    }
    if (dataSize & 1)
        out.push_back('\0');
    return out;
}

std::string ogg(const std::vector<int16_t>& values, int channels, int rate, float quality, int serial)
{
    std::string out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        putPage(out, page);

    const size_t frames = values.size() / static_cast<size_t>(channels);
    constexpr size_t kBlock = 1024;
    size_t done = 0;
    bool finished = false;
    while (!finished) {
        const size_t count = std::min(kBlock, frames - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t f = 0; f < count; ++f)
                for (int c = 0; c < channels; ++c)
                    buffer[c][f] =
                        values[(done + f) * static_cast<size_t>(channels) + static_cast<size_t>(c)] / 32768.0f;
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    putPage(out, page);
                    if (ogg_page_eos(&page))
                        finished = true;
                }
            }
        }
        if (count == 0)
            finished = true;
    }
    while (ogg_stream_flush(&stream, &page) != 0)
        putPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::string fixOggChecksums(std::string bytes)
{
    size_t pos = 0;
    while (pos + 27 <= bytes.size() && std::memcmp(bytes.data() + pos, "OggS", 4) == 0) {
        auto* header = reinterpret_cast<unsigned char*>(bytes.data() + pos);
        const size_t segments = header[26];
        if (pos + 27 + segments > bytes.size())
            break;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i)
            body += header[27 + i];
        const size_t headerLength = 27 + segments;
        if (pos + headerLength + body > bytes.size())
            break;
        ogg_page page;
        page.header = header;
        page.header_len = static_cast<long>(headerLength);
        page.body = header + headerLength;
        page.body_len = static_cast<long>(body);
        ogg_page_checksum_set(&page);
        pos += headerLength + body;
    }
    return bytes;
}

} // namespace audiogen
