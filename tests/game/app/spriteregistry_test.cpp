// The sprite registry and the loaders by name, on files written by the tests
// and on the game's own data.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/app/spriteloader.h"
#include "game/app/spriteregistry.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_imagemanager.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

using kbtest::writeFile;

// An application with a graph server on the recording device and the
// assign "tmp:" on a temporary folder.
class SpriteTest : public testing::Test {
protected:
    SpriteTest()
    {
        graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, "t", 0, false, true, kbtest::recorder());
        app.getFileServer().setAssign("tmp", dir.path() + "/");
    }

    // A picture of w x h pixels at tmp:<name>.
    void picture(const std::string& name, uint32_t w = 8, uint32_t h = 4)
    {
        writeFile(dir.file(name), kbtest::encodePng(std::vector<uint32_t>(w * h, 0xFF336699), w, h));
    }
    void text(const std::string& name, const std::string& body) { writeFile(dir.file(name), body); }

    // A one-block animation file whose block is cut from `texture`.
    void animation(const std::string& name, const std::string& texture)
    {
        text(name, "[_General_]\nWidth=4\nHeight=4\nNLoops=0\nAutoStart=1\n\n[_Play_]\nb=(Fps=10)(NLoops=1)\n\n[b]\n"
                   "Texture=" + texture + "\nAutoFrames=2\n");
    }

    kbtest::TestApp app;
    std::unique_ptr<aGraphServer> graph;
    kbtest::TempDir dir{"sprites"};
    kbtest::LogCapture log;
};

TEST_F(SpriteTest, SectionsGiveNamesFramesAndTimes)
{
    picture("apple.png");
    picture("pear.png", 16, 8);
    text("a.ini", "[first]\nImage=tmp:apple.png\n\n"
                  "[second]\nImage=tmp:pear.png\nName=pear\nVFrames=2\nHFrames=4\nTotalFrames=7\nFrameTime=0.1\n"
                  "Frames=0, 1, 2, 1\n");
    cSpriteRegistry registry;
    registry.loadSpriteIni("tmp:a.ini");

    const cSpriteEntry* apple = registry.findSprite("apple");
    ASSERT_NE(apple, nullptr);
    EXPECT_EQ(apple->vFrames, 1);
    EXPECT_EQ(apple->hFrames, 1);
    EXPECT_EQ(apple->totalFrames, 1);
    EXPECT_FLOAT_EQ(apple->frameTime, 0.001f);
    EXPECT_TRUE(apple->frames.empty());
    EXPECT_EQ(apple->image->getWidth(), 8);

    const cSpriteEntry* pear = registry.findSprite("pear");
    ASSERT_NE(pear, nullptr);
    EXPECT_EQ(pear->vFrames, 2);
    EXPECT_EQ(pear->hFrames, 4);
    EXPECT_EQ(pear->totalFrames, 7);
    EXPECT_FLOAT_EQ(pear->frameTime, 0.1f);
    EXPECT_EQ(pear->frames, (std::vector<int32_t>{0, 1, 2, 1}));
    EXPECT_EQ(registry.findSprite("second"), nullptr);
    EXPECT_EQ(registry.findSprite("apple.png"), nullptr);
}

TEST_F(SpriteTest, BadSectionsAreSkippedAndSaySo)
{
    picture("good.png");
    text("broken.png", "not a picture");
    text("a.ini", "[missing]\nImage=tmp:nothing.png\n\n"
                  "[empty]\nImage=tmp:broken.png\nName=empty\n\n"
                  "[noframes]\nImage=tmp:good.png\nName=noframes\nHFrames=0\n\n"
                  "[nototal]\nImage=tmp:good.png\nName=nototal\nTotalFrames=0\n\n"
                  "[good]\nImage=tmp:good.png\n");
    cSpriteRegistry registry;
    registry.loadSpriteIni("tmp:a.ini");
    registry.loadSpriteIni("tmp:no_such.ini");

    EXPECT_EQ(registry.getCount(), 1u);
    EXPECT_NE(registry.findSprite("good"), nullptr);
    EXPECT_TRUE(log.contains("cSpriteRegistry. Image \"tmp:broken.png\" of sprite \"empty\" is empty, skipped"));
    EXPECT_TRUE(log.contains("cSpriteRegistry. Sprite \"noframes\" in \"tmp:a.ini\" has no frames (0 x 1, 1 in all), skipped"));
    EXPECT_TRUE(log.contains("cSpriteRegistry. Sprite \"nototal\" in \"tmp:a.ini\" has no frames (1 x 1, 0 in all), skipped"));
    for (const std::string& line : log.messages())
        EXPECT_EQ(line.find("no_such"), std::string::npos) << line;
}

TEST_F(SpriteTest, ASecondDefinitionReplacesTheFirstAndFreesIt)
{
    picture("one.png");
    picture("two.png", 4, 4);
    text("a.ini", "[x]\nImage=tmp:one.png\nName=same\n\n[y]\nImage=tmp:two.png\nName=same\n");
    aImageManager images;
    images.AddFileToTask("", "tmp:one.png 4444 8888", "");
    images.runTasks();
    aImage* shared = images.getImage("tmp:one");
    ASSERT_NE(shared, nullptr);

    cSpriteRegistry registry;
    registry.loadSpriteIni("tmp:a.ini", &images);
    // The first entry shared the manager's picture and let go of it.
    EXPECT_EQ(shared->getReferenceCount(), 1u);
    ASSERT_NE(registry.findSprite("same"), nullptr);
    EXPECT_EQ(registry.findSprite("same")->image->getWidth(), 4);
    EXPECT_EQ(registry.getCount(), 1u);

    text("b.ini", "[z]\nImage=tmp:one.png\nName=kept\n");
    registry.loadSpriteIni("tmp:b.ini", &images);
    EXPECT_EQ(shared->getReferenceCount(), 2u);
    registry.releaseAll();
    EXPECT_EQ(shared->getReferenceCount(), 1u);
}

