// aApplication: the main loop, the window procedure and the loading thread.
#include "orvo/app/a_application.h"
#include "orvo/app/a_diskpath.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_keys.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_message.h"
#include "orvo/platform/gpu/a_gpudevice.h"
#include "orvo/util/a_log.h"

namespace {

// While a loading thread runs, frames come at most 30 times a second.
constexpr float kLoadingFrameTime = 0.033333335f;
// Without a display frames come as often as a common one refreshes.
constexpr float kDisplaylessFrameTime = 1.0f / 60.0f;

uint32_t sleepMsFor(float seconds)
{
    // Truncated toward zero; the difference is positive when this is called.
    return static_cast<uint32_t>(seconds * 1000.0f);
}

} // namespace

int32_t aApplication::run()
{
    if (!m_graphServer) {
        a_log("aApplication: Error, aGraphServer object not created!");
        return 1;
    }
    int32_t frameResult = 0;
    aMessage message;
    m_frameTimer.reset();
    m_running = true;
    aEventPump& pump = eventPump();
    while (message.id != A_MSG_QUIT) {
        serviceRaiseRequest();
        const bool taken = m_active ? pump.peek(message) : pump.wait(message);
        if (taken) {
            if (message.id != A_MSG_QUIT)
                wndProc(m_window, message.id, message.wParam, message.lParam);
            continue;
        }
        if (!m_active) {
            // No message can ever come again (the window system went away).
            message = {A_MSG_QUIT, 0, 0};
            break;
        }
        runFrame(frameResult);
    }
    m_running = false;
    return static_cast<int32_t>(static_cast<uint32_t>(message.wParam));
}

float aApplication::pacedFrameTime() const
{
    if (!m_framePacing)
        return 0.0f;
    const aGpuDevice* device = m_graphServer->getDevice();
    const aGpuPresentWait wait = device ? device->presentWait() : aGpuPresentWait::None;
    if (wait == aGpuPresentWait::NoDisplay)
        return kDisplaylessFrameTime;
    // A present that waits for the display paces the loop itself; fullscreen
    // without vsync presents at once, as fast as frames come. Fullscreen with
    // vsync whose swap cannot wait sleeps like a window: vsync never gives
    // frames faster than the display.
    if (wait == aGpuPresentWait::Refresh || (m_graphServer->isFullscreen() && !m_graphServer->isVsync()))
        return 0.0f;
    uint32_t limit = m_graphServer->getRefreshRate() & 0xFFFF;
    if (limit == 0 || limit > 1000)
        limit = 100;
    return 1.0f / static_cast<float>(limit);
}

void aApplication::runFrame(int32_t& frameResult)
{
    float elapsed = m_frameTimer.getSeconds();
    const float frameTime = pacedFrameTime();
    if (elapsed < frameTime) {
        system_sleepMs(sleepMsFor(frameTime - elapsed));
        elapsed = m_frameTimer.getSeconds();
    }
    if (m_loadingThread.joinable() && !isLoadingDone() && elapsed < kLoadingFrameTime)
        system_sleepMs(sleepMsFor(kLoadingFrameTime - elapsed));
    m_frameTimer.reset();

    if (m_inputServer)
        m_inputServer->update();

    const bool altDown = m_inputServer && (m_inputServer->keyStates[A_KEY_LALT] >= A_STATE_PRESSED ||
                                           m_inputServer->keyStates[A_KEY_RALT] >= A_STATE_PRESSED);
    if (canToggleFullscreen() && altDown && m_inputServer->keyStates[A_KEY_ENTER] == A_STATE_PRESSED) {
        m_graphServer->setFullscreen(!m_graphServer->isFullscreen());
        onDisplayModeChanged();
    } else if (!isPaused()) {
        frameResult = update();
    }
    if (frameResult == 0)
        frameResult = render();

    if (frameResult < 0) {
        wndProc(m_window, A_MSG_CLOSE, 0, 0);
    } else if (canTakeScreenshot() && m_inputServer && m_inputServer->keyStates[A_KEY_PRINTSCREEN] == A_STATE_PRESSED) {
        m_graphServer->saveScreenshot(m_screenshotDir, "ScreenShot");
    }
}

