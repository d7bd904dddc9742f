// The highlight's two emitters on a rectangle and on a circle, read from the
// game's own particle list; a missing template and degenerate edges.
#include <gtest/gtest.h>

#include <cmath>

#include "game/app/activebuttoneffect.h"
#include "game/game.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "support/log_capture.h"

namespace {

const std::string kParticles = std::string(KB_TEST_DATA_DIR) + "/../../data/Particles/";

class Highlight : public ::testing::Test {
protected:
    void SetUp() override { game.setParticles(new aParticlesManager(kParticles + "config.ini", kParticles, nullptr, "")); }
    void TearDown() override
    {
        delete game.getParticles();
        game.setParticles(nullptr);
    }

    // One second in frames of 1/64 s (exact in binary).
    static void runOneSecond(cActiveButtonEffect& effect)
    {
        for (int i = 0; i < 64; ++i)
            effect.update(1.0f / 64.0f);
    }
    static std::pair<float, float> at(const cActiveButtonEffect& effect, int i)
    {
        return {effect.getEmitter(i)->getX(), effect.getEmitter(i)->getY()};
    }
    size_t live() const { return game.getParticles()->getLiveSystems().size(); }

    kbtest::LogCapture log;
    cGame game;
};

} // namespace

TEST_F(Highlight, OnARectangleTheEmittersRunOneEdgeASecondHalfALapApart)
{
    cActiveButtonEffect effect;
    effect.initRect(100, 200, 70, 70, 70);
    ASSERT_NE(effect.getEmitter(0), nullptr);
    ASSERT_NE(effect.getEmitter(1), nullptr);
    EXPECT_EQ(live(), 2u);
    EXPECT_EQ(at(effect, 0), std::make_pair(100.0f, 200.0f));
    EXPECT_EQ(at(effect, 1), std::make_pair(170.0f, 270.0f));

    // Down the left edge and up the right one.
    runOneSecond(effect);
    EXPECT_EQ(at(effect, 0), std::make_pair(100.0f, 270.0f));
    EXPECT_EQ(at(effect, 1), std::make_pair(170.0f, 200.0f));
    // Standing on a corner, the next step turns to the following one.
    runOneSecond(effect);
    EXPECT_EQ(at(effect, 0), std::make_pair(170.0f, 270.0f));
    EXPECT_EQ(at(effect, 1), std::make_pair(100.0f, 200.0f));
    // Landed exactly, each still names the corner it stands on.
    EXPECT_EQ(effect.getTargetCorner(0), 2);
    EXPECT_EQ(effect.getTargetCorner(1), 0);
    runOneSecond(effect);
    runOneSecond(effect);
    EXPECT_EQ(at(effect, 0), std::make_pair(100.0f, 200.0f)) << "a whole lap";

    // A step past a corner lands on it.
    cActiveButtonEffect fast;
    fast.initRect(0, 0, 10, 40, 100);
    fast.update(0.25f);
    EXPECT_EQ(at(fast, 0), std::make_pair(0.0f, 25.0f));
    fast.update(0.25f);
    EXPECT_EQ(at(fast, 0), std::make_pair(0.0f, 40.0f));
    EXPECT_EQ(fast.getTargetCorner(0), 2);
    fast.update(0.05f);
    EXPECT_EQ(at(fast, 0), std::make_pair(5.0f, 40.0f));
}

TEST_F(Highlight, OnACircleTheEmittersStayOppositeEachOther)
{
    cActiveButtonEffect effect;
    effect.initCircle(300, 400, 50, 90);
    EXPECT_EQ(at(effect, 0), std::make_pair(300.0f, 400.0f));
    runOneSecond(effect);
    // 90 degrees on: (0, 1) turned a quarter clockwise is (-1, 0).
    EXPECT_NEAR(at(effect, 0).first, 250.0f, 1e-3);
    EXPECT_NEAR(at(effect, 0).second, 400.0f, 1e-3);
    EXPECT_NEAR(at(effect, 1).first, 350.0f, 1e-3);
    EXPECT_NEAR(at(effect, 1).second, 400.0f, 1e-3);
    for (int i = 0; i < 37; ++i) {
        effect.update(0.1f);
        const auto [x0, y0] = at(effect, 0);
        const auto [x1, y1] = at(effect, 1);
        EXPECT_NEAR(std::hypot(x1 - x0, y1 - y0), 100.0f, 1e-3);
        EXPECT_NEAR(x0 + x1, 600.0f, 1e-3);
        EXPECT_NEAR(y0 + y1, 800.0f, 1e-3);
    }
}

TEST_F(Highlight, PausingStopsTheSparklesAndHandlesAreLetGo)
{
    cActiveButtonEffect effect;
    effect.initCircle(300, 400, 50, 90);
    effect.setPaused(true);
    EXPECT_TRUE(effect.getEmitter(0)->isFinished());
    effect.setPaused(false);
    EXPECT_FALSE(effect.getEmitter(0)->isFinished());
    effect.destroy();
    effect.destroy();
    EXPECT_EQ(effect.getEmitter(0), nullptr);
    EXPECT_EQ(live(), 0u);

    // A screen switch kills every live system: the highlight lets go of them.
    effect.initRect(0, 0, 10, 10, 10);
    game.getParticles()->killAll();
    effect.update(0.1f);
    EXPECT_EQ(effect.getEmitter(0), nullptr);
}

TEST_F(Highlight, DegenerateEdgesAndAMissingTemplateAreSafe)
{
    // A flat button: the emitters skip the zero-length edges.
    cActiveButtonEffect flat;
    flat.initRect(10, 10, 40, 0, 40);
    for (int i = 0; i < 200; ++i) {
        flat.update(0.05f);
        for (int e = 0; e < 2; ++e) {
            const auto [x, y] = at(flat, e);
            ASSERT_TRUE(std::isfinite(x) && std::isfinite(y));
            EXPECT_TRUE(x >= 10.0f && x <= 50.0f && y == 10.0f) << x << "," << y;
        }
    }
    cActiveButtonEffect dot;
    dot.initRect(5, 5, 0, 0, 30);
    dot.update(0.1f);
    EXPECT_EQ(at(dot, 0), std::make_pair(5.0f, 5.0f));

    cActiveButtonEffect none;
    delete game.getParticles();
    game.setParticles(new aParticlesManager(kParticles + "missing.ini", kParticles, nullptr, ""));
    none.initRect(0, 0, 10, 10, 10);
    none.initCircle(0, 0, 10, 10);
    EXPECT_EQ(none.getEmitter(0), nullptr);
    none.update(0.1f);
    none.setPaused(true);
    none.destroy();
    EXPECT_TRUE(log.contains("aParticlesManager::Add() - system template 'ACTIVE_BTN' not found!"));
    delete game.getParticles();
    game.setParticles(nullptr);
    none.initCircle(0, 0, 10, 10);
    none.update(0.1f);
}
