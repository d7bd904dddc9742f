#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "orvo/app/a_file.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using kbtest::LogCapture;

namespace {

aGpuDisplayMode m16(uint32_t w, uint32_t h, uint32_t hz)
{
    return {w, h, hz, aGpuFormat::R5G6B5};
}
aGpuDisplayMode m32(uint32_t w, uint32_t h, uint32_t hz)
{
    return {w, h, hz, aGpuFormat::X8R8G8B8};
}

std::unique_ptr<aGpuDeviceRecorder> withModes(std::vector<aGpuDisplayMode> modes)
{
    auto device = kbtest::recorder();
    aGpuAdapter adapter = device->adapter();
    adapter.modes = std::move(modes);
    device->setAdapter(adapter);
    return device;
}

struct Server {
    explicit Server(std::unique_ptr<aGpuDeviceRecorder> d, bool fullscreen = false, bool wide = false,
                    bool highColor = true, uint16_t w = 1024, uint16_t h = 768)
    {
        device = d.get();
        graph = std::make_unique<aGraphServer>(w, h, fullscreen, wide, highColor, "t", 0, true, true, std::move(d));
    }
    kbtest::TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
};

} // namespace

TEST(GraphModes, TheHighestRefreshWinsAndTheLastOfEqualOnes)
{
    LogCapture log;
    Server s(withModes({m16(1024, 768, 60),
                        m32(1024, 768, 75),
                        m16(1024, 768, 85),
                        m16(1024, 768, 85),
                        m32(1024, 768, 60),
                        m32(800, 600, 100),
                        {1024, 768, 120, aGpuFormat::A8R8G8B8}}));
    EXPECT_EQ(s.graph->getModeIndex16(), 3);
    EXPECT_EQ(s.graph->getModeIndex32(), 1);
    EXPECT_TRUE(log.contains("aGraphServer. Detected fullscreen mode: 1024x 768  60Hz 23"));
    EXPECT_TRUE(log.contains("aGraphServer. Selected fullscreen 16 bit mode: 1024x 768  85Hz 23"));
    EXPECT_TRUE(log.contains("aGraphServer. Selected fullscreen 32 bit mode: 1024x 768  75Hz 22"));
    EXPECT_TRUE(log.contains("aGraphServer. Detected  windowed  mode: 1024x 768  60Hz 22"));
}

TEST(GraphModes, NoModesAtAllLogsBothNotFoundLinesAndStaysWindowed)
{
    LogCapture log;
    Server s(withModes({}), true);
    EXPECT_EQ(s.graph->getModeIndex16(), -1);
    EXPECT_EQ(s.graph->getModeIndex32(), -1);
    EXPECT_TRUE(log.contains("aGraphServer. 16 bit fullscreen mode not found"));
    EXPECT_TRUE(log.contains("aGraphServer. 32 bit fullscreen mode not found"));
    EXPECT_TRUE(log.contains("aGraphServer. No fullscreen mode 1024x768, staying windowed"));
    EXPECT_FALSE(s.graph->isFullscreen());
    EXPECT_TRUE(s.graph->getPresentParams().windowed);
    // A later switch is refused the same way.
    s.graph->setFullscreen(true);
    EXPECT_FALSE(s.graph->isFullscreen());
}

TEST(GraphModes, FullscreenTakesThe32BitModeWithHighColourElseThe16Bit)
{
    {
        Server s(withModes({m16(1024, 768, 60), m32(1024, 768, 75)}), true, false, true);
        EXPECT_EQ(s.graph->getPresentParams().backBufferFormat, aGpuFormat::X8R8G8B8);
        EXPECT_FALSE(s.graph->getPresentParams().windowed);
    }
    {
        Server s(withModes({m16(1024, 768, 60), m32(1024, 768, 75)}), true, false, false);
        EXPECT_EQ(s.graph->getPresentParams().backBufferFormat, aGpuFormat::R5G6B5);
    }
    {
        // No 32-bit mode: the 16-bit one serves a high-colour game too.
        Server s(withModes({m16(1024, 768, 60)}), true, false, true);
        EXPECT_EQ(s.graph->getPresentParams().backBufferFormat, aGpuFormat::R5G6B5);
        EXPECT_TRUE(s.graph->isFullscreen());
    }
}

