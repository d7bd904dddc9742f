#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <thread>

#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/platform/gpu/a_gpusprite.h"

namespace {

class GpuRecorder : public testing::Test {
protected:
    void SetUp() override
    {
        aGpuPresentParams params;
        params.backBufferWidth = 320;
        params.backBufferHeight = 200;
        ASSERT_EQ(device.create(params), aGpuResult::Ok);
        ASSERT_EQ(device.createTexture(64, 32, aGpuFormat::A8R8G8B8, aGpuUsage::None, texture), aGpuResult::Ok);
        ASSERT_EQ(device.createSprite(sprite), aGpuResult::Ok);
        device.clearRecords();
    }
    void TearDown() override { sprite.reset(); }

    aGpuDeviceRecorder device;
    std::unique_ptr<aGpuTexture> texture;
    std::unique_ptr<aGpuSprite> sprite;
};

} // namespace

// The golden scene changes states and textures inside batches; here the gathered sprites go before a draw
// of another kind, and an unchanged state keeps gathering.
TEST_F(GpuRecorder, BatchIsDrawnBeforeOtherDrawsAndStateChangesOnly)
{
    ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
    sprite->begin();
    sprite->draw(texture.get(), nullptr, nullptr, nullptr, 0.0f, nullptr, 0xFFFFFFFF);
    device.setRenderState(aGpuRenderState::AlphaBlendEnable, device.getRenderState(aGpuRenderState::AlphaBlendEnable));
    EXPECT_EQ(device.count(aGpuCall::DrawBatch), 0u);
    const aGpuVertex line[2] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0}, {5, 5, 0, 1, 0xFFFFFFFF, 0, 0}};
    device.setVertexFormat(aGpuVertexFormat::Tex1);
    device.drawPrimitiveUP(aGpuPrimitive::LineStrip, 1, line, sizeof(aGpuVertex));
    const auto all = device.records();
    EXPECT_TRUE(all[all.size() - 2].call == aGpuCall::DrawBatch && all.back().call == aGpuCall::DrawPrimitiveUP)
        << "the sprite is drawn before the line after it";
    sprite->end();
    device.endScene();
}

// Only batches whose every sprite lands texel for pixel may skip filtering
// (DrawBatch's fifth number); the golden scene and the game's screens show what those draw.
TEST_F(GpuRecorder, BatchesOfSpritesAtWholePixelsUnscaledAndUnturnedAreTexelForPixel)
{
    const aGpuRect part{16, 8, 26, 28}, empty{5, 5, 5, 9}, flipped{26, 8, 16, 28};
    const aGpuVec2 whole{100, 50}, far{3000, -20}, half{100.001f, 50}, one{1, 1}, centre{3, 4}, barely{1.0001f, 1},
        mirror{-1, 1};
    const struct {
        const char* name;
        const aGpuRect* source;
        const aGpuVec2 *at, *scale, *centre;
        float turn;
        bool exact;
    } cases[] = {{"whole texture at whole pixels", nullptr, &whole, nullptr, nullptr, 0, true},
                 {"part of it, scale 1, a centre", &part, &far, &one, &centre, 0, true},
                 {"slightly off whole pixels", nullptr, &half, nullptr, nullptr, 0, false},
                 {"barely scaled", nullptr, &whole, &barely, nullptr, 0, false},
                 {"mirrored", nullptr, &whole, &mirror, nullptr, 0, false},
                 {"turned all the way", nullptr, &whole, nullptr, nullptr, float(2 * M_PI), false},
                 {"empty source", &empty, &whole, nullptr, nullptr, 0, false},
                 {"source turned inside out", &flipped, &whole, nullptr, nullptr, 0, false}};
    ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
    for (const auto& c : cases) {
        device.clearRecords();
        sprite->begin();
        sprite->draw(texture.get(), c.source, c.scale, c.centre, c.turn, c.at, 0xFFFFFFFF);
        sprite->end();
        const auto batches = device.records(aGpuCall::DrawBatch);
        ASSERT_EQ(batches.size(), 1u) << c.name;
        EXPECT_EQ(batches[0].u[4], c.exact ? 1u : 0u) << c.name;
    }
    // One sprite off the grid makes the whole batch filtered.
    device.clearRecords();
    sprite->begin();
    sprite->draw(texture.get(), nullptr, nullptr, nullptr, 0, &whole, 0xFFFFFFFF);
    sprite->draw(texture.get(), nullptr, nullptr, nullptr, 0, &half, 0xFFFFFFFF);
    sprite->end();
    EXPECT_EQ(device.records(aGpuCall::DrawBatch).at(0).u[4], 0u);
    device.endScene();
}

