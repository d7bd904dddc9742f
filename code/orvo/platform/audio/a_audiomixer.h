// The software mixer of the sound library: a fixed set of channels, each
// playing a shared sample or a stream, mixed into signed 16-bit stereo at the
// output rate with linear resampling. Channel handles carry a generation
// count, so a handle kept after its sound ended never reaches the next sound
// played in the same slot.
// Thread-safe: the main, loading and music threads call it while the audio
// backend pulls frames from its own thread; one lock guards everything.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "orvo/platform/audio/a_audiosample.h"
#include "orvo/platform/audio/a_audiostream.h"

class aAudioMixer {
public:
    static constexpr int32_t ALL_CHANNELS = -3;
    static constexpr int LOOP_OFF = 1;
    static constexpr int LOOP_NORMAL = 2;
    static constexpr int MAX_CHANNELS = 256;

    explicit aAudioMixer(int rate = 44100, int maxChannels = 64);
    ~aAudioMixer();
    aAudioMixer(const aAudioMixer&) = delete;
    aAudioMixer& operator=(const aAudioMixer&) = delete;

    int rate() const { return m_rate; }
    int maxChannels() const { return static_cast<int>(m_channels.size()); }
    // Channels holding a sound, paused ones included.
    int channelsPlaying() const;

    // 0..255 over every channel.
    void setMasterVolume(int volume);
    int masterVolume() const;

    // A free channel starts the sample from its first frame at volume 255,
    // pan 128, loop off; -1 when the sample is null or every channel is busy.
    int32_t playSample(const aAudioSamplePtr& sample, bool paused);

    // Streams play from bytes the caller keeps alive until closeStream.
    // The id is never 0; 0 means the bytes could not be opened (logged).
    int32_t openStream(const uint8_t* bytes, size_t size, bool loop);
    void closeStream(int32_t stream);
    // Starts the stream from its beginning on a free channel (stopping it
    // first when it already plays); -1 when the id is unknown or no channel is free.
    int32_t playStream(int32_t stream, bool paused);
    bool stopStream(int32_t stream);

    // Channel operations answer false (or 0) for a stale or unknown handle.
    // stop and setPaused also take ALL_CHANNELS.
    bool stop(int32_t channel);
    bool isPlaying(int32_t channel) const; // paused counts as playing
    bool setPaused(int32_t channel, bool paused);
    bool getPaused(int32_t channel) const;
    bool setVolume(int32_t channel, int volume); // clamped to 0..255
    int getVolume(int32_t channel) const;
    bool setPan(int32_t channel, int pan); // clamped to 0..255, 128 centre
    int getPan(int32_t channel) const;
    bool setLoopMode(int32_t channel, int mode); // samples only: LOOP_OFF or LOOP_NORMAL
    int getLoopMode(int32_t channel) const;
    // In frames of the sound's own rate.
    uint32_t getPosition(int32_t channel) const;
    bool setPosition(int32_t channel, uint32_t frame); // samples only, inside the sample
    // The rate of the sound on the channel, 0 for a stale handle.
    int getFrequency(int32_t channel) const;

    // Fills `frames` stereo frames (left, right interleaved) and moves every
    // playing channel on. Called by the backend's audio thread, or by tests.
    void mix(int16_t* out, uint32_t frames);

private:
    struct Channel {
        uint32_t generation = 0;
        bool used = false;
        bool paused = false;
        aAudioSamplePtr sample;
        int32_t streamId = 0;
        aAudioStream* stream = nullptr;
        // Position in frames of the source plus a fraction in units of
        // 1/output rate; each output frame moves it by source rate/output rate
        // exactly, so long sounds never drift.
        uint64_t frame = 0;
        uint32_t fraction = 0;
        uint32_t stepFrames = 0;
        uint32_t stepFraction = 0;
        int volume = 255;
        int pan = 128;
        int loopMode = LOOP_OFF;
    };
    struct Stream {
        std::unique_ptr<aAudioStream> stream;
        int32_t channel = -1;
    };

    Channel* find(int32_t handle);
    const Channel* find(int32_t handle) const;
    Channel* claim(int32_t* handle);
    void release(Channel& channel);
    void mixSample(Channel& channel, float* acc, uint32_t frames);
    void mixStream(Channel& channel, float* acc, uint32_t frames);
    void setStep(Channel& channel, int sourceRate) const;
    void advance(const Channel& channel, uint64_t* frame, uint32_t* fraction) const;

    mutable std::mutex m_mutex;
    const int m_rate;
    int m_masterVolume = 255;
    std::vector<Channel> m_channels;
    std::map<int32_t, Stream> m_streams;
    std::vector<float> m_acc;
};
