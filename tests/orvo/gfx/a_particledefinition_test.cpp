// Reading particle definition files: defaults, line syntax, partial values.
#include <gtest/gtest.h>

#include "orvo/gfx/a_particlesystem.h"
#include "particle_fixture.h"

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
    EXPECT_EQ(p.emitterType, 0);
    EXPECT_EQ(p.blendMode, 0);
    EXPECT_FLOAT_EQ(p.emitterLife[0], 32.0f);
    EXPECT_FLOAT_EQ(p.emitterRestartTime[1], 32.0f);
    EXPECT_FLOAT_EQ(p.emitPerSec[0], 1.0f);
    EXPECT_FLOAT_EQ(p.emitPerSec[1], 1.0f);
    EXPECT_FLOAT_EQ(p.spread[1], 6.2831855f);
    EXPECT_FLOAT_EQ(p.particleLife[0], 2.0f);
    EXPECT_FLOAT_EQ(p.particleLife[1], 3.0f);
    EXPECT_FLOAT_EQ(p.velocity[0], 30.0f);
    EXPECT_FLOAT_EQ(p.velocity[1], 50.0f);
    EXPECT_FLOAT_EQ(p.sizeMid[1], 32.0f);
    EXPECT_FLOAT_EQ(p.rotCenter[0], 0.5f);
    EXPECT_FLOAT_EQ(p.rotCenter[1], 0.5f);
    // White, fading out.
    expectColor(p.colorStart, 1, 1, 1, 1);
    expectColor(p.colorMid, 1, 1, 1, 1);
    expectColor(p.colorEnd, 1, 1, 1, 0);
    EXPECT_TRUE(system.getTextureName().empty());

    // Never started: nothing happens until a restart, and with fps 0 not even then.
    system.update(1.0f);
    EXPECT_FLOAT_EQ(system.getDelayCountdown(), -1.0f);
    system.restart();
    for (int i = 0; i < 10; ++i)
        system.update(0.5f);
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
    EXPECT_FLOAT_EQ(p.spin[0], 1.0f);
    EXPECT_FLOAT_EQ(p.spin[1], 0.0f);
    expectColor(p.colorStart, 0, 0, 1, 1);
    expectColor(p.colorMid, 1, 1, 1, 1);
    expectColor(p.colorEnd, 1, 1, 1, 0);
    EXPECT_FLOAT_EQ(p.sizeMin[0], 32.0f);
    EXPECT_EQ(p.fps, 0);
}

TEST(ParticleDefinition, ColourWordsAndVariations)
{
    ParticleFiles files;
    auto system = files.load("color 0xFF0000FF 800000ff 000000FF 0.25 0.5\n");
    const aParticleSystem::Params& p = system->getParams();
    expectColor(p.colorStart, 0, 0, 1, 1);
    expectColor(p.colorMid, 0, 0, 1, 128.0f / 255.0f);
    expectColor(p.colorEnd, 0, 0, 1, 0);
    EXPECT_FLOAT_EQ(p.colorVar, 0.25f);
    EXPECT_FLOAT_EQ(p.alphaVar, 0.5f);
}

TEST(ParticleDefinition, EveryKeywordReachesItsField)
{
    ParticleFiles files;
    auto system = files.load("emitter_type 2\nemitter_life 1 2\nemitter_size 3 4\nemitter_angle 0.5\n"
                             "spread -1 1\nspread_relative 1\nspin_by_dir 1\ngravity 5 6\nwind 7 8\n"
                             "radial_acc 9 10\ntangential_acc 11 12\nsize_min 1 2\nsize_mid 3 4\n"
                             "size_max 5 6\nsize_var 0.3\noldcolornd 1\nrotcenter 0 1\nemitter_rtime 13 14\n"
                             "def_flip 1\nstart_delay 0.75\n");
    const aParticleSystem::Params& p = system->getParams();
    EXPECT_EQ(p.emitterType, 2);
    EXPECT_FLOAT_EQ(p.emitterLife[1], 2.0f);
    EXPECT_FLOAT_EQ(p.emitterSize[1], 4.0f);
    EXPECT_FLOAT_EQ(p.emitterAngle, 0.5f);
    EXPECT_FLOAT_EQ(p.spread[0], -1.0f);
    EXPECT_TRUE(p.spreadRelative);
    EXPECT_TRUE(p.spinByDir);
    EXPECT_FLOAT_EQ(p.gravity[1], 6.0f);
    EXPECT_FLOAT_EQ(p.wind[0], 7.0f);
    EXPECT_FLOAT_EQ(p.radialAcc[1], 10.0f);
    EXPECT_FLOAT_EQ(p.tangentialAcc[0], 11.0f);
    EXPECT_FLOAT_EQ(p.sizeMin[1], 2.0f);
    EXPECT_FLOAT_EQ(p.sizeMid[0], 3.0f);
    EXPECT_FLOAT_EQ(p.sizeMax[1], 6.0f);
    EXPECT_FLOAT_EQ(p.sizeVar, 0.3f);
    EXPECT_TRUE(p.oldColorRnd);
    EXPECT_FLOAT_EQ(p.rotCenter[0], 0.0f);
    EXPECT_FLOAT_EQ(p.emitterRestartTime[0], 13.0f);
    EXPECT_TRUE(p.defFlip);
    EXPECT_FLOAT_EQ(p.startDelay, 0.75f);
}
