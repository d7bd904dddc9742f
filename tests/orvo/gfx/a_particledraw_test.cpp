// Particle drawing: the shared buffers, colour packing, what reaches the device.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/gpu/a_gpubuffer.h"
#include "particle_fixture.h"
#include "support/log_capture.h"

using kbtest::LogCapture;
using kbtest::ParticleFiles;
using kbtest::ParticleScreen;

TEST(ParticleDraw, ColourChannelsPackToBytes)
{
    const float rgba[4] = {1.2f, -0.1f, 0.5f, 1.0f};
    EXPECT_EQ(aParticleSystem::packColor(rgba), 0xFFFF0080u);
    EXPECT_EQ(aParticleSystem::packChannel(1.0f), 255u);
    EXPECT_EQ(aParticleSystem::packChannel(0.0f), 0u);
    EXPECT_EQ(aParticleSystem::packChannel(0.999f), 255u); // 254.745 + 0.5
    EXPECT_EQ(aParticleSystem::packChannel(0.998f), 254u); // 254.49 + 0.5
    EXPECT_EQ(aParticleSystem::packChannel(0.001f), 0u);
    EXPECT_EQ(aParticleSystem::packChannel(NAN), 0u);
    EXPECT_EQ(aParticleSystem::packChannel(-INFINITY), 0u);
    EXPECT_EQ(aParticleSystem::packChannel(INFINITY), 255u);
}

TEST(ParticleDraw, SharedBuffersHoldFixedIndicesAndBlankVertices)
{
    ParticleScreen screen;
    ParticleFiles files;
    ASSERT_EQ(aParticleSystem::getBufferUsers(), 0);
    auto first = files.load("fps 10\n");
    auto second = std::make_unique<aParticleSystem>(*first);
    EXPECT_EQ(aParticleSystem::getBufferUsers(), 2);
    aGpuVertexBuffer* vertices = aParticleSystem::getVertexBuffer();
    aGpuIndexBuffer* indices = aParticleSystem::getIndexBuffer();
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(vertices->size(), 224000u);
    EXPECT_EQ(indices->size(), 24000u);

    std::vector<uint16_t> index(12000);
    ASSERT_TRUE(indices->read(0, 24000, index.data()));
    for (uint32_t k : {0u, 1u, 1999u}) {
        const uint16_t v = static_cast<uint16_t>(k * 4);
        const std::vector<uint16_t> quad(index.begin() + k * 6, index.begin() + k * 6 + 6);
        EXPECT_EQ(quad, (std::vector<uint16_t>{v, uint16_t(v + 2), uint16_t(v + 1), uint16_t(v + 1), uint16_t(v + 2),
                                               uint16_t(v + 3)}))
            << "quad " << k;
    }
    std::vector<aGpuVertex> vertex(8000);
    ASSERT_TRUE(vertices->read(0, 224000, vertex.data()));
    EXPECT_EQ(vertex[0].z, 0.0f);
    EXPECT_EQ(vertex[0].rhw, 1.0f);
    EXPECT_EQ(vertex[7999].z, 0.0f);
    EXPECT_EQ(vertex[7999].rhw, 1.0f);

    // Released with the last user, made again by the next one.
    first.reset();
    EXPECT_EQ(aParticleSystem::getVertexBuffer(), vertices);
    second.reset();
    EXPECT_EQ(aParticleSystem::getBufferUsers(), 0);
    EXPECT_EQ(aParticleSystem::getVertexBuffer(), nullptr);
    EXPECT_EQ(aParticleSystem::getIndexBuffer(), nullptr);
    auto third = files.load("fps 10\n");
    EXPECT_NE(aParticleSystem::getVertexBuffer(), nullptr);
    EXPECT_NE(aParticleSystem::getIndexBuffer(), nullptr);
}

TEST(ParticleDraw, AFailedBufferIsLoggedAndMadeByALaterSystem)
{
    LogCapture log;
    ParticleScreen screen;
    ParticleFiles files;
    screen.device->failNext(aGpuCall::CreateIndexBuffer, aGpuResult::OutOfMemory);
    auto first = files.load("fps 10\n");
    EXPECT_TRUE(log.contains("aParticleSystem. Index buffer creation failed (OUT_OF_MEMORY)"));
    EXPECT_EQ(aParticleSystem::getIndexBuffer(), nullptr);
    first->restartAt(10, 10);
    first->render(); // draws nothing without a buffer, and does not crash

    screen.device->failNext(aGpuCall::BufferLock, aGpuResult::InvalidCall);
    auto second = files.load("fps 10\n");
    EXPECT_TRUE(log.contains("aParticleSystem. Index buffer lock failed (INVALID_CALL)"));
    auto third = files.load("fps 10\n");
    EXPECT_NE(aParticleSystem::getIndexBuffer(), nullptr);
    EXPECT_EQ(aParticleSystem::getBufferUsers(), 3);
}

TEST(ParticleDraw, NoGraphServerMeansNoBuffersAndAZeroScreen)
{
    ParticleFiles files;
    auto system = files.load("fps 10\nemitter_life 0 0\nemit_per_sec 3 3\n");
    EXPECT_EQ(aParticleSystem::getVertexBuffer(), nullptr);
    EXPECT_EQ(system->getScreen(), aRect());
    system->restartAt(0, 0);
    system->render();
    EXPECT_EQ(system->getLiveCount(), 3u);
}
