// Particle systems: emitter timing, bursts, restarts, the order of random
// draws, motion, rebirth, dying off screen, and reproducible runs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "orvo/gfx/a_particlesystem.h"
#include "orvo/util/a_random.h"
#include "gfx_fixture.h"

using kbtest::ParticleFiles;
using kbtest::steps;

namespace {

std::vector<const aParticle*> liveParticles(const aParticleSystem& system)
{
    std::vector<const aParticle*> out;
    for (const aParticle* p = system.getLiveParticles(); p; p = p->next)
        out.push_back(p);
    return out;
}

bool allFinite(const aParticle& p)
{
    const float values[] = {p.width,        p.height,       p.color[0],      p.color[1],     p.color[2],
                            p.color[3],     p.posX,         p.posY,          p.corners[0].x, p.corners[3].y,
                            p.sizeRate1[0], p.sizeRate2[1], p.colorRate1[3], p.colorRate2[3]};
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

TEST(ParticleEmitter, BurstOnceWithoutRestartTime)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 7.9 7.9\n"
                             "particle_life 0.5 0.5\nmax_particles 100\n");
    system->restartAt(50, 50);
    EXPECT_EQ(system->getLiveCount(), 7u); // trunc(7.9), at the restart itself
    for (int i = 0; i < 200; ++i) {
        steps(*system, 1);
        ASSERT_LE(system->getLiveCount(), 7u);
    }
    EXPECT_TRUE(system->isDone());
}

TEST(ParticleEmitter, BurstRepeatsAfterItsRestartTime)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_life 0 0\nemitter_rtime 2 2\nemit_per_sec 3 3\n"
                             "particle_life 0.5 0.5\n");
    system->restartAt(0, 0);
    std::vector<int> burstSteps;
    uint32_t before = system->getLiveCount();
    for (int i = 1; i <= 70; ++i) {
        steps(*system, 1);
        if (system->getLiveCount() > before)
            burstSteps.push_back(i);
        before = system->getLiveCount();
    }
    // Two seconds (20 steps, give or take one for the float clock) between bursts.
    ASSERT_EQ(burstSteps.size(), 3u);
    EXPECT_NEAR(burstSteps[0], 20, 1);
    EXPECT_NEAR(burstSteps[1] - burstSteps[0], 20, 1);
    EXPECT_NEAR(burstSteps[2] - burstSteps[1], 20, 1);
}

TEST(ParticleEmitter, NegativeLifeEmitsUntilStopped)
{
    ParticleFiles files;
    auto system = files.load("fps 20\nemitter_life -1 5\nemit_per_sec 10 10\nparticle_life 0.2 0.2\n");
    system->restartAt(0, 0);
    EXPECT_FLOAT_EQ(system->getCurrentLife(), -1.0f);
    EXPECT_FLOAT_EQ(system->getCurrentRestartTime(), -1.0f);
    steps(*system, 20 * 100);
    EXPECT_TRUE(system->isActive());
    system->stop();
    steps(*system, 20 * 100);
    EXPECT_TRUE(system->isDone());
    EXPECT_TRUE(system->isFinished());
}

TEST(ParticleEmitter, TimedRateIsKeptWhateverTheStepRate)
{
    for (int fps : {7, 30, 60, 240}) {
        ParticleFiles files;
        auto system = files.load("fps " + std::to_string(fps) +
                                 "\nemitter_life 3 3\nemit_per_sec 10 10\nparticle_life 100 100\n"
                                 "max_particles 1000\n");
        system->restartAt(0, 0);
        steps(*system, fps * 2); // two simulated seconds
        EXPECT_NEAR(system->getLiveCount(), 20u, 1u) << "fps " << fps;
        steps(*system, fps * 2); // the emitter's three seconds are over
        EXPECT_NEAR(system->getLiveCount(), 30u, 1u) << "fps " << fps;
        EXPECT_FALSE(system->isActive());
        EXPECT_TRUE(system->isFinished());
    }
}

TEST(ParticleEmitter, StartDelayHoldsATimedEmitterAndCountsItsLifeAfterward)
{
    ParticleFiles files;
    auto system = files.load("fps 4\nstart_delay 1\nemitter_life 1 1\nemit_per_sec 4 4\nparticle_life 100 100\n");
    system->restartAt(10, 10);
    steps(*system, 4); // the delay
    EXPECT_EQ(system->getLiveCount(), 0u);
    steps(*system, 1);
    EXPECT_EQ(system->getLiveCount(), 1u);
    EXPECT_TRUE(system->isActive());
    steps(*system, 2); // the emitter's second runs from the end of the delay ...
    EXPECT_TRUE(system->isActive());
    steps(*system, 1); // ... to clock 2
    EXPECT_FALSE(system->isActive());
    EXPECT_TRUE(system->isFinished());
    EXPECT_EQ(system->getLiveCount(), 4u);
}

