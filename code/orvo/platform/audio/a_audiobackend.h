// Where the mixed sound goes. A backend pulls frames from the mixer on its own
// schedule: the SDL audio device from its callback thread, the null backend
// from a clock thread (no sound output) or not at all (tests pull frames
// themselves). Started and stopped by the sound library under its lock.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class aAudioMixer;

class aAudioBackend {
public:
    virtual ~aAudioBackend() = default;
    // Begins pulling from the mixer, which outlives the backend's running;
    // false when the output cannot be opened.
    [[nodiscard]] virtual bool start(aAudioMixer* mixer) = 0;
    // After it returns no frame is pulled any more.
    virtual void stop() = 0;
};

class aAudioNullBackend : public aAudioBackend {
public:
    // Clocked: frames are mixed and dropped at the mixer's rate, so sounds
    // end as they would on a device. Pulled: nothing moves unless the owner
    // of the mixer calls aAudioMixer::mix.
    enum class Mode { Clocked, Pulled };

    explicit aAudioNullBackend(Mode mode) : m_mode(mode) {}
    ~aAudioNullBackend() override { stop(); }

    bool start(aAudioMixer* mixer) override;
    void stop() override;

private:
    void run(aAudioMixer* mixer);

    Mode m_mode;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
};
