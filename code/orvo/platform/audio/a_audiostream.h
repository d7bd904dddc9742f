// A sound decoded as it plays, from bytes in memory that the stream's owner
// keeps alive for as long as the stream exists. The mixer reads it through a
// sliding window of decoded frames; a looping stream starts over at its end.
// Used under the mixer's lock only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "orvo/platform/audio/a_audiodecoder.h"

class aAudioStream {
public:
    // Null (logged) when the bytes are not a sound the decoders read.
    [[nodiscard]] static std::unique_ptr<aAudioStream> open(const uint8_t* bytes, size_t size, bool loop);

    int channels() const { return m_decoder->channels(); }
    int rate() const { return m_decoder->rate(); }
    bool loops() const { return m_loop; }

    // Back to the first frame (frame numbers start again at 0).
    void restart();

    // Makes frames [first, first + count) readable and points `out` at frame
    // `first`; answers how many of them exist, fewer (or 0) at the end of a
    // stream that does not loop. Frame numbers only move forward between restarts.
    uint32_t window(uint64_t first, uint32_t count, const int16_t** out);

private:
    explicit aAudioStream(std::unique_ptr<aAudioDecoder> decoder, bool loop);
    uint32_t decodeMore(uint32_t frames);
    void dropBefore(uint64_t first);

    std::unique_ptr<aAudioDecoder> m_decoder;
    bool m_loop = false;
    bool m_ended = false;
    std::vector<int16_t> m_values;
    uint64_t m_first = 0;
    uint32_t m_frames = 0;
};
