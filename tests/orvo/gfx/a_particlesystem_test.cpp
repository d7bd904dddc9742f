// Particle systems: the definition file, emitter timing, bursts, restarts,
// motion, rebirth and dying off screen. The golden frame covers a seeded run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_particlesystem.h"
#include "support/log_capture.h"

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

// The live count now and after each of `n` steps, runs written "count*times".
std::string liveCounts(aParticleSystem& system, int n)
{
    std::vector<uint32_t> counts{system.getLiveCount()};
    for (int i = 0; i < n; ++i) {
        steps(system, 1);
        counts.push_back(system.getLiveCount());
    }
    std::string out;
    for (size_t i = 0, run = 1; i < counts.size(); i += run) {
        for (run = 1; i + run < counts.size() && counts[i + run] == counts[i];)
            ++run;
        out += (out.empty() ? "" : " ") + std::to_string(counts[i]) + (run > 1 ? "*" + std::to_string(run) : "");
    }
    return out;
}

} // namespace

TEST(ParticleDefinition, AMissingFileStandsStillAndLinesAreReadByTheirFirstWord)
{
    ParticleFiles files;
    // A missing file leaves the defaults, fps 0 among them: nothing happens, even after a restart.
    aParticleSystem missing(files.folder() + "/none.psi", nullptr, "");
    missing.update(1.0f);
    missing.restart();
    missing.update(5.0f);
    EXPECT_EQ(missing.getClock(), 0.0f);
    EXPECT_EQ(missing.getLiveCount(), 0u);

    auto system = files.load("just some words\nFPS 30\ncolor FF0000FF\nsize_min x\n");
    const aParticleSystem::Params& p = system->getParams();
    EXPECT_EQ(p.fps, 0) << "keywords are case-sensitive";
    EXPECT_EQ(std::vector<float>(p.colorMid, p.colorMid + 4), std::vector<float>(4, 1)) << "mid stays at its default";
    EXPECT_TRUE(std::isfinite(p.sizeMin[0]));
    EXPECT_EQ(files.load("fps -20\n", "still.psi")->getParams().fps, 0) << "a negative rate stands still";
}

TEST(ParticleEmitter, BurstsTimedEmittersDelaysAndLimitsFollowTheClock)
{
    const struct {
        const char *what, *definition;
        int steps;
        const char* counts;
    } cases[] = {
        {"a burst of trunc(7.9) at the restart, never again", "fps 10\nemitter_rtime -1 -1\nemit_per_sec 7.9 7.9\n",
         200, "7*5 0*196"},
        {"a burst repeated every two seconds", "fps 10\nemitter_rtime 2 2\nemit_per_sec 3 3\n", 70,
         "3*5 0*15 3*6 0*15 3*6 0*15 3*6 0*3"},
        {"max_particles limits bursts and later emission",
         "fps 10\nmax_particles 10\nemitter_rtime 0.5 0.5\nemit_per_sec 50 50\nparticle_life 1 1\n", 16, "10*17"},
        {"a start delay holds not a burst but its restart time; an automatic restart has none",
         "fps 4\nstart_delay 1\nemitter_rtime 1 1\nemit_per_sec 2 2\nparticle_life 100 100\n", 13, "2*8 4*4 6*2"},
    };
    for (const auto& c : cases) {
        ParticleFiles files;
        // Bursts (emitter life 0) of particles living half a second unless told.
        auto system = files.load(std::string("emitter_life 0 0\nparticle_life 0.5 0.5\n") + c.definition);
        system->restartAt(50, 50);
        EXPECT_EQ(liveCounts(*system, c.steps), c.counts) << c.what;
    }
}

TEST(ParticleEmitter, TimedRateIsKeptWhateverTheStepRate)
{
    for (int fps : {7, 240}) {
        ParticleFiles files;
        auto system = files.load("fps " + std::to_string(fps) +
                                 "\nemitter_life 3 3\nemit_per_sec 10 10\nparticle_life 100 100\nmax_particles 1000\n");
        system->restartAt(0, 0);
        steps(*system, fps * 2); // two simulated seconds
        EXPECT_NEAR(system->getLiveCount(), 20u, 1u) << "fps " << fps;
        steps(*system, fps * 2); // the emitter's three seconds are over
        EXPECT_NEAR(system->getLiveCount(), 30u, 1u) << "fps " << fps;
        EXPECT_TRUE(system->isFinished());
    }
}

