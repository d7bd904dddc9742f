// Ogg Vorbis reader over bytes in memory (libvorbisfile), one or two
// channels. Used by the sound library's decoder factory.
#pragma once

#include <memory>

#include "orvo/platform/audio/a_audiodecoder.h"

class aOggDecoder : public aAudioDecoder {
public:
    aOggDecoder();
    ~aOggDecoder() override;
    aOggDecoder(const aOggDecoder&) = delete;
    aOggDecoder& operator=(const aOggDecoder&) = delete;

    // Reads the stream headers; false (logged) when they are damaged.
    [[nodiscard]] bool open(const uint8_t* bytes, size_t size);

    uint32_t read(int16_t* out, uint32_t frames) override;
    bool rewind() override;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
