#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_soundmanager.h"
#include "sound_fixture.h"

namespace {

std::vector<std::string> g_loaded;
void remember(const char* item)
{
    g_loaded.push_back(item);
}

} // namespace

class SoundManagerTest : public kbtest::SoundTest {
protected:
    void SetUp() override
    {
        levelWav();
        write("bark.wav", audiogen::wav(audiogen::level(100, 1, 2000), 1, 44100));
        folder = dir.path() + "/";
        g_loaded.clear();
    }
    std::string folder;
};

TEST_F(SoundManagerTest, LineGivesNameFileAndVolumeUnderTheListName)
{
    aSoundManager manager;
    manager.setItemLoadedHook(&remember);
    manager.loadItem(folder, "bark.wav 0.8", "dog");
    EXPECT_TRUE(manager.hasSound("bark", "dog"));
    EXPECT_FALSE(manager.hasSound("bark"));
    aSound* sound = manager.getSound("bark", "dog");
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(sound->isLoaded());
    EXPECT_FLOAT_EQ(sound->getVolume(), 0.8f);
    EXPECT_EQ(g_loaded, std::vector<std::string>{"bark.wav"});
    // Several blanks and a tab before the volume; no list name.
    manager.loadItem(folder, "level.wav \t  0.25", "");
    EXPECT_FLOAT_EQ(manager.getSound("level")->getVolume(), 0.25f);
    EXPECT_EQ(manager.getItemFile("level.wav 0.25"), "level.wav");
}

TEST_F(SoundManagerTest, MalformedLinesAreLoggedAndRegisterNothing)
{
    aSoundManager manager;
    for (const char* line : {"bark.wav", "bark 0.5", "bark.wav   ", ""})
        manager.loadItem(folder, line, "");
    EXPECT_FALSE(manager.hasSound("bark"));
    EXPECT_TRUE(log.contains("aSoundManager. Error in line: bark.wav"));
    EXPECT_TRUE(log.contains("aSoundManager. Error in line: bark 0.5"));
    EXPECT_TRUE(log.contains("aSoundManager. Error in line: bark.wav   "));
    EXPECT_EQ(manager.getItemFile("bark.wav"), "");
    EXPECT_TRUE(log.contains("aSoundManager: Error in line: bark.wav"));
    // The file needs no volume.
    EXPECT_EQ(manager.getItemFile("bark.wav "), "bark.wav");
}

TEST_F(SoundManagerTest, SecondLineOfTheSameNameKeepsTheFirstSound)
{
    aSoundManager manager;
    manager.loadItem(folder, "bark.wav 0.8", "dog");
    manager.loadItem(folder, "bark.ogg 0.3", "dog");
    EXPECT_TRUE(log.contains("aSoundManager. Sound with name \"bark.ogg\" already loaded!"));
    EXPECT_FLOAT_EQ(manager.getSound("bark", "dog")->getVolume(), 0.8f);
    // Another list is another key.
    manager.loadItem(folder, "bark.wav 0.3", "cat");
    EXPECT_FLOAT_EQ(manager.getSound("bark", "cat")->getVolume(), 0.3f);
}

TEST_F(SoundManagerTest, MissingFileStaysRegisteredAndPlaysNothing)
{
    aSoundManager manager;
    manager.loadItem(folder, "nothere.wav 1", "");
    EXPECT_TRUE(log.contains("aSound. Error loading sound: " + folder + "nothere.wav"));
    ASSERT_TRUE(manager.hasSound("nothere"));
    manager.getSound("nothere")->play();
    EXPECT_EQ(audio_getChannelsPlaying(), 0);
}

TEST_F(SoundManagerTest, UnknownNamesAreLoggedByKeyOnlyByGetSound)
{
    aSoundManager manager;
    EXPECT_FALSE(manager.hasSound("moo", "cow"));
    EXPECT_TRUE(log.messages().empty());
    EXPECT_EQ(manager.getSound("moo", "cow"), nullptr);
    EXPECT_TRUE(log.contains("aSoundManager. Cannot find sound \"moo:cow\""));
    EXPECT_EQ(manager.getSound("moo"), nullptr);
    EXPECT_TRUE(log.contains("aSoundManager. Cannot find sound \"moo\""));
}

TEST_F(SoundManagerTest, VolumeReachesEverySoundAndCopyOnlyWithinRange)
{
    aSoundManager manager;
    manager.loadItem(folder, "bark.wav 1", "");
    manager.loadItem(folder, "level.wav 0.5", "");
    aSound* copy = manager.cloneSound(manager.getSound("bark"));
    manager.setVolume(1.5f);
    EXPECT_TRUE(log.contains("aSoundManager. Invalid volume value 1.500000"));
    EXPECT_FLOAT_EQ(manager.getSound("bark")->getMasterVolume(), 1.0f);
    manager.setVolume(-0.1f);
    EXPECT_TRUE(log.contains("aSoundManager. Invalid volume value -0.100000"));
    manager.setVolume(0.0f / 0.0f);
    EXPECT_FLOAT_EQ(copy->getMasterVolume(), 1.0f);

    manager.setVolume(0.5f);
    EXPECT_FLOAT_EQ(manager.getSound("bark")->getMasterVolume(), 0.5f);
    EXPECT_FLOAT_EQ(manager.getSound("level")->getMasterVolume(), 0.5f);
    EXPECT_FLOAT_EQ(copy->getMasterVolume(), 0.5f);
    manager.getSound("level")->play();
    EXPECT_EQ(audio_getVolume(manager.getSound("level")->getChannel()), 63);
    // Not remembered: a sound loaded later starts at factor 1.
    manager.loadItem(folder, "level.wav 1", "later");
    EXPECT_FLOAT_EQ(manager.getSound("level", "later")->getMasterVolume(), 1.0f);
}

