// Reading particle definition files: defaults, line syntax, partial values.
#include <gtest/gtest.h>

#include "orvo/gfx/a_particlesystem.h"
#include "gfx_fixture.h"

using kbtest::ParticleFiles;

namespace {

void expectColor(const float c[4], float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(c[0], r);
    EXPECT_FLOAT_EQ(c[1], g);
    EXPECT_FLOAT_EQ(c[2], b);
    EXPECT_FLOAT_EQ(c[3], a);
}

} // namespace

TEST(ParticleDefinition, AMissingFileKeepsTheDefaultsAndNeverAdvances)
{
    ParticleFiles files;
    aParticleSystem system(files.folder() + "/none.psi", nullptr, "");
    const aParticleSystem::Params& p = system.getParams();
    EXPECT_EQ(p.maxParticles, 100);
    EXPECT_EQ(p.fps, 0);
    EXPECT_FLOAT_EQ(p.emitterLife[0], 32.0f);
    EXPECT_FLOAT_EQ(p.emitPerSec[1], 1.0f);
    EXPECT_FLOAT_EQ(p.spread[1], 6.2831855f);
    EXPECT_FLOAT_EQ(p.particleLife[1], 3.0f);
    EXPECT_FLOAT_EQ(p.velocity[0], 30.0f);
    EXPECT_FLOAT_EQ(p.rotCenter[1], 0.5f);
    expectColor(p.colorEnd, 1, 1, 1, 0); // white, fading out

    // Never started: nothing happens until a restart, and with fps 0 not even then.
    system.update(1.0f);
    EXPECT_FLOAT_EQ(system.getDelayCountdown(), -1.0f);
    system.restart();
    system.update(5.0f);
    EXPECT_EQ(system.getClock(), 0.0f);
    EXPECT_EQ(system.getLiveCount(), 0u);
}

TEST(ParticleDefinition, LineSyntax)
{
    ParticleFiles files;
    auto system = files.load("just some words\n"
                             "FPS 30\n"           // keywords are case-sensitive
                             "fps\t25\n"          // a tab does not end the keyword
                             "max_particles  7\n" // two blanks are fine
                             "velocity 1 2\n"
                             "velocity 3 4\n"   // the last line counts
                             "loop_ps 7\n"      // any nonzero number sets a flag
                             "killoffscr yes\n" // a word clears it
                             "rand_flip 0\n"
                             "texture spark.png more words\n"
                             "blend_mode 1 trailing\n"
                             "spin_by_dir\n"); // no blank: ignored
    const aParticleSystem::Params& p = system->getParams();
    EXPECT_EQ(p.fps, 0);
    EXPECT_EQ(p.maxParticles, 7);
    EXPECT_FLOAT_EQ(p.velocity[0], 3.0f);
    EXPECT_FLOAT_EQ(p.velocity[1], 4.0f);
    EXPECT_TRUE(p.loopPs);
    EXPECT_FALSE(p.killOffScreen);
    EXPECT_FALSE(p.randFlip);
    EXPECT_FALSE(p.spinByDir);
    EXPECT_EQ(p.blendMode, 1);
    EXPECT_EQ(system->getTextureName(), "spark.png");
}

TEST(ParticleDefinition, MissingValuesKeepTheirDefaults)
{
    ParticleFiles files;
    auto system = files.load("particle_life 5\n"
                             "emit_per_sec 12\n" // the maximum follows the minimum
                             "spin 1\n"
                             "color FF0000FF\n" // mid and end stay at their defaults
                             "size_min x\n"
                             "fps -20\n"); // a negative rate stands still
    const aParticleSystem::Params& p = system->getParams();
    EXPECT_FLOAT_EQ(p.particleLife[0], 5.0f);
    EXPECT_FLOAT_EQ(p.particleLife[1], 3.0f);
    EXPECT_FLOAT_EQ(p.emitPerSec[0], 12.0f);
    EXPECT_FLOAT_EQ(p.emitPerSec[1], 12.0f);
    EXPECT_FLOAT_EQ(p.spin[1], 0.0f);
    expectColor(p.colorStart, 0, 0, 1, 1);
    expectColor(p.colorMid, 1, 1, 1, 1);
    EXPECT_FLOAT_EQ(p.sizeMin[0], 32.0f);
    EXPECT_EQ(p.fps, 0);
}