TEST(ParticleEmitter, EndlessLifeCapsAndOddTimes)
{
    ParticleFiles files;
    // A negative life emits until stopped.
    auto endless = files.load("fps 20\nemitter_life -1 5\nemit_per_sec 10 10\nparticle_life 0.2 0.2\n");
    endless->restartAt(0, 0);
    steps(*endless, 20 * 100);
    EXPECT_TRUE(endless->isActive());
    endless->stop();
    steps(*endless, 20 * 100);
    EXPECT_TRUE(endless->isFinished());
    // A timed emitter made endless once it runs emits on past its life.
    auto timed = files.load("fps 20\nemitter_life 1 1\nemit_per_sec 10 10\nparticle_life 0.2 0.2\n", "timed.psi");
    timed->restartAt(0, 0);
    timed->setCurrentLife(-1.0f);
    steps(*timed, 20 * 5);
    EXPECT_TRUE(timed->isActive() && !timed->isFinished());
    // A time that is not a number, or huge, does not hang.
    auto odd = files.load("fps 60\nemitter_life -1 -1\nemit_per_sec 1 1\n", "odd.psi");
    odd->restartAt(0, 0);
    odd->update(NAN);
    odd->update(INFINITY);
    EXPECT_EQ(odd->getClock(), 0.0f);
    odd->update(1.0f);
    EXPECT_NEAR(odd->getClock(), 1.0f, 1e-4f);

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

TEST(ParticleEmitter, StepsPerUpdateAreBoundedWhateverTheRateOrTheTime)
{
    // An update runs fps x dt steps, each over every live particle: the rate
    // read and the steps of one update are bounded, the rest of the time is
    // dropped. The clock counts the steps.
    ParticleFiles files;
    kbtest::LogCapture log;
    auto fast = files.load("fps 2000000000\nemitter_life -1 -1\nemit_per_sec 100 100\nparticle_life 100 100\n");
    EXPECT_EQ(fast->getParams().fps, aParticleSystem::MAX_FPS);
    EXPECT_EQ(log.messages(),
              std::vector<std::string>{"aParticleSystem. fps 2000000000 is above " +
                                       std::to_string(aParticleSystem::MAX_FPS) + " in \"" + files.folder() +
                                       "/effect.psi\", " + "read as " + std::to_string(aParticleSystem::MAX_FPS)});
    fast->restartAt(0, 0);
    const float step = 1.0f / aParticleSystem::MAX_FPS;
    for (const float dt : {0.001f, 1.0f / 60.0f, 0.002f, 10.0f, 1e6f}) {
        const float before = fast->getClock();
        fast->update(dt);
        const float steps = (fast->getClock() - before) / step;
        EXPECT_LE(steps, aParticleSystem::MAX_STEPS_PER_UPDATE + 0.5f) << dt;
        EXPECT_GE(steps, std::min(dt / step, float(aParticleSystem::MAX_STEPS_PER_UPDATE)) - 1.5f) << dt;
    }
    // The dropped time does not come back in the next update.
    const float before = fast->getClock();
    fast->update(0.0f);
    EXPECT_EQ(fast->getClock(), before);
}

TEST(ParticleMotion, ZeroLifeGivesFiniteValuesAndNoEndlessRebirth)
{
    for (const char* loop : {"0", "1"}) {
        ParticleFiles files;
        auto system = files.load(std::string("fps 10\nemitter_life 0 0\nemit_per_sec 4 4\nparticle_life 0 0\n"
                                             "size_min 1 1\nsize_max 9 9\nloop_ps ") +
                                 loop);
        system->restartAt(0, 0);
        for (int round = 0; round < 2; ++round) {
            for (const aParticle* p : liveParticles(*system)) {
                EXPECT_GE(p->life, aParticleSystem::MIN_PARTICLE_LIFE);
                for (float v : {p->width, p->height, p->color[0], p->color[3], p->posX, p->posY, p->corners[0].x,
                                p->corners[3].y, p->sizeRate1[0], p->sizeRate2[1], p->colorRate1[3], p->colorRate2[3]})
                    EXPECT_TRUE(std::isfinite(v)) << "loop_ps " << loop;
            }
            steps(*system, 5);
        }
        EXPECT_EQ(system->getLiveCount(), loop[0] == '1' ? 4u : 0u);
    }
    aParticle far; // corners far off or not numbers: no undefined conversions
    far.corners[0] = {NAN, 1e30f};
    far.corners[1] = {-1e30f, INFINITY};
    aRect r;
    aParticleSystem::getParticleRect(far, r);
    EXPECT_EQ(r.x, -32768);
}

// Rebirth where they are is the golden frame's ring.
TEST(ParticleMotion, LoopingParticlesDieOffScreen)
{
    ParticleFiles files;
    kbtest::GraphRig screen(true, 640, 480);
    auto leaving = files.load("fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nemit_per_sec 1 1\nspread 0 0\n"
                              "velocity 100 100\nparticle_life 100 100\nloop_ps 1\nkilloffscr 1\n"
                              "size_min 8 8\nsize_mid 8 8\nsize_max 8 8\n",
                              "leaving.psi");
    leaving->restartAt(620, 100);
    // 10 pixels a step; 8 wide with the pivot in the middle. A step tests the rectangle of
    // the previous one before moving: x 630, 640 (636..644 meets the screen), 650, then gone.
    EXPECT_EQ(liveCounts(*leaving, 5), "1*4 0*2");
}