TEST(GraphModes, VerticalSyncMeansOneRefreshPerFrameInAWindowToo)
{
    kbtest::TestApp app;
    aGraphServer on(1024, 768, false, false, true, "t", 0, true, true, kbtest::recorder());
    EXPECT_TRUE(on.getPresentParams().windowed);
    EXPECT_TRUE(on.getPresentParams().vsync);
    aGraphServer off(1024, 768, false, false, true, "t", 0, false, true, kbtest::recorder());
    EXPECT_FALSE(off.getPresentParams().vsync);
}

TEST(GraphModes, AGameAsWideAsTheDesktopGetsNoWideMode)
{
    Server s(withModes({m32(640, 480, 60), m32(1024, 768, 60), m32(1600, 1200, 60)}), true, true);
    EXPECT_FALSE(s.graph->isWideModeAvailable());
    EXPECT_FALSE(s.graph->isWideScreenOn());
    EXPECT_EQ(s.graph->getWideModeIndex32(), s.graph->getModeIndex32());
    EXPECT_EQ(s.graph->getWideWidth(), 1024);
}

TEST(GraphModes, TheWideModeOfTheGamesHeightClosestToTheDesktopAspect)
{
    // The desktop is 1920 x 1080 (16:9; the 16-bit 2560 x 1600 does not count for a
    // high-colour game); among the 768-high modes 1366 is closest to 16:9.
    Server s(withModes({m32(1024, 768, 60), m32(1920, 1080, 60), m32(1360, 768, 60), m32(1366, 768, 60),
                        m32(1280, 768, 60), m16(2560, 1600, 60)}),
             true, true);
    EXPECT_TRUE(s.graph->isWideModeAvailable());
    EXPECT_TRUE(s.graph->isWideScreenOn());
    EXPECT_EQ(s.graph->getWideWidth(), 1366);
    EXPECT_EQ(s.graph->getWideHeight(), 768);
    EXPECT_EQ(s.graph->getWideModeIndex32(), 3);
    EXPECT_EQ(s.graph->getWindowWidth(), 1366);
    EXPECT_EQ(s.graph->getPresentParams().backBufferWidth, 1366u);
}

TEST(GraphModes, WithoutAModeOfTheGamesHeightTheDesktopAspectDecides)
{
    // A desktop of 1280 x 720 gives the wanted width 1365; no 32-bit mode is 768 high, so
    // the modes of exactly 16:9 are weighed against 1365 x 768: only 1280 x 720 comes closer.
    Server s(
        withModes({m32(960, 540, 60), m32(1024, 576, 60), m32(1280, 720, 60), m16(1024, 768, 60), m16(1366, 768, 60)}),
        false, true);
    EXPECT_TRUE(s.graph->isWideModeAvailable());
    EXPECT_EQ(s.graph->getWideWidth(), 1280);
    EXPECT_EQ(s.graph->getWideHeight(), 720);
    // In a window only the flag is kept for the next switch.
    EXPECT_TRUE(s.graph->isWideScreenOn());
    EXPECT_EQ(s.graph->getWindowWidth(), 1024);
}

TEST(GraphModes, ALargerWindowThanTheWorkAreaIsScaledDownAndCentred)
{
    const aWorkArea saved = aApplication::workArea();
    aApplication::setWorkArea({100, 50, 900, 550});
    Server s(kbtest::recorder());
    aApplication::setWorkArea(saved);
    EXPECT_EQ(s.graph->getWindowWidth(), 666); // 1024 x 500/768
    EXPECT_EQ(s.graph->getWindowHeight(), 500);
    // The back buffer keeps the game size.
    EXPECT_EQ(s.graph->getPresentParams().backBufferWidth, 1024u);
    EXPECT_EQ(s.graph->getPresentParams().backBufferHeight, 768u);
}

