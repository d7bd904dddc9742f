// The SDL2 audio device as the sound library's output: signed 16-bit stereo
// at the mixer's rate, mixed in SDL's audio callback thread.
#pragma once

#include <cstdint>

#include "orvo/platform/audio/a_audiobackend.h"

class aAudioSdlBackend : public aAudioBackend {
public:
    aAudioSdlBackend() = default;
    ~aAudioSdlBackend() override { stop(); }
    aAudioSdlBackend(const aAudioSdlBackend&) = delete;
    aAudioSdlBackend& operator=(const aAudioSdlBackend&) = delete;

    bool start(aAudioMixer* mixer) override;
    void stop() override;

private:
    uint32_t m_device = 0;
    bool m_subsystem = false;
};
