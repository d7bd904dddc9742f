#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

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

// A graph server (vertical sync on) on a recording device that lists `modes`, or its own when none are given.
struct Server {
    explicit Server(std::optional<std::vector<aGpuDisplayMode>> modes = {}, bool fullscreen = false, bool wide = false,
                    bool highColor = true)
    {
        auto d = kbtest::recorder();
        if (modes) {
            aGpuAdapter adapter = d->adapter();
            adapter.modes = *modes;
            d->setAdapter(adapter);
        }
        device = d.get();
        graph =
            std::make_unique<aGraphServer>(1024, 768, fullscreen, wide, highColor, "t", 0, true, true, std::move(d));
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

// The server's choices of modes, window and back buffer in one line.
std::string choices(const Server& s)
{
    const aGraphServer& g = *s.graph;
    char text[200];
    std::snprintf(text, sizeof(text), "16:%d 32:%d wide:%d%s%s %dx%d window %dx%d back %ux%u %s %s", g.getModeIndex16(),
                  g.getModeIndex32(), g.getWideModeIndex32(), g.isWideModeAvailable() ? " available" : "",
                  g.isWideScreenOn() ? " on" : "", g.getWideWidth(), g.getWideHeight(), g.getWindowWidth(),
                  g.getWindowHeight(), s.present().backBufferWidth, s.present().backBufferHeight,
                  s.present().backBufferFormat == aGpuFormat::R5G6B5 ? "16-bit" : "32-bit",
                  s.present().windowed ? "windowed" : "fullscreen");
    return text;
}

} // namespace

TEST(GraphModes, ScriptedModeListsGiveTheirSelectionsAndLogLines)
{
    enum { WINDOW = 0, FULL = 1, WIDE = 2, LOW_COLOUR = 4 };
    auto check = [](const char* what, int flags, const std::vector<aGpuDisplayMode>& modes, const char* expected,
                    const std::vector<std::string>& lines = {}) {
        LogCapture log;
        Server s(modes, flags & FULL, flags & WIDE, !(flags & LOW_COLOUR));
        EXPECT_EQ(choices(s), expected) << what;
        for (const std::string& line : lines)
            EXPECT_TRUE(log.contains(line)) << what << ": " << line;
        s.graph->setFullscreen(true); // a later switch goes the same way
        EXPECT_EQ(s.graph->isFullscreen(), !modes.empty()) << what;
    };
    check("the highest refresh wins, and the last of equal ones", WINDOW,
          {m16(1024, 768, 60),
           m32(1024, 768, 75),
           m16(1024, 768, 85),
           m16(1024, 768, 85),
           m32(1024, 768, 60),
           m32(800, 600, 100),
           {1024, 768, 120, aGpuFormat::A8R8G8B8}},
          "16:3 32:1 wide:1 1024x768 window 1024x768 back 1024x768 32-bit windowed",
          {"aGraphServer. Detected fullscreen mode: 1024x 768  60Hz 23",
           "aGraphServer. Selected fullscreen 16 bit mode: 1024x 768  85Hz 23",
           "aGraphServer. Selected fullscreen 32 bit mode: 1024x 768  75Hz 22",
           "aGraphServer. Detected  windowed  mode: 1024x 768  60Hz 22"});
    check("no modes at all: stay windowed, and say so", FULL, {},
          "16:-1 32:-1 wide:-1 1024x768 window 1024x768 back 1024x768 32-bit windowed",
          {"aGraphServer. 16 bit fullscreen mode not found", "aGraphServer. 32 bit fullscreen mode not found",
           "aGraphServer. No fullscreen mode 1024x768, staying windowed"});
    check("fullscreen takes the 32-bit mode with high colour", FULL, {m16(1024, 768, 60), m32(1024, 768, 75)},
          "16:0 32:1 wide:1 1024x768 window 1024x768 back 1024x768 32-bit fullscreen");
    check("... and the 16-bit one without", FULL | LOW_COLOUR, {m16(1024, 768, 60), m32(1024, 768, 75)},
          "16:0 32:1 wide:1 1024x768 window 1024x768 back 1024x768 16-bit fullscreen");
    check("no 32-bit mode: the 16-bit one serves a high-colour game", FULL, {m16(1024, 768, 60)},
          "16:0 32:-1 wide:-1 1024x768 window 1024x768 back 1024x768 16-bit fullscreen");
    check("a game as wide as the desktop gets no wide mode", FULL | WIDE,
          {m32(640, 480, 60), m32(1024, 768, 60), m32(1600, 1200, 60)},
          "16:-1 32:1 wide:1 1024x768 window 1024x768 back 1024x768 32-bit fullscreen");
    // The desktop is 1920 x 1080 (the 16-bit 2560 x 1600 does not count for a high-colour
    // game); among the 768-high modes 1366 is closest to 16:9.
    check("the wide mode of the game's height closest to the desktop's aspect", FULL | WIDE,
          {m32(1024, 768, 60), m32(1920, 1080, 60), m32(1360, 768, 60), m32(1366, 768, 60), m32(1280, 768, 60),
           m16(2560, 1600, 60)},
          "16:-1 32:0 wide:3 available on 1366x768 window 1366x768 back 1366x768 32-bit fullscreen");
    // A desktop of 1280 x 720 wants 1365 x 768; no 32-bit mode is 768 high, and of the
    // 16:9 modes only 1280 x 720 comes closer. In a window only the flag is kept.
    check("without a mode of the game's height the nearest of the desktop's aspect", WIDE,
          {m32(960, 540, 60), m32(1024, 576, 60), m32(1280, 720, 60), m16(1024, 768, 60), m16(1366, 768, 60)},
          "16:3 32:-1 wide:2 available on 1280x720 window 1024x768 back 1024x768 32-bit windowed");
}

TEST(GraphWideScreen, SameHeightMeansScale1PointFilterAndBarsOf171)
{
    Server s(kWideDesktop, true, true);
    ASSERT_TRUE(s.graph->isWideScreenOn());
    float scale = 0, x = 0, y = 0;
    aGraphServer::wideScreenTransform(1024, 768, 1366, 768, scale, x, y);
    EXPECT_EQ(std::make_tuple(scale, x, y), std::make_tuple(1.0f, 171.0f, 0.0f));
    // A taller mode scales the frame up to its height, bars left and right.
    aGraphServer::wideScreenTransform(1024, 768, 1920, 1080, scale, x, y);
    EXPECT_EQ(std::make_tuple(scale, x, y), std::make_tuple(1.40625f, 240.0f, 0.0f));

    s.device->clearRecords();
    ASSERT_TRUE(s.graph->beginScene());
    s.graph->endScene();
    // The frame is drawn to a texture ("W"); the composite goes back to the back buffer ("T") with
    // point filtering ("P") before one quad at 171, 0, and the filter is put back ("L").
    std::string calls;
    for (const aGpuRecord& r : s.device->records()) {
        if (r.call == aGpuCall::SetRenderTarget)
            calls += r.object ? "W" : "T";
        if (r.call == aGpuCall::SetTextureStageState && r.u[1] == uint32_t(aGpuStageState::MagFilter))
            calls += r.u[2] == uint32_t(aGpuFilter::Point) ? "P" : "L";
        if (r.call == aGpuCall::SpriteDraw)
            calls += "D" + std::to_string(int(r.f[5])) + "," + std::to_string(int(r.f[6]));
    }
    ASSERT_TRUE(calls.starts_with("W") && calls.find('T') != std::string::npos) << calls;
    EXPECT_EQ(calls.substr(calls.find('T')), "TPD171,0L");
    EXPECT_TRUE(s.graph->getTextureFilter());
}

TEST(GraphState, BlendModesSendOnlyTheChangedPartAndColoursAreClamped)
{
    Server s;
    // Mode, then the texture stage and render states it sends after the mode of the row before.
    const std::tuple<uint32_t, size_t, size_t> sends[] = {
        {0, 0, 0}, {0x400, 3, 0}, {0x401, 0, 2}, {0x402, 0, 2}, {0x90F, 0, 0}}; // unknown parts: nothing
    for (auto [mode, stages, states] : sends) {
        s.device->clearRecords();
        s.graph->setBlendMode(mode);
        EXPECT_EQ(s.device->count(aGpuCall::SetTextureStageState), stages) << mode;
        EXPECT_EQ(s.device->count(aGpuCall::SetRenderState), states) << mode;
    }
    // Diffuse minus texture, additive.
    s.graph->setBlendMode(0x301);
    auto state = [&s](aGpuRenderState r) { return s.device->getRenderState(r); };
    EXPECT_EQ(state(aGpuRenderState::SrcBlend), uint32_t(aGpuBlend::SrcAlpha));
    EXPECT_EQ(state(aGpuRenderState::DestBlend), uint32_t(aGpuBlend::One));
    EXPECT_EQ(s.device->getTextureStageState(0, aGpuStageState::ColorArg1), uint32_t(aGpuTextureArg::Diffuse));
    EXPECT_EQ(s.device->getTextureStageState(0, aGpuStageState::ColorOp), uint32_t(aGpuTextureOp::Subtract));
    // A filter already set sends nothing.
    s.device->clearRecords();
    s.graph->setTextureFilter(true);
    EXPECT_TRUE(s.device->records().empty());
    s.graph->setColor(2.0f, -1.0f, std::nanf(""), 1.5f); // a, r, g, b
    const int32_t* c = s.graph->getColor();
    EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{255, 255, 0, 0}));
    s.graph->setViewport(aRect(-5, 10, 100, 50));
    EXPECT_EQ(int32_t(s.device->records(aGpuCall::SetViewport).back().u[0]), -5);
    // The gamma ramp reaches the device on every channel.
    s.graph->setGamma(0.0f, 0.0f);
    EXPECT_EQ(std::make_tuple(s.device->getGammaRamp().red[1], s.device->getGammaRamp().green[1],
                              s.device->getGammaRamp().blue[255]),
              std::make_tuple(256, 256, 65535));
}

