#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_music.h"
#include "orvo/sound/a_sound.h"
#include "sound_fixture.h"

using kbtest::PulledAudio;

class MusicTest : public kbtest::SoundTest {
protected:
    std::string oggTrack()
    {
        return write("track.ogg", audiogen::ogg(audiogen::sine(22050, 2, 22050, 440.0, 12000), 2, 22050));
    }
};

TEST_F(MusicTest, LoopsRestartsOnANewChannelAndCloseLetsTheLibraryGo)
{
    const std::string path = write("loop.wav", audiogen::wav(audiogen::level(100, 2, 8000), 2, 44100));
    aMusic looped(path.c_str(), 1.0f);
    looped.play();
    EXPECT_NE(PulledAudio::pull(250)[2 * 249], 0); // past the end: it starts over
    looped.close();
    auto music = std::make_unique<aMusic>(oggTrack().c_str(), 1.0f);
    music->play();
    const int32_t first = music->getChannel();
    PulledAudio::pull(1000);
    music->play();
    EXPECT_FALSE(audio_isPlaying(first));
    EXPECT_EQ(audio_getChannelsPlaying(), 1);
    music->stop();
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
    music->play();
    music->close();
    EXPECT_FALSE(audio_isInitialised());
    music->close();
}

TEST_F(MusicTest, UnreadableFilesAndBusyChannelsAreLoggedAndNeverPlay)
{
    const std::string junk = write("junk.ogg", "OggS but nothing else of a stream");
    const std::string missing = dir.file("none.ogg");
    aMusic bad(junk.c_str(), 1.0f);
    aMusic none(missing.c_str(), 1.0f);
    EXPECT_TRUE(log.contains("aMusic. Error loading music: " + junk));
    EXPECT_TRUE(log.contains("aMusic. Error loading music: " + missing));
    bad.play();
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
    // Every channel busy with an effect: the music is refused and says so.
    const std::string effect = levelWav();
    std::vector<std::unique_ptr<aSound>> sounds;
    for (int i = 0; i < 64; ++i) {
        sounds.push_back(std::make_unique<aSound>(effect.c_str(), 1.0f));
        sounds.back()->play(true);
    }
    aMusic music(oggTrack().c_str(), 1.0f);
    music.play();
    EXPECT_TRUE(log.contains("aMusic. Max number of channels reached"));
    EXPECT_EQ(music.getChannel(), -1);
}

TEST_F(MusicTest, OnlyAStreamFallsBackToNoSoundWhenTheDeviceFails)
{
    audio.setDeviceFails(true);
    {
        aSound effect(levelWav().c_str(), 1.0f);
        effect.play(); // a dead library has no channels at all
        EXPECT_TRUE(log.contains("aSound. Max number of channels reached"));
    }
    EXPECT_FALSE(log.contains("aSound. Initialization failed, forcing no sound!"));
    aMusic music(oggTrack().c_str(), 1.0f);
    EXPECT_TRUE(log.contains("aSound. Initialization failed, forcing no sound!"));
    EXPECT_EQ(audio_getOutput(), AUDIO_OUTPUT_NOSOUND);
    music.play();
    EXPECT_NE(music.getChannel(), -1);
}
