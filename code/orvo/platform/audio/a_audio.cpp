#include "orvo/platform/audio/a_audio.h"

#include <mutex>

#include "orvo/platform/audio/a_audiobackend.h"
#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/platform/audio/a_audiosdlbackend.h"

namespace {

struct Library {
    std::mutex mutex;
    int output = AUDIO_OUTPUT_DEVICE;
    aAudioBackendFactory factory = nullptr;
    std::shared_ptr<aAudioMixer> mixer;
    std::unique_ptr<aAudioBackend> backend;
};

// Never destroyed: sound objects owned by other statics may still call in
// while the program's statics are torn down.
Library& library()
{
    static Library* lib = new Library;
    return *lib;
}

std::unique_ptr<aAudioBackend> defaultBackend(int output)
{
    if (output == AUDIO_OUTPUT_DEVICE)
        return std::make_unique<aAudioSdlBackend>();
    if (output == AUDIO_OUTPUT_NOSOUND)
        return std::make_unique<aAudioNullBackend>(aAudioNullBackend::Mode::Clocked);
    return nullptr;
}

void closeLocked(Library& lib)
{
    // The backend stops pulling before the mixer goes.
    if (lib.backend)
        lib.backend->stop();
    lib.backend.reset();
    lib.mixer.reset();
}

} // namespace

void audio_setOutput(int output)
{
    std::lock_guard lock(library().mutex);
    library().output = output;
}

int audio_getOutput()
{
    std::lock_guard lock(library().mutex);
    return library().output;
}

bool audio_init(int rate, int maxChannels)
{
    Library& lib = library();
    std::lock_guard lock(lib.mutex);
    closeLocked(lib);
    auto mixer = std::make_shared<aAudioMixer>(rate, maxChannels);
    std::unique_ptr<aAudioBackend> backend = lib.factory ? lib.factory(lib.output) : defaultBackend(lib.output);
    if (!backend || !backend->start(mixer.get()))
        return false;
    lib.mixer = std::move(mixer);
    lib.backend = std::move(backend);
    return true;
}

void audio_close()
{
    std::lock_guard lock(library().mutex);
    closeLocked(library());
}

bool audio_isInitialised()
{
    return audio_getMixer() != nullptr;
}

void audio_setBackendFactory(aAudioBackendFactory factory)
{
    std::lock_guard lock(library().mutex);
    library().factory = factory;
}

std::shared_ptr<aAudioMixer> audio_getMixer()
{
    std::lock_guard lock(library().mutex);
    return library().mixer;
}

void audio_setSfxMasterVolume(int volume)
{
    if (auto m = audio_getMixer())
        m->setMasterVolume(volume);
}

aAudioSamplePtr audio_sampleLoad(const uint8_t* bytes, size_t size)
{
    return aAudioSample::load(bytes, size);
}

int audio_sampleGetDefaultFrequency(const aAudioSamplePtr& sample)
{
    return sample ? sample->rate() : 0;
}

int32_t audio_playSound(const aAudioSamplePtr& sample, bool paused)
{
    auto m = audio_getMixer();
    return m ? m->playSample(sample, paused) : -1;
}

bool audio_stopSound(int32_t channel)
{
    auto m = audio_getMixer();
    return m && m->stop(channel);
}

bool audio_isPlaying(int32_t channel)
{
    auto m = audio_getMixer();
    return m && m->isPlaying(channel);
}

bool audio_setPaused(int32_t channel, bool paused)
{
    auto m = audio_getMixer();
    return m && m->setPaused(channel, paused);
}

bool audio_getPaused(int32_t channel)
{
    auto m = audio_getMixer();
    return m && m->getPaused(channel);
}

bool audio_setVolume(int32_t channel, int volume)
{
    auto m = audio_getMixer();
    return m && m->setVolume(channel, volume);
}

int audio_getVolume(int32_t channel)
{
    auto m = audio_getMixer();
    return m ? m->getVolume(channel) : 0;
}

bool audio_setPan(int32_t channel, int pan)
{
    auto m = audio_getMixer();
    return m && m->setPan(channel, pan);
}

int audio_getPan(int32_t channel)
{
    auto m = audio_getMixer();
    return m ? m->getPan(channel) : 0;
}

bool audio_setLoopMode(int32_t channel, int mode)
{
    auto m = audio_getMixer();
    return m && m->setLoopMode(channel, mode);
}

int audio_getLoopMode(int32_t channel)
{
    auto m = audio_getMixer();
    return m ? m->getLoopMode(channel) : 0;
}

uint32_t audio_getCurrentPosition(int32_t channel)
{
    auto m = audio_getMixer();
    return m ? m->getPosition(channel) : 0;
}

bool audio_setCurrentPosition(int32_t channel, uint32_t frame)
{
    auto m = audio_getMixer();
    return m && m->setPosition(channel, frame);
}

int audio_getChannelsPlaying()
{
    auto m = audio_getMixer();
    return m ? m->channelsPlaying() : 0;
}

int audio_getMaxChannels()
{
    auto m = audio_getMixer();
    return m ? m->maxChannels() : 0;
}

int32_t audio_streamOpen(const uint8_t* bytes, size_t size, bool loop)
{
    auto m = audio_getMixer();
    return m ? m->openStream(bytes, size, loop) : 0;
}

void audio_streamClose(int32_t stream)
{
    if (auto m = audio_getMixer())
        m->closeStream(stream);
}

int32_t audio_streamPlay(int32_t stream, bool paused)
{
    auto m = audio_getMixer();
    return m ? m->playStream(stream, paused) : -1;
}

bool audio_streamStop(int32_t stream)
{
    auto m = audio_getMixer();
    return m && m->stopStream(stream);
}
