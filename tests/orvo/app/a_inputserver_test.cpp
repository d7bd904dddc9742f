#include <gtest/gtest.h>

#include "orvo/app/a_cursoranim.h"
#include "orvo/platform/a_message.h"
#include "orvo/platform/a_window.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"

using Geometry = aInputServer::Geometry;

namespace {

std::vector<uint32_t> keyStatesOver(kbtest::LoopRig& rig, uint8_t key, std::initializer_list<bool> downs)
{
    std::vector<uint32_t> states;
    for (bool down : downs) {
        rig.keys->setKey(key, down);
        rig.inputServer->update();
        states.push_back(rig.inputServer->keyStates[key]);
    }
    return states;
}

} // namespace

TEST(InputServer, KeyStatesCarryTheEdges)
{
    kbtest::LoopRig rig;
    EXPECT_EQ(keyStatesOver(rig, A_KEY_SPACE, {true, true, true, false, false}),
              (std::vector<uint32_t>{2, 3, 3, 1, 0}));
    // Buttons follow the same rule.
    rig.keys->setButton(1, true);
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->buttonStates[1], 2u);
    EXPECT_TRUE(rig.inputServer->isAnyButtonPressed());
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->buttonStates[1], 3u);
    EXPECT_FALSE(rig.inputServer->isAnyButtonPressed());
    // The wheel's movement of the frame, 120 per notch.
    rig.keys->addWheel(-240);
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->rawMouse.z, -240);
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->rawMouse.z, 0);
}

TEST(InputServer, AKeyDownAtStartReadsPressedFirst)
{
    kbtest::LoopRig rig;
    rig.keys->setKey(A_KEY_ESCAPE, true);
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->keyStates[A_KEY_ESCAPE], 2u);
}

TEST(InputServer, ALostDeviceReadsAllUpForOnePollAndIsAcquiredAgain)
{
    kbtest::LogCapture log;
    kbtest::LoopRig rig;
    rig.keys->setKey(A_KEY_A, true);
    rig.keys->setButton(0, true);
    rig.inputServer->update();
    rig.inputServer->update();
    ASSERT_EQ(rig.inputServer->keyStates[A_KEY_A], 3u);
    rig.keys->lose();
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->keyStates[A_KEY_A], 1u);
    EXPECT_EQ(rig.inputServer->buttonStates[0], 1u);
    EXPECT_TRUE(log.contains("aInputServer. Keyboard GetDeviceState failed (A_INPUT_LOST)"));
    EXPECT_TRUE(log.contains("aInputServer. Mouse GetDeviceState failed (A_INPUT_LOST)"));
    // Still held: the next poll reads it normally again.
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->keyStates[A_KEY_A], 2u);
    // Released meanwhile: it stays up.
    rig.keys->lose();
    rig.inputServer->update();
    rig.keys->setKey(A_KEY_A, false);
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->keyStates[A_KEY_A], 0u);
}

TEST(InputServer, WhileInactiveNothingIsPolledButThePointer)
{
    kbtest::LoopRig rig;
    rig.keys->setKey(A_KEY_W, true);
    rig.inputServer->update();
    rig.app.wndProc(nullptr, A_MSG_ACTIVATEAPP, 0, 0);
    rig.keys->setKey(A_KEY_W, false);
    rig.keys->setCursor(512, 384);
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->keyStates[A_KEY_W], 2u);
    EXPECT_EQ(rig.inputServer->pointerX, 512);
    EXPECT_EQ(rig.inputServer->pointerY, 384);
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
    EXPECT_TRUE(log.contains("aInputServer. Mouse CreateDevice failed (A_INPUT_NODEVICE)"));
    keys->setKey(A_KEY_A, true);
    input.update();
    EXPECT_EQ(input.keyStates[A_KEY_A], 0u);
    EXPECT_EQ(input.pointerX, 0);
    EXPECT_EQ(input.pointerY, 0);
}

TEST(InputPointer, ScalesTheClientAreaToTheGameSize)
{
    Geometry g{2048, 1536, 1024, 768};
    int32_t x = -1, y = -1;
    ASSERT_TRUE(aInputServer::clientToGame(g, 1000, 1535, x, y));
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, 767);
    // Truncation toward zero, also left of the window.
    ASSERT_TRUE(aInputServer::clientToGame(g, -3, 1, x, y));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(aInputServer::gameToClient(g, 500, 100, x, y));
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, 200);
}