TEST_F(SpriteTest, UnloadingRemovesExactlyTheNamesOfTheFile)
{
    picture("a.png");
    picture("b.png");
    picture("c.png");
    text("common.ini", "[1]\nImage=tmp:a.png\n\n[2]\nImage=tmp:b.png\nName=shared\n\n[3]\nImage=tmp:c.png\n");
    text("screen.ini", "[1]\nImage=tmp:c.png\nName=shared\n\n[2]\nImage=tmp:gone.png\nName=unknown\n");
    cSpriteRegistry registry;
    registry.loadSpriteIni("tmp:common.ini");
    registry.unloadSpriteIni("tmp:screen.ini");

    EXPECT_NE(registry.findSprite("a"), nullptr);
    EXPECT_NE(registry.findSprite("c"), nullptr);
    EXPECT_EQ(registry.findSprite("shared"), nullptr);
    EXPECT_EQ(registry.getCount(), 2u);
}

TEST_F(SpriteTest, LoadByNameKeysTheSheetByItsPath)
{
    picture("walk.png");
    picture("walk.jng", 2, 2); // not a JNG: the first file found is taken whatever it holds
    animation("walk.ini", "tmp:walk");
    picture("run.png");
    animation("run.ini", "tmp:run");
    animation("elsewhere.ini", "tmp:run");

    aImageManager images;
    auto run = sprite_loadByName(&images, "tmp:run");
    ASSERT_TRUE(images.hasImage("tmp:run"));
    aRect rect;
    EXPECT_NE(run->getCurrentFrame(rect), nullptr);
    EXPECT_EQ(images.getCount(), 1u);

    // A description without a sheet of its own is not taken for a picture.
    auto elsewhere = sprite_loadByName(&images, "tmp:elsewhere");
    EXPECT_EQ(images.getCount(), 1u);
    EXPECT_NE(elsewhere->getCurrentFrame(rect), nullptr);

    // The .jng comes first.
    (void)sprite_loadByName(&images, "tmp:walk");
    ASSERT_TRUE(images.hasImage("tmp:walk"));
    EXPECT_EQ(images.getImage("tmp:walk")->getFileName(), "tmp:walk.jng");

    auto missing = sprite_loadByName(&images, "tmp:nothing");
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(log.contains("aAdvAnim::Load(). File 'tmp:nothing.ini' not exist!"));
}

TEST_F(SpriteTest, DirectionalSetsKeepTheirOrderAndGaps)
{
    for (const char* d : {"up", "up_right", "down_right", "down"})
        picture(std::string("walk_") + d + ".png");
    aImageManager images;
    std::vector<aImage*> out;
    sprite_loadDirectional(&images, "tmp:walk", out, "kind");

    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0], images.getImage("tmp:walk_up", "kind"));
    EXPECT_EQ(out[1], images.getImage("tmp:walk_up_right", "kind"));
    EXPECT_EQ(out[2], nullptr);
    EXPECT_EQ(out[3], images.getImage("tmp:walk_down_right", "kind"));
    EXPECT_EQ(out[4], images.getImage("tmp:walk_down", "kind"));
    EXPECT_TRUE(log.contains("aImageManager. Cannot find image: tmp:walk_right : kind"));

    // Loaded once: a second set shares the images.
    std::vector<aImage*> again;
    sprite_loadDirectional(&images, "tmp:walk", again, "kind");
    EXPECT_EQ(again, out);
    EXPECT_EQ(images.getCount(), 4u);
}

// Every animation file of the game's data whose sheet is loaded by name
// finds its sheet under the key its Texture names.
TEST_F(SpriteTest, TheDataFollowsTheImageKeyRule)
{
    const std::filesystem::path data = std::filesystem::path(KB_TEST_DATA_DIR) / ".." / ".." / "data";
    app.getFileServer().setAssign("data", data.string() + "/");
    const std::pair<const char*, const char*> assigns[] = {
        {"animals", "data:Animals/"}, {"poachers", "data:Poachers/"}, {"sprites", "data:Sprites/"}, {"park", "data:Park/"}};
    for (const auto& [name, folder] : assigns)
        app.getFileServer().setAssign(name, folder);

    const std::vector<std::string> bases = {
        "animals:zebra/animations/adult_walk_right", "animals:lion/animations/child_walk_right",
        "animals:hippo/animations/adult_idle_01_down_right", "poachers:hunter/animations/shoot_down",
        "sprites:LoadScreen/poacher_run", "sprites:LoadScreen/poacher_shoot", "park:upgrade_3_2"};
    aImageManager images;
    for (const std::string& base : bases) {
        auto anim = sprite_loadByName(&images, base);
        aRect rect;
        EXPECT_NE(anim->getCurrentFrame(rect), nullptr) << base;
        EXPECT_GT(anim->getTotalFrames(), 0u) << base;
    }
    for (const std::string& line : log.messages())
        EXPECT_EQ(line.find("Cannot find image"), std::string::npos) << line;
}

} // namespace
