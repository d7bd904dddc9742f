// Sound file decoding for the sound library: WAV (PCM, 8 or 16 bit) and Ogg
// Vorbis, read from bytes in memory into signed 16-bit interleaved frames.
// A decoder does not own its bytes; whoever opened it keeps them alive.
// One decoder is used by one thread at a time (the mixer holds its lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class aAudioDecoder {
public:
    virtual ~aAudioDecoder() = default;

    // Up to `frames` frames into `out` (channels() values per frame); 0 at the
    // end of the data or when it is damaged beyond that point.
    virtual uint32_t read(int16_t* out, uint32_t frames) = 0;
    // Back to the first frame; false when the data cannot be read again.
    virtual bool rewind() = 0;

    int channels() const { return m_channels; }
    int rate() const { return m_rate; }

protected:
    int m_channels = 0;
    int m_rate = 0;
};

// Picks the decoder by the data's signature ("RIFF"..."WAVE" or "OggS").
// Damaged or unknown data logs why and answers null. The decoder reads the
// caller's bytes in place: they must outlive it.
[[nodiscard]] std::unique_ptr<aAudioDecoder> audio_openDecoder(const uint8_t* bytes, size_t size);
