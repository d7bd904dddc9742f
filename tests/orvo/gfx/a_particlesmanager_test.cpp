// The particles manager: templates from the particle list, live copies,
// layers, removal of finished effects.
#include <gtest/gtest.h>

#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "particle_fixture.h"
#include "support/log_capture.h"

using kbtest::LogCapture;
using kbtest::ParticleFiles;

namespace {

constexpr const char* kBurst = "fps 10\nmax_particles 10\nemitter_life 0 0\nemit_per_sec 50 50\n"
                               "particle_life 0.5 0.5\n";
constexpr const char* kTimed = "fps 10\nemitter_life 1 1\nemit_per_sec 10 10\nparticle_life 0.5 0.5\n";

// A particle list with the BURST and TIMED templates in a temporary folder.
struct Rig {
    Rig(const std::string& extraSections = "")
    {
        files.write("burst.psi", kBurst);
        files.write("timed.psi", kTimed);
        const std::string list =
            files.write("config.ini", "[BURST]\nSystem=burst.psi\n[TIMED]\nSystem=timed.psi\n" + extraSections);
        manager = std::make_unique<aParticlesManager>(list, files.folder() + "/", nullptr, "");
    }
    size_t liveCount() const { return manager->getLiveSystems().size(); }
    bool holds(const aParticleSystem* system) const
    {
        for (const auto& entry : manager->getLiveSystems())
            if (entry.system.get() == system)
                return true;
        return false;
    }

    ParticleFiles files;
    std::unique_ptr<aParticlesManager> manager;
};

} // namespace

TEST(ParticlesManager, UnknownTemplateIsLoggedAndAddsNothing)
{
    LogCapture log;
    Rig rig;
    EXPECT_EQ(rig.manager->Add("NOPE", 1, 2, 0, true, true), nullptr);
    EXPECT_TRUE(log.contains("aParticlesManager::Add() - system template 'NOPE' not found!"));
    EXPECT_EQ(rig.liveCount(), 0u);
    // Names are compared exactly.
    EXPECT_EQ(rig.manager->Add("burst", 1, 2, 0, true, true), nullptr);
}

TEST(ParticlesManager, FinishedBurstIsRemovedByTheLayerUpdateAfterItsDeath)
{
    Rig rig;
    aParticleSystem* burst = rig.manager->Add("BURST", 100, 100, 3, true, true);
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->getLiveCount(), 10u); // ten at once, capped by max_particles
    EXPECT_FLOAT_EQ(burst->getX(), 100.0f);

    int updates = 0;
    while (burst->getLiveCount() > 0 && updates < 100) {
        rig.manager->updateLayers(0.1f, 3);
        ++updates;
    }
    EXPECT_EQ(updates, 5);
    EXPECT_TRUE(rig.holds(burst));      // the update that killed them keeps the entry
    rig.manager->updateLayers(0.1f, 7); // another layer does not touch it
    EXPECT_TRUE(rig.holds(burst));
    rig.manager->updateLayers(0.1f, 3);
    EXPECT_EQ(rig.liveCount(), 0u);
}

TEST(ParticlesManager, LayerListsRunInOrderAndEndAtMinusOne)
{
    Rig rig;
    aParticleSystem* a = rig.manager->Add("TIMED", 0, 0, 1, false, true);
    aParticleSystem* b = rig.manager->Add("TIMED", 0, 0, 2, false, true);
    rig.manager->updateLayers(0.1f, -1, 1, 2);
    EXPECT_EQ(a->getClock(), 0.0f);
    EXPECT_EQ(b->getClock(), 0.0f);
    rig.manager->updateLayers(0.1f, 1, 1, 2, -1, 2);
    EXPECT_NEAR(a->getClock(), 0.2f, 1e-6f); // named twice: updated twice
    EXPECT_NEAR(b->getClock(), 0.1f, 1e-6f);
    rig.manager->updateLayers(0.1f);
    EXPECT_NEAR(b->getClock(), 0.1f, 1e-6f);

    const int32_t list[] = {2, -1, 1};
    rig.manager->updateLayerList(0.1f, list);
    EXPECT_NEAR(a->getClock(), 0.2f, 1e-6f);
    EXPECT_NEAR(b->getClock(), 0.2f, 1e-6f);
}

