#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_imagemanager.h"

namespace {

using kbtest::GraphRig;
using kbtest::LogCapture;

std::vector<std::string> g_loaded;
void remember(const char* item)
{
    g_loaded.push_back(item);
}

class ImageManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_loaded.clear();
        red = jngwrite::encode(kbtest::solidPixels(4, 4, 0x80FF0000), 4, 4);
        blue = kbtest::encodePng(kbtest::solidPixels(2, 2, 0xFF0000FF), 2, 2);
    }
    std::string list(const std::string& name, const std::string& text) { return rig.write(name, text); }

    GraphRig rig;
    LogCapture log;
    aImageManager manager;
    std::string red, blue;
};

TEST_F(ImageManagerTest, ImagesAreKeyedByNameAndListName)
{
    rig.write("screens/bg.jng", red);
    const std::string path = list("screens/menu.lst", "bg.jng 0565 8888\n");
    manager.loadList(path, "menu");
    EXPECT_TRUE(manager.hasImage("bg", "menu"));
    EXPECT_FALSE(manager.hasImage("bg"));
    EXPECT_EQ(manager.getImage("bg"), nullptr);
    EXPECT_TRUE(log.contains("aImageManager. Cannot find image: bg"));
    EXPECT_EQ(manager.getImage("gone", "menu"), nullptr);
    EXPECT_TRUE(log.contains("aImageManager. Cannot find image: gone : menu"));

    aImage* bg = manager.getImage("bg", "menu");
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->getFileName(), rig.dir.file("screens/bg.jng"));
    EXPECT_EQ(bg->getRecord()->format16, aGpuFormat::R5G6B5);
    EXPECT_EQ(bg->getRecord()->format32, aGpuFormat::A8R8G8B8);
    EXPECT_EQ(bg->getPixel(1, 1) >> 24, 0x80u) << "the JNG's alpha came through";
    EXPECT_EQ(bg->getReferenceCount(), 1u) << "the map holds the only reference";
}

TEST_F(ImageManagerTest, NamesKeepFoldersAndAllButTheLastDot)
{
    rig.write("ui/panel.big.jng", red);
    manager.loadList(list("all.lst", "ui/panel.big.jng 4444 8888 these words are ignored\n"));
    ASSERT_TRUE(manager.hasImage("ui/panel.big"));
    EXPECT_EQ(manager.getImage("ui/panel.big")->getFileName(), rig.dir.file("ui/panel.big.jng"));
    EXPECT_TRUE(manager.getImage("ui/panel.big")->hasTexture());
    EXPECT_EQ(manager.getItemFile("ui/panel.big.jng 4444 8888"), "ui/panel.big.jng");
}

TEST_F(ImageManagerTest, BadLinesAreLoggedAndSkipped)
{
    rig.write("bg.jng", red);
    const char* bad[] = {"bg.jng 0565", "bg.jng 0565 ", "no-dot 0565 8888", "bg.jng", "   "};
    std::string text;
    for (const char* line : bad)
        text += std::string(line) + "\n";
    manager.loadList(list("bad.lst", text + "bg.jng 0565 8888\n"));
    for (const char* line : bad)
        EXPECT_TRUE(log.contains(std::string("aImageManager: Error in line: ") + line)) << line;
    EXPECT_EQ(manager.getCount(), 1u) << "the list goes on after a bad line";
    EXPECT_EQ(manager.getItemFile("no-dot 0565 8888"), "");
}

TEST_F(ImageManagerTest, TheFirstOfTwoLinesWithOneKeyWins)
{
    rig.write("bg.jng", red);
    rig.write("bg.png", blue);
    manager.setItemLoadedHook(remember);
    manager.loadList(list("twice.lst", "bg.jng 0565 8888\nbg.png 0565 8888\n"));
    EXPECT_TRUE(log.contains("aImageManager. Image with name \"bg.png\" already loaded!"));
    EXPECT_EQ(manager.getImage("bg")->getFileName(), rig.dir.file("bg.jng"));
    EXPECT_EQ(g_loaded, std::vector<std::string>{"bg.jng"});
}

TEST_F(ImageManagerTest, AnUnknownFormatIsLoggedAndTheImageStillLoads)
{
    rig.write("odd.png", blue);
    const std::string line = "odd.png 0555 8888";
    manager.loadList(list("odd.lst", line + "\n"));
    EXPECT_TRUE(log.contains("aImageManager. Unknown image format: " + line));
    ASSERT_TRUE(manager.hasImage("odd"));
    EXPECT_EQ(manager.getImage("odd")->getRecord()->format16, aGpuFormat::Unknown);
    EXPECT_TRUE(manager.getImage("odd")->hasTexture());
}

TEST_F(ImageManagerTest, AMissingFileStillMakesAnEntryThatDrawsNothing)
{
    manager.loadList(list("missing.lst", "ghost.png 0565 8888\n"));
    ASSERT_TRUE(manager.hasImage("ghost"));
    EXPECT_FALSE(manager.getImage("ghost")->hasTexture());
    EXPECT_TRUE(log.contains("Texture \"" + rig.dir.file("ghost.png") + "\" load failed (NOT_FOUND)"));
}

TEST_F(ImageManagerTest, UnloadingByLineFreesTheTextures)
{
    rig.write("a.jng", red);
    rig.write("b.png", blue);
    const std::string path = list("ab.lst", "a.jng 0565 8888\nb.png 0565 8888\n");
    const size_t before = rig.device->liveTextureCount();
    manager.loadList(path, "s");
    EXPECT_EQ(rig.device->liveTextureCount(), before + 2);
    EXPECT_FALSE(manager.unloadItem("a.jng 0565 8888", "")) << "another key";
    EXPECT_TRUE(manager.unloadItem("a.jng 0565 8888", "s"));
    EXPECT_FALSE(manager.hasImage("a", "s"));
    manager.unloadList(path, "s");
    EXPECT_EQ(manager.getCount(), 0u);
    EXPECT_EQ(rig.device->liveTextureCount(), before);
}

TEST_F(ImageManagerTest, QueuedListsLoadWhenTheTasksRun)
{
    rig.write("level/tree.jng", red);
    rig.write("level/rock.png", blue);
    const std::string path = list("level/images.lst", "tree.jng 4444 8888\nrock.png 0565 0565\n");
    manager.AddListToTask(path, "level");
    manager.AddListToTask(path, "level");
    EXPECT_EQ(manager.getCount(), 0u);
    EXPECT_TRUE(log.contains("aBaseManager::AddFileToTask : Iterative adding file to task  \"" +
                             rig.dir.file("level/tree.jng") + "\""));
    manager.runTasks();
    EXPECT_EQ(manager.getCount(), 2u);
    EXPECT_TRUE(manager.getImage("rock", "level")->hasTexture());
    EXPECT_EQ(manager.getImage("rock", "level")->getRecord()->surfaces[0].texture->format(), aGpuFormat::R5G6B5);
    EXPECT_TRUE(log.contains("aImageManager. Image with name \"tree.jng\" already loaded!"));
}

} // namespace
