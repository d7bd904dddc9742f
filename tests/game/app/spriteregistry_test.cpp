// The sprite registry and the loaders by name, on files the test writes: sections registered, replaced,
// skipped and unloaded; sheets keyed by their path.
#include <gtest/gtest.h>

#include "game/app/spriteloader.h"
#include "game/app/spriteregistry.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_imagemanager.h"
#include "support/app_fixture.h"
#include "support/image_files.h"
#include "support/log_capture.h"

using namespace kbtest;

TEST(SpriteRegistry, SectionsAndSheetsByName)
{
    TestApp app;
    aGraphServer graph(1024, 768, false, false, true, "t", 0, false, true, recorder());
    TempDir dir{"sprites"};
    LogCapture log;
    app.getFileServer().setAssign("tmp", dir.path() + "/");
    auto picture = [&](const std::string& name, uint32_t w = 8, uint32_t h = 4) {
        writeFile(dir.file(name), encodePng(std::vector<uint32_t>(w * h, 0xFF336699), w, h));
    };
    picture("apple.png");
    picture("pear.png", 16, 8);
    writeFile(dir.file("broken.png"), "not a picture");
    writeFile(dir.file("a.ini"), "[1]\nImage=tmp:apple.png\n\n"
                                 "[2]\nImage=tmp:pear.png\nName=pear\nVFrames=2\nHFrames=4\nTotalFrames=7\n"
                                 "FrameTime=0.1\nFrames=0, 1, 2, 1\n\n"
                                 "[3]\nImage=tmp:nothing.png\nName=missing\n\n"
                                 "[4]\nImage=tmp:broken.png\nName=empty\n\n"
                                 "[5]\nImage=tmp:apple.png\nName=noframes\nHFrames=0\n\n"
                                 "[6]\nImage=tmp:apple.png\nName=twice\n\n[7]\nImage=tmp:pear.png\nName=twice\n");
    aImageManager images;
    images.AddFileToTask("", "tmp:apple.png 4444 8888", "");
    images.runTasks();
    const aImage* shared = images.getImage("tmp:apple");

    cSpriteRegistry registry;
    registry.loadSpriteIni("tmp:a.ini", &images);
    registry.loadSpriteIni("tmp:no_such.ini", &images);
    const cSpriteEntry* apple = registry.findSprite("apple"); // named after its picture
    ASSERT_NE(apple, nullptr);
    ASSERT_NE(registry.findSprite("pear"), nullptr);
    // The second "twice" replaced the first, which let go of the shared picture.
    EXPECT_EQ(registry.findSprite("twice")->image->getWidth(), 16);
    EXPECT_EQ(shared->getReferenceCount(), 2u) << "the manager's and apple's";
    EXPECT_EQ(registry.getCount(), 3u);
    EXPECT_TRUE(log.contains("cSpriteRegistry. Image \"tmp:broken.png\" of sprite \"empty\" is empty, skipped"));
    EXPECT_TRUE(
        log.contains("cSpriteRegistry. Sprite \"noframes\" in \"tmp:a.ini\" has no frames (0 x 1, 1 in all), skipped"));
    EXPECT_EQ(log.raw().find("no_such"), std::string::npos) << "a missing list is no fault";
    // Unloading removes exactly the names another file defines.
    writeFile(dir.file("screen.ini"), "[1]\nImage=tmp:pear.png\nName=twice\n\n[2]\nImage=tmp:gone.png\nName=unknown\n");
    registry.unloadSpriteIni("tmp:screen.ini");
    EXPECT_EQ(registry.findSprite("twice"), nullptr);
    EXPECT_EQ(registry.getCount(), 2u);
    registry.releaseAll();
    EXPECT_EQ(shared->getReferenceCount(), 1u);
    // A sheet by name: the first file found is taken, whatever it holds; a description
    // without a sheet of its own is never taken for a picture.
    const std::string anim =
        "[_General_]\nWidth=4\nHeight=4\nNLoops=0\nAutoStart=1\n\n[_Play_]\nb=(Fps=10)(NLoops=1)\n\n"
        "[b]\nTexture=tmp:run\nAutoFrames=2\n";
    picture("run.png");
    picture("run.jng");
    writeFile(dir.file("run.ini"), anim);
    writeFile(dir.file("elsewhere.ini"), anim);
    aImageManager sheets;
    aRect rect;
    EXPECT_NE(sprite_loadByName(&sheets, "tmp:run")->getCurrentFrame(rect), nullptr);
    EXPECT_EQ(sheets.getImage("tmp:run")->getFileName(), "tmp:run.jng");
    EXPECT_NE(sprite_loadByName(&sheets, "tmp:elsewhere")->getCurrentFrame(rect), nullptr);
    EXPECT_EQ(sheets.getCount(), 1u);
    EXPECT_NE(sprite_loadByName(&sheets, "tmp:nothing"), nullptr);
    EXPECT_TRUE(log.contains("aAdvAnim::Load(). File 'tmp:nothing.ini' not exist!"));
    // Directions: a missing one stays empty; loaded twice, each picture is loaded once.
    for (const char* d : {"up", "up_right", "down_right", "down"})
        picture(std::string("walk_") + d + ".png");
    std::vector<aImage*> out, again;
    sprite_loadDirectional(&sheets, "tmp:walk", out, "kind");
    sprite_loadDirectional(&sheets, "tmp:walk", again, "kind");
    EXPECT_EQ(out, (std::vector<aImage*>{
                       sheets.getImage("tmp:walk_up", "kind"), sheets.getImage("tmp:walk_up_right", "kind"), nullptr,
                       sheets.getImage("tmp:walk_down_right", "kind"), sheets.getImage("tmp:walk_down", "kind")}));
    EXPECT_EQ(again, out);
    EXPECT_EQ(sheets.getCount(), 5u);
}
