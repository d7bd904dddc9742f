#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audiogen.h"
#include "orvo/platform/audio/a_audio.h"
#include "orvo/platform/audio/a_audiobackend.h"
#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/platform/audio/a_audiosdlbackend.h"
#include "orvo/platform/audio/sound_bytes.h"
#include "support/log_capture.h"
#include "support/pulled_audio.h"

TEST(AudioLibrary, ClosedLibraryPlaysNothingAndInitStartsAMixerOnTheChosenOutput)
{
    kbtest::PulledAudio audio;
    audio_close();
    EXPECT_FALSE(audio_isInitialised());
    const std::string file = audiogen::wav(audiogen::level(100, 1, 1000), 1, 44100);
    // Samples are plain data and load without the mixer.
    aAudioSamplePtr sample = audio_sampleLoad(bytesOf(file), file.size());
    ASSERT_TRUE(sample);
    EXPECT_EQ(audio_sampleGetDefaultFrequency(nullptr), 0);
    EXPECT_EQ(audio_playSound(sample, false) + audio_streamOpen(bytesOf(file), file.size(), true), -1);
    EXPECT_FALSE(audio_setVolume(0, 10));
    audio_streamClose(1);
    audio_setSfxMasterVolume(255);

    // Init starts a mixer on the chosen output.
    audio_setOutput(AUDIO_OUTPUT_DEVICE);
    ASSERT_TRUE(audio_init(44100, 64));
    const int32_t ch = audio_playSound(sample, true);
    ASSERT_GE(ch, 0);
    EXPECT_TRUE(audio_getPaused(ch));
    audio_setSfxMasterVolume(51);
    audio_setPaused(ch, false);
    EXPECT_EQ(kbtest::PulledAudio::pull(1)[0], 200);

    // A second init replaces the mixer; handles of the old one reach nothing.
    ASSERT_TRUE(audio_init(22050, 8));
    EXPECT_EQ(audio_getMaxChannels(), 8);
    EXPECT_FALSE(audio_isPlaying(ch));
    const int32_t again = audio_playSound(sample, false);
    audio_close();
    EXPECT_FALSE(audio_isPlaying(again));
}

TEST(AudioBackends, StartAndStopWithoutWaitingOnTheirThreads)
{
    aAudioMixer mixer;
    aAudioNullBackend clocked(aAudioNullBackend::Mode::Clocked);
    EXPECT_FALSE(clocked.start(nullptr));
    ASSERT_TRUE(clocked.start(&mixer));
    clocked.stop();
    clocked.stop(); // twice is harmless

    // The suite runs with the dummy driver.
    kbtest::LogCapture log;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    aAudioSdlBackend missing, device;
    EXPECT_FALSE(missing.start(&mixer));
    EXPECT_NE(log.raw().find("\taAudioSdlBackend. "), std::string::npos);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(device.start(&mixer));
    device.stop();
}