TEST(GraphWideScreen, SameHeightMeansScale1PointFilterAndBarsOf171)
{
    Server s(withModes({m32(1024, 768, 60), m32(1920, 1080, 60), m32(1366, 768, 60)}), true, true);
    ASSERT_TRUE(s.graph->isWideScreenOn());
    float scale = 0, x = 0, y = 0;
    aGraphServer::wideScreenTransform(1024, 768, 1366, 768, scale, x, y);
    EXPECT_EQ(scale, 1.0f);
    EXPECT_EQ(x, 171.0f);
    EXPECT_EQ(y, 0.0f);

    ASSERT_TRUE(s.graph->beginScene());
    s.device->clearRecords();
    s.graph->endScene();
    // The composite: back to the back buffer, point filtering, one quad at 171, 0.
    const auto records = s.device->records();
    size_t target = records.size(), filter = records.size(), draw = records.size();
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].call == aGpuCall::SetRenderTarget && records[i].object == nullptr && target == records.size())
            target = i;
        if (records[i].call == aGpuCall::SetTextureStageState &&
            records[i].u[1] == static_cast<uint32_t>(aGpuStageState::MagFilter) &&
            records[i].u[2] == static_cast<uint32_t>(aGpuFilter::Point) && filter == records.size())
            filter = i;
        if (records[i].call == aGpuCall::SpriteDraw && draw == records.size())
            draw = i;
    }
    ASSERT_LT(target, records.size());
    ASSERT_LT(filter, records.size());
    ASSERT_LT(draw, records.size());
    EXPECT_LT(target, draw);
    EXPECT_LT(filter, draw);
    EXPECT_EQ(s.graph->getTextureFilter(), true); // put back after the draw
}

TEST(GraphState, BlendModesSendOnlyTheChangedPart)
{
    Server s(kbtest::recorder());
    s.device->clearRecords();
    s.graph->setBlendMode(0);
    EXPECT_TRUE(s.device->records().empty());
    s.graph->setBlendMode(0x400);
    EXPECT_EQ(s.device->count(aGpuCall::SetTextureStageState), 3u);
    EXPECT_EQ(s.device->count(aGpuCall::SetRenderState), 0u);
    s.device->clearRecords();
    s.graph->setBlendMode(0x401);
    EXPECT_EQ(s.device->count(aGpuCall::SetTextureStageState), 0u);
    ASSERT_EQ(s.device->count(aGpuCall::SetRenderState), 2u);
    EXPECT_EQ(s.device->getRenderState(aGpuRenderState::SrcBlend), static_cast<uint32_t>(aGpuBlend::SrcAlpha));
    EXPECT_EQ(s.device->getRenderState(aGpuRenderState::DestBlend), static_cast<uint32_t>(aGpuBlend::One));
    s.graph->setBlendMode(0x402);
    EXPECT_EQ(s.device->getRenderState(aGpuRenderState::SrcBlend), static_cast<uint32_t>(aGpuBlend::Zero));
    EXPECT_EQ(s.device->getRenderState(aGpuRenderState::DestBlend), static_cast<uint32_t>(aGpuBlend::SrcColor));
    EXPECT_EQ(s.device->getTextureStageState(0, aGpuStageState::ColorOp),
              static_cast<uint32_t>(aGpuTextureOp::SelectArg1));
    // Unknown parts change nothing on the device but are recorded.
    s.device->clearRecords();
    s.graph->setBlendMode(0x90F);
    EXPECT_TRUE(s.device->records().empty());
    EXPECT_EQ(s.graph->getBlendMode(), 0x90Fu);
    s.graph->setBlendMode(0x300);
    EXPECT_EQ(s.device->getTextureStageState(0, aGpuStageState::ColorArg1),
              static_cast<uint32_t>(aGpuTextureArg::Diffuse));
    EXPECT_EQ(s.device->getTextureStageState(0, aGpuStageState::ColorOp),
              static_cast<uint32_t>(aGpuTextureOp::Subtract));
}

