#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_musicmanager.h"
#include "sound_fixture.h"

namespace {

std::atomic<bool> g_paused{false};
bool appPaused()
{
    return g_paused;
}

std::vector<std::string> g_loaded;
void remember(const char* item)
{
    g_loaded.push_back(item);
}

} // namespace

class MusicManagerTest : public kbtest::SoundTest {
protected:
    void SetUp() override
    {
        // Short looping pieces: what matters is their channels and volumes.
        for (const char* name : {"menu", "level1", "level2"})
            write(std::string("Music/") + name + ".wav", audiogen::wav(audiogen::level(441, 2, 10000), 2, 44100));
        music = dir.path() + "/Music/";
        g_paused = false;
        g_loaded.clear();
    }

    // The channel volume the stream of that index plays at, -1 without a channel.
    int channelVolume(aMusicManager& m, int index)
    {
        const int32_t ch = m.getMusic(index)->getChannel();
        return ch == -1 ? -1 : audio_getVolume(ch);
    }

    void steps(aMusicManager& m, int n)
    {
        for (int i = 0; i < n; ++i)
            m.tick();
    }

    std::string music;
};

TEST_F(MusicManagerTest, StreamsAreNamedAfterTheirFiles)
{
    aMusicManager m(false);
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    write("Music/odd.name.wav", kbtest::readFile(music + "menu.wav"));
    ASSERT_TRUE(m.addMusic(music + "odd.name.wav", "extra"));
    EXPECT_EQ(m.findMusic("menu", ""), 0);
    EXPECT_EQ(m.findMusic("odd.name", "extra"), 1);
    EXPECT_EQ(m.findMusic("odd.name", ""), -1);
    EXPECT_EQ(m.getState(0), aMusicManager::STOPPED);
    EXPECT_FLOAT_EQ(m.getMusicVolume(0), 1.0f);
    EXPECT_FLOAT_EQ(m.getFadeFactor(0), 0.0f);
    // The first of two equal names wins.
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    EXPECT_EQ(m.findMusic("menu", ""), 0);
}

TEST_F(MusicManagerTest, FileThatIsNoStreamIsRefusedWithBothLines)
{
    aMusicManager m(false);
    const std::string bad = write("Music/bad.ogg", "not music");
    EXPECT_FALSE(m.addMusic(bad));
    EXPECT_TRUE(log.contains("aMusic. Error loading music: " + bad));
    EXPECT_TRUE(log.contains("aMusicManager. Music with name \"" + bad + "\" is invalid!"));
    EXPECT_EQ(m.getCount(), 0);
    EXPECT_EQ(sound_libraryLiveObjects(), 0);
}

TEST_F(MusicManagerTest, PlayAtOnceAndStopAtOnce)
{
    aMusicManager m(false);
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    EXPECT_FALSE(m.play("nothing"));
    EXPECT_FALSE(m.stop(false));
    EXPECT_TRUE(log.messages().empty());

    m.setVolume(0.5f);
    ASSERT_TRUE(m.play("menu"));
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
    EXPECT_EQ(channelVolume(m, 0), 127);
    std::string list = "x";
    EXPECT_EQ(m.getCurrentName(list), "menu");
    EXPECT_EQ(list, "");
    // Playing what plays changes nothing.
    const int32_t channel = m.getMusic(0)->getChannel();
    EXPECT_TRUE(m.play("menu", "", true));
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
    EXPECT_EQ(m.getMusic(0)->getChannel(), channel);

    EXPECT_TRUE(m.stop(false));
    EXPECT_EQ(m.getState(0), aMusicManager::STOPPED);
    EXPECT_EQ(m.getMusic(0)->getChannel(), -1);
    EXPECT_EQ(m.getCurrentName(list), "");
    EXPECT_FALSE(m.stop(false));
}

TEST_F(MusicManagerTest, SwitchWithBothFadesCrossesOverInAboutASecond)
{
    aMusicManager m(false);
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    ASSERT_TRUE(m.addMusic(music + "level1.wav"));
    m.play("menu");
    m.switchTo("level1", 1.0f, true, true);
    std::string list;
    EXPECT_EQ(m.getCurrentName(list), "level1");
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_OUT);
    EXPECT_EQ(m.getState(1), aMusicManager::FADING_IN);
    EXPECT_EQ(channelVolume(m, 1), 0);

    steps(m, 25);
    EXPECT_EQ(channelVolume(m, 0), 127);
    EXPECT_EQ(channelVolume(m, 1), 127);

    // Fifty steps of 0.02 leave a float just short of the end.
    steps(m, 25);
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_OUT);
    EXPECT_EQ(m.getState(1), aMusicManager::FADING_IN);
    EXPECT_LT(m.getFadeFactor(1), 1.0f);

    steps(m, 1);
    EXPECT_EQ(m.getState(0), aMusicManager::STOPPED);
    EXPECT_EQ(m.getMusic(0)->getChannel(), -1);
    EXPECT_EQ(m.getState(1), aMusicManager::PLAYING);
    EXPECT_EQ(channelVolume(m, 1), 255);
    EXPECT_EQ(audio_getChannelsPlaying(), 1);
}

