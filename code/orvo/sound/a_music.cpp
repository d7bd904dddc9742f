#include "orvo/sound/a_music.h"

#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_soundlibrary.h"
#include "orvo/util/a_log.h"

aMusic::aMusic(const char* path, float baseVolume) : m_baseVolume(baseVolume), m_live(true)
{
    sound_libraryAcquire(true);
    if (m_file.load(path))
        m_stream = audio_streamOpen(m_file.bytes(), m_file.size(), true);
    if (m_stream == 0)
        a_log("aMusic. Error loading music: %s", path ? path : "");
}

aMusic::~aMusic()
{
    close();
}

void aMusic::close()
{
    if (!m_live)
        return;
    // The stream goes before the bytes it reads from.
    audio_streamClose(m_stream);
    m_stream = 0;
    m_channel = -1;
    m_live = false;
    sound_libraryRelease();
    m_file.clear();
}

void aMusic::play()
{
    if (m_channel != -1)
        stop();
    if (audio_getChannelsPlaying() >= audio_getMaxChannels()) {
        a_log("aMusic. Max number of channels reached");
        return;
    }
    m_channel = audio_streamPlay(m_stream, true);
    audio_setVolume(m_channel, static_cast<int>(m_volume * m_baseVolume * 255.0f));
    audio_setPaused(m_channel, false);
}

void aMusic::stop()
{
    if (m_channel == -1)
        return;
    audio_streamStop(m_stream);
    m_channel = -1;
}

void aMusic::setPaused(bool pause)
{
    if (m_channel != -1 && audio_isPlaying(m_channel))
        audio_setPaused(m_channel, pause);
}

void aMusic::setVolume(float volume)
{
    m_volume = volume >= 0.0f ? (volume <= 1.0f ? volume : 1.0f) : 0.0f;
    if (m_channel != -1)
        audio_setVolume(m_channel, static_cast<int>(m_volume * m_baseVolume * 255.0f));
}
