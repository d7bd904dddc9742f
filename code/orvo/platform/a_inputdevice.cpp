#include "orvo/platform/a_inputdevice.h"

#include <cstring>

const char* input_errorName(int32_t code)
{
    switch (code) {
    case A_INPUT_OK:
        return "A_INPUT_OK";
    case A_INPUT_LOST:
        return "A_INPUT_LOST";
    case A_INPUT_NOTACQUIRED:
        return "A_INPUT_NOTACQUIRED";
    case A_INPUT_NODEVICE:
        return "A_INPUT_NODEVICE";
    case A_INPUT_FAILED:
        return "A_INPUT_FAILED";
    default:
        return "Unknown";
    }
}

void aScriptedInputDevice::setButton(int button, bool down)
{
    if (button >= 0 && button < 4)
        m_mouse.buttons[button] = down ? 0x80 : 0;
}

void aScriptedInputDevice::queueButton(int button, bool down)
{
    if (button >= 0 && button < 4)
        m_buttonQueue.push(static_cast<uint16_t>(button), down);
}

void aScriptedInputDevice::addMotion(int32_t dx, int32_t dy)
{
    m_mouse.x += dx;
    m_mouse.y += dy;
}

void aScriptedInputDevice::setCursor(int32_t x, int32_t y)
{
    m_cursorX = x;
    m_cursorY = y;
}

void aScriptedInputDevice::lose()
{
    m_keyboardLost = true;
    m_mouseLost = true;
}

int32_t aScriptedInputDevice::acquireKeyboard()
{
    ++m_acquireCalls;
    if (m_keyboardFailure != A_INPUT_OK)
        return m_keyboardFailure;
    m_keyboardLost = false;
    return A_INPUT_OK;
}

int32_t aScriptedInputDevice::acquireMouse()
{
    ++m_acquireCalls;
    if (m_mouseFailure != A_INPUT_OK)
        return m_mouseFailure;
    m_mouseLost = false;
    return A_INPUT_OK;
}

int32_t aScriptedInputDevice::readKeyboard(uint8_t keys[256])
{
    if (m_keyboardFailure != A_INPUT_OK)
        return m_keyboardFailure;
    if (m_keyboardLost)
        return A_INPUT_LOST;
    m_keyQueue.apply(m_keys, sizeof m_keys);
    std::memcpy(keys, m_keys, sizeof m_keys);
    return A_INPUT_OK;
}

int32_t aScriptedInputDevice::readMouse(aRawMouse& mouse)
{
    if (m_mouseFailure != A_INPUT_OK)
        return m_mouseFailure;
    if (m_mouseLost)
        return A_INPUT_LOST;
    m_buttonQueue.apply(m_mouse.buttons, sizeof m_mouse.buttons);
    mouse = m_mouse;
    // Movement and wheel are counted between reads.
    m_mouse.x = m_mouse.y = m_mouse.z = 0;
    return A_INPUT_OK;
}

bool aScriptedInputDevice::cursorPos(aWindowHandle, int32_t& x, int32_t& y)
{
    x = m_cursorX;
    y = m_cursorY;
    return true;
}

void aScriptedInputDevice::setCursorPos(aWindowHandle, int32_t x, int32_t y)
{
    m_cursorX = x;
    m_cursorY = y;
}
