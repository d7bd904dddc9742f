#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "orvo/platform/a_inputqueue.h"
#include "orvo/platform/a_message.h"
#include "orvo/platform/a_window.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"

using Geometry = aInputServer::Geometry;

TEST(InputServer, KeyStatesCarryTheEdgesALostDeviceReadsUpOnceAndInactiveOnlyThePointerMoves)
{
    kbtest::LogCapture log;
    kbtest::LoopRig rig;
    auto poll = [&](uint8_t key, bool down) { // sets a key, polls once and answers the key's state
        rig.keys->setKey(key, down);
        rig.inputServer->update();
        return rig.inputServer->keyStates[key];
    };
    std::vector<uint32_t> states;
    for (bool down : {true, true, true, false, false})
        states.push_back(poll(A_KEY_SPACE, down));
    EXPECT_EQ(states, (std::vector<uint32_t>{2, 3, 3, 1, 0}));
    // Buttons follow the same rule; the wheel's movement is the frame's own.
    rig.keys->setButton(1, true);
    rig.keys->addWheel(-240);
    rig.inputServer->update();
    EXPECT_TRUE(rig.inputServer->buttonStates[1] == 2u && rig.inputServer->isAnyButtonPressed());
    rig.inputServer->update();
    EXPECT_TRUE(rig.inputServer->buttonStates[1] == 3u && !rig.inputServer->isAnyButtonPressed());
    EXPECT_EQ(rig.inputServer->rawMouse.z, 0);
    // A lost device reads all up for one poll and is acquired again.
    poll(A_KEY_A, true);
    ASSERT_EQ(poll(A_KEY_A, true), 3u);
    rig.keys->lose();
    EXPECT_EQ(poll(A_KEY_A, true), 1u);
    EXPECT_EQ(rig.inputServer->buttonStates[1], 1u);
    EXPECT_TRUE(log.contains("aInputServer. Mouse GetDeviceState failed (A_INPUT_LOST)"));
    EXPECT_EQ(poll(A_KEY_A, true), 2u); // still held: the next poll reads it normally again
    poll(A_KEY_W, true);
    rig.app.wndProc(nullptr, A_MSG_ACTIVATEAPP, 0, 0);
    rig.keys->setCursor(512, 384);
    EXPECT_EQ(poll(A_KEY_W, false), 2u);
    EXPECT_EQ(std::pair(rig.inputServer->pointerX, rig.inputServer->pointerY), std::pair(512, 384));
    EXPECT_TRUE(rig.inputServer->isMouseNonExclusive());
}

// Presses and releases that came together between two polls: each tap is
// seen pressed once and released at the next poll, typed keys keep their
// order, and a key tapped twice is seen twice.
TEST(InputServer, TapsBetweenTwoPollsAreSeenOnceInTheOrderTheyCame)
{
    kbtest::LoopRig rig;
    aScriptedInputDevice& device = *rig.keys;
    aInputServer& input = *rig.inputServer;
    auto tap = [&](uint8_t key) { device.queueKey(key, true), device.queueKey(key, false); };
    // The states of some keys over the next polls, one string per poll.
    auto polls = [&](std::initializer_list<uint8_t> keys, int count) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            input.update();
            std::string line;
            for (uint8_t k : keys)
                line += std::to_string(input.keyStates[k]);
            out.push_back(line);
        }
        return out;
    };
    tap(A_KEY_ESCAPE);
    EXPECT_EQ(polls({A_KEY_ESCAPE}, 3), (std::vector<std::string>{"2", "1", "0"}));
    // "Mira" with the shift key, all within one frame: M, then i, r, a one a poll.
    device.queueKey(A_KEY_LSHIFT, true);
    for (uint8_t k : {A_KEY_M, A_KEY_I, A_KEY_R, A_KEY_A}) {
        tap(k);
        if (k == A_KEY_M)
            device.queueKey(A_KEY_LSHIFT, false);
    }
    EXPECT_EQ(polls({A_KEY_LSHIFT, A_KEY_M, A_KEY_I, A_KEY_R, A_KEY_A}, 5),
              (std::vector<std::string>{"22000", "11200", "00120", "00012", "00001"}));
    // The same key twice, and a key held across a tap of another.
    tap(A_KEY_L), tap(A_KEY_L);
    device.queueKey(A_KEY_SPACE, true);
    EXPECT_EQ(polls({A_KEY_L, A_KEY_SPACE}, 4), (std::vector<std::string>{"20", "10", "20", "12"}));
    device.queueKey(A_KEY_SPACE, false);
    // A mouse click between two polls counts as one press.
    device.queueButton(0, true), device.queueButton(0, false);
    std::vector<uint32_t> left;
    for (int i = 0; i < 3; ++i) {
        input.update();
        left.push_back(input.buttonStates[0]);
    }
    EXPECT_EQ(left, (std::vector<uint32_t>{2, 1, 0}));
    // A stall with more changes than are kept: they are dropped, nothing sticks down.
    for (size_t i = 0; i <= aInputQueue::kMaxWaiting; ++i)
        device.queueKey(A_KEY_B, i % 2 == 0);
    input.update();
    input.update();
    EXPECT_EQ(input.keyStates[A_KEY_B], 0u);
}