TEST(ParticleEmitter, StartDelayDoesNotHoldABurstButItsRestartTime)
{
    ParticleFiles files;
    auto system = files.load("fps 4\nstart_delay 1\nemitter_life 0 0\nemitter_rtime 1 1\nemit_per_sec 2 2\n"
                             "particle_life 100 100\n");
    system->restartAt(0, 0);
    EXPECT_EQ(system->getLiveCount(), 2u);
    steps(*system, 4 + 3); // delay, then three quarters of the restart time
    EXPECT_EQ(system->getLiveCount(), 2u);
    steps(*system, 1);
    EXPECT_EQ(system->getLiveCount(), 4u);
    // An automatic restart has no delay: the next burst comes a second later.
    steps(*system, 3);
    EXPECT_EQ(system->getLiveCount(), 4u);
    steps(*system, 1);
    EXPECT_EQ(system->getLiveCount(), 6u);
}

TEST(ParticleEmitter, MaxParticlesLimitsBurstsAndLaterEmission)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nmax_particles 10\nemitter_life 0 0\nemitter_rtime 0.5 0.5\n"
                             "emit_per_sec 50 50\nparticle_life 1 1\n");
    system->restartAt(0, 0);
    EXPECT_EQ(system->getLiveCount(), 10u);
    steps(*system, 6); // a restart is due, but nothing has died yet
    EXPECT_EQ(system->getLiveCount(), 10u);
    steps(*system, 4); // the first ten die at one second ...
    steps(*system, 5); // ... and the next burst fills the room again
    EXPECT_EQ(system->getLiveCount(), 10u);
    EXPECT_EQ(system->getRecordCount(), 10u);

    // The cap is 2000, also for a larger or negative "max_particles".
    for (const char* max : {"5000", "-1"}) {
        auto big =
            files.load(std::string("fps 10\nmax_particles ") + max + "\nemitter_life 0 0\nemit_per_sec 9000 9000\n",
                       std::string("big") + max);
        big->restartAt(0, 0);
        EXPECT_EQ(big->getLiveCount(), 2000u) << max;
        EXPECT_EQ(big->getRecordCount(), 2000u) << max;
    }
}

TEST(ParticleEmitter, CopiesStartThemselvesAtTheirFirstStep)
{
    ParticleFiles files;
    auto templ = files.load("fps 10\nstart_delay 5\nemitter_life 2 2\nemit_per_sec 10 10\n");
    aParticleSystem copy(*templ);
    EXPECT_FALSE(copy.isActive());
    EXPECT_FLOAT_EQ(copy.getCurrentRestartTime(), 0.0f);
    steps(copy, 1);
    EXPECT_TRUE(copy.isActive());                    // restarted ...
    EXPECT_FLOAT_EQ(copy.getDelayCountdown(), 0.0f); // ... without its start delay
    steps(copy, 2);
    EXPECT_GT(copy.getLiveCount(), 0u);
}

TEST(ParticleEmitter, ATimeThatIsNotANumberOrHugeDoesNotHang)
{
    ParticleFiles files;
    auto system = files.load("fps 60\nemitter_life -1 -1\nemit_per_sec 1 1\n");
    system->restartAt(0, 0);
    system->update(NAN);
    system->update(INFINITY);
    EXPECT_EQ(system->getClock(), 0.0f);
    system->update(1.0f);
    EXPECT_NEAR(system->getClock(), 1.0f, 1e-4f);
}

TEST(ParticleMotion, AParticleWhoseAgeEqualsItsLifeDies)
{
    ParticleFiles files;
    auto system = files.load("fps 4\nemitter_life 0 0\nemit_per_sec 3 3\nparticle_life 0.5 0.5\n");
    system->restartAt(0, 0);
    steps(*system, 1);
    EXPECT_EQ(system->getLiveCount(), 3u);
    steps(*system, 1); // age 0.5 exactly
    EXPECT_EQ(system->getLiveCount(), 0u);
}

