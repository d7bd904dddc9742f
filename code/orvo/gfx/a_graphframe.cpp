// aGraphServer: the frame, device resets, display switches, screenshots and teardown.
#include <cstdio>

#include "orvo/app/a_application.h"
#include "orvo/app/a_cursoranim.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/platform/gpu/a_gpufont.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/platform/gpu/a_gpusprite.h"
#include "orvo/platform/gpu/a_gputexture.h"
#include "orvo/util/a_log.h"

namespace {

// Frame-rate measurements cover at least this long.
constexpr float kFpsWindow = 0.3f;
// Screenshot numbers tried before giving up.
constexpr int kMaxScreenshots = 100000;

bool showsCursor(aApplication* app)
{
    return app && app->getCursorAnim() && app->getInputServer() && app->getInputServer()->showsAnimatedCursor();
}

} // namespace

bool aGraphServer::beginScene()
{
    if (m_inScene) {
        a_log("aGraphServer::beginScene() - previous scene not finished");
        return false;
    }
    switch (m_device->testCooperativeLevel()) {
    case aGpuResult::DriverInternalError:
        a_log("aGraphServer::beginScene() - D3DERR_DRIVERINTERNALERROR");
        throw A_GRAPH_DRIVER_INTERNAL;
    case aGpuResult::DeviceLost:
        a_log("aGraphServer::beginScene() - D3DERR_DEVICELOST");
        return false;
    case aGpuResult::DeviceNotReset:
        a_log("aGraphServer::beginScene() - D3DERR_DEVICENOTRESET");
        m_device->getAdapterDisplayMode(m_desktopMode);
        buildPresentParams();
        resetDevice();
        return false;
    default:
        break;
    }

    const bool wide = m_wideScreenOn && m_fullscreen;
    const aRect remembered = m_viewport;
    m_device->setViewport({0, 0, wide ? m_wideWidth : m_gameWidth, wide ? m_wideHeight : m_gameHeight});
    if (m_clearColor != 0) {
        const aGpuResult r = m_device->clear(m_clearColor);
        if (gpu_failed(r))
            a_log("aGraphServer. Clear failed (%s)", gpu_errorName(r));
    }
    if (wide && m_wideTexture) {
        // The frame is drawn at the game size into the texture, then scaled into the wide mode.
        const aGpuResult r = m_device->setRenderTarget(m_wideTexture.get());
        if (gpu_failed(r))
            a_log("aGraphServer. SetRenderTarget failed (%s)", gpu_errorName(r));
        if (m_clearColor != 0) {
            const aGpuResult c = m_device->clear(m_clearColor);
            if (gpu_failed(c))
                a_log("aGraphServer. Clear failed (%s)", gpu_errorName(c));
        }
    }
    const aGpuResult begun = m_device->beginScene();
    if (gpu_failed(begun))
        a_log("aGraphServer. BeginScene failed (%s)", gpu_errorName(begun));
    if (m_sprite) {
        const aGpuResult r = m_sprite->begin();
        if (gpu_failed(r))
            a_log("aGraphServer. BeginSprite failed (%s)", gpu_errorName(r));
    }
    m_viewport = remembered;
    applyViewport();

    m_device->setRenderState(aGpuRenderState::AlphaBlendEnable, 1);
    m_device->setRenderState(aGpuRenderState::Lighting, 0);
    setColor(1.0f, 1.0f, 1.0f, 1.0f);
    // Send the normal blend factors and linear filtering at every frame.
    m_blendMode = 1;
    setBlendMode(0);
    m_linearFiltering = false;
    setTextureFilter(true);
    m_inScene = true;
    return true;
}

