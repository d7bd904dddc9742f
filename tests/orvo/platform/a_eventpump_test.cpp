#include <SDL.h>
#include <gtest/gtest.h>

#include "orvo/app/a_keys.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_inputdevice.h"

namespace {

void pushWindowEvent(Uint8 event)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

aMessage next(aEventPump& pump)
{
    aMessage m;
    EXPECT_TRUE(pump.peek(m));
    return m;
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
    EXPECT_FALSE(pump.peek(m));
    EXPECT_FALSE(pump.wait(m));
}

TEST_F(SdlPumpTest, WindowEventsBecomeTheLoopsMessages)
{
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    pushWindowEvent(SDL_WINDOWEVENT_MOVED); // no message
    pushWindowEvent(SDL_WINDOWEVENT_ENTER);

    aMessage m = next(pump);
    EXPECT_EQ(m.id, A_MSG_CLOSE);
    m = next(pump);
    EXPECT_EQ(m.id, A_MSG_ACTIVATEAPP);
    EXPECT_EQ(m.wParam, 0u);
    m = next(pump);
    EXPECT_EQ(m.id, A_MSG_ACTIVATEAPP);
    EXPECT_EQ(m.wParam, 1u);
    m = next(pump);
    EXPECT_EQ(m.id, A_MSG_SIZE);
    EXPECT_EQ(m.wParam, A_SIZE_MAXIMIZED);
    EXPECT_EQ(next(pump).id, A_MSG_PAINT);
    EXPECT_EQ(next(pump).id, A_MSG_SETCURSOR);
    EXPECT_FALSE(pump.peek(m));
}

TEST_F(SdlPumpTest, AQuitFromTheSystemIsARealDestroy)
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    aMessage m;
    ASSERT_TRUE(pump.wait(m));
    EXPECT_EQ(m.id, A_MSG_DESTROY);
}

TEST_F(SdlPumpTest, WheelNotchesReachTheMouseDeviceIn120Steps)
{
    aSdlInputDevice device;
    ASSERT_EQ(device.openMouse(), A_INPUT_OK);
    ASSERT_EQ(device.acquireMouse(), A_INPUT_OK);
    aRawMouse mouse;
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
    aSdlInputDevice device;
    ASSERT_EQ(device.openKeyboard(), A_INPUT_OK);
    ASSERT_EQ(device.openMouse(), A_INPUT_OK);
    ASSERT_EQ(device.acquireKeyboard(), A_INPUT_OK);
    ASSERT_EQ(device.acquireMouse(), A_INPUT_OK);
    uint8_t keys[256];
    aRawMouse mouse;
    ASSERT_EQ(device.readKeyboard(keys), A_INPUT_OK);

    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    aMessage m;
    ASSERT_TRUE(pump.peek(m));
    EXPECT_EQ(device.readKeyboard(keys), A_INPUT_LOST);
    EXPECT_EQ(device.readMouse(mouse), A_INPUT_LOST);
    EXPECT_EQ(device.acquireKeyboard(), A_INPUT_OK);
    EXPECT_EQ(device.acquireMouse(), A_INPUT_OK);
    EXPECT_EQ(device.readKeyboard(keys), A_INPUT_OK);
    EXPECT_EQ(device.readMouse(mouse), A_INPUT_OK);
}
