#include "orvo/app/a_inputserver.h"

#include <algorithm>
#include <cstring>

#include "orvo/app/a_application.h"
#include "orvo/app/a_cursoranim.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/a_message.h"
#include "orvo/util/a_log.h"

namespace {

// The animation last given to setCursor; compared, never dereferenced.
const aAnim* g_lastCursor = nullptr;

uint32_t nextState(uint32_t previous, bool down)
{
    const bool wasDown = previous == A_STATE_PRESSED || previous == A_STATE_HELD;
    if (down)
        return wasDown ? A_STATE_HELD : A_STATE_PRESSED;
    return wasDown ? A_STATE_RELEASED : A_STATE_UP;
}

void deleteCursorAnim(aApplication* app)
{
    std::lock_guard lock(cursoranim_mutex());
    if (!app || !app->getCursorAnim())
        return;
    if (auto destroy = cursoranim_ops().destroy)
        destroy(app->getCursorAnim());
    app->setCursorAnim(nullptr);
}

} // namespace

aInputServer::aInputServer(std::unique_ptr<aInputDevice> device)
    : m_device(device ? std::move(device) : std::make_unique<aSdlInputDevice>())
{
    aApplication* app = aApplication::get();
    if (app)
        app->setInputServer(this);
    else
        a_log("aInputServer. aApplication object not created!");

    const int32_t opened = m_device->openKeyboard();
    if (opened != A_INPUT_OK) {
        a_log("aInputServer. Keyboard CreateDevice failed (%s)", input_errorName(opened));
    } else {
        m_keyboard = true;
        const int32_t acquired = m_device->acquireKeyboard();
        if (acquired != A_INPUT_OK)
            a_log("aInputServer. Keyboard Acquire failed (%s)", input_errorName(acquired));
    }
    initMouse();

    deleteCursorAnim(app);
    g_lastCursor = nullptr;
    sendSetCursor();
    hotX = hotY = 0;
}

aInputServer::~aInputServer()
{
    aApplication* app = aApplication::get();
    deleteCursorAnim(app);
    if (app && app->getInputServer() == this)
        app->setInputServer(nullptr);
    m_device->close();
}

void aInputServer::initMouse()
{
    const int32_t opened = m_device->openMouse();
    if (opened != A_INPUT_OK) {
        a_log("aInputServer. Mouse CreateDevice failed (%s)", input_errorName(opened));
    } else {
        m_mouse = true;
        const int32_t acquired = m_device->acquireMouse();
        if (acquired != A_INPUT_OK)
            a_log("aInputServer. Mouse Acquire failed (%s)", input_errorName(acquired));
    }
    std::fill(std::begin(buttonStates), std::end(buttonStates), 0u);
}

void aInputServer::sendSetCursor()
{
    if (aApplication* app = aApplication::get())
        app->wndProc(app->getWindow(), A_MSG_SETCURSOR, 0, 0);
}

void aInputServer::update()
{
    aApplication* app = aApplication::get();
    if (!app || app->isActive()) {
        if (m_keyboard) {
            const int32_t rc = m_device->readKeyboard(rawKeys);
            if (rc != A_INPUT_OK) {
                a_log("aInputServer. Keyboard GetDeviceState failed (%s)", input_errorName(rc));
                // A lost keyboard reads as all keys up for this poll.
                std::memset(rawKeys, 0, sizeof rawKeys);
                if (rc == A_INPUT_LOST || rc == A_INPUT_NOTACQUIRED) {
                    const int32_t acquired = m_device->acquireKeyboard();
                    if (acquired != A_INPUT_OK)
                        a_log("aInputServer. Keyboard Acquire failed (%s)", input_errorName(acquired));
                }
            }
            for (int k = 0; k < 256; ++k)
                keyStates[k] = nextState(keyStates[k], (rawKeys[k] & 0x80) != 0);
        }
        if (m_mouse) {
            const int32_t rc = m_device->readMouse(rawMouse);
            if (rc != A_INPUT_OK) {
                a_log("aInputServer. Mouse GetDeviceState failed (%s)", input_errorName(rc));
                rawMouse = aRawMouse();
                if (rc == A_INPUT_LOST || rc == A_INPUT_NOTACQUIRED) {
                    const int32_t acquired = m_device->acquireMouse();
                    if (acquired != A_INPUT_OK)
                        a_log("aInputServer. Mouse Acquire failed (%s)", input_errorName(acquired));
                }
            }
            for (int b = 0; b < 3; ++b)
                buttonStates[b] = nextState(buttonStates[b], (rawMouse.buttons[b] & 0x80) != 0);
        }
    }

    if (!m_mouse) {
        pointerX = pointerY = 0;
        return;
    }
    int32_t cx = 0, cy = 0;
    if (!m_device->cursorPos(app ? app->getWindow() : nullptr, cx, cy))
        return;
    Geometry g;
    if (!currentGeometry(g)) {
        pointerX = cx;
        pointerY = cy;
        return;
    }
    clientToGame(g, cx, cy, pointerX, pointerY);
}

void aInputServer::getMousePos(int32_t& x, int32_t& y) const
{
    x = pointerX;
    y = pointerY;
}

bool aInputServer::isAnyButtonPressed() const
{
    return std::any_of(std::begin(buttonStates), std::end(buttonStates),
                       [](uint32_t s) { return s == A_STATE_PRESSED; });
}