TEST_F(GpuRecorder, TextureLocksAddressTheRectangleInTheFormatsOwnLayout)
{
    std::unique_ptr<aGpuTexture> t16;
    ASSERT_EQ(device.createTexture(10, 6, aGpuFormat::R5G6B5, aGpuUsage::None, t16), aGpuResult::Ok);
    aGpuLockedRect whole, part;
    ASSERT_EQ(t16->lock(whole), aGpuResult::Ok);
    EXPECT_EQ(t16->lock(part), aGpuResult::AlreadyLocked);
    t16->unlock();
    const aGpuRect rect{3, 2, 5, 4};
    ASSERT_EQ(t16->lock(part, &rect), aGpuResult::Ok);
    EXPECT_EQ(static_cast<uint8_t*>(part.bits) - static_cast<uint8_t*>(whole.bits), 2 * 20 + 3 * 2);
    gpu_writePixel(aGpuFormat::R5G6B5, part.bits, 0xFFFFFFFF); // two bytes: the next pixel stays
    t16->unlock();
    EXPECT_EQ(t16->unlock(), aGpuResult::NotLocked);
    const auto bytes = t16->pixels();
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 45, bytes.begin() + 49), (std::vector<uint8_t>{0, 0xFF, 0xFF, 0}));

    const aGpuRect outside{8, 0, 11, 1}, empty{2, 2, 2, 3};
    EXPECT_EQ(t16->lock(part, &outside), aGpuResult::InvalidCall);
    EXPECT_EQ(t16->lock(part, &empty), aGpuResult::InvalidCall);

    std::unique_ptr<aGpuTexture> target, bad;
    ASSERT_EQ(device.createTexture(32, 16, aGpuFormat::X8R8G8B8, aGpuUsage::RenderTarget, target), aGpuResult::Ok);
    EXPECT_EQ(target->lock(part), aGpuResult::InvalidCall) << "render targets keep their pixels on the GPU";
    for (auto [w, format] : {std::pair{0u, aGpuFormat::A8R8G8B8}, {16u, aGpuFormat::X8R8G8B8}, {16u, aGpuFormat(24)}})
        EXPECT_EQ(device.createTexture(w, 16, format, aGpuUsage::None, bad), aGpuResult::InvalidCall);
    EXPECT_EQ(device.setRenderTarget(texture.get()), aGpuResult::InvalidCall) << "not made as a render target";

    // A failed lock leaves no pointer; modes past the adapter's list are refused.
    aGpuLockedRect failed;
    device.failNext(aGpuCall::TextureLock, aGpuResult::OutOfMemory);
    EXPECT_TRUE(texture->lock(failed) == aGpuResult::OutOfMemory && failed.bits == nullptr);
    aGpuDisplayMode mode;
    EXPECT_EQ(device.enumAdapterModes(uint32_t(device.adapter().modes.size()), mode), aGpuResult::InvalidCall);
}

TEST_F(GpuRecorder, ScriptedFailuresAnswerOnceAndAreRecorded)
{
    device.failNext(aGpuCall::Clear, aGpuResult::DriverInternalError);
    EXPECT_EQ(device.clear(0xFF00FF00), aGpuResult::DriverInternalError);
    EXPECT_EQ(device.lastClearColor(), 0u) << "a failed call does nothing";
    EXPECT_EQ(device.clear(0xFF00FF00), aGpuResult::Ok);
    EXPECT_EQ(device.lastClearColor(), 0xFF00FF00u);
    const auto clears = device.records(aGpuCall::Clear);
    ASSERT_EQ(clears.size(), 2u);
    EXPECT_EQ(clears[0].text(), "Clear(4278255360, 0, 0, 0) -> DRIVER_INTERNAL_ERROR");
    // The hardware device's capabilities may fail while the reference device's answer.
    aGpuAdapter adapter = device.adapter();
    adapter.capsResult[0] = aGpuResult::NotAvailable;
    device.setAdapter(adapter);
    aGpuCaps caps;
    EXPECT_EQ(device.getDeviceCaps(aGpuDeviceType::Hal, caps), aGpuResult::NotAvailable);
    EXPECT_EQ(device.getDeviceCaps(aGpuDeviceType::Ref, caps), aGpuResult::Ok);
}

