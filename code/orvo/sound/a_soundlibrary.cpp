#include "orvo/sound/a_soundlibrary.h"

#include <mutex>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/util/a_log.h"

namespace {

constexpr int kMixRate = 44100;
constexpr int kChannels = 64;

std::mutex g_mutex;
int g_live = 0;

} // namespace

void sound_libraryAcquire(bool forStream)
{
    std::lock_guard lock(g_mutex);
    if (g_live++ > 0)
        return;
    audio_setOutput(AUDIO_OUTPUT_DEVICE);
    const bool started = audio_init(kMixRate, kChannels);
    // Samples start the library without looking at the result.
    if (forStream && !started) {
        a_log("aSound. Initialization failed, forcing no sound!");
        audio_setOutput(AUDIO_OUTPUT_NOSOUND);
        (void)audio_init(kMixRate, kChannels);
    }
    audio_setSfxMasterVolume(255);
}

void sound_libraryRelease()
{
    std::lock_guard lock(g_mutex);
    if (g_live == 0)
        return;
    if (--g_live == 0)
        audio_close();
}

int sound_libraryLiveObjects()
{
    std::lock_guard lock(g_mutex);
    return g_live;
}
