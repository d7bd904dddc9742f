// Reader of RIFF WAVE data with PCM samples of 8 (unsigned) or 16 (signed)
// bits, one or two channels. Used by the sound library's decoder factory.
#pragma once

#include "orvo/platform/audio/a_audiodecoder.h"

class aWavDecoder : public aAudioDecoder {
public:
    // Checks the header and finds the sample data; false (logged) on damage.
    [[nodiscard]] bool open(const uint8_t* bytes, size_t size);

    uint32_t read(int16_t* out, uint32_t frames) override;
    bool rewind() override;

    uint32_t frameCount() const { return m_frames; }

private:
    const uint8_t* m_data = nullptr;
    uint32_t m_frames = 0;
    uint32_t m_next = 0;
    int m_bytesPerSample = 0;
};
