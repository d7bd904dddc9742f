#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_sound.h"
#include "sound_fixture.h"

using kbtest::PulledAudio;
using SoundTest = kbtest::SoundTest;

TEST_F(SoundTest, LibraryLivesAsLongAsAnySoundObjectAndPlayKeepsOrClampsVolumeAndPan)
{
    {
        aSound first(levelWav().c_str(), 1.0f);
        aSound copy(first);
    }
    EXPECT_FALSE(audio_isInitialised());
    // A sound made after the close opens the library again. Negative values keep the stored volume and
    // pan; values out of range are clamped, not wrapped.
    aSound sound(levelWav().c_str(), 0.8f);
    sound.setPan(0.5f);
    sound.play(false, -1.0f, -2.0f);
    EXPECT_EQ(audio_getVolume(sound.getChannel()), 204);
    EXPECT_EQ(audio_getPan(sound.getChannel()), 191);
    sound.play(false, 2.0f, -3.0f);
    EXPECT_EQ(audio_getVolume(sound.getChannel()), 255);
    EXPECT_EQ(audio_getPan(sound.getChannel()), 1);
    sound.setMasterVolume(0.0f / 0.0f);
    EXPECT_FLOAT_EQ(sound.getMasterVolume(), 0.0f);
}

TEST_F(SoundTest, PauseRemembersThePositionAndTheLoopStopEndsAPausedSoundAndASoundEndsOnItsOwn)
{
    aSound sound(rampWav().c_str(), 1.0f);
    sound.play(true);
    PulledAudio::pull(11025); // a quarter of a second
    for (bool paused : {true, true, false, false}) { // the second time nothing changes
        sound.pause(paused);
        EXPECT_FLOAT_EQ(sound.getPosition(), 0.25f);
        EXPECT_EQ(PulledAudio::pull(1)[0], paused ? 0 : 250);
    }
    EXPECT_EQ(audio_getLoopMode(sound.getChannel()), AUDIO_LOOP_NORMAL);
    // A position set while paused replaces the remembered one.
    sound.pause(true);
    sound.setPosition(-1.0f); // must not read as "not paused"
    EXPECT_TRUE(sound.isPaused());
    EXPECT_FLOAT_EQ(sound.getPosition(), 0.0f);
    sound.setPosition(0.75f);
    sound.pause(false);
    EXPECT_EQ(audio_getCurrentPosition(sound.getChannel()), 750u);
    // Stop ends a paused sound; a sound ends on its own.
    sound.play();
    sound.pause(true);
    sound.stop();
    EXPECT_FALSE(sound.isPlaying() || sound.isPaused());
    sound.play();
    PulledAudio::pull(44100 + 100);
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
}

TEST_F(SoundTest, CopiesKeepTheSampleAliveAndNothingPlaysWithoutAChannelOrASample)
{
    auto source = std::make_unique<aSound>(levelWav().c_str(), 0.5f);
    source->play(true);
    aSound copy(*source);
    copy.stop(); // a copy has no channel: the source plays on
    copy.play(true, 1.0f);
    // The source goes (and its channel with it); the copy goes on.
    source.reset();
    EXPECT_EQ(audio_getChannelsPlaying(), 1);
    std::vector<std::unique_ptr<aSound>> sounds;
    for (int i = 1; i < 64; ++i) {
        sounds.push_back(std::make_unique<aSound>(copy));
        sounds.back()->play();
    }
    aSound last(copy);
    last.play();
    EXPECT_TRUE(log.contains("aSound. Max number of channels reached"));
    EXPECT_FALSE(last.isPlaying());
    sounds.clear();
    copy.stop();
    // A failed load is logged and plays nothing.
    const std::string junk = write("junk.wav", "RIFF....WAVEjunk");
    aSound bad(junk.c_str(), 1.0f);
    aSound gone(dir.file("missing.wav").c_str(), 1.0f);
    EXPECT_TRUE(log.contains("aSound. Error loading sound: " + junk));
    EXPECT_TRUE(log.contains("aSound. Error loading sound: " + dir.file("missing.wav")));
    bad.play();
    bad.pause(true);
    bad.pause(false);
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
}