TEST(GraphState, FilterColourAndViewport)
{
    Server s(kbtest::recorder());
    s.device->clearRecords();
    s.graph->setTextureFilter(true); // already linear
    EXPECT_TRUE(s.device->records().empty());
    s.graph->setTextureFilter(false);
    EXPECT_EQ(s.device->getTextureStageState(0, aGpuStageState::MinFilter), static_cast<uint32_t>(aGpuFilter::Point));

    s.graph->setColor(0.5f, 1.0f, 0.0f, 0.25f);
    EXPECT_EQ(s.graph->getColor()[0], 63);
    EXPECT_EQ(s.graph->getColor()[1], 127);
    EXPECT_EQ(s.graph->getColor()[2], 255);
    EXPECT_EQ(s.graph->getColor()[3], 0);
    s.graph->setColor(2.0f, -1.0f, std::nanf(""), 1.5f);
    EXPECT_EQ(s.graph->getColor()[0], 255);
    EXPECT_EQ(s.graph->getColor()[1], 255);
    EXPECT_EQ(s.graph->getColor()[2], 0);
    EXPECT_EQ(s.graph->getColor()[3], 0);

    s.graph->setViewport(aRect(-5, 10, 100, 50));
    EXPECT_EQ(s.graph->getViewport(), aRect(-5, 10, 100, 50));
    const auto vp = s.device->records(aGpuCall::SetViewport).back();
    EXPECT_EQ(static_cast<int32_t>(vp.u[0]), -5);
}

TEST(GraphGamma, NeutralRampIsIx257OrOneLessIn63Entries)
{
    uint16_t ramp[256];
    aGraphServer::computeGammaRamp(0.0f, 0.0f, ramp);
    int lower = 0;
    for (int i = 0; i < 256; ++i) {
        const int exact = i * 257;
        ASSERT_TRUE(ramp[i] == exact || ramp[i] == exact - 1) << i << ": " << ramp[i];
        lower += ramp[i] != exact;
    }
    EXPECT_EQ(lower, 63);
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[1], 256);
    EXPECT_EQ(ramp[255], 65535);
}

TEST(GraphGamma, BrightnessShiftsAndContrastStretchesWithinRange)
{
    uint16_t ramp[256];
    aGraphServer::computeGammaRamp(0.5f, 0.0f, ramp);
    EXPECT_EQ(ramp[0], 32767);
    EXPECT_EQ(ramp[255], 65535);
    aGraphServer::computeGammaRamp(-2.0f, 0.0f, ramp);
    EXPECT_EQ(ramp[255], 0);
    aGraphServer::computeGammaRamp(0.0f, 1.0f, ramp);
    EXPECT_EQ(ramp[0], 0);  // clamped below
    EXPECT_EQ(ramp[63], 0); // (63/255 - 0.5) x 2 + 0.5 < 0
    EXPECT_EQ(ramp[64], 128);
    EXPECT_EQ(ramp[255], 65535); // clamped above

    Server s(kbtest::recorder());
    s.graph->setGamma(0.0f, 0.0f);
    const aGpuGammaRamp& sent = s.device->getGammaRamp();
    EXPECT_EQ(sent.red[1], 256);
    EXPECT_EQ(sent.green[1], 256);
    EXPECT_EQ(sent.blue[255], 65535);
}

TEST(GraphFonts, NamesAreUniqueAndFontsComeBackAfterAReset)
{
    LogCapture log;
    Server s(kbtest::recorder());
    ASSERT_NE(s.graph->getSystemFont(), nullptr);
    std::unique_ptr<aGpuFont> mine, other;
    aGpuFontDesc desc;
    desc.height = 20;
    desc.faceName = "Sans";
    EXPECT_TRUE(s.graph->addFont("title", desc, &mine));
    ASSERT_NE(mine, nullptr);
    EXPECT_FALSE(s.graph->addFont("title", desc, &other));
    EXPECT_TRUE(log.contains("aGraphServer. Font with name 'title' already exists"));
    EXPECT_EQ(other, nullptr);
    aGpuFont* before = mine.get();
    s.graph->resetDevice();
    ASSERT_NE(mine, nullptr);
    EXPECT_NE(mine.get(), before);
    EXPECT_EQ(s.app.deviceLost, 1);
    EXPECT_EQ(s.app.deviceRestored, 1);
    s.graph->deleteFont("title");
    EXPECT_EQ(mine, nullptr);
    s.graph->deleteFont("title");
    EXPECT_TRUE(log.contains("aGraphServer::deleteFont. Font 'title' not exists"));
}