TEST(ParticleMotion, ZeroLifeGivesFiniteValuesAndNoEndlessRebirth)
{
    for (const char* loop : {"0", "1"}) {
        ParticleFiles files;
        auto system = files.load(std::string("fps 10\nemitter_life 0 0\nemit_per_sec 4 4\nparticle_life 0 0\n"
                                             "size_min 1 1\nsize_max 9 9\nloop_ps ") +
                                 loop);
        system->restartAt(0, 0);
        for (const aParticle* p : liveParticles(*system)) {
            EXPECT_GE(p->life, aParticleSystem::MIN_PARTICLE_LIFE);
            EXPECT_TRUE(allFinite(*p)) << "loop_ps " << loop;
        }
        steps(*system, 5);
        EXPECT_EQ(system->getLiveCount(), loop[0] == '1' ? 4u : 0u);
        for (const aParticle* p : liveParticles(*system))
            EXPECT_TRUE(allFinite(*p)) << "loop_ps " << loop;
    }
}

TEST(ParticleMotion, ColourKeysAtBirthHalfLifeAndEnd)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 1 1\n"
                             "particle_life 1 1\ncolor FF0000FF 800000FF 000000FF\n");
    system->restartAt(0, 0);
    const aParticle& p = *system->getLiveParticles();
    EXPECT_EQ(aParticleSystem::packColor(p.color), 0xFF0000FFu);
    steps(*system, 5);
    EXPECT_NEAR(p.color[3], 0.5f, 0.01f);
    EXPECT_FLOAT_EQ(p.color[2], 1.0f);
    // Straight on to transparent at the end of the life.
    EXPECT_NEAR(p.color[3] + p.colorRate2[3] * 0.5f, 0.0f, 0.01f);
    steps(*system, 4);
    EXPECT_LT(p.color[3], 0.11f);
    steps(*system, 1);
    EXPECT_EQ(system->getLiveCount(), 0u);
}

TEST(ParticleMotion, SpreadRelativeFacesAwayFromTheLastMove)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 1 1\nspread 0 0\n"
                             "spread_relative 1\nparticle_life 100 100\n");
    system->restartAt(100, 100); // not moved: toward -x
    const aParticle* first = system->getLiveParticles();
    EXPECT_NEAR(first->dirX, -1.0f, 1e-6f);
    EXPECT_NEAR(first->dirY, 0.0f, 1e-6f);

    system->setPosition(100, 120); // moved down: the next burst goes up
    system->restart();
    const aParticle* second = system->getLiveParticles();
    EXPECT_NEAR(second->dirX, 0.0f, 1e-6f);
    EXPECT_NEAR(second->dirY, -1.0f, 1e-6f);
}

TEST(ParticleMotion, LoopingParticlesAreRebornWhereTheyAre)
{
    ParticleFiles files;
    auto system = files.load("fps 4\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 1 1\nspread 0 0\n"
                             "velocity 8 8\nparticle_life 1 1\nloop_ps 1\ncolor FF0000FF 80FF0000 00FF0000\n"
                             "size_min 2 2\nsize_mid 6 6\nsize_max 10 10\n");
    system->restartAt(0, 0);
    steps(*system, 3);
    const aParticle* p = system->getLiveParticles();
    EXPECT_NEAR(p->posX, 6.0f, 1e-5f);
    EXPECT_NE(p->width, 2.0f);
    EXPECT_NE(p->color[2], 1.0f);
    steps(*system, 1); // the life ends: reborn at x 6, size and colour from the start keys
    ASSERT_EQ(system->getLiveCount(), 1u);
    p = system->getLiveParticles();
    EXPECT_NEAR(p->posX, 6.0f, 1e-5f);
    EXPECT_FLOAT_EQ(p->velX, 8.0f);
    EXPECT_FLOAT_EQ(p->width, 2.0f);
    EXPECT_FLOAT_EQ(p->color[2], 1.0f);
    EXPECT_FLOAT_EQ(p->birth, system->getClock());
    steps(*system, 1); // and goes on moving
    EXPECT_NEAR(p->posX, 8.0f, 1e-5f);
}

TEST(ParticleMotion, OffScreenParticlesDieEvenWhenLooping)
{
    kbtest::GraphRig screen(true, 640, 480);
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 1 1\nspread 0 0\n"
                             "velocity 100 100\nparticle_life 100 100\nloop_ps 1\nkilloffscr 1\n"
                             "size_min 8 8\nsize_mid 8 8\nsize_max 8 8\n");
    EXPECT_EQ(system->getScreen(), aRect(0, 0, 640, 480));
    system->restartAt(620, 100);
    // 10 pixels a step; 8 wide with the pivot in the middle. A step tests
    // the rectangle of the previous one before moving the particle.
    int stepsAlive = 0;
    while (system->getLiveCount() > 0 && stepsAlive < 100) {
        steps(*system, 1);
        ++stepsAlive;
    }
    EXPECT_EQ(stepsAlive, 4); // x 630, 640 (636..644 meets the screen), 650; then tested off screen
}

