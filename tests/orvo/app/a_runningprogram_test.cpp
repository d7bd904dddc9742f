// The whole frame on the real platform: an offscreen window with the OpenGL device, SDL's events and
// input, a hundred frames, a screenshot. Drawing is checked by the GDI, device and golden tests.
#include <gtest/gtest.h>

#include "orvo/app/a_application.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"
#include "support/temp_dir.h"

namespace {

struct PrimitivesApp : aApplication {
    int32_t update() override
    {
        if (++updates == 100)
            getGraphServer()->saveScreenshot(getScreenshotDir(), "ScreenShot");
        return updates >= 100 ? -1 : 0;
    }
    int32_t render() override
    {
        if (!getGraphServer()->beginScene())
            return 0;
        aGDI gdi;
        gdi.color = 0xFF2040C0;
        gdi.drawRect(0, 0, 1024, 768, true);
        getGraphServer()->endScene();
        return 0;
    }
    int updates = 0;
};

} // namespace

TEST(RunningProgram, AHundredFramesInARealWindowThenAScreenshot)
{
    kbtest::TempDir lock("lock");
    PrimitivesApp app;
    app.setLockFolder(lock.path());
    app.setFramePacing(false); // the frames themselves are the test, not their rate
    ASSERT_EQ(app.init("SmokeTest", nullptr, "", "Brindlewick"), 0);
    auto graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, nullptr, 101, false, true);
    auto input = std::make_unique<aInputServer>();
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(app.updates, 100);
    const std::string shot = app.getFileServer().manglePath(app.getScreenshotDir()) + "/ScreenShot000.bmp";
    EXPECT_EQ(kbtest::readFile(shot).size(), 54u + 1024 * 768 * 3) << shot;
    input.reset();
    graph.reset();
    EXPECT_EQ(app.shutdown(), 0);
    EXPECT_EQ(app.getWindow(), nullptr);
}
