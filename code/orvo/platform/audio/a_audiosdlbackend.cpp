#include "orvo/platform/audio/a_audiosdlbackend.h"

#include <SDL.h>

#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/util/a_log.h"

namespace {

void SDLCALL fill(void* user, Uint8* stream, int length)
{
    static_cast<aAudioMixer*>(user)->mix(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(length) / 4);
}

} // namespace

bool aAudioSdlBackend::start(aAudioMixer* mixer)
{
    stop();
    if (!mixer)
        return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        a_log("aAudioSdlBackend. No audio: %s", SDL_GetError());
        return false;
    }
    m_subsystem = true;
    SDL_AudioSpec want{};
    want.freq = mixer->rate();
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = fill;
    want.userdata = mixer;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the device wants.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (m_device == 0) {
        a_log("aAudioSdlBackend. Cannot open the audio device: %s", SDL_GetError());
        stop();
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void aAudioSdlBackend::stop()
{
    if (m_device != 0) {
        // Waits for a callback that is running to return.
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    if (m_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_subsystem = false;
    }
}