TEST(InputPointer, AZeroClientSizeNeverDivides)
{
    int32_t x = 7, y = 8;
    EXPECT_FALSE(aInputServer::clientToGame(Geometry{0, 768, 1024, 768}, 10, 10, x, y));
    EXPECT_FALSE(aInputServer::clientToGame(Geometry{1024, 0, 1024, 768}, 10, 10, x, y));
    EXPECT_FALSE(aInputServer::gameToClient(Geometry{1024, 768, 0, 768}, 10, 10, x, y));
    Geometry wide{1366, 768, 1024, 768, true, 0, 768};
    EXPECT_FALSE(aInputServer::clientToGame(wide, 10, 10, x, y));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
}

TEST(InputPointer, InWideScreenThePictureIsFoundInsideItsBars)
{
    // 1024 x 768 shown at scale 1 in 1366 x 768: bars of 171 pixels.
    Geometry g{1366, 768, 1024, 768, true, 1366, 768};
    int32_t x = 0, y = 0;
    ASSERT_TRUE(aInputServer::clientToGame(g, 171, 10, x, y));
    EXPECT_EQ(x, 0);
    ASSERT_TRUE(aInputServer::clientToGame(g, 171 + 1023, 767, x, y));
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 767);
    ASSERT_TRUE(aInputServer::clientToGame(g, 50, 10, x, y));
    EXPECT_EQ(x, 0);
    ASSERT_TRUE(aInputServer::clientToGame(g, 1360, 10, x, y));
    EXPECT_EQ(x, 1023);
    ASSERT_TRUE(aInputServer::gameToClient(g, 512, 300, x, y));
    EXPECT_EQ(x, 683);
    EXPECT_EQ(y, 300);

    // 800 x 600 shown in 1920 x 1080: scale 1.8, bars of 240.
    Geometry big{1920, 1080, 800, 600, true, 1920, 1080};
    ASSERT_TRUE(aInputServer::clientToGame(big, 240 + 900, 540, x, y));
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, 300);
}

TEST(InputPointer, TheServerUsesTheGraphServersSizes)
{
    // A work area smaller than the game shrinks the window to 800 x 600.
    const aWorkArea saved = aApplication::workArea();
    aApplication::setWorkArea({0, 0, 800, 600});
    kbtest::LoopRig rig;
    aApplication::setWorkArea(saved);
    ASSERT_EQ(rig.graph->getWindowWidth(), 800);
    ASSERT_EQ(rig.graph->getWindowHeight(), 600);
    rig.keys->setCursor(400, 599);
    rig.inputServer->update();
    EXPECT_EQ(rig.inputServer->pointerX, 512);
    EXPECT_EQ(rig.inputServer->pointerY, 766);
    rig.inputServer->setCursorPos(512, 384);
    EXPECT_EQ(rig.keys->cursorX(), 400);
    EXPECT_EQ(rig.keys->cursorY(), 300);
    int32_t x = 0, y = 0;
    rig.inputServer->getMousePos(x, y);
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);
}

namespace {

// A stand-in animation: the cursor operations count what happens to it.
struct FakeAnim {
    int id = 0;
    int plays = 0;
    float stepped = 0.0f;
    int draws = 0;
    int16_t drawX = 0, drawY = 0;
};
int g_liveAnims = 0;

aAnim* asAnim(FakeAnim* a)
{
    return reinterpret_cast<aAnim*>(a);
}
FakeAnim& fake(aAnim& a)
{
    return reinterpret_cast<FakeAnim&>(a);
}
FakeAnim* fakePtr(aAnim* a)
{
    return reinterpret_cast<FakeAnim*>(a);
}

class CursorOps {
public:
    CursorOps()
    {
        g_liveAnims = 0;
        aCursorAnimOps ops;
        ops.copy = [](const aAnim& from) {
            ++g_liveAnims;
            return asAnim(new FakeAnim(reinterpret_cast<const FakeAnim&>(from)));
        };
        ops.assign = [](aAnim& to, const aAnim& from) { fake(to).id = reinterpret_cast<const FakeAnim&>(from).id; };
        ops.play = [](aAnim& a) { ++fake(a).plays; };
        ops.step = [](aAnim& a, float s) { fake(a).stepped += s; };
        ops.draw = [](aAnim& a, int16_t x, int16_t y) {
            ++fake(a).draws;
            fake(a).drawX = x;
            fake(a).drawY = y;
        };
        ops.destroy = [](aAnim* a) {
            --g_liveAnims;
            delete fakePtr(a);
        };
        cursoranim_setOps(ops);
    }
    ~CursorOps() { cursoranim_setOps({}); }
};

} // namespace

