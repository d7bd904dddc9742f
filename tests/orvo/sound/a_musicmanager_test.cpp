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
        // Short looping pieces: what matters is their channels and volumes.
        for (const char* name : {"menu", "level1", "level2"})
            write(std::string("Music/") + name + ".wav", audiogen::wav(audiogen::level(441, 2, 10000), 2, 44100));
    }
    void add(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            ASSERT_TRUE(m.addMusic(music + name + ".wav"));
    }
    // The channel volume the stream of that index plays at, -1 without a channel.
    int channelVolume(int index)
    {
        const int32_t ch = m.getMusic(index)->getChannel();
        return ch == -1 ? -1 : audio_getVolume(ch);
    }
    void steps(int n)
    {
        for (int i = 0; i < n; ++i)
            m.tick();
    }
    std::string current()
    {
        std::string list = "x";
        const std::string name = m.getCurrentName(list);
        EXPECT_EQ(list, "");
        return name;
    }

    const std::string music = dir.path() + "/Music/";
    aMusicManager m{false};
};

TEST_F(MusicManagerTest, PlayAndStopAtOnceStreamsNamedAfterTheirFilesAndOthersRefused)
{
    add({"menu"});
    EXPECT_FALSE(m.play("nothing"));
    EXPECT_FALSE(m.stop(false));
    m.setVolume(0.5f);
    ASSERT_TRUE(m.play("menu"));
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
    EXPECT_EQ(channelVolume(0), 127);
    EXPECT_EQ(current(), "menu");
    // Playing what plays changes nothing.
    const int32_t channel = m.getMusic(0)->getChannel();
    EXPECT_TRUE(m.play("menu", "", true));
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
    EXPECT_EQ(m.getMusic(0)->getChannel(), channel);
    EXPECT_TRUE(m.stop(false));
    EXPECT_EQ(m.getState(0), aMusicManager::STOPPED);
    EXPECT_EQ(m.getMusic(0)->getChannel(), -1);
    EXPECT_EQ(current(), "");
    EXPECT_FALSE(m.stop(false));
    EXPECT_TRUE(log.messages().empty());

    const std::string bad = write("Music/bad.ogg", "not music");
    EXPECT_FALSE(m.addMusic(bad));
    EXPECT_TRUE(log.contains("aMusic. Error loading music: " + bad));
    EXPECT_TRUE(log.contains("aMusicManager. Music with name \"" + bad + "\" is invalid!"));
    EXPECT_EQ(m.getCount(), 1);
    EXPECT_EQ(sound_libraryLiveObjects(), 1);
    write("Music/odd.name.wav", kbtest::readFile(music + "menu.wav"));
    ASSERT_TRUE(m.addMusic(music + "odd.name.wav", "extra"));
    EXPECT_EQ(m.findMusic("odd.name", "extra"), 1);
    EXPECT_EQ(m.findMusic("odd.name", ""), -1);
    add({"menu"}); // the first of two equal names wins
    EXPECT_EQ(m.findMusic("menu", ""), 0);
}

TEST_F(MusicManagerTest, SwitchWithBothFadesCrossesOverInAboutASecondAndToTheCurrentMusicDoesNothing)
{
    add({"menu", "level1"});
    m.play("menu");
    m.switchTo("level1", 1.0f, true, true);
    EXPECT_EQ(current(), "level1");
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_OUT);
    EXPECT_EQ(m.getState(1), aMusicManager::FADING_IN);
    EXPECT_EQ(channelVolume(1), 0);
    steps(25);
    EXPECT_EQ(channelVolume(0), 127);
    EXPECT_EQ(channelVolume(1), 127);
    // Fifty steps of 0.02 leave a float just short of the end.
    steps(25);
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_OUT);
    EXPECT_EQ(m.getState(1), aMusicManager::FADING_IN);
    steps(1);
    EXPECT_EQ(m.getState(0), aMusicManager::STOPPED);
    EXPECT_EQ(m.getMusic(0)->getChannel(), -1);
    EXPECT_EQ(m.getState(1), aMusicManager::PLAYING);
    EXPECT_EQ(channelVolume(1), 255);
    EXPECT_EQ(audio_getChannelsPlaying(), 1);

    // A switch to the current music does nothing.
    ASSERT_TRUE(m.addMusic(music + "menu.wav", "screens"));
    m.switchTo("menu", 0.4f, false, false, "screens");
    EXPECT_EQ(channelVolume(2), 102);
    m.switchTo("menu", 0.9f, true, true, "screens");
    EXPECT_EQ(m.getState(2), aMusicManager::PLAYING);
    EXPECT_FLOAT_EQ(m.getMusicVolume(2), 0.4f);
    EXPECT_EQ(channelVolume(2), 102);
    // The same name in another list is another piece: the current one stops
    // even though there is nothing to change to.
    m.switchTo("menu", 0.9f, false, false, "other");
    EXPECT_EQ(current(), "");
    EXPECT_EQ(m.getState(2), aMusicManager::STOPPED);
}

