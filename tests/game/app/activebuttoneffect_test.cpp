// The button highlight's two emitters from the game's own particle list: let go, and safe on flat
// edges or without a template.
#include <gtest/gtest.h>

#include "game/app/activebuttoneffect.h"
#include "game/game.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "support/log_capture.h"

namespace {

std::pair<float, float> at(const cActiveButtonEffect& effect, int i)
{
    return {effect.getEmitter(i)->getX(), effect.getEmitter(i)->getY()};
}

void setParticles(cGame& game, const std::string& config)
{
    const std::string dir = std::string(KB_TEST_DATA_DIR) + "/../../data/Particles/";
    delete game.getParticles();
    game.setParticles(config.empty() ? nullptr : new aParticlesManager(dir + config, dir, nullptr, ""));
}

} // namespace

TEST(Highlight, RectangleCircleLetGoAndDegenerateCases)
{
    kbtest::LogCapture log;
    cGame game;
    setParticles(game, "config.ini");

    cActiveButtonEffect rect, circle;
    rect.initRect(100, 200, 70, 70, 70);
    circle.initCircle(300, 400, 50, 90);
    rect.update(0.1f);
    circle.update(0.1f);
    EXPECT_NEAR(at(circle, 0).second + at(circle, 1).second, 800.0f, 1e-3) << "opposite each other";
    const size_t live = game.getParticles()->getLiveSystems().size();
    circle.destroy();
    circle.destroy();
    EXPECT_EQ(game.getParticles()->getLiveSystems().size(), live - 2) << "its two systems are let go";
    // Pausing stops the sparkles; going on makes them again.
    rect.setPaused(true);
    EXPECT_TRUE(rect.getEmitter(0)->isFinished());
    rect.setPaused(false);
    EXPECT_FALSE(rect.getEmitter(0)->isFinished());
    // A screen switch kills every live system: the highlight lets go of them.
    game.getParticles()->killAll();
    rect.update(0.1f);
    EXPECT_EQ(rect.getEmitter(0), nullptr);
    // A flat button: the emitters skip the zero-length edges; a dot stays put.
    cActiveButtonEffect flat, dot;
    flat.initRect(10, 10, 40, 0, 40);
    dot.initRect(5, 5, 0, 0, 30);
    for (int i = 0; i < 200; ++i) {
        flat.update(0.05f);
        const auto [x, y] = at(flat, i % 2);
        ASSERT_TRUE(x >= 10.0f && x <= 50.0f && y == 10.0f) << x << "," << y;
    }
    dot.update(0.1f);
    EXPECT_EQ(at(dot, 0), std::make_pair(5.0f, 5.0f));
    // No template, then no particle list at all: nothing is made and nothing breaks.
    setParticles(game, "missing.ini");
    cActiveButtonEffect none;
    none.initRect(0, 0, 10, 10, 10), none.initCircle(0, 0, 10, 10);
    EXPECT_EQ(none.getEmitter(0), nullptr);
    none.update(0.1f), none.setPaused(true), none.destroy();
    EXPECT_TRUE(log.contains("aParticlesManager::Add() - system template 'ACTIVE_BTN' not found!"));
    setParticles(game, "");
    none.initCircle(0, 0, 10, 10), none.update(0.1f);
}