TEST_F(SoundManagerTest, StopAllSparesOnlyTheCopiesToKeep)
{
    aSoundManager manager;
    manager.loadItem(folder, "level.wav 1", "");
    aSound* source = manager.getSound("level");
    aSound* animal = manager.cloneSound(source, false);
    aSound* widget = manager.cloneSound(source, true);
    source->play(true);
    animal->play(true);
    widget->play(true);
    EXPECT_EQ(audio_getChannelsPlaying(), 3);
    manager.stopAll();
    EXPECT_FALSE(source->isPlaying());
    EXPECT_FALSE(animal->isPlaying());
    EXPECT_TRUE(widget->isPlaying());
}

TEST_F(SoundManagerTest, ClonesAreOwnedUntilReleased)
{
    aSoundManager manager;
    EXPECT_EQ(manager.cloneSound(nullptr), nullptr);
    EXPECT_TRUE(log.contains("aSoundManager. Cannot clone NULL sound"));
    manager.loadItem(folder, "level.wav 1", "");
    aSound* copy = manager.cloneSound(manager.getSound("level"));
    EXPECT_EQ(sound_libraryLiveObjects(), 2);
    EXPECT_FALSE(manager.releaseClone(nullptr));
    EXPECT_FALSE(manager.releaseClone(manager.getSound("level")));
    EXPECT_TRUE(manager.releaseClone(copy));
    EXPECT_EQ(sound_libraryLiveObjects(), 1);
}

TEST_F(SoundManagerTest, UnloadRemovesOneKey)
{
    aSoundManager manager;
    manager.loadItem(folder, "bark.wav 1", "dog");
    EXPECT_FALSE(manager.unloadItem("bark.wav 1", ""));
    EXPECT_TRUE(manager.unloadItem("bark.wav 1", "dog"));
    EXPECT_FALSE(manager.hasSound("bark", "dog"));
    EXPECT_FALSE(manager.unloadItem("bark.wav 1", "dog"));
}

TEST_F(SoundManagerTest, DeletingTheManagerFreesEverySoundAndCopy)
{
    {
        aSoundManager manager;
        manager.loadItem(folder, "bark.wav 1", "");
        manager.cloneSound(manager.getSound("bark"))->play(true);
        EXPECT_EQ(sound_libraryLiveObjects(), 2);
    }
    EXPECT_EQ(sound_libraryLiveObjects(), 0);
    EXPECT_FALSE(audio_isInitialised());
}

TEST_F(SoundManagerTest, ListsLoadFromTheirOwnFolderAndUnloadLineByLine)
{
    const char text[] = "bark.wav 0.8\r\n\r\nyap.wav 0.5\n\ngrowl\0.wav 1\r";
    write("lists/animals/dog.list", std::string(text, sizeof text - 1));
    write("lists/animals/bark.wav", audiogen::wav(audiogen::level(10, 1, 1), 1, 44100));
    aSoundManager manager;
    manager.loadList(dir.file("lists/animals/dog.list"), "dog");
    EXPECT_TRUE(manager.hasSound("bark", "dog"));
    EXPECT_TRUE(manager.getSound("bark", "dog")->isLoaded());
    EXPECT_TRUE(manager.hasSound("yap", "dog")); // registered, though its file is missing
    EXPECT_TRUE(log.contains("aSound. Error loading sound: " + dir.path() + "/lists/animals/yap.wav"));
    // The zero byte cut the last line to "growl", which has no ".".
    EXPECT_TRUE(log.contains("aSoundManager. Error in line: growl"));
    manager.unloadList(dir.file("lists/animals/dog.list"), "dog");
    EXPECT_FALSE(manager.hasSound("bark", "dog"));
    EXPECT_FALSE(manager.hasSound("yap", "dog"));

    manager.loadList(dir.file("lists/none.list"), "");
    EXPECT_TRUE(log.contains("file_readFullAndMalloc. Error open file: " + dir.file("lists/none.list")));
}

TEST_F(SoundManagerTest, QueuedListsLoadWhenTheTasksRunAndKeepTheFirstOfADuplicate)
{
    write("sfx/farm.list", "bark.wav 0.8\nmoo.wav 0.3\n");
    write("sfx/bark.wav", audiogen::wav(audiogen::level(10, 1, 1), 1, 44100));
    write("sfx/moo.wav", audiogen::wav(audiogen::level(10, 1, 1), 1, 44100));
    aSoundManager manager;
    manager.setItemLoadedHook(&remember);
    manager.AddListToTask(dir.file("sfx/farm.list"), "farm");
    manager.AddListToTask(dir.file("sfx/farm.list"), "farm");
    EXPECT_TRUE(log.contains("aBaseManager::AddFileToTask : Iterative adding file to task  \"" +
                             dir.file("sfx/moo.wav") + "\""));
    EXPECT_FALSE(manager.hasSound("bark", "farm")) << "nothing loads before the tasks run";
    manager.runTasks();
    EXPECT_TRUE(manager.getSound("moo", "farm")->isLoaded());
    EXPECT_TRUE(log.contains("aSoundManager. Sound with name \"bark.wav\" already loaded!"));
    EXPECT_EQ(g_loaded, (std::vector<std::string>{"bark.wav", "moo.wav"}));
    EXPECT_TRUE(manager.getTasks().empty());
}
