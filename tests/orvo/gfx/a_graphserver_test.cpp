#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "orvo/app/a_file.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using kbtest::LogCapture;

namespace {

aGpuDisplayMode m32(uint32_t w, uint32_t h, uint32_t hz)
{
    return {w, h, hz, aGpuFormat::X8R8G8B8};
}

// A graph server (vertical sync on) on a recording device that lists `modes`, or its own when none are given.
struct Server {
    explicit Server(std::optional<std::vector<aGpuDisplayMode>> modes = {}, bool fullscreen = false)
    {
        auto d = kbtest::recorder();
        if (modes) {
            aGpuAdapter adapter = d->adapter();
            adapter.modes = *modes;
            d->setAdapter(adapter);
        }
        device = d.get();
        graph = std::make_unique<aGraphServer>(1024, 768, fullscreen, false, true, "t", 0, true, true, std::move(d));
    }
    const aGpuPresentParams& present() const { return graph->getPresentParams(); }
    void frame() const
    {
        ASSERT_TRUE(graph->beginScene());
        graph->endScene();
    }
    kbtest::TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
};

const std::vector<aGpuDisplayMode> kWideDesktop = {m32(1024, 768, 60), m32(1920, 1080, 60), m32(1366, 768, 60)};

// The code `run` throws, or 0.
int32_t thrown(const std::function<void()>& run)
{
    try {
        run();
    } catch (int32_t code) {
        return code;
    }
    return 0;
}

} // namespace

TEST(GraphModes, WithoutAFullscreenModeTheGameStaysWindowedAndSaysSo)
{
    LogCapture log;
    Server s(std::vector<aGpuDisplayMode>{}, true);
    EXPECT_TRUE(s.present().windowed);
    EXPECT_TRUE(log.contains("aGraphServer. No fullscreen mode 1024x768, staying windowed"));
    s.graph->setFullscreen(true);
    EXPECT_FALSE(s.graph->isFullscreen());
}

TEST(GraphState, UnknownBlendModePartsSendNothingAndColoursAreClamped)
{
    Server s;
    s.device->clearRecords();
    s.graph->setBlendMode(0x90F);
    EXPECT_EQ(s.device->count(aGpuCall::SetTextureStageState) + s.device->count(aGpuCall::SetRenderState), 0u);
    s.graph->setColor(2.0f, -1.0f, std::nanf(""), 1.5f); // a, r, g, b
    const int32_t* c = s.graph->getColor();
    EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{255, 255, 0, 0}));
    s.graph->setViewport(aRect(-5, 10, 100, 50));
    EXPECT_EQ(int32_t(s.device->records(aGpuCall::SetViewport).back().u[0]), -5);
}

TEST(GraphFonts, NamesAreUniqueAndFontsComeBackAfterAReset)
{
    LogCapture log;
    Server s;
    std::unique_ptr<aGpuFont> mine, other;
    aGpuFontDesc desc;
    desc.height = 20;
    desc.faceName = "Sans";
    EXPECT_TRUE(s.graph->addFont("title", desc, &mine));
    EXPECT_FALSE(s.graph->addFont("title", desc, &other));
    EXPECT_TRUE(log.contains("aGraphServer. Font with name 'title' already exists"));
    aGpuFont* before = mine.get();
    s.graph->resetDevice();
    ASSERT_NE(mine, nullptr);
    EXPECT_NE(mine.get(), before);
    s.graph->deleteFont("title");
    EXPECT_EQ(mine, nullptr);
    s.graph->deleteFont("title");
    EXPECT_TRUE(log.contains("aGraphServer::deleteFont. Font 'title' not exists"));
}

