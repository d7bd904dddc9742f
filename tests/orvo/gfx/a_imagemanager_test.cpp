#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_imagemanager.h"

namespace {

std::vector<std::string> g_loaded;
void remember(const char* item)
{
    g_loaded.push_back(item);
}

class ImageManagerTest : public testing::Test, public kbtest::GraphRig {
protected:
    const std::string red = jngwrite::encode(kbtest::solidPixels(4, 4, 0x80FF0000), 4, 4);
    const std::string blue = kbtest::encodePng(kbtest::solidPixels(2, 2, 0xFF0000FF), 2, 2);
    void SetUp() override { g_loaded.clear(); }
    kbtest::LogCapture log;
    aImageManager manager;
};

TEST_F(ImageManagerTest, ListLinesGiveKeysByNameAndListNameAndLogDuplicatesUnknownFormatsAndErrors)
{
    write("ui/panel.big.jng", red);
    write("bg.jng", red);
    write("bg.png", blue);
    write("odd.png", blue);
    const char* bad[] = {"bg.jng 0565", "bg.jng 0565 ", "no-dot 0565 8888", "bg.jng", "   "};
    std::string text = "ui/panel.big.jng 4444 8888 these words are ignored\nbg.jng 0565 8888\n";
    for (const char* line : bad)
        text += std::string(line) + "\n";
    manager.setItemLoadedHook(remember);
    manager.loadList(write("all.lst", text + "bg.png 0565 8888\nodd.png 0555 8888\nghost.png 0565 8888\n"), "all");
    EXPECT_EQ(manager.getImage("bg"), nullptr);
    EXPECT_TRUE(log.contains("aImageManager. Cannot find image: bg"));
    EXPECT_EQ(manager.getImage("gone", "all"), nullptr);
    EXPECT_TRUE(log.contains("aImageManager. Cannot find image: gone : all"));
    EXPECT_EQ(manager.getImage("bg", "all")->getReferenceCount(), 1u) << "the map holds the only reference";

    // Names keep folders and all but the last dot.
    ASSERT_TRUE(manager.hasImage("ui/panel.big", "all"));
    EXPECT_TRUE(manager.getImage("ui/panel.big", "all")->hasTexture());
    // Bad lines are logged and skipped; the list goes on.
    for (const char* line : bad)
        EXPECT_TRUE(log.contains(std::string("aImageManager: Error in line: ") + line)) << line;
    // The first of two lines with one key wins.
    EXPECT_TRUE(log.contains("aImageManager. Image with name \"bg.png\" already loaded!"));
    EXPECT_EQ(manager.getImage("bg", "all")->getFileName(), dir.file("bg.jng"));
    // An unknown format is logged and the image still loads.
    EXPECT_TRUE(log.contains("aImageManager. Unknown image format: odd.png 0555 8888"));
    EXPECT_TRUE(manager.getImage("odd", "all")->hasTexture());
    // A missing file still makes an entry that draws nothing.
    ASSERT_TRUE(manager.hasImage("ghost", "all"));
    EXPECT_FALSE(manager.getImage("ghost", "all")->hasTexture());
    EXPECT_TRUE(log.contains("Texture \"" + dir.file("ghost.png") + "\" load failed (NOT_FOUND)"));
    EXPECT_EQ(manager.getCount(), 4u);
    // The hook hears each file the list loaded, missing ones too.
    EXPECT_EQ(g_loaded, (std::vector<std::string>{"ui/panel.big.jng", "bg.jng", "odd.png", "ghost.png"}));
}

TEST_F(ImageManagerTest, UnloadingByLineFreesTheTextures)
{
    write("a.jng", red);
    write("b.png", blue);
    const std::string path = write("ab.lst", "a.jng 0565 8888\nb.png 0565 8888\n");
    const size_t before = device->liveTextureCount();
    manager.loadList(path, "s");
    EXPECT_EQ(device->liveTextureCount(), before + 2);
    EXPECT_FALSE(manager.unloadItem("a.jng 0565 8888", "")) << "another key";
    EXPECT_TRUE(manager.unloadItem("a.jng 0565 8888", "s"));
    EXPECT_FALSE(manager.hasImage("a", "s"));
    manager.unloadList(path, "s");
    EXPECT_EQ(manager.getCount(), 0u);
    EXPECT_EQ(device->liveTextureCount(), before);
}

TEST_F(ImageManagerTest, QueuedListsLoadWhenTheTasksRun)
{
    write("level/tree.jng", red);
    write("level/rock.png", blue);
    const std::string path = write("level/images.lst", "tree.jng 4444 8888\nrock.png 0565 0565\n");
    manager.AddListToTask(path, "level");
    manager.AddListToTask(path, "level");
    EXPECT_EQ(manager.getCount(), 0u);
    manager.runTasks();
    EXPECT_EQ(manager.getCount(), 2u);
    EXPECT_TRUE(log.contains("aImageManager. Image with name \"tree.jng\" already loaded!"));
}

} // namespace