TEST_F(MusicManagerTest, FadesTurnRoundWithoutRestarting)
{
    add({"menu"});
    m.play("menu", "", true);
    const int32_t channel = m.getMusic(0)->getChannel();
    kbtest::PulledAudio::pull(100);
    steps(10);
    EXPECT_EQ(channelVolume(0), 50); // ten float steps make 0.19999999
    // A fade-out starts from full volume, even during a fade-in.
    m.stop(true);
    EXPECT_FLOAT_EQ(m.getFadeFactor(0), 1.0f);
    EXPECT_EQ(current(), ""); // while it still sounds
    steps(1);
    EXPECT_EQ(channelVolume(0), 249); // 0.98
    // A fade-in of a fading piece goes on from where the fade-out stands.
    steps(19);
    m.play("menu", "", true);
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_IN);
    EXPECT_NEAR(m.getFadeFactor(0), 0.6f, 1e-5f);
    EXPECT_EQ(m.getMusic(0)->getChannel(), channel);
    EXPECT_EQ(audio_getCurrentPosition(channel), 100u);
    steps(1);
    EXPECT_NEAR(m.getFadeFactor(0), 0.62f, 1e-5f);
}

TEST_F(MusicManagerTest, AFadeHoldsWhileTheApplicationIsPausedAndVolumeRisesAtTheNextStepButFallsAtOnce)
{
    kbtest::TestApp app; // the manager asks the application whether it is paused
    add({"menu"});
    m.setVolume(0.5f);
    m.play("menu", "", true);
    steps(5);
    EXPECT_NEAR(m.getFadeFactor(0), 0.1f, 1e-5f);
    app.setPaused(true);
    steps(100); // two seconds of the music thread's steps
    EXPECT_NEAR(m.getFadeFactor(0), 0.1f, 1e-5f);
    EXPECT_EQ(m.getState(0), aMusicManager::FADING_IN);
    app.setPaused(false);
    steps(20); // factor 0.5, volume 0.5
    EXPECT_EQ(channelVolume(0), 63);
    m.setVolume(1.0f);
    EXPECT_EQ(channelVolume(0), 63);
    steps(1);
    EXPECT_EQ(channelVolume(0), 132); // 0.52 x 1.0
    m.setVolume(0.2f);
    EXPECT_EQ(channelVolume(0), 26); // through the fade: 0.52 x 0.2
    ASSERT_TRUE(m.setMusicVolume("menu", 0.1f));
    EXPECT_EQ(channelVolume(0), 13);
    EXPECT_FALSE(m.setMusicVolume("nothing", 0.1f));
    steps(25);
    EXPECT_EQ(m.getState(0), aMusicManager::PLAYING);
    EXPECT_NEAR(m.getFadeFactor(0), 1.0f, 1e-5f);
}

TEST_F(MusicManagerTest, ItemsLoadFromTheListsFolderAndUnloadingKeepsTheCurrentOneCurrent)
{
    m.setItemLoadedHook(&remember);
    for (const char* item : {"menu.wav", "level1.wav", "level2.wav", "missing.wav"})
        m.loadItem(music, item, "");
    EXPECT_EQ(m.getCount(), 3);
    EXPECT_EQ(loaded, (Strings{"menu.wav", "level1.wav", "level2.wav", "missing.wav"}));
    EXPECT_EQ(m.getItemFile("sub/dir\\level1.wav"), "level1.wav");

    m.play("level2");
    // A stream registered before the current one goes: the current one stays current.
    EXPECT_TRUE(m.unloadItem("menu.wav", ""));
    EXPECT_EQ(current(), "level2");
    EXPECT_EQ(m.getCurrentIndex(), 1);
    EXPECT_FALSE(m.unloadItem("menu", ""));
    EXPECT_FALSE(m.unloadItem("level2", "other"));
    // The current one goes: nothing is current, and its channel is freed.
    EXPECT_TRUE(m.unloadItem("level2", ""));
    EXPECT_EQ(current(), "");
    EXPECT_EQ(m.getCurrentIndex(), -1);
    EXPECT_FALSE(m.stop(true));
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
    EXPECT_EQ(m.findMusic("level1", ""), 0);
    // A list's items load through the same lines, under the list's name.
    write("Music/playlist.list", "menu.wav\r\nlevel2.wav\r\n");
    m.AddListToTask(music + "playlist.list", "tracks");
    m.runTasks();
    EXPECT_EQ(m.findMusic("level2", "tracks"), 2);
    m.unloadList(music + "playlist.list", "tracks");
    EXPECT_EQ(m.getCount(), 1);
}

TEST_F(MusicManagerTest, TheThreadEndsWithTheManagerAndWorksBesideMixerAndCaller)
{
    // Nothing waits on the thread's timing: the destructor must simply end it
    // while it runs, with music fading, and free everything.
    for (int i = 0; i < 3; ++i) {
        aMusicManager threaded;
        ASSERT_TRUE(threaded.addMusic(music + "menu.wav"));
        ASSERT_TRUE(threaded.addMusic(music + "level1.wav"));
        threaded.switchTo("menu", 1.0f, true, true);
        threaded.switchTo("level1", 1.0f, true, true);
    }
    EXPECT_EQ(sound_libraryLiveObjects(), 0);

    // A stand-in for the audio device pulls frames while the caller changes
    // music and the music thread fades.
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
    // The loader cannot queue while the lock is held; a short pause lets a
    // queue that ignored the lock show itself.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(queued.load());
    m.leave();
    loader.join();
    EXPECT_TRUE(queued.load());
    EXPECT_EQ(m.getTasks().size(), 1u);
}
