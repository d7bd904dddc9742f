// A sound decoded at once into memory: signed 16-bit frames at the file's own
// rate. Shared and reference-counted: every holder and every channel playing
// it keeps it alive, so no copy of a sound can outlive its data. Immutable
// after loading, so any thread may read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class aAudioSample;
using aAudioSamplePtr = std::shared_ptr<const aAudioSample>;

class aAudioSample {
public:
    // Decodes WAV or Ogg Vorbis bytes; null (logged) when they cannot be read.
    [[nodiscard]] static aAudioSamplePtr load(const uint8_t* bytes, size_t size);
    // A sample made of frames already in memory (tones, tests); null when empty
    // or when the layout is not one or two channels at a positive rate.
    [[nodiscard]] static aAudioSamplePtr fromFrames(std::vector<int16_t> values, int channels, int rate);

    int channels() const { return m_channels; }
    int rate() const { return m_rate; }
    uint32_t frameCount() const { return m_frames; }
    const int16_t* values() const { return m_values.data(); }

private:
    std::vector<int16_t> m_values;
    int m_channels = 0;
    int m_rate = 0;
    uint32_t m_frames = 0;
};