void aApplication::requestClose()
{
    if (canQuit())
        eventPump().postQuit(0);
}

int64_t aApplication::wndProc(aWindowHandle window, uint32_t message, uint64_t wParam, int64_t /*lParam*/)
{
    switch (message) {
    case A_MSG_DESTROY:
        // The window is gone: nothing can keep the loop going.
        eventPump().postQuit(0);
        return 0;
    case A_MSG_CLOSE:
        requestClose();
        return 0;
    case A_MSG_SIZE:
        if (wParam == A_SIZE_MAXIMIZED) {
            window_raise(window);
            if (m_graphServer && !m_graphServer->isFullscreen()) {
                m_graphServer->setFullscreen(true);
                onDisplayModeChanged();
            }
        }
        return 0;
    case A_MSG_PAINT:
        if (m_running && m_graphServer && !m_graphServer->isFullscreen())
            render();
        return 0;
    case A_MSG_ACTIVATEAPP: {
        const bool nowActive = wParam == 1;
        if (nowActive == m_active)
            return 0;
        m_active = nowActive;
        if (nowActive) {
            window_raise(window);
            onActivate();
        } else {
            onDeactivate();
            // The paused picture is drawn once.
            if (m_graphServer)
                render();
        }
        return 0;
    }
    case A_MSG_SETCURSOR: {
        int32_t x = 0, y = 0;
        const bool known = m_inputServer ? m_inputServer->clientCursorPos(x, y) : window_cursorPos(window, x, y);
        if (known && m_active && m_graphServer && x >= 0 && x < m_graphServer->getGameWidth() && y >= 0 &&
            y < m_graphServer->getGameHeight()) {
            cursor_set(m_cursorAnim ? 0 : m_systemCursor);
            return 1;
        }
        // Elsewhere (title bar, side bars) the window's own arrow.
        cursor_set(A_CURSOR_ARROW);
        return 0;
    }
    case A_MSG_SYSCOMMAND:
        if (wParam == A_SYSCMD_KEYMENU)
            return 0;
        if ((wParam == A_SYSCMD_SCREENSAVE || wParam == A_SYSCMD_MONITORPOWER) && m_active)
            return 0;
        return 0;
    case A_MSG_MOUSEMOVE:
        return 0;
    case A_MSG_ENTERMENULOOP:
    case A_MSG_ENTERSIZEMOVE:
        onDeactivate();
        if (m_graphServer)
            render();
        return 0;
    case A_MSG_EXITMENULOOP:
    case A_MSG_EXITSIZEMOVE:
        onActivate();
        return 0;
    default:
        return 0;
    }
}

void aApplication::startLoadingThread(aLoadingRoutine routine, void* parameter)
{
    if (m_loadingThread.joinable()) {
        a_log("Error: thread for loading already created!");
        return;
    }
    m_loadingDone = false;
    m_loadingExitCode = 0;
    m_loadingThread = std::thread([this, routine, parameter] {
        system_setThreadPriority(A_THREAD_NORMAL);
        // A stack overflow of the loading routine is reported too.
        fault_prepareThread();
        // The data folders stay as they are while a load runs: each is listed once for its look-ups.
        aFolderListingScope listings;
        const uint32_t code = routine ? routine(parameter) : 0;
        m_loadingExitCode = code;
        // Set last: the main thread joins once it sees it.
        m_loadingDone.store(true, std::memory_order_release);
    });
}

bool aApplication::isLoadingThreadRunning() const
{
    return m_loadingThread.joinable() && !m_loadingDone.load(std::memory_order_acquire);
}

bool aApplication::isLoadingDone()
{
    if (!m_loadingThread.joinable())
        return true;
    if (!m_loadingDone.load(std::memory_order_acquire))
        return false;
    m_loadingThread.join();
    if (m_loadingExitCode != 0) {
        showError(A_ERROR_NO_MEDIA);
        wndProc(m_window, A_MSG_CLOSE, 0, 0);
    }
    return true;
}
