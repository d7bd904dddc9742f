// One piece of music played as a stream from its file image in memory, which
// the object keeps for as long as the stream is open. It loops. Owned by the
// music manager and only touched under its lock or from its thread.
#pragma once

#include <cstdint>

#include "orvo/app/a_file.h"

class aMusic {
public:
    // Reads the whole file; one that cannot be opened as a stream is logged
    // and leaves isOpen false.
    aMusic(const char* path, float baseVolume);
    ~aMusic();
    aMusic(const aMusic&) = delete;
    aMusic& operator=(const aMusic&) = delete;

    // Closes the stream and frees the file image; later calls do nothing.
    void close();
    // Starts from the beginning on a free channel at its channel volume.
    void play();
    void stop();
    void setPaused(bool pause);
    // 0..1, times the base volume on the channel.
    void setVolume(float volume);

    bool isOpen() const { return m_stream != 0; }
    float getVolume() const { return m_volume; }
    // The library's channel handle, -1 when not playing.
    int32_t getChannel() const { return m_channel; }

private:
    int32_t m_stream = 0;
    int32_t m_channel = -1;
    float m_volume = 1.0f;
    float m_baseVolume = 1.0f;
    aFileBuffer m_file;
    bool m_live = false;
};