TEST(ParticlesManager, AddedWithoutRestart)
{
    Rig rig;
    // Not restarted and asking for removal: gone with the next update of its layer.
    aParticleSystem* gone = rig.manager->Add("TIMED", 5, 6, 0, true, false);
    ASSERT_NE(gone, nullptr);
    EXPECT_TRUE(gone->isDone());
    EXPECT_FLOAT_EQ(gone->getY(), 6.0f);
    // Not restarted and kept: not updated until its owner restarts it.
    aParticleSystem* kept = rig.manager->Add("TIMED", 5, 6, 0, false, false);
    rig.manager->updateLayers(0.5f, 0);
    EXPECT_FALSE(rig.holds(gone));
    ASSERT_TRUE(rig.holds(kept));
    EXPECT_EQ(kept->getClock(), 0.0f);
    kept->restart();
    rig.manager->updateLayers(0.5f, 0);
    EXPECT_GT(kept->getLiveCount(), 0u);
}

TEST(ParticlesManager, RemoveAndKillAll)
{
    Rig rig;
    aParticleSystem* a = rig.manager->Add("TIMED", 0, 0, 0, false, true);
    aParticleSystem* b = rig.manager->Add("BURST", 0, 0, 1, false, true);
    aParticleSystem stranger(*rig.manager->getTemplate("TIMED"));
    rig.manager->remove(&stranger); // not held: nothing happens
    rig.manager->remove(nullptr);
    EXPECT_EQ(rig.liveCount(), 2u);
    rig.manager->remove(a);
    EXPECT_EQ(rig.liveCount(), 1u);
    EXPECT_TRUE(rig.holds(b));
    rig.manager->Add("TIMED", 0, 0, 0, false, true);
    rig.manager->killAll();
    EXPECT_EQ(rig.liveCount(), 0u);
    EXPECT_EQ(rig.manager->getTemplateCount(), 2u);
    EXPECT_NE(rig.manager->Add("BURST", 0, 0, 0, false, true), nullptr);
}

TEST(ParticlesManager, ALaterSectionOfTheSameNameReplacesTheTemplate)
{
    const int32_t usersBefore = aParticleSystem::getBufferUsers();
    {
        Rig rig("[BURST]\nSystem=timed.psi\n");
        EXPECT_EQ(rig.manager->getTemplateCount(), 2u);
        // The earlier template was destroyed, not kept unreachable.
        EXPECT_EQ(aParticleSystem::getBufferUsers(), usersBefore + 2);
        aParticleSystem* added = rig.manager->Add("BURST", 0, 0, 0, false, true);
        EXPECT_TRUE(added->isActive()); // the timed definition
        EXPECT_EQ(aParticleSystem::getBufferUsers(), usersBefore + 3);
    }
    EXPECT_EQ(aParticleSystem::getBufferUsers(), usersBefore);
}

TEST(ParticlesManager, SectionWithoutSystemKeepsTheDefaults)
{
    LogCapture log;
    Rig rig("[EMPTY]\nImageless=1\n");
    const aParticleSystem* empty = rig.manager->getTemplate("EMPTY");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->getParams().fps, 0);
    EXPECT_EQ(empty->getParams().maxParticles, 100);
}

TEST(ParticlesManager, MissingListGivesNoTemplates)
{
    LogCapture log;
    ParticleFiles files;
    aParticlesManager manager(files.folder() + "/none.ini", files.folder() + "/", nullptr, "");
    EXPECT_EQ(manager.getTemplateCount(), 0u);
    EXPECT_EQ(manager.Add("BURST", 0, 0, 0, true, true), nullptr);
    EXPECT_TRUE(log.contains("aParticlesManager::Add() - system template 'BURST' not found!"));
}