TEST(ParticleMotion, CornersFollowPivotMirrorAndAngle)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 1 1\nvelocity 0 0\n"
                             "spread 0 0\nsize_min 10 20\nrotcenter 0.25 0\ndef_flip 1\n");
    system->restartAt(100, 50);
    const aParticle* p = system->getLiveParticles();
    ASSERT_TRUE(p->mirrored);
    // Mirrored: the pivot is 0.75 of the width from the left edge.
    EXPECT_FLOAT_EQ(p->corners[aParticle::TOP_LEFT].x, 92.5f);
    EXPECT_FLOAT_EQ(p->corners[aParticle::TOP_LEFT].y, 50.0f);
    EXPECT_FLOAT_EQ(p->corners[aParticle::BOTTOM_RIGHT].x, 102.5f);
    EXPECT_FLOAT_EQ(p->corners[aParticle::BOTTOM_RIGHT].y, 70.0f);
    aRect r;
    aParticleSystem::getParticleRect(*p, r);
    EXPECT_EQ(r, aRect(93, 50, 10, 20));

    // Aligned with a downward travel: a quarter turn about the pivot.
    auto turned = files.load("fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 1 1\nvelocity 0 0\n"
                             "spread 1.5707964 1.5707964\nsize_min 10 20\nrotcenter 0 0\nspin_by_dir 1\n",
                             "turned.psi");
    turned->restartAt(100, 50);
    const aParticle* q = turned->getLiveParticles();
    EXPECT_NEAR(q->corners[aParticle::TOP_RIGHT].x, 100.0f, 1e-4f);
    EXPECT_NEAR(q->corners[aParticle::TOP_RIGHT].y, 60.0f, 1e-4f);
    EXPECT_NEAR(q->corners[aParticle::BOTTOM_LEFT].x, 80.0f, 1e-4f);
    EXPECT_NEAR(q->corners[aParticle::BOTTOM_LEFT].y, 50.0f, 1e-4f);
}

TEST(ParticleMotion, ParticleRectangleRoundsAndGrowsToEveryCorner)
{
    aParticle p;
    p.corners[aParticle::TOP_LEFT] = {10.4f, 20.6f};
    p.corners[aParticle::TOP_RIGHT] = {30.5f, 5.2f};
    p.corners[aParticle::BOTTOM_LEFT] = {-3.7f, 25.0f};
    p.corners[aParticle::BOTTOM_RIGHT] = {12.0f, 40.49f};
    aRect r;
    aParticleSystem::getParticleRect(p, r);
    // Rounded: (10, 21) (31, 5) (-3, 25) (12, 40); -3.2 truncates toward zero.
    EXPECT_EQ(r, aRect(-3, 5, 34, 35));

    aParticle wild;
    wild.corners[0] = {NAN, 1e30f};
    wild.corners[1] = {-1e30f, INFINITY};
    aParticleSystem::getParticleRect(wild, r); // no undefined conversions
    EXPECT_EQ(r.x, -32768);
}