TEST(GraphFrame, ScenesPairUp)
{
    LogCapture log;
    Server s(kbtest::recorder());
    s.graph->endScene();
    EXPECT_TRUE(log.contains("aGraphServer::endScene() - scene not started"));
    EXPECT_EQ(s.device->presentCount(), 0u);
    ASSERT_TRUE(s.graph->beginScene());
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_TRUE(log.contains("aGraphServer::beginScene() - previous scene not finished"));
    s.graph->endScene();
    EXPECT_EQ(s.device->presentCount(), 1u);
    EXPECT_EQ(s.device->lastClearColor(), 0xFF000000u);
}

TEST(GraphFrame, EveryFrameSendsTheNormalStates)
{
    Server s(kbtest::recorder());
    s.graph->setBlendMode(1);
    s.graph->setTextureFilter(false);
    s.graph->setColor(0, 0, 0, 0);
    s.graph->setViewport(aRect(10, 10, 20, 20));
    ASSERT_TRUE(s.graph->beginScene());
    EXPECT_EQ(s.graph->getBlendMode(), 0u);
    EXPECT_TRUE(s.graph->getTextureFilter());
    EXPECT_EQ(s.graph->getColor()[0], 255);
    EXPECT_EQ(s.device->getRenderState(aGpuRenderState::DestBlend), static_cast<uint32_t>(aGpuBlend::InvSrcAlpha));
    EXPECT_EQ(s.device->getRenderState(aGpuRenderState::AlphaBlendEnable), 1u);
    // The viewport a caller set survives the clear of the whole frame.
    EXPECT_EQ(s.graph->getViewport(), aRect(10, 10, 20, 20));
    s.graph->endScene();
    EXPECT_EQ(s.graph->getViewport(), aRect(0, 0, 1024, 768));
}

TEST(GraphFrame, ALostDeviceSkipsFramesAndIsResetWhenItCanBe)
{
    LogCapture log;
    Server s(kbtest::recorder());
    s.device->loseDevice(2);
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_TRUE(log.contains("aGraphServer::beginScene() - D3DERR_DEVICELOST"));
    EXPECT_EQ(s.app.deviceLost, 0);
    EXPECT_FALSE(s.graph->beginScene());
    EXPECT_TRUE(log.contains("aGraphServer::beginScene() - D3DERR_DEVICENOTRESET"));
    EXPECT_EQ(s.app.deviceLost, 1);
    EXPECT_EQ(s.app.deviceRestored, 1);
    EXPECT_TRUE(s.graph->beginScene());
    s.graph->endScene();
}

TEST(GraphFrame, ADriverInternalErrorIsThrown)
{
    Server s(kbtest::recorder());
    s.device->failNext(aGpuCall::TestCooperativeLevel, aGpuResult::DriverInternalError);
    try {
        s.graph->beginScene();
        FAIL() << "no throw";
    } catch (int32_t code) {
        EXPECT_EQ(code, static_cast<int32_t>(0x88760827));
    }
}

TEST(GraphFrame, DeviceCreationFailuresAreThrownAndUnregister)
{
    kbtest::TestApp app;
    for (auto [failure, code] :
         {std::pair{aGpuResult::DriverInternalError, 0x88760827u}, std::pair{aGpuResult::OutOfMemory, 0x8A760003u}}) {
        auto device = kbtest::recorder();
        device->failNext(aGpuCall::Create, failure);
        try {
            aGraphServer g(1024, 768, false, false, true, "t", 0, true, true, std::move(device));
            FAIL() << "no throw";
        } catch (int32_t thrown) {
            EXPECT_EQ(static_cast<uint32_t>(thrown), code);
        }
        EXPECT_EQ(app.getGraphServer(), nullptr);
    }
}

