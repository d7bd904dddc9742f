#include "orvo/platform/audio/a_audiobackend.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "orvo/platform/audio/a_audiomixer.h"

bool aAudioNullBackend::start(aAudioMixer* mixer)
{
    stop();
    if (!mixer)
        return false;
    if (m_mode == Mode::Clocked) {
        m_stop = false;
        m_thread = std::thread([this, mixer] { run(mixer); });
    }
    return true;
}

void aAudioNullBackend::stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void aAudioNullBackend::run(aAudioMixer* mixer)
{
    using clock = std::chrono::steady_clock;
    const auto begin = clock::now();
    uint64_t mixed = 0;
    std::vector<int16_t> scratch;
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_stop; })) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(clock::now() - begin).count();
        const uint64_t due = static_cast<uint64_t>(elapsed) * static_cast<uint64_t>(mixer->rate()) / 1000000u;
        // A long stall (a debugger, a suspended machine) is not caught up on.
        const uint32_t frames =
            static_cast<uint32_t>(std::min<uint64_t>(due - mixed, static_cast<uint64_t>(mixer->rate() / 4)));
        mixed = due;
        if (frames == 0)
            continue;
        scratch.resize(static_cast<size_t>(frames) * 2);
        lock.unlock();
        mixer->mix(scratch.data(), frames);
        lock.lock();
    }
}