TEST_F(GpuRecorder, BufferDrawsCheckRangesAndIndices)
{
    std::unique_ptr<aGpuVertexBuffer> vb;
    std::unique_ptr<aGpuIndexBuffer> ib;
    ASSERT_EQ(device.createVertexBuffer(8 * 28, vb), aGpuResult::Ok);
    ASSERT_EQ(device.createIndexBuffer(12 * 2, ib), aGpuResult::Ok);
    void* data = nullptr;
    ASSERT_EQ(vb->lock(0, 0, &data), aGpuResult::Ok);
    for (int i = 0; i < 8; ++i)
        static_cast<aGpuVertex*>(data)[i] = {static_cast<float>(i), 0, 0, 1, 0xFFFFFFFF, 0, 0};
    vb->unlock();
    ASSERT_EQ(ib->lock(0, 0, &data), aGpuResult::Ok);
    std::memcpy(data, std::array<uint16_t, 12>{4, 5, 6, 5, 7, 6, 0, 1, 2, 1, 3, 2}.data(), 24);
    ib->unlock();
    EXPECT_EQ(vb->lock(200, 100, &data), aGpuResult::InvalidCall) << "past the end";

    device.setVertexFormat(aGpuVertexFormat::Tex1);
    device.setStreamSource(vb.get(), 28);
    device.setIndices(ib.get(), 0);
    EXPECT_EQ(device.drawIndexedPrimitive(aGpuPrimitive::TriangleList, 4, 4, 0, 2), aGpuResult::InvalidCall)
        << "outside a scene";
    ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
    ASSERT_EQ(device.drawIndexedPrimitive(aGpuPrimitive::TriangleList, 4, 4, 0, 2), aGpuResult::Ok);
    const auto draw = device.records(aGpuCall::DrawIndexedPrimitive).back();
    EXPECT_EQ(draw.indices, (std::vector<uint16_t>{0, 1, 2, 1, 3, 2})) << "rebased to the first vertex sent";
    ASSERT_GE(draw.vertices.size(), sizeof(aGpuVertex));
    EXPECT_EQ(reinterpret_cast<const aGpuVertex*>(draw.vertices.data())->x, 4.0f) << "sent from the first one used";
    EXPECT_EQ(device.drawIndexedPrimitive(aGpuPrimitive::TriangleList, 4, 4, 0, 4), aGpuResult::InvalidCall)
        << "indices 0..3 lie outside 4..7";
    EXPECT_EQ(device.drawIndexedPrimitive(aGpuPrimitive::TriangleList, 0, 8, 6, 4), aGpuResult::InvalidCall)
        << "more indices than the buffer holds";
    device.setStreamSource(vb.get(), 36);
    EXPECT_EQ(device.drawPrimitive(aGpuPrimitive::TriangleStrip, 0, 2), aGpuResult::InvalidCall) << "stride mismatch";
    device.setStreamSource(vb.get(), 28);
    EXPECT_TRUE(device.drawPrimitive(aGpuPrimitive::TriangleStrip, 4, 2) == aGpuResult::Ok &&
                device.drawPrimitive(aGpuPrimitive::TriangleStrip, 5, 2) == aGpuResult::InvalidCall);

    // Indexed draws from the caller's memory follow the same rules.
    aGpuVertex quad[6];
    for (int i = 0; i < 6; ++i)
        quad[i] = {static_cast<float>(i), 0, 0, 1, 0xFFFFFFFF, 0, 0};
    const uint16_t indices[6] = {2, 3, 4, 3, 5, 4};
    ASSERT_EQ(device.drawIndexedPrimitiveUP(aGpuPrimitive::TriangleList, 2, 4, 2, indices, quad, sizeof(aGpuVertex)),
              aGpuResult::Ok);
    const auto up = device.records(aGpuCall::DrawIndexedPrimitiveUP).back();
    EXPECT_EQ(up.indices, (std::vector<uint16_t>{0, 1, 2, 1, 3, 2}));
    EXPECT_EQ(reinterpret_cast<const aGpuVertex*>(up.vertices.data())->x, 2.0f);
    EXPECT_EQ(device.drawIndexedPrimitiveUP(aGpuPrimitive::TriangleList, 3, 3, 2, indices, quad, sizeof(aGpuVertex)),
              aGpuResult::InvalidCall)
        << "index 2 lies below the first vertex";
    EXPECT_EQ(device.drawIndexedPrimitiveUP(aGpuPrimitive::TriangleList, 2, 4, 2, indices, quad, 36),
              aGpuResult::InvalidCall)
        << "stride mismatch";
    EXPECT_EQ(device.drawIndexedPrimitiveUP(aGpuPrimitive::TriangleList, 2, 4, 2, nullptr, quad, sizeof(aGpuVertex)),
              aGpuResult::InvalidCall);
    device.endScene();
}

TEST_F(GpuRecorder, SceneAndThreadRulesAreEnforced)
{
    EXPECT_EQ(device.endScene(), aGpuResult::InvalidCall);
    ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
    EXPECT_EQ(device.beginScene(), aGpuResult::InvalidCall);
    aGpuResult fromOther = aGpuResult::Ok, textureFromOther = aGpuResult::InvalidCall;
    std::thread other([&] {
        fromOther = device.setRenderState(aGpuRenderState::AlphaRef, 5);
        std::unique_ptr<aGpuTexture> t;
        textureFromOther = device.createTexture(4, 4, aGpuFormat::A8R8G8B8, aGpuUsage::None, t);
    });
    other.join();
    EXPECT_EQ(fromOther, aGpuResult::InvalidCall) << "states belong to the main thread";
    EXPECT_EQ(textureFromOther, aGpuResult::Ok) << "textures may be made anywhere";
    EXPECT_EQ(device.getRenderState(aGpuRenderState::AlphaRef), 0u);
    EXPECT_EQ(device.setRenderState(aGpuRenderState::SrcBlend, 4), aGpuResult::InvalidCall) << "no such blend";
    EXPECT_EQ(device.setTextureStageState(2, aGpuStageState::ColorOp, 4), aGpuResult::InvalidCall) << "two stages";
    EXPECT_EQ(device.endScene(), aGpuResult::Ok);
}
