#include <SDL.h>
#include <gtest/gtest.h>

#include "orvo/app/a_keys.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/platform/a_keytable.h"

namespace {

void pushEvent(Uint32 type, Uint8 windowEvent = 0, Sint32 wheel = 0, Uint32 direction = SDL_MOUSEWHEEL_NORMAL)
{
    SDL_Event e{};
    e.type = type;
    e.window.event = windowEvent; // the fields overlap; for a wheel this byte is the mouse number 0
    e.wheel.y = wheel;            // and for a window event these are its second number and padding
    e.wheel.direction = direction;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

} // namespace

// Window events become the loop's messages; the wheel reaches the mouse
// device in 120 steps; a focus loss loses the devices until acquired again.
TEST(SdlEventPump, WindowEventsBecomeMessagesAndInputDevicesFollowTheFocus)
{
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    aSdlEventPump pump;
    aMessage m;
    while (pump.peek(m))
        continue;
    // A moved window gives no message; a quit from the system is a real destroy.
    const struct {
        Uint8 windowEvent; // 0: a quit
        uint32_t id;
        uint64_t wParam;
    } cases[] = {{SDL_WINDOWEVENT_CLOSE, A_MSG_CLOSE, 0},
                 {SDL_WINDOWEVENT_FOCUS_LOST, A_MSG_ACTIVATEAPP, 0},
                 {SDL_WINDOWEVENT_FOCUS_GAINED, A_MSG_ACTIVATEAPP, 1},
                 {SDL_WINDOWEVENT_MAXIMIZED, A_MSG_SIZE, A_SIZE_MAXIMIZED},
                 {SDL_WINDOWEVENT_MOVED, A_MSG_NONE, 0},
                 {SDL_WINDOWEVENT_EXPOSED, A_MSG_PAINT, 0},
                 {SDL_WINDOWEVENT_ENTER, A_MSG_SETCURSOR, 0},
                 {0, A_MSG_DESTROY, 0}};
    for (const auto& c : cases)
        pushEvent(c.windowEvent ? SDL_WINDOWEVENT : SDL_QUIT, c.windowEvent);
    for (const auto& c : cases)
        if (c.id != A_MSG_NONE) {
            ASSERT_TRUE(pump.peek(m)) << int(c.windowEvent);
            EXPECT_TRUE(m.id == c.id && m.wParam == c.wParam) << int(c.windowEvent);
        }
    EXPECT_FALSE(pump.peek(m));

    aSdlInputDevice device;
    uint8_t keys[256] = {};
    aRawMouse mouse;
    ASSERT_TRUE(device.openKeyboard() == A_INPUT_OK && device.openMouse() == A_INPUT_OK);
    ASSERT_TRUE(device.acquireKeyboard() == A_INPUT_OK && device.acquireMouse() == A_INPUT_OK);
    ASSERT_TRUE(device.readKeyboard(keys) == A_INPUT_OK && device.readMouse(mouse) == A_INPUT_OK);
    pushEvent(SDL_MOUSEWHEEL, 0, 2);
    pushEvent(SDL_MOUSEWHEEL, 0, 1, SDL_MOUSEWHEEL_FLIPPED);
    EXPECT_FALSE(pump.peek(m));
    EXPECT_TRUE(device.readMouse(mouse) == A_INPUT_OK && mouse.z == 120) << "two steps up, one flipped down";
    EXPECT_TRUE(device.readMouse(mouse) == A_INPUT_OK && mouse.z == 0) << "read once";

    pushEvent(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    ASSERT_TRUE(pump.peek(m));
    EXPECT_TRUE(device.readKeyboard(keys) == A_INPUT_LOST && device.readMouse(mouse) == A_INPUT_LOST);
    EXPECT_TRUE(device.acquireKeyboard() == A_INPUT_OK && device.acquireMouse() == A_INPUT_OK);
    EXPECT_TRUE(device.readKeyboard(keys) == A_INPUT_OK && device.readMouse(mouse) == A_INPUT_OK);
}

// Keys and buttons pressed and released before the next poll (a quick tap,
// a typed letter) reach the device as a press at the first read and a
// release at the second; SDL's key repeats add nothing.
TEST(SdlEventPump, ATapBetweenTwoPollsIsReadDownOnceThenUp)
{
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    aSdlEventPump pump;
    aSdlInputDevice device;
    ASSERT_TRUE(device.openKeyboard() == A_INPUT_OK && device.openMouse() == A_INPUT_OK);
    ASSERT_TRUE(device.acquireKeyboard() == A_INPUT_OK && device.acquireMouse() == A_INPUT_OK);
    auto key = [](Uint32 type, uint8_t code, Uint8 repeat = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.scancode = static_cast<SDL_Scancode>(keytable_toScancode(code));
        e.key.repeat = repeat;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    };
    auto button = [](Uint32 type, Uint8 which) {
        SDL_Event e{};
        e.type = type;
        e.button.button = which;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    };
    auto drain = [&] {
        aMessage m;
        while (pump.peek(m))
            continue;
    };
    uint8_t keys[256] = {};
    aRawMouse mouse;
    key(SDL_KEYDOWN, A_KEY_ESCAPE);
    key(SDL_KEYDOWN, A_KEY_ESCAPE, 1);
    key(SDL_KEYUP, A_KEY_ESCAPE);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    drain();
    ASSERT_TRUE(device.readKeyboard(keys) == A_INPUT_OK && device.readMouse(mouse) == A_INPUT_OK);
    EXPECT_EQ(keys[A_KEY_ESCAPE], 0x80);
    EXPECT_EQ(mouse.buttons[1], 0x80);
    ASSERT_TRUE(device.readKeyboard(keys) == A_INPUT_OK && device.readMouse(mouse) == A_INPUT_OK);
    EXPECT_EQ(keys[A_KEY_ESCAPE], 0) << "the repeat made no second press";
    EXPECT_EQ(mouse.buttons[1], 0);
}
