// The particles manager: templates from the particle list, live copies,
// layers, removal of finished effects.
#include <gtest/gtest.h>

#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesmanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "gfx_fixture.h"
#include "support/image_files.h"
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

TEST(ParticlesManager, MissingListGivesNoTemplates)
{
    LogCapture log;
    ParticleFiles files;
    aParticlesManager manager(files.folder() + "/none.ini", files.folder() + "/", nullptr, "");
    EXPECT_EQ(manager.getTemplateCount(), 0u);
    EXPECT_EQ(manager.Add("BURST", 0, 0, 0, true, true), nullptr);
    EXPECT_TRUE(log.contains("aParticlesManager::Add() - system template 'BURST' not found!"));
}

namespace {

// Two pictures in an image list loaded under the list name "fx", and a
// particle list whose templates take them in every way a list can.
struct PictureRig {
    PictureRig()
    {
        kbtest::writeFile(files.folder() + "/spark.png",
                          kbtest::encodePng(std::vector<uint32_t>(16 * 16, ~0u), 16, 16));
        kbtest::writeFile(files.folder() + "/atlas.png",
                          kbtest::encodePng(std::vector<uint32_t>(32 * 32, 0xFF00FF00u), 32, 32));
        images.loadList(files.write("images.lst", "spark.png 8888 8888\natlas.png 8888 8888\n"), "fx");
        files.write("tex.psi", "fps 10\ntexture spark\nemitter_life 0 0\nemit_per_sec 1 1\n");
        files.write("nope.psi", "fps 10\ntexture nope\n");
        const std::string list = files.write("config.ini", "[A]\nSystem=tex.psi\n"
                                                           "[B]\nSystem=tex.psi\nImage=atlas\nRect=16 0 16 8\n"
                                                           "[C]\nSystem=tex.psi\nRect=1 2 3 4\n"
                                                           "[D]\nSystem=tex.psi\nImage=missing\n"
                                                           "[E]\nSystem=nope.psi\n");
        manager = std::make_unique<aParticlesManager>(list, files.folder() + "/", &images, "fx");
    }
    const aImage::TextureRecord* record(const std::string& name) { return images.getImage(name, "fx")->getRecord(); }
    const aGpuTexture* texture(const std::string& name)
    {
        return record(name)->surfaces[aImage::SURFACE_PLAIN].texture.get();
    }

    kbtest::GraphRig screen{true, 640, 480};
    LogCapture log;
    ParticleFiles files;
    aImageManager images;
    std::unique_ptr<aParticlesManager> manager;
};

const aImage::TextureRecord* recordOf(const aParticleSystem* system)
{
    return system && system->getImage() ? system->getImage()->getRecord() : nullptr;
}

} // namespace

TEST(ParticlesManager, PicturesComeFromTheDefinitionOrTheList)
{
    PictureRig rig;
    const aParticlesManager& m = *rig.manager;
    // The definition's "texture", shown whole.
    EXPECT_EQ(recordOf(m.getTemplate("A")), rig.record("spark"));
    EXPECT_EQ(m.getTemplate("A")->getSource(), aRect(0, 0, 16, 16));
    // "Image" with "Rect": that part of the list's picture.
    EXPECT_EQ(recordOf(m.getTemplate("B")), rig.record("atlas"));
    EXPECT_EQ(m.getTemplate("B")->getSource(), aRect(16, 0, 16, 8));
    // "Rect" alone changes nothing.
    EXPECT_EQ(recordOf(m.getTemplate("C")), rig.record("spark"));
    EXPECT_EQ(m.getTemplate("C")->getSource(), aRect(0, 0, 16, 16));
    // Unknown names leave the template without a picture; the image manager says so.
    EXPECT_EQ(m.getTemplate("D")->getImage(), nullptr);
    EXPECT_TRUE(rig.log.contains("aImageManager. Cannot find image: missing : fx"));
    EXPECT_EQ(m.getTemplate("E")->getImage(), nullptr);
    EXPECT_EQ(m.getTemplate("E")->getTextureName(), "nope");
    EXPECT_TRUE(rig.log.contains("aImageManager. Cannot find image: nope : fx"));
    // A live copy keeps the part.
    aParticleSystem* b = rig.manager->Add("B", 0, 0, 0, false, true);
    EXPECT_EQ(b->getSource(), aRect(16, 0, 16, 8));
}

TEST(ParticlesManager, RenderLayersDrawsTheNamedLayersInTheirOrder)
{
    PictureRig rig;
    rig.manager->Add("A", 10, 10, 1, false, true);
    rig.manager->Add("B", 20, 20, 2, false, true);
    rig.manager->Add("A", 30, 30, 3, false, true);
    rig.manager->Add("D", 40, 40, 1, false, true); // no picture: drawn as nothing
    auto drawnTextures = [&rig]() {
        std::vector<const void*> out;
        for (const aGpuRecord& r : rig.screen.device->records(aGpuCall::DrawIndexedPrimitive))
            out.push_back(r.object);
        rig.screen.device->clearRecords();
        return out;
    };
    const void* spark = rig.texture("spark");
    const void* atlas = rig.texture("atlas");
    rig.screen.graph->beginScene();
    rig.screen.device->clearRecords();
    rig.manager->renderLayers(2, 1);
    EXPECT_EQ(drawnTextures(), (std::vector<const void*>{atlas, spark}));
    rig.manager->renderLayers(-1, 3);
    EXPECT_TRUE(drawnTextures().empty());
    rig.manager->renderAll();
    EXPECT_EQ(drawnTextures(), (std::vector<const void*>{spark, atlas, spark}));
    rig.screen.graph->endScene();
}
