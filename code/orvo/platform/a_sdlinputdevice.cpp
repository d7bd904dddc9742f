#include <SDL.h>

#include <cstring>

#include "orvo/platform/a_inputdevice.h"
#include "orvo/platform/a_keytable.h"
#include "orvo/platform/a_sdlshared.h"

int32_t aSdlInputDevice::openKeyboard()
{
    m_keyboardOpen = sdlshared::ensureVideo();
    return m_keyboardOpen ? A_INPUT_OK : A_INPUT_NODEVICE;
}

int32_t aSdlInputDevice::openMouse()
{
    m_mouseOpen = sdlshared::ensureVideo();
    return m_mouseOpen ? A_INPUT_OK : A_INPUT_NODEVICE;
}

int32_t aSdlInputDevice::acquireKeyboard()
{
    if (!m_keyboardOpen)
        return A_INPUT_NODEVICE;
    m_keyboardAcquired = true;
    m_keyboardSeenLosses = sdlshared::focusLosses();
    resyncKeys();
    return A_INPUT_OK;
}

int32_t aSdlInputDevice::acquireMouse()
{
    if (!m_mouseOpen)
        return A_INPUT_NODEVICE;
    m_mouseAcquired = true;
    m_mouseSeenLosses = sdlshared::focusLosses();
    resyncButtons();
    return A_INPUT_OK;
}

void aSdlInputDevice::resyncKeys()
{
    sdlshared::keyQueue().clear();
    std::memset(m_keys, 0, sizeof m_keys);
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (int sc = 0; state && sc < count; ++sc)
        if (state[sc])
            if (const uint8_t key = keytable_fromScancode(sc))
                m_keys[key] = 0x80;
}

void aSdlInputDevice::resyncButtons()
{
    sdlshared::buttonQueue().clear();
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    m_buttons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
    m_buttons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
    m_buttons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
    m_buttons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
}

void aSdlInputDevice::close()
{
    m_keyboardOpen = m_mouseOpen = false;
    m_keyboardAcquired = m_mouseAcquired = false;
}

int32_t aSdlInputDevice::readKeyboard(uint8_t keys[256])
{
    if (!m_keyboardOpen)
        return A_INPUT_NODEVICE;
    if (m_keyboardSeenLosses != sdlshared::focusLosses())
        m_keyboardAcquired = false;
    if (!m_keyboardAcquired)
        return A_INPUT_LOST;
    // The keys follow the events the pump met, so a tap between two polls
    // still reads down once; SDL's own state is taken after a stall.
    if (!sdlshared::keyQueue().apply(m_keys, sizeof m_keys))
        resyncKeys();
    std::memcpy(keys, m_keys, sizeof m_keys);
    return A_INPUT_OK;
}

int32_t aSdlInputDevice::readMouse(aRawMouse& mouse)
{
    if (!m_mouseOpen)
        return A_INPUT_NODEVICE;
    if (m_mouseSeenLosses != sdlshared::focusLosses())
        m_mouseAcquired = false;
    if (!m_mouseAcquired)
        return A_INPUT_LOST;
    if (!sdlshared::buttonQueue().apply(m_buttons, sizeof m_buttons))
        resyncButtons();
    std::memcpy(mouse.buttons, m_buttons, sizeof m_buttons);
    sdlshared::takeMotion(mouse.x, mouse.y);
    mouse.z = sdlshared::takeWheel();
    return A_INPUT_OK;
}

bool aSdlInputDevice::cursorPos(aWindowHandle window, int32_t& x, int32_t& y)
{
    return window_cursorPos(window, x, y);
}

void aSdlInputDevice::setCursorPos(aWindowHandle window, int32_t x, int32_t y)
{
    window_warpCursor(window, x, y);
}

uint32_t aSdlInputDevice::lockStates()
{
    const SDL_Keymod mods = SDL_GetModState();
    uint32_t bits = 0;
    if (mods & KMOD_CAPS)
        bits |= A_LOCK_CAPS;
    if (mods & KMOD_NUM)
        bits |= A_LOCK_NUM;
    if (mods & KMOD_SCROLL)
        bits |= A_LOCK_SCROLL;
    return bits;
}
