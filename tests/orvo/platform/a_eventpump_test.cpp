#include <SDL.h>
#include <gtest/gtest.h>

#include "orvo/app/a_keys.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_inputdevice.h"

namespace {

void pushEvent(Uint32 type, Uint8 windowEvent = 0)
{
    SDL_Event e{};
    e.type = type;
    e.window.event = windowEvent;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

class SdlPumpTest : public testing::Test {
protected:
    void SetUp() override
    {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        aMessage m;
        while (pump.peek(m)) {
        }
    }
    aSdlEventPump pump;
    aSdlInputDevice device;
    uint8_t keys[256] = {};
    aRawMouse mouse;
};

} // namespace

TEST(ScriptedEventPump, PostedMessagesComeFirstAndAnEmptyWaitEnds)
{
    aScriptedEventPump pump;
    pump.push(A_MSG_PAINT);
    pump.postQuit(-3);
    aMessage m;
    ASSERT_TRUE(pump.peek(m));
    EXPECT_EQ(m.id, A_MSG_QUIT);
    EXPECT_EQ(static_cast<int32_t>(m.wParam), -3);
    ASSERT_TRUE(pump.wait(m));
    EXPECT_EQ(m.id, A_MSG_PAINT);
    EXPECT_FALSE(pump.peek(m) || pump.wait(m));
}

TEST_F(SdlPumpTest, WindowEventsAndTheSystemsQuitBecomeTheLoopsMessages)
{
    const struct {
        Uint32 type;
        Uint8 windowEvent;
        uint32_t id; // A_MSG_NONE: no message
        uint64_t wParam;
    } cases[] = {{SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE, A_MSG_CLOSE, 0},
                 {SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST, A_MSG_ACTIVATEAPP, 0},
                 {SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED, A_MSG_ACTIVATEAPP, 1},
                 {SDL_WINDOWEVENT, SDL_WINDOWEVENT_MAXIMIZED, A_MSG_SIZE, A_SIZE_MAXIMIZED},
                 {SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED, A_MSG_PAINT, 0},
                 {SDL_WINDOWEVENT, SDL_WINDOWEVENT_MOVED, A_MSG_NONE, 0},
                 {SDL_WINDOWEVENT, SDL_WINDOWEVENT_ENTER, A_MSG_SETCURSOR, 0},
                 // A quit from the system is a real destroy.
                 {SDL_QUIT, 0, A_MSG_DESTROY, 0}};
    for (const auto& c : cases)
        pushEvent(c.type, c.windowEvent);
    aMessage m;
    for (const auto& c : cases) {
        if (c.id == A_MSG_NONE)
            continue;
        ASSERT_TRUE(pump.peek(m)) << int(c.windowEvent);
        EXPECT_EQ(m.id, c.id) << int(c.windowEvent);
        EXPECT_TRUE(m.wParam == c.wParam || (c.id != A_MSG_ACTIVATEAPP && c.id != A_MSG_SIZE)) << int(c.windowEvent);
    }
    EXPECT_FALSE(pump.peek(m));
}

TEST_F(SdlPumpTest, WheelNotchesReachTheMouseDeviceIn120Steps)
{
    ASSERT_EQ(device.openMouse(), A_INPUT_OK);
    ASSERT_EQ(device.acquireMouse(), A_INPUT_OK);
    ASSERT_EQ(device.readMouse(mouse), A_INPUT_OK); // drains what came before

    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 2;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    e.wheel.y = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    aMessage m;
    EXPECT_FALSE(pump.peek(m));
    ASSERT_EQ(device.readMouse(mouse), A_INPUT_OK);
    EXPECT_EQ(mouse.z, 120);
    ASSERT_EQ(device.readMouse(mouse), A_INPUT_OK);
    EXPECT_EQ(mouse.z, 0);
}

TEST_F(SdlPumpTest, AFocusLossLosesTheDevicesUntilAcquiredAgain)
{
    ASSERT_TRUE(device.openKeyboard() == A_INPUT_OK && device.openMouse() == A_INPUT_OK);
    ASSERT_TRUE(device.acquireKeyboard() == A_INPUT_OK && device.acquireMouse() == A_INPUT_OK);
    ASSERT_EQ(device.readKeyboard(keys), A_INPUT_OK);
    pushEvent(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    aMessage m;
    ASSERT_TRUE(pump.peek(m));
    EXPECT_EQ(device.readKeyboard(keys), A_INPUT_LOST);
    EXPECT_EQ(device.readMouse(mouse), A_INPUT_LOST);
    EXPECT_TRUE(device.acquireKeyboard() == A_INPUT_OK && device.acquireMouse() == A_INPUT_OK);
    EXPECT_EQ(device.readKeyboard(keys), A_INPUT_OK);
    EXPECT_EQ(device.readMouse(mouse), A_INPUT_OK);
}