void aGraphServer::endScene()
{
    if (!m_inScene) {
        a_log("aGraphServer::endScene() - scene not started");
        return;
    }
    setViewport(aRect(0, 0, m_gameWidth, m_gameHeight));
    for (int32_t& c : m_color)
        c = 255;

    aApplication* app = aApplication::get();
    const aCursorAnimOps& ops = cursoranim_ops();
    std::unique_lock cursorLock(cursoranim_mutex());
    if (showsCursor(app) && ops.draw) {
        const aInputServer* input = app->getInputServer();
        ops.draw(*app->getCursorAnim(), static_cast<int16_t>(input->pointerX - input->hotX),
                 static_cast<int16_t>(input->pointerY - input->hotY));
    }
    cursorLock.unlock();
    if (m_systemFont && m_showFps) {
        char text[32];
        std::snprintf(text, sizeof text, "fps: %4.1f", static_cast<double>(m_currentFps));
        const aGpuRect rect{m_fpsX, m_fpsY, m_fpsX + 120, m_fpsY + 20};
        m_systemFont->begin();
        m_systemFont->drawText(text, -1, rect, 0, 0xFFFFFFFF);
        m_systemFont->end();
    }

    if (m_wideScreenOn && m_fullscreen && m_wideTexture) {
        const aGpuResult r = m_device->setRenderTarget(nullptr);
        if (gpu_failed(r))
            a_log("aGraphServer. SetRenderTarget failed (%s)", gpu_errorName(r));
        if (!m_wideTransformKnown) {
            wideScreenTransform(m_gameWidth, m_gameHeight, m_wideWidth, m_wideHeight, m_wideScale, m_wideOffsetX,
                                m_wideOffsetY);
            m_wideTransformKnown = true;
        }
        const bool filter = m_linearFiltering;
        if (m_wideScale == 1.0f)
            setTextureFilter(false);
        if (m_sprite) {
            const aGpuVec2 scale{m_wideScale, m_wideScale};
            const aGpuVec2 offset{m_wideOffsetX, m_wideOffsetY};
            m_sprite->draw(m_wideTexture.get(), nullptr, &scale, nullptr, 0.0f, &offset, 0xFFFFFFFF);
            // Drawn now, with the filter chosen for it.
            m_sprite->flush();
        }
        setTextureFilter(filter);
    }

    if (m_sprite) {
        const aGpuResult r = m_sprite->end();
        if (gpu_failed(r))
            a_log("aGraphServer. EndSprite failed (%s)", gpu_errorName(r));
    }
    const aGpuResult ended = m_device->endScene();
    if (gpu_failed(ended))
        a_log("aGraphServer. EndScene failed (%s)", gpu_errorName(ended));
    const aGpuResult presented = m_device->present();
    if (gpu_failed(presented))
        a_log("aGraphServer. Present failed (%s)", gpu_errorName(presented));

    float t = 0.0f;
    if (m_firstFrame) {
        m_firstFrame = false;
        m_frameTimer.reset();
    } else {
        t = m_frameTimer.getSeconds();
        ++m_framesCounted;
        m_timeAccumulated += t - m_previousFrameTime;
    }
    if (t - m_windowStart > kFpsWindow) {
        m_currentFps = static_cast<float>(m_framesCounted) / m_timeAccumulated;
        ++m_fpsSamples;
        m_fpsSum += m_currentFps;
        m_framesCounted = 0;
        m_timeAccumulated = 0.0f;
        m_windowStart = t;
    }
    cursorLock.lock();
    if (showsCursor(app) && ops.step)
        ops.step(*app->getCursorAnim(), t - m_previousFrameTime);
    cursorLock.unlock();
    m_previousFrameTime = t;
    m_inScene = false;
}

void aGraphServer::resetDevice()
{
    releaseFonts();
    m_sprite.reset();
    m_wideTexture.reset();
    aApplication* app = aApplication::get();
    if (app)
        app->onDeviceLost();
    const aGpuResult r = m_device->reset(m_presentParams);
    if (gpu_failed(r))
        a_log("aGraphServer. Device reset failed (%s)", gpu_errorName(r));
    setViewport(aRect(0, 0, m_gameWidth, m_gameHeight));
    const aGpuResult c = m_device->clear(0xFF000000);
    if (gpu_failed(c))
        a_log("aGraphServer. Clear failed (%s)", gpu_errorName(c));
    if (app)
        app->onDeviceRestored();
    createDeviceObjects();
    aGpuDisplayMode current;
    if (gpu_succeeded(m_device->getAdapterDisplayMode(current)))
        m_refreshRate = current.refreshRate;
}