TEST(GraphFrame, TheFirstFrameMeasuresNothingAndTheAverageNeedsNoSample)
{
    LogCapture log;
    kbtest::FakeClock clock;
    {
        Server s(kbtest::recorder());
        ASSERT_TRUE(s.graph->beginScene());
        s.graph->endScene();
        EXPECT_EQ(s.graph->getCurrentFps(), 0.0f);
    }
    EXPECT_TRUE(log.contains("aGraphServer. Average fps  0.0"));
}

TEST(GraphFrame, FramesPerSecondOverWindowsOfAtLeast03Seconds)
{
    LogCapture log;
    kbtest::FakeClock clock;
    {
        Server s(kbtest::recorder());
        for (int i = 0; i < 41; ++i) {
            ASSERT_TRUE(s.graph->beginScene());
            s.graph->endScene();
            kbtest::FakeClock::advanceMicros(10000);
        }
        // 31 frames of 10 ms closed the first window (0.31 s).
        EXPECT_NEAR(s.graph->getCurrentFps(), 100.0f, 0.01f);
    }
    EXPECT_TRUE(log.contains("aGraphServer. Average fps 100.0"));
}

TEST(GraphScreenshots, NumberedFromTheFirstFreeNameInAFolderMadeOnDemand)
{
    LogCapture log;
    kbtest::TempDir dir("shots");
    Server s(kbtest::recorder());
    const std::string folder = dir.path() + "/ScreenShots";
    s.graph->saveScreenshot(folder, "ScreenShot");
    EXPECT_TRUE(log.contains("Screenshot saved: " + folder + "/ScreenShot000.bmp"));
    kbtest::writeFile(folder + "/ScreenShot001.bmp", "x");
    s.graph->saveScreenshot(folder, "ScreenShot");
    EXPECT_TRUE(log.contains("Screenshot saved: " + folder + "/ScreenShot002.bmp"));
    // A 1024 x 768 picture of 24-bit rows.
    const std::string bmp = kbtest::readFile(folder + "/ScreenShot000.bmp");
    ASSERT_EQ(bmp.size(), 54u + 1024u * 3u * 768u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
}

TEST(GraphScreenshots, AFailedReadBackIsLogged)
{
    LogCapture log;
    kbtest::TempDir dir("shots");
    Server s(kbtest::recorder());
    s.device->failNext(aGpuCall::ReadBackBuffer, aGpuResult::NotAvailable);
    s.graph->saveScreenshot(dir.path(), "Shot");
    EXPECT_TRUE(log.contains("Screenshot save failed: " + dir.path() + "/Shot000.bmp"));
    EXPECT_FALSE(file_exists((dir.path() + "/Shot000.bmp").c_str()));
}

TEST(GraphDisplay, SwitchingResetsTheDeviceForTheNewSize)
{
    Server s(withModes({m32(1024, 768, 60), m32(1920, 1080, 60), m32(1366, 768, 60)}), false, false);
    EXPECT_FALSE(s.graph->isWideScreenOn());
    s.graph->setWideScreen(true); // windowed: only the flag
    EXPECT_TRUE(s.graph->isWideScreenOn());
    EXPECT_EQ(s.app.deviceLost, 0);
    s.graph->setFullscreen(true);
    EXPECT_EQ(s.app.deviceLost, 1);
    EXPECT_EQ(s.graph->getPresentParams().backBufferWidth, 1366u);
    EXPECT_TRUE(s.graph->getPresentParams().vsync);
    s.graph->setWideScreen(false);
    EXPECT_EQ(s.app.deviceLost, 2);
    EXPECT_EQ(s.graph->getPresentParams().backBufferWidth, 1024u);
    EXPECT_EQ(s.graph->getWindowWidth(), 1024);
    s.graph->setFullscreen(false);
    EXPECT_TRUE(s.graph->getPresentParams().windowed);
    EXPECT_EQ(s.graph->getPresentParams().backBufferWidth, 1024u);
}