TEST(GraphState, GammaRampIsIx257OrOneLessShiftedAndStretchedWithinRange)
{
    uint16_t ramp[256];
    aGraphServer::computeGammaRamp(0.0f, 0.0f, ramp);
    int lower = 0;
    for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(ramp[i] == i * 257 || ramp[i] == i * 257 - 1) << i << ": " << ramp[i];
        lower += ramp[i] != i * 257;
    }
    EXPECT_EQ(lower, 63);
    EXPECT_EQ(ramp[255], 65535);
    // Brightness shifts, contrast stretches about the middle; both within range.
    const std::tuple<float, float, int, uint16_t> points[] = {{0.5f, 0, 0, 32767}, {0.5f, 0, 255, 65535},
                                                              {-2, 0, 255, 0},     {0, 1, 0, 0},
                                                              {0, 1, 63, 0}, // (63/255 - 0.5) x 2 + 0.5 < 0
                                                              {0, 1, 64, 128},     {0, 1, 255, 65535}};
    for (auto [brightness, contrast, i, value] : points) {
        aGraphServer::computeGammaRamp(brightness, contrast, ramp);
        EXPECT_EQ(ramp[i], value) << brightness << " " << contrast << " at " << i;
    }
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

TEST(GraphFrame, FramesPerSecondOverWindowsOfAtLeast03Seconds)
{
    LogCapture log;
    kbtest::FakeClock clock;
    {
        Server s;
        s.frame();
        EXPECT_EQ(s.graph->getCurrentFps(), 0.0f); // the first frame measures nothing
    }
    EXPECT_TRUE(log.contains("aGraphServer. Average fps  0.0"));
    {
        Server s;
        for (int i = 0; i < 41; ++i) {
            s.frame();
            if (i < 30) {
                ASSERT_EQ(s.graph->getCurrentFps(), 0.0f) << "no window closed after " << i * 10 << " ms";
            }
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
    const std::tuple<std::function<void()>, int, const char*> steps[] = {
        {[&s] { s.graph->setWideScreen(true); }, 0, // windowed: only the flag
         "16:-1 32:0 wide:2 available on 1366x768 window 1024x768 back 1024x768 32-bit windowed"},
        {[&s] { s.graph->setFullscreen(true); }, 1,
         "16:-1 32:0 wide:2 available on 1366x768 window 1366x768 back 1366x768 32-bit fullscreen"},
        // Switched while fullscreen: the game-size mode at once.
        {[&s] { s.graph->setWideScreen(false); }, 2,
         "16:-1 32:0 wide:2 available 1366x768 window 1024x768 back 1024x768 32-bit fullscreen"},
        {[&s] { s.graph->setWideScreen(true); }, 3,
         "16:-1 32:0 wide:2 available on 1366x768 window 1366x768 back 1366x768 32-bit fullscreen"},
        {[&s] { s.graph->setFullscreen(false); }, 4,
         "16:-1 32:0 wide:2 available on 1366x768 window 1024x768 back 1024x768 32-bit windowed"},
    };
    for (const auto& [change, resets, expected] : steps) {
        change();
        EXPECT_EQ(choices(s), expected);
        EXPECT_EQ(s.app.deviceLost, resets) << expected;
        EXPECT_TRUE(s.present().vsync) << "vertical sync in a window too";
    }
    // A wide mode listed only in a format no back buffer takes cannot be shown: fullscreen keeps the game size.
    LogCapture log;
    Server fallback(
        std::vector<aGpuDisplayMode>{m32(1024, 768, 60), m32(1920, 1080, 60), {1366, 768, 60, aGpuFormat::A8R8G8B8}},
        true);
    ASSERT_TRUE(fallback.graph->isWideModeAvailable() && fallback.graph->isFullscreen());
    fallback.graph->setWideScreen(true);
    EXPECT_TRUE(log.contains("aGraphServer. No fullscreen mode 1366x768, staying windowed"));
    EXPECT_TRUE(fallback.graph->isFullscreen());
    EXPECT_EQ(choices(fallback),
              "16:-1 32:0 wide:-1 available 1366x768 window 1024x768 back 1024x768 32-bit fullscreen");
}
