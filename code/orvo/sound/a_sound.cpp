#include "orvo/sound/a_sound.h"

#include <cmath>
#include <cstdlib>

#include "orvo/app/a_file.h"
#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_soundlibrary.h"
#include "orvo/util/a_log.h"

namespace {

// NaN counts as the low end.
float clampRange(float v, float lo, float hi)
{
    return v >= lo ? (v <= hi ? v : hi) : lo;
}

} // namespace

aSound::aSound(const char* path, float volume) : m_volume(volume)
{
    sound_libraryAcquire(false);
    uint32_t size = 0;
    void* bytes = file_readFullAndMalloc(path, &size);
    m_sample = audio_sampleLoad(static_cast<const uint8_t*>(bytes), size);
    std::free(bytes);
    if (!m_sample)
        a_log("aSound. Error loading sound: %s", path ? path : "");
}

// A copy shares the sample and the settings, but not the channel or a pause:
// it plays on its own, and stopping it never touches its source.
aSound::aSound(const aSound& other)
    : m_sample(other.m_sample), m_pan(other.m_pan), m_masterVolume(other.m_masterVolume), m_volume(other.m_volume)
{
    sound_libraryAcquire(false);
}

aSound::~aSound()
{
    // A looping sound nobody holds any more would otherwise play for ever.
    if (m_channel != -1)
        audio_stopSound(m_channel);
    m_sample.reset();
    sound_libraryRelease();
}

void aSound::play(bool loop, float volume, float pan)
{
    if (m_channel != -1) {
        audio_stopSound(m_channel);
        m_pausedPosition = -1.0f;
        m_channel = -1;
    }
    if (audio_getChannelsPlaying() >= audio_getMaxChannels()) {
        a_log("aSound. Max number of channels reached");
        return;
    }
    m_channel = audio_playSound(m_sample, true);
    audio_setLoopMode(m_channel, loop ? AUDIO_LOOP_NORMAL : AUDIO_LOOP_OFF);
    if (pan != -2.0f)
        m_pan = pan;
    setPan(m_pan);
    if (volume != -1.0f)
        m_volume = volume;
    setVolume(m_volume);
    audio_setPaused(m_channel, false);
    m_pausedPosition = -1.0f;
}

void aSound::stop()
{
    if (m_channel != -1) {
        audio_stopSound(m_channel);
        m_channel = -1;
    }
    // Also ends a pause, which holds no channel: a paused sound that could
    // not be stopped would count as playing for ever.
    m_pausedPosition = -1.0f;
}

bool aSound::isPlaying()
{
    if (isPaused())
        return true;
    if (m_channel == -1)
        return false;
    return audio_isPlaying(m_channel);
}

void aSound::pause(bool pause)
{
    if (pause == isPaused())
        return;
    if (pause) {
        const float position = getPosition();
        m_pausedLoop = audio_getLoopMode(m_channel) == AUDIO_LOOP_NORMAL;
        audio_stopSound(m_channel);
        m_channel = -1;
        m_pausedPosition = position;
    } else {
        const float position = m_pausedPosition;
        play(m_pausedLoop, m_volume, m_pan);
        setPosition(position);
    }
}

void aSound::applyVolume()
{
    if (m_channel != -1)
        audio_setVolume(m_channel, static_cast<int>(m_volume * m_masterVolume * 255.0f));
}

void aSound::setVolume(float volume)
{
    m_volume = clampRange(volume, 0.0f, 1.0f);
    applyVolume();
}

void aSound::setMasterVolume(float volume)
{
    m_masterVolume = clampRange(volume, 0.0f, 1.0f);
    applyVolume();
}

void aSound::setPan(float pan)
{
    m_pan = clampRange(pan, -1.0f, 1.0f);
    if (m_channel != -1)
        audio_setPan(m_channel, 128 - static_cast<int>(m_pan * -127.0f));
}

int aSound::frequency() const
{
    return audio_sampleGetDefaultFrequency(m_sample);
}

float aSound::getPosition()
{
    if (isPaused())
        return m_pausedPosition;
    const int rate = frequency();
    if (rate <= 0)
        return 0.0f; // no sample: nothing to divide by
    return static_cast<float>(audio_getCurrentPosition(m_channel)) / static_cast<float>(rate);
}

void aSound::setPosition(float seconds)
{
    // A negative or NaN time would read as "not paused" or overflow the frame count.
    if (!(seconds >= 0.0f))
        seconds = 0.0f;
    if (isPaused()) {
        m_pausedPosition = seconds;
        return;
    }
    const float frames = static_cast<float>(frequency()) * seconds;
    audio_setCurrentPosition(m_channel, frames < 4294967040.0f ? static_cast<uint32_t>(frames) : 0xFFFFFFFFu);
}