TEST(InputCursor, TheAnimatedCursorHidesTheSystemOneAndGoesBackOnNull)
{
    CursorOps ops;
    kbtest::LoopRig rig;
    rig.keys->setCursor(100, 100);
    FakeAnim arrow{1}, hand{2};

    EXPECT_EQ(rig.inputServer->setCursor(asAnim(&arrow), 3, 4), 1);
    ASSERT_NE(rig.app.getCursorAnim(), nullptr);
    EXPECT_EQ(fakePtr(rig.app.getCursorAnim())->id, 1);
    EXPECT_EQ(fakePtr(rig.app.getCursorAnim())->plays, 1);
    EXPECT_EQ(cursor_current(), 0u);
    EXPECT_EQ(rig.inputServer->hotX, 3);
    EXPECT_EQ(rig.inputServer->hotY, 4);

    // The same animation again changes nothing.
    rig.inputServer->setCursor(asAnim(&arrow), 3, 4);
    EXPECT_EQ(fakePtr(rig.app.getCursorAnim())->plays, 1);
    // Another one is assigned into the same copy and restarted.
    aAnim* own = rig.app.getCursorAnim();
    rig.inputServer->setCursor(asAnim(&hand), 0, 0);
    EXPECT_EQ(rig.app.getCursorAnim(), own);
    EXPECT_EQ(fakePtr(own)->id, 2);
    EXPECT_EQ(fakePtr(own)->plays, 2);
    EXPECT_EQ(g_liveAnims, 1);

    rig.inputServer->setCursor(nullptr, 0, 0);
    EXPECT_EQ(rig.app.getCursorAnim(), nullptr);
    EXPECT_EQ(g_liveAnims, 0);
    EXPECT_EQ(cursor_current(), A_CURSOR_ARROW);
}

TEST(InputCursor, ASystemCursorReplacesTheAnimation)
{
    CursorOps ops;
    kbtest::LoopRig rig;
    rig.keys->setCursor(10, 10);
    FakeAnim arrow{1};
    rig.inputServer->setCursor(asAnim(&arrow), 0, 0);
    rig.inputServer->setSystemCursor(32649);
    EXPECT_EQ(rig.app.getCursorAnim(), nullptr);
    EXPECT_EQ(g_liveAnims, 0);
    EXPECT_EQ(rig.app.getSystemCursor(), 32649u);
    EXPECT_EQ(cursor_current(), 32649u);
    // Outside the game picture the window's arrow shows.
    rig.keys->setCursor(2000, 10);
    EXPECT_EQ(rig.app.wndProc(nullptr, A_MSG_SETCURSOR, 0, 0), 0);
    EXPECT_EQ(cursor_current(), A_CURSOR_ARROW);
    // After it, the same animation given again is a new one.
    rig.keys->setCursor(10, 10);
    rig.inputServer->setCursor(asAnim(&arrow), 0, 0);
    EXPECT_NE(rig.app.getCursorAnim(), nullptr);
}

TEST(InputCursor, TheFrameDrawsAndStepsTheCursorAtThePointerMinusTheHotSpot)
{
    CursorOps ops;
    kbtest::LoopRig rig;
    rig.keys->setCursor(300, 200);
    FakeAnim arrow{1};
    rig.inputServer->setCursor(asAnim(&arrow), 5, 6);
    rig.inputServer->update();
    ASSERT_TRUE(rig.graph->beginScene());
    rig.graph->endScene();
    kbtest::FakeClock::advanceMicros(250000);
    ASSERT_TRUE(rig.graph->beginScene());
    rig.graph->endScene();
    const FakeAnim& own = *fakePtr(rig.app.getCursorAnim());
    EXPECT_EQ(own.draws, 2);
    EXPECT_EQ(own.drawX, 295);
    EXPECT_EQ(own.drawY, 194);
    EXPECT_FLOAT_EQ(own.stepped, 0.25f);
}