void aGraphServer::setFullscreen(bool on)
{
    if (on == m_fullscreen)
        return;
    aGpuDisplayMode mode;
    if (on) {
        m_fullscreen = true;
        if (!fullscreenMode(mode)) {
            m_fullscreen = false;
            a_log("aGraphServer. No fullscreen mode %ux%u, staying windowed",
                  unsigned(m_wideScreenOn ? m_wideWidth : m_gameWidth),
                  unsigned(m_wideScreenOn ? m_wideHeight : m_gameHeight));
            return;
        }
        m_windowWidth = m_wideScreenOn ? m_wideWidth : m_gameWidth;
        m_windowHeight = m_wideScreenOn ? m_wideHeight : m_gameHeight;
        if (m_window && !window_setFullscreen(m_window, mode.width, mode.height, mode.refreshRate))
            a_log("aGraphServer. Display mode %ux%u not set", unsigned(mode.width), unsigned(mode.height));
    } else {
        m_fullscreen = false;
        const aGpuRect r = computeWindowRect(m_gameWidth, m_gameHeight);
        m_windowWidth = static_cast<uint16_t>(r.right - r.left + 1);
        m_windowHeight = static_cast<uint16_t>(r.bottom - r.top + 1);
        window_setWindowed(m_window, r.left, r.top, m_windowWidth, m_windowHeight);
    }
    buildPresentParams();
    resetDevice();
    window_show(m_window);
}

void aGraphServer::setWideScreen(bool on)
{
    if (!m_wideModeAvailable || on == m_wideScreenOn)
        return;
    m_wideScreenOn = on;
    if (m_fullscreen) {
        m_fullscreen = false;
        setFullscreen(true);
        if (!m_fullscreen) {
            // The wide mode could not be shown: stay in the game-size mode.
            m_wideScreenOn = !on;
            setFullscreen(true);
        }
    }
}

void aGraphServer::saveScreenshot(const std::string& folder, const std::string& baseName)
{
    aApplication* app = aApplication::get();
    aFileServer* files = app ? &app->getFileServer() : nullptr;
    if (files && !files->exists(folder, false))
        files->makeDir(folder);
    const std::string mangled = files ? files->manglePath(folder) : folder;

    std::string name;
    for (int n = 0; n < kMaxScreenshots; ++n) {
        char buffer[4096];
        std::snprintf(buffer, sizeof buffer, "%s/%s%03d.bmp", mangled.c_str(), baseName.c_str(), n);
        if (!file_exists(buffer)) {
            name = buffer;
            break;
        }
    }
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    bool saved = false;
    if (!name.empty() && gpu_succeeded(m_device->readBackBuffer(pixels, width, height)) && width > 0 && height > 0 &&
        pixels.size() >= size_t(width) * height) {
        const std::vector<uint8_t> bytes = gpu_encodeBmp(pixels.data(), width, height);
        saved = !bytes.empty() && file_writeFull(name.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    if (saved)
        a_log("Screenshot saved: %s", name.c_str());
    else
        a_log("Screenshot save failed: %s", name.c_str());
}

void aGraphServer::releaseAll()
{
    releaseFonts();
    m_wideTexture.reset();
    m_sprite.reset();
    m_device.reset();
}

aGraphServer::~aGraphServer()
{
    if (m_device)
        releaseAll();
    if (m_fonts.count("__system__"))
        deleteFont("__system__");
    aApplication* app = aApplication::get();
    if (app && app->getGraphServer() == this)
        app->setGraphServer(nullptr);
    a_log("aGraphServer. Average fps %4.1f",
          static_cast<double>(m_fpsSum / static_cast<float>(m_fpsSamples ? m_fpsSamples : 1)));
    m_fonts.clear();
    // The window goes with the application's shutdown; one the application never took goes here.
    if (m_ownsWindow && (!app || app->getWindow() != m_window))
        window_destroy(m_window);
}