TEST(ParticleRandom, DrawsComeInTheirFixedOrder)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_type 1\nemitter_size 5 3\nemitter_angle 0.5\nemitter_life 0 0\n"
                             "emitter_rtime 4 6\nemit_per_sec 1 1.9\nparticle_life 1 2\nradial_acc 1 2\n"
                             "tangential_acc 3 4\nwind 5 6\ngravity 7 8\nrand_flip 1\nsize_min 10 20\n"
                             "size_mid 30 40\nsize_max 50 60\nsize_var 0.5\n"
                             "color FF808080 80404040 00FFFFFF 0.5 0.25\nspread 0 1\nvelocity 10 20\n"
                             "spin 1 2 0.5\n");
    a_srand(4242);
    system->restartAt(100, 200);
    ASSERT_EQ(system->getLiveCount(), 1u);
    const aParticle& p = *system->getLiveParticles();

    // The same draws by hand, in their documented order.
    a_srand(4242);
    auto r = [](float lo, float hi) { return a_randFloat(lo, hi); };
    EXPECT_FLOAT_EQ(system->getCurrentLife(), r(0, 0));
    EXPECT_FLOAT_EQ(system->getCurrentRestartTime(), r(4, 6));
    EXPECT_FLOAT_EQ(system->getCurrentRate(), r(1, 1.9f));
    const float life = r(1, 2);
    EXPECT_FLOAT_EQ(p.life, life);
    EXPECT_FLOAT_EQ(p.radialAcc, r(1, 2));
    EXPECT_FLOAT_EQ(p.tangentialAcc, r(3, 4));
    EXPECT_FLOAT_EQ(p.accX, r(5, 6));
    EXPECT_FLOAT_EQ(p.accY, r(7, 8));
    EXPECT_EQ(p.mirrored, r(0, 1) < 0.5f);
    const float startSize = 1.0f - r(0, 0.5f);
    const float midSize = 1.0f - r(0, 0.5f);
    r(0, 0.5f); // end size
    EXPECT_FLOAT_EQ(p.width, 10.0f * startSize);
    EXPECT_FLOAT_EQ(p.height, 20.0f * startSize);
    EXPECT_FLOAT_EQ(p.sizeRate1[0], (30.0f * midSize - 10.0f * startSize) / (life * 0.5f));
    const float midAlpha = (128.0f / 255.0f) * r(0.75f, 1);
    const float startAlpha = 1.0f * r(0.75f, 1);
    r(0.75f, 1); // end alpha
    EXPECT_FLOAT_EQ(p.color[3], startAlpha);
    EXPECT_FLOAT_EQ(p.colorRate1[3], (midAlpha - startAlpha) / (life * 0.5f));
    const float startBright = r(0.5f, 1);
    r(0.5f, 1); // end colour
    r(0.5f, 1); // mid colour
    EXPECT_FLOAT_EQ(p.color[0], (128.0f / 255.0f) * startBright);
    const float theta = r(0, 1);
    EXPECT_FLOAT_EQ(p.dirX, std::cos(theta));
    const float speed = r(10, 20);
    EXPECT_FLOAT_EQ(p.velY, speed * std::sin(theta));
    float spin = r(1, 2);
    if (r(0, 1) <= 0.5f)
        spin = -spin;
    EXPECT_FLOAT_EQ(p.spin, spin);
    const float u = r(-5, 5);
    const float w = r(-3, 3);
    EXPECT_FLOAT_EQ(p.posX, 100.0f - u * std::cos(0.5f) + w * std::sin(0.5f));
    EXPECT_FLOAT_EQ(p.posY, 200.0f - u * std::sin(0.5f) - w * std::cos(0.5f));
    EXPECT_FLOAT_EQ(p.originX, p.posX);
}

TEST(ParticleRandom, ASeededRunIsReproducible)
{
    const char* effect = "fps 30\nemitter_life 2 3\nemit_per_sec 20 40\nparticle_life 0.5 1.5\nvelocity 40 80\n"
                         "gravity 20 60\nwind -10 10\nradial_acc -5 5\ntangential_acc -3 3\nspin -2 2 0.5\n"
                         "size_min 8 8\nsize_mid 16 12\nsize_max 4 4\nsize_var 0.3\n"
                         "color FFFF8000 C0FFFF00 00FF0000 0.2 0.3\nemitter_size 2 6\nrand_flip 1\n";
    ParticleFiles files;
    auto run = [&](uint32_t seed) {
        auto system = files.load(effect);
        a_srand(seed);
        system->restartAt(320, 240);
        steps(*system, 45);
        std::vector<float> out;
        for (const aParticle* p : liveParticles(*system))
            for (float v : {p->posX, p->posY, p->corners[0].x, p->corners[3].y, p->color[3]})
                out.push_back(v);
        return out;
    };
    const std::vector<float> a = run(2024);
    EXPECT_EQ(a, run(2024));
    EXPECT_NE(a, run(2025));

    // Recorded from this run: the newest three particles after 45 steps.
    // Each: x, y, top-left x, bottom-right y, alpha. (A tolerance rather
    // than bit equality, for another C library's sine and cosine.)
    const float recorded[15] = {318.089752f, 241.585938f, 314.427155f, 245.248535f, 0.886489451f,
                                322.895599f, 235.651688f, 319.904724f, 238.702164f, 0.784155548f,
                                312.638458f, 234.540848f, 308.565735f, 238.960541f, 0.909648955f};
    ASSERT_GE(a.size(), 15u);
    for (size_t i = 0; i < 15; ++i)
        EXPECT_NEAR(a[i], recorded[i], 1e-3f) << "value " << i;
}
