// The keyboard and the mouse as the input server polls them: whole device
// states once per frame, with the failure codes of a device that was lost
// and must be acquired again. A key or button pressed and released between
// two polls reads down at the first and up at the next (aInputQueue). Drivers: aSdlInputDevice (the real devices) and
// aScriptedInputDevice (tests; SDL's event queue does not drive its key state).
// Main thread only.
#pragma once

#include <atomic>
#include <cstdint>

#include "orvo/platform/a_inputqueue.h"
#include "orvo/platform/a_window.h"

constexpr int32_t A_INPUT_OK = 0;
constexpr int32_t A_INPUT_LOST = static_cast<int32_t>(0x8007001E);
constexpr int32_t A_INPUT_NOTACQUIRED = static_cast<int32_t>(0x8007000C);
constexpr int32_t A_INPUT_NODEVICE = static_cast<int32_t>(0x80040154);
constexpr int32_t A_INPUT_FAILED = static_cast<int32_t>(0x80004005);

// The name of a failure code for log lines.
const char* input_errorName(int32_t code);

// Lock keys that are switched on, as aInputDevice::lockStates reports them.
constexpr uint32_t A_LOCK_CAPS = 1;
constexpr uint32_t A_LOCK_NUM = 2;
constexpr uint32_t A_LOCK_SCROLL = 4;

// Movement since the previous read (the wheel in 120 per notch) and the
// buttons (bit 7 set = down): left, right, middle, fourth.
struct aRawMouse {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    uint8_t buttons[4] = {0, 0, 0, 0};
};

class aInputDevice {
public:
    virtual ~aInputDevice() = default;

    virtual int32_t openKeyboard() = 0;
    virtual int32_t openMouse() = 0;
    virtual int32_t acquireKeyboard() = 0;
    virtual int32_t acquireMouse() = 0;
    virtual void close() = 0;

    // 256 bytes, one per key code, bit 7 set for a key that is down.
    virtual int32_t readKeyboard(uint8_t keys[256]) = 0;
    virtual int32_t readMouse(aRawMouse& mouse) = 0;

    // The pointer in the window's client coordinates.
    virtual bool cursorPos(aWindowHandle window, int32_t& x, int32_t& y) = 0;
    virtual void setCursorPos(aWindowHandle window, int32_t x, int32_t y) = 0;
    // The A_LOCK_* bits of the lock keys that are on now (the system's toggle
    // states, not whether the keys are held).
    virtual uint32_t lockStates() = 0;
};

class aSdlInputDevice : public aInputDevice {
public:
    int32_t openKeyboard() override;
    int32_t openMouse() override;
    int32_t acquireKeyboard() override;
    int32_t acquireMouse() override;
    void close() override;
    int32_t readKeyboard(uint8_t keys[256]) override;
    int32_t readMouse(aRawMouse& mouse) override;
    bool cursorPos(aWindowHandle window, int32_t& x, int32_t& y) override;
    void setCursorPos(aWindowHandle window, int32_t x, int32_t y) override;
    uint32_t lockStates() override;

private:
    // Takes SDL's own idea of what is down, forgetting the changes waiting.
    void resyncKeys();
    void resyncButtons();

    bool m_keyboardOpen = false;
    bool m_mouseOpen = false;
    bool m_keyboardAcquired = false;
    bool m_mouseAcquired = false;
    uint8_t m_keys[256] = {};
    uint8_t m_buttons[4] = {};
    uint32_t m_keyboardSeenLosses = 0;
    uint32_t m_mouseSeenLosses = 0;
};

// A device whose keys, buttons, wheel and pointer a test sets. Losing it makes
// the next reads fail until it is acquired again, as after a focus change.
class aScriptedInputDevice : public aInputDevice {
public:
    // Down or up at once, whatever is still waiting.
    void setKey(uint8_t key, bool down) { m_keys[key] = down ? 0x80 : 0; }
    void setButton(int button, bool down);
    // A change waiting for the next read, as the system delivers it: a
    // press and a release queued together are read as a tap.
    void queueKey(uint8_t key, bool down) { m_keyQueue.push(key, down); }
    void queueButton(int button, bool down);
    void addWheel(int32_t delta) { m_mouse.z += delta; }
    void addMotion(int32_t dx, int32_t dy);
    void setCursor(int32_t x, int32_t y);
    void lose();
    void setLockStates(uint32_t bits) { m_locks = bits; }
    // Makes opening (and so the whole device) fail.
    void failKeyboard(int32_t code) { m_keyboardFailure = code; }
    void failMouse(int32_t code) { m_mouseFailure = code; }

    int32_t cursorX() const { return m_cursorX; }
    int32_t cursorY() const { return m_cursorY; }
    int acquireCalls() const { return m_acquireCalls; }
    bool closed() const { return m_closed; }

    int32_t openKeyboard() override { return m_keyboardFailure; }
    int32_t openMouse() override { return m_mouseFailure; }
    int32_t acquireKeyboard() override;
    int32_t acquireMouse() override;
    void close() override { m_closed = true; }
    int32_t readKeyboard(uint8_t keys[256]) override;
    int32_t readMouse(aRawMouse& mouse) override;
    bool cursorPos(aWindowHandle window, int32_t& x, int32_t& y) override;
    void setCursorPos(aWindowHandle window, int32_t x, int32_t y) override;
    uint32_t lockStates() override { return m_locks; }

private:
    uint8_t m_keys[256] = {};
    aInputQueue m_keyQueue;
    aInputQueue m_buttonQueue;
    uint32_t m_locks = 0;
    aRawMouse m_mouse;
    // Asked from a loading thread too (a cursor set there asks where it is).
    std::atomic<int32_t> m_cursorX{0};
    std::atomic<int32_t> m_cursorY{0};
    bool m_keyboardLost = false;
    bool m_mouseLost = false;
    int32_t m_keyboardFailure = A_INPUT_OK;
    int32_t m_mouseFailure = A_INPUT_OK;
    int m_acquireCalls = 0;
    bool m_closed = false;
};