TEST(InputServer, MissingDevicesAreLoggedAndStayUp)
{
    kbtest::LogCapture log;
    kbtest::TestApp app;
    auto device = std::make_unique<aScriptedInputDevice>();
    aScriptedInputDevice* keys = device.get();
    keys->failKeyboard(A_INPUT_NODEVICE);
    keys->failMouse(A_INPUT_NODEVICE);
    keys->setCursor(100, 100);
    aInputServer input(std::move(device));
    EXPECT_TRUE(log.contains("aInputServer. Keyboard CreateDevice failed (A_INPUT_NODEVICE)"));
    keys->setKey(A_KEY_A, true);
    input.update();
    EXPECT_EQ(input.keyStates[A_KEY_A], 0u);
    EXPECT_EQ(std::pair(input.pointerX, input.pointerY), std::pair(0, 0));
}

TEST(InputPointer, ClientAndGameCoordinatesMapBothWays)
{
    const Geometry scaled{2048, 1536, 1024, 768};
    // 1024 x 768 shown at scale 1 in 1366 x 768: bars of 171 pixels.
    const Geometry bars{1366, 768, 1024, 768, true, 1366, 768};
    struct Case {
        Geometry g;
        int32_t cx, cy, x, y;
    };
    // Truncation toward zero, also left of the window; the bars belong to the picture's edges.
    for (const auto& [g, cx, cy, x, y] :
         {Case{scaled, 1000, 1535, 500, 767}, Case{scaled, -3, 1, -1, 0}, Case{bars, 1360, 10, 1023, 10}}) {
        int32_t gx = -7, gy = -7;
        ASSERT_TRUE(aInputServer::clientToGame(g, cx, cy, gx, gy));
        EXPECT_EQ(std::pair(gx, gy), std::pair(x, y)) << cx << "," << cy;
    }
    int32_t x = 7, y = 8;
    ASSERT_TRUE(aInputServer::gameToClient(scaled, 500, 100, x, y));
    EXPECT_EQ(std::pair(x, y), std::pair(1000, 200));
    x = 683, y = 300;
    ASSERT_TRUE(aInputServer::clientToGame(bars, x, y, x, y));
    ASSERT_TRUE(aInputServer::gameToClient(bars, x, y, x, y));
    EXPECT_EQ(std::pair(x, y), std::pair(683, 300)) << "and back";
    // A zero size never divides, and nothing is written.
    EXPECT_FALSE(aInputServer::clientToGame(Geometry{0, 768, 1024, 768}, 10, 10, x, y));
    EXPECT_FALSE(aInputServer::gameToClient(Geometry{1024, 768, 0, 768}, 10, 10, x, y));
    EXPECT_EQ(std::pair(x, y), std::pair(683, 300));
}

TEST(InputPointer, TheServerUsesTheGraphServersSizes)
{
    // A work area smaller than the game shrinks the window to 800 x 600.
    const aWorkArea saved = aApplication::workArea();
    aApplication::setWorkArea({0, 0, 800, 600});
    kbtest::LoopRig rig;
    aApplication::setWorkArea(saved);
    ASSERT_EQ((std::pair<int, int>(rig.graph->getWindowWidth(), rig.graph->getWindowHeight())), std::pair(800, 600));
    rig.keys->setCursor(400, 599);
    rig.inputServer->update();
    EXPECT_EQ(std::pair(rig.inputServer->pointerX, rig.inputServer->pointerY), std::pair(512, 766));
    // Placing the pointer goes the other way.
    rig.inputServer->setCursorPos(512, 384);
    EXPECT_EQ(std::pair(rig.keys->cursorX(), rig.keys->cursorY()), std::pair(400, 300));
    int32_t x = 0, y = 0;
    rig.inputServer->getMousePos(x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(512, 384));
}
