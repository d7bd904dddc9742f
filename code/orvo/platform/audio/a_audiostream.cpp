#include "orvo/platform/audio/a_audiostream.h"

#include <algorithm>

std::unique_ptr<aAudioStream> aAudioStream::open(const uint8_t* bytes, size_t size, bool loop)
{
    std::unique_ptr<aAudioDecoder> decoder = audio_openDecoder(bytes, size);
    if (!decoder)
        return nullptr;
    return std::unique_ptr<aAudioStream>(new aAudioStream(std::move(decoder), loop));
}

aAudioStream::aAudioStream(std::unique_ptr<aAudioDecoder> decoder, bool loop)
    : m_decoder(std::move(decoder)), m_loop(loop)
{
}

void aAudioStream::restart()
{
    m_ended = !m_decoder->rewind();
    m_values.clear();
    m_first = 0;
    m_frames = 0;
}

uint32_t aAudioStream::decodeMore(uint32_t frames)
{
    const size_t ch = static_cast<size_t>(channels());
    const size_t used = static_cast<size_t>(m_frames) * ch;
    m_values.resize(used + static_cast<size_t>(frames) * ch);
    uint32_t got = 0;
    bool rewound = false;
    while (got < frames) {
        const uint32_t n = m_decoder->read(m_values.data() + used + got * ch, frames - got);
        if (n > 0) {
            got += n;
            rewound = false;
            continue;
        }
        // Nothing right after starting over means nothing in it at all: the
        // stream ends instead of spinning.
        if (!m_loop || rewound || !m_decoder->rewind()) {
            m_ended = true;
            break;
        }
        rewound = true;
    }
    m_frames += got;
    m_values.resize(static_cast<size_t>(m_frames) * ch);
    return got;
}

void aAudioStream::dropBefore(uint64_t first)
{
    if (first <= m_first)
        return;
    const uint32_t drop = static_cast<uint32_t>(std::min<uint64_t>(first - m_first, m_frames));
    m_values.erase(m_values.begin(), m_values.begin() + static_cast<ptrdiff_t>(drop) * channels());
    m_first += drop;
    m_frames -= drop;
}

uint32_t aAudioStream::window(uint64_t first, uint32_t count, const int16_t** out)
{
    *out = nullptr;
    if (first < m_first)
        return 0;
    dropBefore(first);
    // Frames between what is held and `first` are decoded and thrown away
    // (a fast step through the stream).
    constexpr uint32_t kSkipBlock = 4096;
    while (m_first < first && !m_ended) {
        decodeMore(static_cast<uint32_t>(std::min<uint64_t>(first - m_first, kSkipBlock)));
        dropBefore(first);
    }
    if (m_first < first)
        return 0;
    while (m_frames < count && !m_ended)
        decodeMore(count - m_frames);
    *out = m_values.data();
    return std::min(count, m_frames);
}
