// Makes the sound library's outputs pulled null backends for the life of a
// test, so nothing plays unless the test pulls frames; the device output can
// be made to fail. Closes the library on the way out.
#pragma once

#include <memory>
#include <vector>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/platform/audio/a_audiobackend.h"
#include "orvo/platform/audio/a_audiomixer.h"

namespace kbtest {

class PulledAudio {
public:
    PulledAudio()
    {
        deviceFails() = false;
        audio_setBackendFactory(&make);
    }
    ~PulledAudio()
    {
        audio_close();
        audio_setBackendFactory(nullptr);
        audio_setOutput(AUDIO_OUTPUT_DEVICE);
        deviceFails() = false;
    }
    PulledAudio(const PulledAudio&) = delete;
    PulledAudio& operator=(const PulledAudio&) = delete;

    void setDeviceFails(bool fails) { deviceFails() = fails; }

    // Left and right values of `frames` frames from the running mixer.
    static std::vector<int16_t> pull(uint32_t frames)
    {
        std::vector<int16_t> out(frames * 2);
        if (auto mixer = audio_getMixer())
            mixer->mix(out.data(), frames);
        return out;
    }

private:
    static bool& deviceFails()
    {
        static bool fails = false;
        return fails;
    }
    static std::unique_ptr<aAudioBackend> make(int output)
    {
        if (output == AUDIO_OUTPUT_DEVICE && deviceFails())
            return nullptr;
        return std::make_unique<aAudioNullBackend>(aAudioNullBackend::Mode::Pulled);
    }
};

} // namespace kbtest
