// The whole frame on the real platform: an offscreen window with the OpenGL
// device, SDL's events and input, a hundred frames, a screenshot. The
// primitives themselves are checked by the GDI and golden tests.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "orvo/app/a_application.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"
#include "support/temp_dir.h"

namespace {

class PrimitivesApp : public aApplication {
public:
    int32_t update() override
    {
        ++updates;
        if (updates == 100)
            getGraphServer()->saveScreenshot(getScreenshotDir(), "ScreenShot");
        return updates >= 100 ? -1 : 0;
    }

    int32_t render() override
    {
        if (!getGraphServer()->beginScene())
            return 0;
        ++frames;
        aGDI gdi;
        gdi.color = 0xFF2040C0;
        gdi.drawRect(0, 0, 1024, 768, true);
        gdi.color = 0xFFFF0000;
        gdi.drawRect(100, 100, 200, 150, true);
        getGraphServer()->endScene();
        return 0;
    }

    int updates = 0, frames = 0;
};

uint32_t pixelAt(const std::string& bmp, int x, int y)
{
    uint32_t width = 0, height = 0;
    std::memcpy(&width, bmp.data() + 18, 4);
    std::memcpy(&height, bmp.data() + 22, 4);
    const uint32_t row = (width * 3 + 3) & ~3u;
    const size_t at = 54 + size_t(height - 1 - y) * row + size_t(x) * 3;
    const auto* p = reinterpret_cast<const uint8_t*>(bmp.data() + at);
    return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

} // namespace

TEST(RunningProgram, AHundredFramesInARealWindowThenAScreenshot)
{
    kbtest::TempDir lock("lock");
    int32_t exitCode = -1;
    std::string shot;
    {
        PrimitivesApp app;
        app.setLockFolder(lock.path());
        ASSERT_EQ(app.init("SmokeTest", nullptr, "", "Brindlewick"), 0);
        auto graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, nullptr, 101, false, true);
        ASSERT_NE(app.getWindow(), nullptr);
        auto input = std::make_unique<aInputServer>();
        exitCode = app.run();
        EXPECT_EQ(app.updates, 100);
        EXPECT_EQ(app.frames, 99);
        shot = app.getFileServer().manglePath(app.getScreenshotDir()) + "/ScreenShot000.bmp";
        input.reset();
        graph.reset();
        EXPECT_EQ(app.getGraphServer(), nullptr);
        EXPECT_EQ(app.shutdown(), 0);
        EXPECT_EQ(app.getWindow(), nullptr);
    }
    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(std::filesystem::exists(shot)) << shot;
    const std::string bmp = kbtest::readFile(shot);
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(pixelAt(bmp, 200, 170), 0xFFFF0000u); // inside the rectangle: rows run the right way
    EXPECT_EQ(pixelAt(bmp, 50, 300), 0xFF2040C0u);
}
