// Particle drawing: the shared buffers, colour packing, what reaches the device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/platform/gpu/a_gpubuffer.h"
#include "gfx_fixture.h"
#include "support/log_capture.h"

using kbtest::LogCapture;
using kbtest::ParticleFiles;
using kbtest::GraphRig;

namespace {

// Still particles of 8 x 4 with their top-left corner at the emitter.
constexpr const char* kStill = "fps 10\nemitter_life 0 0\nemitter_rtime -1 -1\nvelocity 0 0\nspread 0 0\n"
                               "size_min 8 4\nsize_mid 8 4\nsize_max 8 4\nrotcenter 0 0\nparticle_life 9 9\n";

std::vector<aGpuVertex> sentVertices(const aGpuRecord& draw)
{
    std::vector<aGpuVertex> out(draw.vertices.size() / sizeof(aGpuVertex));
    std::memcpy(out.data(), draw.vertices.data(), out.size() * sizeof(aGpuVertex));
    return out;
}

// A scene around the test's draws.
struct Scene {
    explicit Scene(GraphRig& s) : screen(s)
    {
        screen.graph->beginScene();
        screen.device->clearRecords();
    }
    ~Scene() { screen.graph->endScene(); }
    std::vector<aGpuRecord> draws() const { return screen.device->records(aGpuCall::DrawIndexedPrimitive); }
    GraphRig& screen;
};

} // namespace

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
    GraphRig screen{true, 640, 480};
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
    GraphRig screen{true, 640, 480};
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

TEST(ParticleDraw, LiveParticlesBecomeOneIndexedDrawOfTheirQuads)
{
    GraphRig screen{true, 640, 480};
    aImage picture;
    picture.create(32, 16);
    ParticleFiles files;
    auto system = files.load(std::string(kStill) + "emit_per_sec 1 1\ncolor FF0000FF 800000FF 000000FF\n"
                                                   "blend_mode 1\n");
    const aRect part(8, 4, 16, 8);
    system->setImage(&picture, &part);
    EXPECT_EQ(picture.getReferenceCount(), 2u); // the system keeps its own handle
    system->restartAt(100, 50);
    system->setPosition(200, 60);
    system->restart(); // a second particle, newest first
    ASSERT_EQ(system->getLiveCount(), 2u);

    Scene scene(screen);
    screen.graph->setBlendMode(A_BLEND_NORMAL);
    system->render();
    const auto draws = scene.draws();
    ASSERT_EQ(draws.size(), 1u);
    const aGpuRecord& draw = draws[0];
    EXPECT_EQ(draw.u[0], static_cast<uint32_t>(aGpuPrimitive::TriangleList));
    EXPECT_EQ(draw.u[1], 4u);  // two triangles a particle
    EXPECT_EQ(draw.u[2], 28u); // stride
    EXPECT_EQ(draw.u[4], 8u);  // vertices
    EXPECT_EQ(draw.object, picture.getRecord()->surfaces[aImage::SURFACE_PLAIN].texture.get());
    const std::vector<aGpuVertex> v = sentVertices(draw);
    ASSERT_EQ(v.size(), 8u);
    // Newest first: the particle at (200, 60).
    EXPECT_EQ(v[0].x, 200.0f);
    EXPECT_EQ(v[0].y, 60.0f);
    EXPECT_EQ(v[3].x, 208.0f);
    EXPECT_EQ(v[3].y, 64.0f);
    EXPECT_EQ(v[4].x, 100.0f);
    EXPECT_EQ(v[4].y, 50.0f);
    for (const aGpuVertex& vertex : v) {
        EXPECT_EQ(vertex.color, 0xFF0000FFu);
        EXPECT_EQ(vertex.z, 0.0f);
        EXPECT_EQ(vertex.rhw, 1.0f);
    }
    // The part (8, 4, 16, 8) of a 32 x 16 texture.
    EXPECT_EQ(v[0].u, 0.25f);
    EXPECT_EQ(v[0].v, 0.25f);
    EXPECT_EQ(v[1].u, 0.75f);
    EXPECT_EQ(v[2].v, 0.75f);
    EXPECT_EQ(draw.indices, (std::vector<uint16_t>{0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7}));

    // Additive while drawing, the caller's mode again afterwards.
    EXPECT_EQ(screen.graph->getBlendMode(), static_cast<uint32_t>(A_BLEND_NORMAL));
    const auto blends = screen.device->records(aGpuCall::SetRenderState);
    ASSERT_GE(blends.size(), 2u);
    EXPECT_EQ(screen.device->getRenderState(aGpuRenderState::DestBlend), static_cast<uint32_t>(aGpuBlend::InvSrcAlpha));
    bool additive = false;
    for (const aGpuRecord& r : blends)
        additive |= r.u[0] == static_cast<uint32_t>(aGpuRenderState::DestBlend) &&
                    r.u[1] == static_cast<uint32_t>(aGpuBlend::One);
    EXPECT_TRUE(additive);
}