TEST_F(MusicManagerTest, SwitchToTheCurrentMusicDoesNothing)
{
    aMusicManager m(false);
    ASSERT_TRUE(m.addMusic(music + "menu.wav", "screens"));
    m.switchTo("menu", 0.4f, false, false, "screens");
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
    EXPECT_EQ(channelVolume(m, 0), 102);
    m.switchTo("menu", 0.9f, true, true, "screens");
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
    EXPECT_FLOAT_EQ(m.getMusicVolume(0), 0.4f);
    EXPECT_EQ(channelVolume(m, 0), 102);
    // The same name in another list is another piece: the current one stops
    // even though there is nothing to change to.
    m.switchTo("menu", 0.9f, false, false, "");
    std::string list;
    EXPECT_EQ(m.getCurrentName(list), "");
    EXPECT_EQ(m.getState(0), aMusicManager::STOPPED);
}

TEST_F(MusicManagerTest, FadeOutStartsFromFullVolumeEvenDuringAFadeIn)
{
    aMusicManager m(false);
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    m.play("menu", "", true);
    steps(m, 10);
    EXPECT_EQ(channelVolume(m, 0), 50); // ten float steps make 0.19999999
    m.stop(true);
    EXPECT_FLOAT_EQ(m.getFadeFactor(0), 1.0f);
    std::string list;
    EXPECT_EQ(m.getCurrentName(list), ""); // while it still sounds
    steps(m, 1);
    EXPECT_EQ(channelVolume(m, 0), 249); // 0.98
}

TEST_F(MusicManagerTest, FadeInOfAFadingPieceTurnsRoundWithoutRestarting)
{
    aMusicManager m(false);
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    m.play("menu");
    const int32_t channel = m.getMusic(0)->getChannel();
    kbtest::PulledAudio::pull(100);
    m.stop(true);
    steps(m, 20);
    const float factor = m.getFadeFactor(0);
    EXPECT_NEAR(factor, 0.6f, 1e-5f);
    m.play("menu", "", true);
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_IN);
    EXPECT_FLOAT_EQ(m.getFadeFactor(0), factor);
    EXPECT_EQ(m.getMusic(0)->getChannel(), channel);
    EXPECT_EQ(audio_getCurrentPosition(channel), 100u);
    steps(m, 1);
    EXPECT_NEAR(m.getFadeFactor(0), 0.62f, 1e-5f);
}

TEST_F(MusicManagerTest, VolumeDuringAFadeRisesAtTheNextStepAndFallsAtOnce)
{
    aMusicManager m(false);
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    m.setVolume(0.5f);
    m.play("menu", "", true);
    steps(m, 25); // factor 0.5, volume 0.5
    EXPECT_EQ(channelVolume(m, 0), 63);
    m.setVolume(1.0f);
    EXPECT_EQ(channelVolume(m, 0), 63);
    EXPECT_FLOAT_EQ(m.getMusicVolume(0), 1.0f);
    steps(m, 1);
    EXPECT_EQ(channelVolume(m, 0), 132); // 0.52 x 1.0
    m.setVolume(0.2f);
    EXPECT_EQ(channelVolume(m, 0), 26); // through the fade: 0.52 x 0.2
    ASSERT_TRUE(m.setMusicVolume("menu", 0.1f));
    EXPECT_EQ(channelVolume(m, 0), 13);
    EXPECT_FALSE(m.setMusicVolume("nothing", 0.1f));
}

TEST_F(MusicManagerTest, FadesStandStillWhileTheApplicationIsPaused)
{
    aMusicManager m(false);
    m.setPausedQuery(&appPaused);
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    m.play("menu", "", true);
    steps(m, 5);
    g_paused = true;
    steps(m, 30);
    EXPECT_NEAR(m.getFadeFactor(0), 0.1f, 1e-5f);
    g_paused = false;
    steps(m, 5);
    EXPECT_NEAR(m.getFadeFactor(0), 0.2f, 1e-5f);
}

