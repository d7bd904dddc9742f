// Particle drawing: the shared buffers, colour packing, what reaches the device.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/gpu/a_gpubuffer.h"

using kbtest::LogCapture;
using kbtest::ParticleFiles;

namespace {

// Still particles of 8 x 4 with their top-left corner at the emitter.
constexpr const char* kStill = "fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nvelocity 0 0\nspread 0 0\n"
                               "size_min 8 4\nsize_mid 8 4\nsize_max 8 4\nrotcenter 0 0\nparticle_life 9 9\n";

// A 640 x 480 rig inside a frame, and a picture for the particles.
class ParticleDraw : public testing::Test, public kbtest::GraphRig {
protected:
    ParticleDraw() : GraphRig(true, 640, 480) { picture.create(32, 16); }
    void begin()
    {
        ASSERT_TRUE(graph->beginScene());
        device->clearRecords();
    }
    void TearDown() override
    {
        if (graph->isInScene())
            graph->endScene();
    }
    std::vector<aGpuRecord> draws() const { return device->records(aGpuCall::DrawIndexedPrimitive); }

    ParticleFiles files;
    aImage picture;
};

} // namespace

TEST(ParticleColour, ChannelsPackToBytes)
{
    const std::pair<float, uint32_t> channels[] = {{0.998f, 254}, {NAN, 0}, {-INFINITY, 0}, {INFINITY, 255}};
    for (auto [value, packed] : channels)
        EXPECT_EQ(aParticleSystem::packChannel(value), packed) << value;
}

TEST_F(ParticleDraw, SharedBuffersLiveFromTheFirstUserToTheLastAndAFailedOneIsMadeByALaterSystem)
{
    ASSERT_EQ(aParticleSystem::getBufferUsers(), 0);
    auto first = files.load("fps 10\n");
    auto second = std::make_unique<aParticleSystem>(*first);
    EXPECT_EQ(aParticleSystem::getBufferUsers(), 2);
    aGpuVertexBuffer* vertices = aParticleSystem::getVertexBuffer();
    std::vector<uint16_t> lastQuad(6);
    ASSERT_TRUE(aParticleSystem::getIndexBuffer()->read(1999 * 12, 12, lastQuad.data()));
    EXPECT_EQ(lastQuad, (std::vector<uint16_t>{7996, 7998, 7997, 7997, 7998, 7999})) << "every quad's indices are made";
    first.reset();
    EXPECT_EQ(aParticleSystem::getVertexBuffer(), vertices) << "kept while a user lives";
    second.reset();
    EXPECT_EQ(aParticleSystem::getIndexBuffer(), nullptr);

    LogCapture log;
    device->failNext(aGpuCall::CreateIndexBuffer, aGpuResult::OutOfMemory);
    first = files.load("fps 10\n");
    EXPECT_TRUE(log.contains("aParticleSystem. Index buffer creation failed (OUT_OF_MEMORY)"));
    EXPECT_EQ(aParticleSystem::getIndexBuffer(), nullptr);
    first->restartAt(10, 10);
    first->render(); // draws nothing without a buffer, and does not crash
    device->failNext(aGpuCall::BufferLock, aGpuResult::InvalidCall);
    second = files.load("fps 10\n");
    EXPECT_TRUE(log.contains("aParticleSystem. Index buffer lock failed (INVALID_CALL)"));
    auto third = files.load("fps 10\n");
    EXPECT_NE(aParticleSystem::getIndexBuffer(), nullptr);
    EXPECT_EQ(aParticleSystem::getBufferUsers(), 3);
}

TEST_F(ParticleDraw, LiveParticlesBecomeOneIndexedDrawOfTheirQuadsInTheirBlendMode)
{
    auto system = files.load(std::string(kStill) + "emit_per_sec 1 1\nblend_mode 1\n");
    const aRect part(8, 4, 16, 8);
    system->setImage(&picture, &part);
    system->restartAt(100, 50);
    system->setPosition(200, 60);
    system->restart(); // a second particle, newest first
    ASSERT_EQ(system->getLiveCount(), 2u);

    begin();
    graph->setBlendMode(A_BLEND_NORMAL);
    system->render();
    ASSERT_EQ(draws().size(), 1u);
    // Vertices and texture coordinates are the golden frame's; here newest first and the indices.
    EXPECT_EQ(kbtest::verticesOf(draws()[0])[0].x, 200.0f);
    EXPECT_EQ(draws()[0].indices, (std::vector<uint16_t>{0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7}));
    // Additive while drawing (the golden frame's), the caller's mode again afterwards.
    EXPECT_EQ(device->getRenderState(aGpuRenderState::DestBlend), uint32_t(aGpuBlend::InvSrcAlpha));
}

TEST_F(ParticleDraw, FailuresAreLoggedAndTheBlendModeIsRestored)
{
    LogCapture log;
    auto system = files.load(std::string(kStill) + "emit_per_sec 1 1\nblend_mode 2\n");
    system->setImage(&picture, nullptr);
    system->restartAt(0, 0);
    begin();
    device->failNext(aGpuCall::BufferLock, aGpuResult::InvalidCall);
    system->render();
    EXPECT_TRUE(log.contains("aParticleSystem. Vertex buffer lock failed on render (INVALID_CALL)"));
    EXPECT_TRUE(draws().empty());
    device->failNext(aGpuCall::DrawIndexedPrimitive, aGpuResult::DriverInternalError);
    system->render();
    EXPECT_TRUE(log.contains("aParticleSystem. Render error (DRIVER_INTERNAL_ERROR)"));
    EXPECT_EQ(graph->getBlendMode(), uint32_t(A_BLEND_NORMAL));
    system->render(); // and the next frame draws again
    EXPECT_EQ(draws().back().result, aGpuResult::Ok);
}