void aInputServer::setCursorPos(int32_t x, int32_t y)
{
    if (!m_mouse)
        return;
    pointerX = x;
    pointerY = y;
    int32_t cx = x, cy = y;
    Geometry g;
    if (currentGeometry(g) && !gameToClient(g, x, y, cx, cy))
        return;
    aApplication* app = aApplication::get();
    m_device->setCursorPos(app ? app->getWindow() : nullptr, cx, cy);
}

int64_t aInputServer::setCursor(const aAnim* animation, uint16_t hx, uint16_t hy)
{
    aApplication* app = aApplication::get();
    const aCursorAnimOps& ops = cursoranim_ops();
    std::unique_lock lock(cursoranim_mutex());
    if (animation && animation != g_lastCursor && app) {
        aAnim* own = app->getCursorAnim();
        if (!own) {
            if (ops.copy)
                app->setCursorAnim(ops.copy(*animation));
        } else if (ops.assign) {
            ops.assign(*own, *animation);
        }
        if (app->getCursorAnim() && ops.play)
            ops.play(*app->getCursorAnim());
    } else if (!animation) {
        deleteCursorAnim(app);
    }
    g_lastCursor = animation;
    lock.unlock();
    int64_t result = 0;
    if (app)
        result = app->wndProc(app->getWindow(), A_MSG_SETCURSOR, 0, 0);
    {
        std::lock_guard hotLock(cursoranim_mutex());
        hotX = hx;
        hotY = hy;
    }
    return result;
}

void aInputServer::setSystemCursor(uint32_t cursorId)
{
    aApplication* app = aApplication::get();
    {
        std::lock_guard lock(cursoranim_mutex());
        deleteCursorAnim(app);
        g_lastCursor = nullptr;
    }
    if (app)
        app->setSystemCursor(cursorId);
    sendSetCursor();
}

bool aInputServer::showsAnimatedCursor() const
{
    const aApplication* app = aApplication::get();
    return app && app->getCursorAnim() && app->getInputServer() == this;
}

bool aInputServer::clientCursorPos(int32_t& x, int32_t& y) const
{
    const aApplication* app = aApplication::get();
    return m_device->cursorPos(app ? app->getWindow() : nullptr, x, y);
}

bool aInputServer::currentGeometry(Geometry& g)
{
    const aApplication* app = aApplication::get();
    const aGraphServer* gs = app ? app->getGraphServer() : nullptr;
    if (!gs)
        return false;
    g.clientWidth = gs->getWindowWidth();
    g.clientHeight = gs->getWindowHeight();
    g.gameWidth = gs->getGameWidth();
    g.gameHeight = gs->getGameHeight();
    g.wide = gs->isFullscreen() && gs->isWideScreenOn();
    g.wideWidth = gs->getWideWidth();
    g.wideHeight = gs->getWideHeight();
    return true;
}

bool aInputServer::clientToGame(const Geometry& g, int32_t cx, int32_t cy, int32_t& x, int32_t& y)
{
    if (g.clientWidth <= 0 || g.clientHeight <= 0 || g.gameWidth <= 0 || g.gameHeight <= 0)
        return false;
    if (!g.wide) {
        x = static_cast<int32_t>(int64_t(g.gameWidth) * cx / g.clientWidth);
        y = static_cast<int32_t>(int64_t(g.gameHeight) * cy / g.clientHeight);
        return true;
    }
    if (g.wideWidth <= 0 || g.wideHeight <= 0)
        return false;
    // Back through the composite: client -> wide-mode pixels -> game picture,
    // the side bars belonging to the nearest edge of the picture.
    float scale = 1.0f, offsetX = 0.0f, offsetY = 0.0f;
    aGraphServer::wideScreenTransform(g.gameWidth, g.gameHeight, g.wideWidth, g.wideHeight, scale, offsetX, offsetY);
    const float wx = static_cast<float>(int64_t(g.wideWidth) * cx) / static_cast<float>(g.clientWidth);
    const float wy = static_cast<float>(int64_t(g.wideHeight) * cy) / static_cast<float>(g.clientHeight);
    const float gx = (wx - offsetX) / scale;
    const float gy = (wy - offsetY) / scale;
    x = std::clamp(static_cast<int32_t>(gx), 0, g.gameWidth - 1);
    y = std::clamp(static_cast<int32_t>(gy), 0, g.gameHeight - 1);
    return true;
}

bool aInputServer::gameToClient(const Geometry& g, int32_t x, int32_t y, int32_t& cx, int32_t& cy)
{
    if (g.clientWidth <= 0 || g.clientHeight <= 0 || g.gameWidth <= 0 || g.gameHeight <= 0)
        return false;
    if (!g.wide) {
        cx = static_cast<int32_t>(int64_t(g.clientWidth) * x / g.gameWidth);
        cy = static_cast<int32_t>(int64_t(g.clientHeight) * y / g.gameHeight);
        return true;
    }
    if (g.wideWidth <= 0 || g.wideHeight <= 0)
        return false;
    float scale = 1.0f, offsetX = 0.0f, offsetY = 0.0f;
    aGraphServer::wideScreenTransform(g.gameWidth, g.gameHeight, g.wideWidth, g.wideHeight, scale, offsetX, offsetY);
    const float wx = static_cast<float>(x) * scale + offsetX;
    const float wy = static_cast<float>(y) * scale + offsetY;
    cx = static_cast<int32_t>(wx * static_cast<float>(g.clientWidth) / static_cast<float>(g.wideWidth));
    cy = static_cast<int32_t>(wy * static_cast<float>(g.clientHeight) / static_cast<float>(g.wideHeight));
    return true;
}