TEST_F(MusicManagerTest, ListItemsLoadFromTheListsFolderAndUnloadByLine)
{
    aMusicManager m(false);
    m.setItemLoadedHook(&remember);
    m.loadItem(music, "menu.wav", "");
    m.loadItem(music, "level1.wav", "");
    m.loadItem(music, "level2.wav", "");
    m.loadItem(music, "missing.wav", "");
    EXPECT_EQ(m.getCount(), 3);
    EXPECT_EQ(g_loaded, (std::vector<std::string>{"menu.wav", "level1.wav", "level2.wav", "missing.wav"}));
    EXPECT_EQ(m.getItemFile("sub/dir\\level1.wav"), "level1.wav");

    m.play("level2");
    // A stream registered before the current one goes: the current one stays current.
    EXPECT_TRUE(m.unloadItem("menu.wav", ""));
    std::string list;
    EXPECT_EQ(m.getCurrentName(list), "level2");
    EXPECT_EQ(m.getCurrentIndex(), 1);
    EXPECT_FALSE(m.unloadItem("menu", ""));
    EXPECT_FALSE(m.unloadItem("level2", "other"));
    // The current one goes: nothing is current, and its channel is freed.
    EXPECT_TRUE(m.unloadItem("level2", ""));
    EXPECT_EQ(m.getCurrentName(list), "");
    EXPECT_EQ(m.getCurrentIndex(), -1);
    EXPECT_FALSE(m.stop(true));
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
    EXPECT_EQ(m.getCount(), 1);
    EXPECT_EQ(m.findMusic("level1", ""), 0);
}

TEST_F(MusicManagerTest, ThreadStartsWithTheManagerAndEndsWithIt)
{
    // Nothing waits on the thread's timing here: the destructor must simply
    // end it while it runs, with music fading, and free everything.
    for (int i = 0; i < 3; ++i) {
        aMusicManager m;
        ASSERT_TRUE(m.addMusic(music + "menu.wav"));
        ASSERT_TRUE(m.addMusic(music + "level1.wav"));
        m.switchTo("menu", 1.0f, true, true);
        m.switchTo("level1", 1.0f, true, true);
    }
    EXPECT_EQ(sound_libraryLiveObjects(), 0);
}

TEST_F(MusicManagerTest, PlaylistLoadsAndUnloadsAsAList)
{
    write("Music/playlist.list", "menu.wav\r\nlevel1.wav\r\n");
    aMusicManager m(false);
    m.loadList(music + "playlist.list", "tracks");
    EXPECT_EQ(m.getCount(), 2);
    EXPECT_EQ(m.findMusic("level1", "tracks"), 1);
    m.unloadList(music + "playlist.list", "tracks");
    EXPECT_EQ(m.getCount(), 0);
}

TEST_F(MusicManagerTest, MusicThreadMixerAndCallerWorkAtTheSameTime)
{
    // A stand-in for the audio device pulls frames while the caller changes
    // music and the music thread fades; nothing here depends on timing.
    aMusicManager m;
    ASSERT_TRUE(m.addMusic(music + "menu.wav"));
    ASSERT_TRUE(m.addMusic(music + "level1.wav"));
    ASSERT_TRUE(m.addMusic(music + "level2.wav"));
    std::atomic<bool> done{false};
    std::thread device([&done] {
        while (!done)
            kbtest::PulledAudio::pull(256);
    });
    const char* names[] = {"menu", "level1", "level2"};
    for (int i = 0; i < 300; ++i) {
        m.switchTo(names[i % 3], 0.5f + 0.001f * static_cast<float>(i), i % 2 == 0, true);
        m.setVolume(0.9f);
    }
    done = true;
    device.join();
    std::string list;
    EXPECT_EQ(m.getCurrentName(list), "level2"); // i = 299
}

TEST_F(MusicManagerTest, QueuedPlaylistLoadsWhenTheTasksRun)
{
    write("Music/queued.list", "menu.wav\nlevel2.wav\n");
    aMusicManager m(false);
    m.AddListToTask(music + "queued.list", "tracks");
    EXPECT_EQ(m.getCount(), 0);
    ASSERT_EQ(m.getTasks().size(), 2u);
    EXPECT_EQ(m.getFullPath(m.getTasks().back()), music + "level2.wav");
    m.runTasks();
    EXPECT_EQ(m.getCount(), 2);
    EXPECT_EQ(m.findMusic("level2", "tracks"), 1);
}

TEST_F(MusicManagerTest, QueueingWaitsForTheManagersLock)
{
    aMusicManager m(false);
    std::atomic<bool> queued{false};
    m.enter(); // as the music thread does for each step
    std::thread loader([&] {
        m.AddFileToTask(music, "menu.wav", "");
        queued = true;
    });
    // The loader cannot queue while the lock is held; a short pause lets a
    // queue that ignored the lock show itself.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(queued.load());
    m.leave();
    loader.join();
    EXPECT_TRUE(queued.load());
    EXPECT_EQ(m.getTasks().size(), 1u);
}