TEST(ParticleDraw, TwoSystemsEachDrawOnlyTheirOwnVertices)
{
    GraphRig screen{true, 640, 480};
    aImage picture;
    picture.create(8, 8);
    ParticleFiles files;
    auto three = files.load(std::string(kStill) + "emit_per_sec 3 3\n");
    auto one = files.load(std::string(kStill) + "emit_per_sec 1 1\n", "one.psi");
    three->setImage(&picture, nullptr);
    one->setImage(&picture, nullptr);
    three->restartAt(10, 10);
    one->restartAt(50, 70);

    Scene scene(screen);
    three->render();
    one->render();
    const auto draws = scene.draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].u[4], 12u);
    EXPECT_EQ(draws[1].u[4], 4u);
    EXPECT_EQ(sentVertices(draws[0])[0].x, 10.0f);
    EXPECT_EQ(sentVertices(draws[1])[0].x, 50.0f); // from vertex 0 again
    EXPECT_EQ(sentVertices(draws[1])[0].y, 70.0f);
    // The whole picture: texture coordinates 0 to 1.
    EXPECT_EQ(sentVertices(draws[1])[3].u, 1.0f);
    EXPECT_EQ(sentVertices(draws[1])[3].v, 1.0f);
}

TEST(ParticleDraw, AMirroredParticleSwapsItsTextureCoordinatesNotItsCorners)
{
    GraphRig screen{true, 640, 480};
    aImage picture;
    picture.create(16, 16);
    ParticleFiles files;
    auto system = files.load(std::string(kStill) + "emit_per_sec 1 1\ndef_flip 1\nrotcenter 0.5 0\n");
    const aRect left(0, 0, 8, 16);
    system->setImage(&picture, &left);
    system->restartAt(20, 20);

    Scene scene(screen);
    system->render();
    const auto v = sentVertices(scene.draws().at(0));
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].x, 16.0f); // top-left stays left (the pivot is in the middle)
    EXPECT_EQ(v[1].x, 24.0f);
    EXPECT_EQ(v[0].u, 0.5f); // but shows the right edge of the part
    EXPECT_EQ(v[1].u, 0.0f);
    EXPECT_EQ(v[2].u, 0.5f);
    EXPECT_EQ(v[3].u, 0.0f);
}

TEST(ParticleDraw, FailuresAreLoggedAndTheBlendModeIsRestored)
{
    LogCapture log;
    GraphRig screen{true, 640, 480};
    aImage picture;
    picture.create(4, 4);
    ParticleFiles files;
    auto system = files.load(std::string(kStill) + "emit_per_sec 1 1\nblend_mode 2\n");
    system->setImage(&picture, nullptr);
    system->restartAt(0, 0);

    Scene scene(screen);
    screen.device->failNext(aGpuCall::BufferLock, aGpuResult::InvalidCall);
    system->render();
    EXPECT_TRUE(log.contains("aParticleSystem. Vertex buffer lock failed on render (INVALID_CALL)"));
    EXPECT_TRUE(scene.draws().empty());

    screen.device->failNext(aGpuCall::DrawIndexedPrimitive, aGpuResult::DriverInternalError);
    system->render();
    EXPECT_TRUE(log.contains("aParticleSystem. Render error (DRIVER_INTERNAL_ERROR)"));
    EXPECT_EQ(screen.graph->getBlendMode(), static_cast<uint32_t>(A_BLEND_NORMAL));

    system->render(); // and the next frame draws again
    EXPECT_EQ(scene.draws().back().result, aGpuResult::Ok);
}
