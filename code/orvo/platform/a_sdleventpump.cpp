#include <SDL.h>

#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_keytable.h"
#include "orvo/platform/a_sdlshared.h"

namespace {

constexpr int32_t kWheelNotch = 120;

// The input device's button number of an SDL button, -1 for others.
int buttonIndex(Uint8 sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 0;
    case SDL_BUTTON_RIGHT:
        return 1;
    case SDL_BUTTON_MIDDLE:
        return 2;
    case SDL_BUTTON_X1:
        return 3;
    default:
        return -1;
    }
}

// One SDL event as a message of the loop; false for events the loop does not see.
bool translate(const SDL_Event& e, aMessage& out)
{
    if (e.type == sdlshared::wakeEventType()) {
        // Only wakes the loop, which then looks at what it was woken for.
        out = {A_MSG_NONE, 0, 0};
        return true;
    }
    switch (e.type) {
    case SDL_QUIT:
        // Only a signal or the session ending gets here (window closes are
        // requests, see ensureVideo): the window is going for good.
        out = {A_MSG_DESTROY, 0, 0};
        return true;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out = {A_MSG_CLOSE, 0, 0};
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out = {A_MSG_ACTIVATEAPP, 1, 0};
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
            sdlshared::noteFocusLost();
            out = {A_MSG_ACTIVATEAPP, 0, 0};
            return true;
        case SDL_WINDOWEVENT_MAXIMIZED:
            out = {A_MSG_SIZE, A_SIZE_MAXIMIZED, 0};
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            out = {A_MSG_PAINT, 0, 0};
            return true;
        case SDL_WINDOWEVENT_ENTER:
            out = {A_MSG_SETCURSOR, 0, 0};
            return true;
        default:
            return false;
        }
    case SDL_MOUSEMOTION:
        sdlshared::addMotion(e.motion.xrel, e.motion.yrel);
        // The pointer moved over the window: time to choose its cursor.
        out = {A_MSG_SETCURSOR, 0, 0};
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // Held keys repeat in SDL; the device sees a key down until it goes up.
        if (!e.key.repeat)
            if (const uint8_t key = keytable_fromScancode(e.key.keysym.scancode))
                sdlshared::keyQueue().push(key, e.type == SDL_KEYDOWN);
        return false;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (const int b = buttonIndex(e.button.button); b >= 0)
            sdlshared::buttonQueue().push(static_cast<uint16_t>(b), e.type == SDL_MOUSEBUTTONDOWN);
        return false;
    case SDL_MOUSEWHEEL: {
        int32_t notches = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            notches = -notches;
        sdlshared::addWheel(notches * kWheelNotch);
        return false;
    }
    default:
        return false;
    }
}

} // namespace

aSdlEventPump::aSdlEventPump()
{
    m_ready = sdlshared::ensureVideo();
}

aSdlEventPump::~aSdlEventPump() = default;

bool aSdlEventPump::peekSystem(aMessage& out)
{
    if (!m_ready)
        return false;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        if (translate(e, out))
            return true;
    return false;
}

bool aSdlEventPump::waitSystem(aMessage& out)
{
    if (!m_ready)
        return false;
    SDL_Event e;
    while (SDL_WaitEvent(&e))
        if (translate(e, out))
            return true;
    return false;
}
