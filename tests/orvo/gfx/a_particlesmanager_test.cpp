// The particles manager: templates from the particle list, live copies,
// layers, removal of finished effects.
#include <gtest/gtest.h>

#include "gfx_fixture.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"

using kbtest::LogCapture;
using kbtest::ParticleFiles;

namespace {

// A particle list with the BURST and TIMED templates in a temporary folder.
struct Rig {
    explicit Rig(const std::string& extraSections = "")
    {
        files.write("burst.psi", "fps 10\nmax_particles 10\nemitter_life 0 0\nemit_per_sec 50 50\n"
                                 "particle_life 0.5 0.5\n");
        files.write("timed.psi", "fps 10\nemitter_life 1 1\nemit_per_sec 10 10\nparticle_life 0.5 0.5\n");
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

TEST(ParticlesManager, UnknownTemplatesAddNothingAndAFinishedBurstIsRemovedAfterItsDeath)
{
    LogCapture log;
    Rig rig;
    EXPECT_EQ(rig.manager->Add("NOPE", 1, 2, 0, true, true), nullptr);
    aParticlesManager none(rig.files.folder() + "/none.ini", rig.files.folder() + "/", nullptr, "");
    EXPECT_EQ(none.Add("BURST", 0, 0, 0, true, true), nullptr);
    EXPECT_TRUE(log.contains("aParticlesManager::Add() - system template 'BURST' not found!"));

    // A finished burst is removed by the update of its layer after the one that saw it die.
    aParticleSystem* burst = rig.manager->Add("BURST", 100, 100, 3, true, true);
    ASSERT_NE(burst, nullptr);
    int updates = 0;
    while (burst->getLiveCount() > 0 && updates < 100) {
        rig.manager->updateLayers(0.1f, 3);
        ++updates;
    }
    EXPECT_TRUE(rig.holds(burst));      // the update that killed them keeps the entry
    rig.manager->updateLayers(0.1f, 7); // another layer does not touch it
    EXPECT_TRUE(rig.holds(burst));
    rig.manager->updateLayers(0.1f, 3);
    EXPECT_EQ(rig.liveCount(), 0u);
}

TEST(ParticlesManager, AddWithoutRestartRemoveAndKillAll)
{
    Rig rig;
    // Not restarted and asking for removal: gone with the next update of its layer.
    aParticleSystem* gone = rig.manager->Add("TIMED", 5, 6, 0, true, false);
    // Not restarted and kept: it waits for its owner (as in the golden frame).
    aParticleSystem* kept = rig.manager->Add("TIMED", 5, 6, 0, false, false);
    rig.manager->updateLayers(0.5f, 0);
    EXPECT_FALSE(rig.holds(gone));
    ASSERT_TRUE(rig.holds(kept));

    aParticleSystem* b = rig.manager->Add("BURST", 0, 0, 1, false, true);
    aParticleSystem stranger(*rig.manager->getTemplate("TIMED"));
    rig.manager->remove(&stranger); // not held: nothing happens
    rig.manager->remove(nullptr);
    rig.manager->remove(kept);
    EXPECT_TRUE(rig.liveCount() == 1 && rig.holds(b));
    rig.manager->killAll();
    EXPECT_EQ(rig.liveCount(), 0u);
    EXPECT_NE(rig.manager->Add("BURST", 0, 0, 0, false, true), nullptr) << "the templates stay";
}

TEST(ParticlesManager, ALaterSectionOfTheSameNameReplacesTheTemplate)
{
    const int32_t usersBefore = aParticleSystem::getBufferUsers();
    {
        Rig rig("[BURST]\nSystem=timed.psi\n");
        EXPECT_EQ(rig.manager->getTemplateCount(), 2u);
        // The earlier template was destroyed, not kept unreachable.
        EXPECT_EQ(aParticleSystem::getBufferUsers(), usersBefore + 2);
        EXPECT_TRUE(rig.manager->Add("BURST", 0, 0, 0, false, true)->isActive()); // the timed definition
        EXPECT_EQ(aParticleSystem::getBufferUsers(), usersBefore + 3);
    }
    EXPECT_EQ(aParticleSystem::getBufferUsers(), usersBefore);
}

TEST(ParticlesManager, PicturesComeFromTheDefinitionOrTheListAndUnknownOnesDrawNothing)
{
    kbtest::GraphRig screen(true, 640, 480);
    LogCapture log;
    ParticleFiles files;
    aImageManager images;
    kbtest::writeFile(files.folder() + "/spark.png", kbtest::encodePng(kbtest::solidPixels(16, 16, ~0u), 16, 16));
    kbtest::writeFile(files.folder() + "/atlas.png",
                      kbtest::encodePng(kbtest::solidPixels(32, 32, 0xFF00FF00), 32, 32));
    images.loadList(files.write("images.lst", "spark.png 8888 8888\natlas.png 8888 8888\n"), "fx");
    files.write("tex.psi", "fps 10\ntexture spark\nemitter_life 0 0\nemit_per_sec 1 1\n");
    files.write("nope.psi", "fps 10\ntexture nope\n");
    aParticlesManager m(files.write("config.ini", "[A]\nSystem=tex.psi\n"
                                                  "[B]\nSystem=tex.psi\nImage=atlas\nRect=16 0 16 8\n"
                                                  "[D]\nSystem=tex.psi\nImage=missing\n"
                                                  "[E]\nSystem=nope.psi\n"),
                        files.folder() + "/", &images, "fx");
    aImage* spark = images.getImage("spark", "fx");
    aImage* atlas = images.getImage("atlas", "fx");
    auto record = [](const aParticleSystem* s) { return s->getImage() ? s->getImage()->getRecord() : nullptr; };
    // The definition's "texture", shown whole; "Image" with "Rect": that part of the list's picture.
    EXPECT_EQ(record(m.getTemplate("A")), spark->getRecord());
    EXPECT_EQ(record(m.getTemplate("B")), atlas->getRecord());
    EXPECT_EQ(m.getTemplate("B")->getSource(), aRect(16, 0, 16, 8));
    // Unknown names leave the template without a picture; the image manager says so.
    EXPECT_EQ(m.getTemplate("D")->getImage(), nullptr);
    EXPECT_EQ(m.getTemplate("E")->getImage(), nullptr);
    EXPECT_TRUE(log.contains("aImageManager. Cannot find image: missing : fx"));
    EXPECT_TRUE(log.contains("aImageManager. Cannot find image: nope : fx"));

    // A live copy keeps its part; one without a picture draws nothing (the layer order is the golden frame's).
    EXPECT_EQ(m.Add("B", 20, 20, 2, false, true)->getSource(), aRect(16, 0, 16, 8));
    m.Add("D", 40, 40, 1, false, true);
    ASSERT_TRUE(screen.graph->beginScene());
    screen.device->clearRecords();
    m.renderLayers(1, -1);
    EXPECT_EQ(screen.device->count(aGpuCall::DrawIndexedPrimitive), 0u);
    screen.graph->endScene();
}
