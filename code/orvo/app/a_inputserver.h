// Keyboard and mouse, polled once per frame by the main loop: per-key and
// per-button states with edges, the wheel, the pointer in game coordinates,
// and the choice between the animated cursor and a system cursor. The derived
// application creates one after the graph server and deletes it before; it
// registers itself with the application. The GUI and the game read the states
// directly. Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "orvo/app/a_keys.h"
#include "orvo/platform/a_inputdevice.h"

class aAnim;

class aInputServer {
public:
    // Without a device the real keyboard and mouse are used.
    explicit aInputServer(std::unique_ptr<aInputDevice> device = nullptr);
    ~aInputServer();
    aInputServer(const aInputServer&) = delete;
    aInputServer& operator=(const aInputServer&) = delete;

    // One poll; while the application is inactive only the pointer is read.
    void update();
    void getMousePos(int32_t& x, int32_t& y) const;
    // A mouse button went down this frame.
    bool isAnyButtonPressed() const;
    // The A_LOCK_* bits of the lock keys that are switched on.
    uint32_t getLockStates() const { return m_device->lockStates(); }
    // Moves the system pointer to a position in game coordinates.
    void setCursorPos(int32_t x, int32_t y);
    // Shows an animated cursor (a copy of `animation`); null removes it.
    int64_t setCursor(const aAnim* animation, uint16_t hotX, uint16_t hotY);
    void setSystemCursor(uint32_t cursorId);
    // An animated cursor is to be drawn on top of the frame.
    bool showsAnimatedCursor() const;
    // The pointer is shared with the desktop (never grabbed) and the engine
    // draws the animated cursor itself: true once the mouse was opened.
    bool isMouseNonExclusive() const { return m_mouse; }
    // The pointer in the window's client coordinates (for the cursor choice).
    bool clientCursorPos(int32_t& x, int32_t& y) const;

    // How client positions map to game positions.
    struct Geometry {
        int32_t clientWidth = 0;
        int32_t clientHeight = 0;
        int32_t gameWidth = 0;
        int32_t gameHeight = 0;
        // Fullscreen wide screen: the game picture is scaled and centred in the wide mode.
        bool wide = false;
        int32_t wideWidth = 0;
        int32_t wideHeight = 0;
    };
    // False (nothing written) when a size is zero.
    static bool clientToGame(const Geometry& g, int32_t cx, int32_t cy, int32_t& x, int32_t& y);
    static bool gameToClient(const Geometry& g, int32_t x, int32_t y, int32_t& cx, int32_t& cy);
    // The geometry of the graph server now; false without one.
    static bool currentGeometry(Geometry& g);

    uint32_t keyStates[256] = {};  // aKeyState per key code
    uint32_t buttonStates[3] = {}; // left, right, middle
    uint8_t rawKeys[256] = {};     // last keyboard read, bit 7 = down
    aRawMouse rawMouse;            // last mouse read; z is the wheel (120 per notch)
    uint16_t hotX = 0;
    uint16_t hotY = 0;
    int32_t pointerX = 0;
    int32_t pointerY = 0;

private:
    void initMouse();
    void sendSetCursor();

    std::unique_ptr<aInputDevice> m_device;
    bool m_keyboard = false;
    bool m_mouse = false;
};
