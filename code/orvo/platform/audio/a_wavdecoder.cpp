#include "orvo/platform/audio/a_wavdecoder.h"

#include <algorithm>
#include <cstring>

#include "orvo/util/a_log.h"

namespace {

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kMaxRate = 384000;

bool fail(const char* why)
{
    a_log("aWavDecoder. Bad WAV data: %s", why);
    return false;
}

} // namespace

bool aWavDecoder::open(const uint8_t* bytes, size_t size)
{
    m_data = nullptr;
    m_frames = m_next = 0;
    if (!bytes || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return fail("no RIFF WAVE header");

    const uint8_t* format = nullptr;
    uint32_t formatSize = 0;
    const uint8_t* data = nullptr;
    uint32_t dataSize = 0;
    // Chunks are walked by the real length of the bytes: the sizes in the
    // file are only believed as far as the bytes reach.
    size_t pos = 12;
    while (pos + 8 <= size) {
        const uint8_t* chunk = bytes + pos;
        const uint64_t declared = le32(chunk + 4);
        const uint64_t available = size - pos - 8;
        const uint32_t length = static_cast<uint32_t>(std::min(declared, available));
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !format) {
            format = chunk + 8;
            formatSize = length;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
            data = chunk + 8;
            dataSize = length;
        }
        pos += 8 + static_cast<size_t>(declared) + (declared & 1);
        if (declared > available)
            break;
    }
    if (!format || formatSize < 16)
        return fail("no format chunk");
    if (!data)
        return fail("no data chunk");

    uint16_t tag = le16(format);
    if (tag == kFormatExtensible && formatSize >= 26)
        tag = le16(format + 24); // the first two bytes of the sub-format's identifier
    const int channels = le16(format + 2);
    const uint32_t rate = le32(format + 4);
    const int bits = le16(format + 14);
    if (tag != kFormatPcm)
        return fail("not PCM");
    if (channels != 1 && channels != 2)
        return fail("only mono and stereo are played");
    if (bits != 8 && bits != 16)
        return fail("only 8 and 16 bit samples are played");
    if (rate == 0 || rate > kMaxRate)
        return fail("sample rate out of range");

    m_bytesPerSample = bits / 8;
    const uint32_t frameBytes = static_cast<uint32_t>(channels * m_bytesPerSample);
    if (dataSize / frameBytes == 0)
        return fail("no samples");
    m_channels = channels;
    m_rate = static_cast<int>(rate);
    m_data = data;
    m_frames = dataSize / frameBytes;
    return true;
}

uint32_t aWavDecoder::read(int16_t* out, uint32_t frames)
{
    const uint32_t count = std::min(frames, m_frames - m_next);
    const size_t values = static_cast<size_t>(count) * static_cast<size_t>(m_channels);
    const uint8_t* src = m_data + static_cast<size_t>(m_next) * static_cast<size_t>(m_channels * m_bytesPerSample);
    if (m_bytesPerSample == 1) {
        for (size_t i = 0; i < values; ++i)
            out[i] = static_cast<int16_t>((static_cast<int>(src[i]) - 128) * 256);
    } else {
        for (size_t i = 0; i < values; ++i)
            out[i] = static_cast<int16_t>(le16(src + 2 * i));
    }
    m_next += count;
    return count;
}

bool aWavDecoder::rewind()
{
    m_next = 0;
    return m_data != nullptr;
}