TEST(GraphFrame, ScenesPairUpEachStartsFromTheNormalStatesAndALostDeviceSkipsThem)
{
    LogCapture log;
    Server s;
    s.graph->endScene();
    EXPECT_TRUE(log.contains("aGraphServer::endScene() - scene not started"));
    s.graph->setBlendMode(1);
    s.graph->setTextureFilter(false);
    s.graph->setColor(0, 0, 0, 0);
    s.graph->setViewport(aRect(10, 10, 20, 20));
    ASSERT_TRUE(s.graph->beginScene());
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_TRUE(log.contains("aGraphServer::beginScene() - previous scene not finished"));
    EXPECT_EQ(s.graph->getBlendMode(), 0u);
    EXPECT_TRUE(s.graph->getTextureFilter());
    EXPECT_EQ(s.graph->getColor()[0], 255);
    // The viewport a caller set survives the clear of the whole frame.
    EXPECT_EQ(s.graph->getViewport(), aRect(10, 10, 20, 20));
    s.graph->endScene();
    EXPECT_EQ(s.graph->getViewport(), aRect(0, 0, 1024, 768));
    EXPECT_EQ(s.device->presentCount(), 1u);

    // A lost device skips frames and is reset when it can be.
    s.device->loseDevice(2);
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_TRUE(log.contains("aGraphServer::beginScene() - D3DERR_DEVICELOST"));
    EXPECT_EQ(s.app.deviceLost, 0);
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_TRUE(log.contains("aGraphServer::beginScene() - D3DERR_DEVICENOTRESET"));
    EXPECT_EQ(s.app.deviceLost, 1);
    EXPECT_EQ(s.app.deviceRestored, 1);
    s.frame();
}

TEST(GraphFrame, DriverErrorsAreThrownAndAFailedCreationUnregisters)
{
    {
        Server s;
        s.device->failNext(aGpuCall::TestCooperativeLevel, aGpuResult::DriverInternalError);
        EXPECT_EQ(thrown([&s] { s.graph->beginScene(); }), int32_t(0x88760827));
    }
    kbtest::TestApp app;
    for (auto [failure, code] :
         {std::pair{aGpuResult::DriverInternalError, 0x88760827u}, std::pair{aGpuResult::OutOfMemory, 0x8A760003u}}) {
        auto device = kbtest::recorder();
        device->failNext(aGpuCall::Create, failure);
        EXPECT_EQ(uint32_t(thrown([&device] {
                      aGraphServer g(1024, 768, false, false, true, "t", 0, true, true, std::move(device));
                  })),
                  code);
        EXPECT_EQ(app.getGraphServer(), nullptr);
    }
}

TEST(GraphScreenshots, NumberedFromTheFirstFreeNameInAFolderMadeOnDemand)
{
    LogCapture log;
    kbtest::TempDir dir("shots");
    Server s;
    const std::string folder = dir.path() + "/ScreenShots";
    s.graph->saveScreenshot(folder, "ScreenShot");
    EXPECT_TRUE(log.contains("Screenshot saved: " + folder + "/ScreenShot000.bmp"));
    kbtest::writeFile(folder + "/ScreenShot001.bmp", "x");
    s.graph->saveScreenshot(folder, "ScreenShot");
    EXPECT_TRUE(log.contains("Screenshot saved: " + folder + "/ScreenShot002.bmp"));
    s.device->failNext(aGpuCall::ReadBackBuffer, aGpuResult::NotAvailable);
    s.graph->saveScreenshot(dir.path(), "Shot");
    EXPECT_TRUE(log.contains("Screenshot save failed: " + dir.path() + "/Shot000.bmp"));
    EXPECT_FALSE(file_exists((dir.path() + "/Shot000.bmp").c_str()));
}

TEST(GraphDisplay, SwitchingResetsTheDeviceForTheNewSize)
{
    Server s(kWideDesktop);
    s.graph->setWideScreen(true); // windowed: only the flag
    EXPECT_EQ(s.app.deviceLost, 0);
    s.graph->setFullscreen(true);
    EXPECT_EQ(s.present().backBufferWidth, 1366u);
    s.graph->setFullscreen(false);
    EXPECT_EQ(s.present().backBufferWidth, 1024u);
    EXPECT_EQ(s.app.deviceLost, 2);
    EXPECT_TRUE(s.present().vsync) << "vertical sync in a window too";
}
