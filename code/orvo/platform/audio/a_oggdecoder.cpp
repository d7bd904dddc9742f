#include "orvo/platform/audio/a_oggdecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <vorbis/vorbisfile.h>

#include "orvo/util/a_log.h"

namespace {

struct MemorySource {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    size_t pos = 0;
};

size_t sourceRead(void* ptr, size_t size, size_t count, void* user)
{
    auto* src = static_cast<MemorySource*>(user);
    if (size == 0 || count == 0)
        return 0;
    const size_t items = std::min(count, (src->size - src->pos) / size);
    std::memcpy(ptr, src->bytes + src->pos, items * size);
    src->pos += items * size;
    return items;
}

int sourceSeek(void* user, ogg_int64_t offset, int whence)
{
    auto* src = static_cast<MemorySource*>(user);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<ogg_int64_t>(src->pos);
    else if (whence == SEEK_END)
        base = static_cast<ogg_int64_t>(src->size);
    else if (whence != SEEK_SET)
        return -1;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(src->size))
        return -1;
    src->pos = static_cast<size_t>(target);
    return 0;
}

long sourceTell(void* user)
{
    return static_cast<long>(static_cast<MemorySource*>(user)->pos);
}

// A damaged stream may report one hole after another; past this many reads
// without a sample the rest of it is given up.
constexpr int kMaxEmptyReads = 64;

} // namespace

struct aOggDecoder::State {
    MemorySource source;
    OggVorbis_File file{};
    bool open = false;
    // Set by the first hard decoding error. libvorbis leaves its decoder half
    // built after some of them, and any later read or seek on it may divide
    // by zero inside the library, so the stream is never touched again.
    bool broken = false;
};

aOggDecoder::aOggDecoder() : m_state(std::make_unique<State>())
{
}

aOggDecoder::~aOggDecoder()
{
    if (m_state->open)
        ov_clear(&m_state->file);
}

bool aOggDecoder::open(const uint8_t* bytes, size_t size)
{
    if (m_state->open) {
        ov_clear(&m_state->file);
        m_state->open = false;
    }
    m_state->broken = false;
    m_state->source = MemorySource{bytes, bytes ? size : 0, 0};
    const ov_callbacks callbacks{sourceRead, sourceSeek, nullptr, sourceTell};
    const int result = ov_open_callbacks(&m_state->source, &m_state->file, nullptr, 0, callbacks);
    if (result < 0) {
        // The library has cleared the file itself.
        a_log("aOggDecoder. Bad Ogg Vorbis data (%d)", result);
        return false;
    }
    m_state->open = true;
    const vorbis_info* info = ov_info(&m_state->file, -1);
    if (!info || (info->channels != 1 && info->channels != 2) || info->rate <= 0 || info->rate > 384000) {
        a_log("aOggDecoder. Unsupported Ogg Vorbis stream (%d channels, %ld Hz)", info ? info->channels : 0,
              info ? info->rate : 0L);
        ov_clear(&m_state->file);
        m_state->open = false;
        return false;
    }
    m_channels = info->channels;
    m_rate = static_cast<int>(info->rate);
    return true;
}

uint32_t aOggDecoder::read(int16_t* out, uint32_t frames)
{
    if (!m_state->open || m_state->broken)
        return 0;
    const int frameBytes = 2 * m_channels;
    uint32_t done = 0;
    int emptyReads = 0;
    while (done < frames) {
        const uint32_t wanted = std::min<uint32_t>(frames - done, 4096);
        char* target = reinterpret_cast<char*>(out + static_cast<size_t>(done) * static_cast<size_t>(m_channels));
        int link = 0;
        const long got = ov_read(&m_state->file, target, static_cast<int>(wanted) * frameBytes,
                                 __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? 1 : 0, 2, 1, &link);
        if (got == 0)
            break;
        if (got == OV_HOLE) {
            if (++emptyReads > kMaxEmptyReads) {
                a_log("aOggDecoder. Damaged Ogg Vorbis data (%ld), the rest is skipped", got);
                m_state->broken = true;
                break;
            }
            continue;
        }
        if (got < 0) {
            a_log("aOggDecoder. Damaged Ogg Vorbis data (%ld), the rest is skipped", got);
            m_state->broken = true;
            break;
        }
        // A chained stream whose next link has another layout would be read
        // as garbage; it ends here instead.
        const vorbis_info* info = ov_info(&m_state->file, link);
        if (!info || info->channels != m_channels) {
            a_log("aOggDecoder. A chained stream changes its channels, the rest is skipped");
            m_state->broken = true;
            break;
        }
        emptyReads = 0;
        done += static_cast<uint32_t>(got / frameBytes);
    }
    return done;
}

bool aOggDecoder::rewind()
{
    if (!m_state->open || m_state->broken)
        return false;
    return ov_raw_seek(&m_state->file, 0) == 0;
}
