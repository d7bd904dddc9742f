#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_musicmanager.h"
#include "sound_fixture.h"
#include "support/app_fixture.h"

using Strings = std::vector<std::string>;

class MusicManagerTest : public kbtest::SoundTest {
protected:
    void SetUp() override
    {
        for (const char* name : {"menu", "level1", "level2"})
            write(std::string("Music/") + name + ".wav", audiogen::wav(audiogen::level(441, 2, 10000), 2, 44100));
    }
    void add(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            ASSERT_TRUE(m.addMusic(music + name + ".wav"));
    }
    void steps(int n)
    {
        while (n-- > 0)
            m.tick();
    }
    std::string current()
    {
        std::string list;
        return m.getCurrentName(list);
    }
    const std::string music = dir.path() + "/Music/";
    aMusicManager m{false};
};

TEST_F(MusicManagerTest, PlayStopAndSwitchCrossingOverAndBadFilesRefused)
{
    add({"menu"});
    EXPECT_FALSE(m.play("nothing") || m.stop(false));
    ASSERT_TRUE(m.play("menu"));
    // Playing what plays changes nothing.
    const int32_t channel = m.getMusic(0)->getChannel();
    EXPECT_TRUE(m.play("menu", "", true));
    EXPECT_EQ(m.getMusic(0)->getChannel(), channel);
    EXPECT_TRUE(m.stop(false));
    EXPECT_EQ(m.getMusic(0)->getChannel(), -1);
    const std::string bad = write("Music/bad.ogg", "not music");
    EXPECT_FALSE(m.addMusic(bad));
    EXPECT_TRUE(log.contains("aMusicManager. Music with name \"" + bad + "\" is invalid!"));
    // A switch crosses over; a switch to the current music does nothing.
    add({"level1"});
    m.play("menu");
    m.switchTo("level1", 1.0f, true, true);
    EXPECT_EQ(current(), "level1");
    steps(51);
    EXPECT_EQ(m.getMusic(0)->getChannel(), -1);
    EXPECT_EQ(m.getState(1), aMusicManager::PLAYING);
    ASSERT_TRUE(m.addMusic(music + "menu.wav", "screens"));
    m.switchTo("menu", 0.4f, false, false, "screens");
    m.switchTo("menu", 0.9f, true, true, "screens");
    EXPECT_FLOAT_EQ(m.getMusicVolume(2), 0.4f);
    // The same name in another list is another piece: the current one stops though nothing replaces it.
    m.switchTo("menu", 0.9f, false, false, "other");
    EXPECT_EQ(m.getState(2), aMusicManager::STOPPED);
}

TEST_F(MusicManagerTest, FadesTurnRoundWithoutRestartingAndHoldWhileTheApplicationIsPaused)
{
    kbtest::TestApp app; // the manager asks the application whether it is paused
    add({"menu"});
    m.play("menu", "", true);
    kbtest::PulledAudio::pull(100);
    steps(5);
    app.setPaused(true);
    steps(100); // two seconds of the music thread's steps
    EXPECT_NEAR(m.getFadeFactor(0), 0.1f, 1e-5f);
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_IN);
    app.setPaused(false);
    // A fade-out starts from full volume, even during a fade-in.
    m.stop(true);
    EXPECT_FLOAT_EQ(m.getFadeFactor(0), 1.0f);
    // A fade-in of a fading piece goes on from where the fade-out stands.
    steps(20);
    m.play("menu", "", true);
    EXPECT_NEAR(m.getFadeFactor(0), 0.6f, 1e-5f);
    EXPECT_EQ(audio_getCurrentPosition(m.getMusic(0)->getChannel()), 100u);
    EXPECT_FALSE(m.setMusicVolume("nothing", 0.1f));
    steps(25);
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
}

TEST_F(MusicManagerTest, ItemsLoadFromTheListsFolderAndUnloadingKeepsTheCurrentOneCurrent)
{
    m.setItemLoadedHook(&remember);
    for (const char* item : {"menu.wav", "level1.wav", "level2.wav", "missing.wav"})
        m.loadItem(music, item, "");
    EXPECT_EQ(m.getCount(), 3);
    EXPECT_EQ(loaded, (Strings{"menu.wav", "level1.wav", "level2.wav", "missing.wav"}));
    m.play("level2");
    // A stream registered before the current one goes: the current one stays current.
    EXPECT_TRUE(m.unloadItem("menu.wav", ""));
    EXPECT_EQ(current(), "level2");
    EXPECT_FALSE(m.unloadItem("level2", "other"));
    // The current one goes: nothing is current, and its channel is freed.
    EXPECT_TRUE(m.unloadItem("level2", ""));
    EXPECT_EQ(m.getCurrentIndex(), -1);
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
}

TEST_F(MusicManagerTest, TheThreadEndsWithTheManagerAndWorksBesideMixerAndCaller)
{
    // The destructor ends the running thread, with music fading, and frees everything.
    for (int i = 0; i < 3; ++i) {
        aMusicManager threaded;
        ASSERT_TRUE(threaded.addMusic(music + "menu.wav"));
        ASSERT_TRUE(threaded.addMusic(music + "level1.wav"));
        threaded.switchTo("menu", 1.0f, true, true);
        threaded.switchTo("level1", 1.0f, true, true);
    }
    EXPECT_EQ(sound_libraryLiveObjects(), 0);
    // A stand-in device pulls frames while the caller changes music and the thread fades.
    aMusicManager threaded;
    const char* names[] = {"menu", "level1", "level2"};
    for (const char* name : names)
        ASSERT_TRUE(threaded.addMusic(music + name + ".wav"));
    std::atomic<bool> done{false};
    std::thread device([&done] {
        while (!done)
            kbtest::PulledAudio::pull(256);
    });
    for (int i = 0; i < 300; ++i) {
        threaded.switchTo(names[i % 3], 0.5f + 0.001f * static_cast<float>(i), i % 2 == 0, true);
        threaded.setVolume(0.9f);
    }
    done = true;
    device.join();
    std::string list;
    EXPECT_EQ(threaded.getCurrentName(list), "level2"); // i = 299
}

TEST_F(MusicManagerTest, QueueingWaitsForTheManagersLock)
{
    std::atomic<bool> queued{false};
    m.enter(); // as the music thread does for each step
    std::thread loader([&] {
        m.AddFileToTask(music, "menu.wav", "");
        queued = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // a queue ignoring the lock shows itself
    EXPECT_FALSE(queued.load());
    m.leave();
    loader.join();
    EXPECT_EQ(m.getTasks().size(), 1u);
}
