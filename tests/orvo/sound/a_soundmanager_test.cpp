#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_soundmanager.h"
#include "sound_fixture.h"

using Strings = std::vector<std::string>;

class SoundManagerTest : public kbtest::SoundTest {
protected:
    void SetUp() override
    {
        levelWav();
        write("bark.wav", audiogen::wav(audiogen::level(100, 1, 2000), 1, 44100));
        manager.setItemLoadedHook(&remember);
    }
    const std::string folder = dir.path() + "/";
    aSoundManager manager;
};

TEST_F(SoundManagerTest, LinesAndListsGiveNameFileAndVolumeUnderTheListNameAndBadOnesAreLogged)
{
    // No blank after the name, no dot, blanks but no volume, nothing.
    for (const char* line : {"bark.wav", "bark 0.5", "bark.wav   ", ""})
        manager.loadItem(folder, line, "");
    EXPECT_FALSE(manager.hasSound("bark"));
    EXPECT_EQ(manager.getItemFile("bark.wav"), "");
    EXPECT_EQ(manager.getSound("moo", "cow"), nullptr);
    EXPECT_EQ(log.messages(),
              (Strings{"aSoundManager. Error in line: bark.wav", "aSoundManager. Error in line: bark 0.5",
                       "aSoundManager. Error in line: bark.wav   ", "aSoundManager. Error in line: ",
                       "aSoundManager: Error in line: bark.wav", "aSoundManager. Cannot find sound \"moo:cow\""}));
    EXPECT_EQ(manager.getItemFile("bark.wav "), "bark.wav") << "the file alone needs no volume";
    manager.loadItem(folder, "bark.wav 0.8", "dog");
    EXPECT_FALSE(manager.hasSound("bark"));
    EXPECT_EQ(loaded, Strings{"bark.wav"});
    manager.loadItem(folder, "level.wav \t  0.25", ""); // several blanks and a tab; no list name
    EXPECT_FLOAT_EQ(manager.getSound("level")->getVolume(), 0.25f);
    // A second line of the same name keeps the first sound; another list is another key.
    manager.loadItem(folder, "bark.ogg 0.3", "dog");
    EXPECT_TRUE(log.contains("aSoundManager. Sound with name \"bark.ogg\" already loaded!"));
    EXPECT_FLOAT_EQ(manager.getSound("bark", "dog")->getVolume(), 0.8f);
    manager.loadItem(folder, "bark.wav 0.3", "cat");
    EXPECT_FLOAT_EQ(manager.getSound("bark", "cat")->getVolume(), 0.3f);
    // Unloading removes one key.
    EXPECT_FALSE(manager.unloadItem("bark.wav 1", ""));
    EXPECT_TRUE(manager.unloadItem("bark.wav 1", "dog"));
    EXPECT_TRUE(!manager.hasSound("bark", "dog") && manager.hasSound("bark", "cat"));
    // Lists load from their own folder.
    const char text[] = "bark.wav 0.8\r\n\r\nyap.wav 0.5\n\ngrowl\0.wav 1\r";
    const std::string list = write("lists/animals/dog.list", std::string(text, sizeof text - 1));
    write("lists/animals/bark.wav", kbtest::readFile(folder + "bark.wav"));
    manager.loadList(list, "dog");
    EXPECT_TRUE(manager.getSound("bark", "dog")->isLoaded());
    EXPECT_TRUE(manager.hasSound("yap", "dog")); // registered, though its file is missing
    EXPECT_TRUE(log.contains("aSound. Error loading sound: " + dir.path() + "/lists/animals/yap.wav"));
    EXPECT_TRUE(log.contains("aSoundManager. Error in line: growl")); // the zero byte cut the line
    manager.unloadList(list, "dog");
    EXPECT_FALSE(manager.hasSound("bark", "dog") || manager.hasSound("yap", "dog"));
    manager.loadList(dir.file("lists/none.list"), "");
    EXPECT_TRUE(log.contains("file_readFullAndMalloc. Error open file: " + dir.file("lists/none.list")));
}

TEST_F(SoundManagerTest, VolumeReachesEverySoundAndCopyAndStopAllSparesTheClonesToKeep)
{
    manager.loadItem(folder, "bark.wav 1", "");
    manager.loadItem(folder, "level.wav 0.5", "");
    aSound* source = manager.getSound("level");
    aSound* animal = manager.cloneSound(source, false);
    aSound* widget = manager.cloneSound(source, true);
    for (float bad : {1.5f, -0.1f, 0.0f / 0.0f})
        manager.setVolume(bad);
    EXPECT_TRUE(log.contains("aSoundManager. Invalid volume value -0.100000"));
    EXPECT_FLOAT_EQ(animal->getMasterVolume(), 1.0f);
    manager.setVolume(0.5f);
    EXPECT_FLOAT_EQ(widget->getMasterVolume(), 0.5f);
    // Clones are owned until released.
    EXPECT_EQ(manager.cloneSound(nullptr), nullptr);
    EXPECT_TRUE(log.contains("aSoundManager. Cannot clone NULL sound"));
    aSound* spare = manager.cloneSound(source);
    EXPECT_FALSE(manager.releaseClone(nullptr) || manager.releaseClone(source));
    EXPECT_TRUE(manager.releaseClone(spare));
    EXPECT_EQ(sound_libraryLiveObjects(), 4);
    for (aSound* s : {source, animal, widget})
        s->play(true);
    manager.stopAll();
    EXPECT_FALSE(source->isPlaying() || animal->isPlaying());
    EXPECT_TRUE(widget->isPlaying()); // the fixture checks the deletion frees every sound and copy
}
