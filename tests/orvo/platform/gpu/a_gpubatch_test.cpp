// How the sprite batch gathers quads into calls: by texture past sprites
// they cannot meet, in order where they can, drawn with the states and
// viewport they were gathered under.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "orvo/platform/gpu/a_gpudevicerecorder.h"
#include "orvo/platform/gpu/a_gpusprite.h"

namespace {

using Calls = std::vector<std::pair<const aGpuTexture*, uint32_t>>;

class GpuBatch : public testing::Test {
protected:
    void SetUp() override
    {
        aGpuPresentParams params;
        params.backBufferWidth = 320;
        params.backBufferHeight = 200;
        ASSERT_EQ(device.create(params), aGpuResult::Ok);
        for (auto* t : {&a, &b, &c})
            ASSERT_EQ(device.createTexture(16, 16, aGpuFormat::A8R8G8B8, aGpuUsage::None, *t), aGpuResult::Ok);
        ASSERT_EQ(device.createSprite(sprite), aGpuResult::Ok);
        ASSERT_EQ(device.beginScene(), aGpuResult::Ok);
        setBlend(aGpuBlend::InvSrcAlpha);
        device.clearRecords();
    }
    void TearDown() override
    {
        sprite.reset();
        device.endScene();
    }

    // A 16 x 16 sprite with its top-left at x, y (turned about its middle).
    void put(aGpuTexture* t, float x, float y, float turn = 0.0f)
    {
        const aGpuVec2 at{x, y}, centre{8, 8};
        ASSERT_EQ(sprite->draw(t, nullptr, nullptr, &centre, turn, &at, 0xFFFFFFFF), aGpuResult::Ok);
    }
    void setBlend(aGpuBlend dest)
    {
        device.setRenderState(aGpuRenderState::AlphaBlendEnable, 1);
        device.setRenderState(aGpuRenderState::SrcBlend, static_cast<uint32_t>(aGpuBlend::SrcAlpha));
        device.setRenderState(aGpuRenderState::DestBlend, static_cast<uint32_t>(dest));
    }
    // The calls made so far: their textures and how many quads each drew.
    Calls calls() const
    {
        Calls out;
        for (const auto& d : device.drawn())
            out.emplace_back(d.texture, d.primitives / 2);
        return out;
    }
    uint32_t destBlend(size_t call) const { return device.drawn().at(call).state(aGpuRenderState::DestBlend); }

    aGpuDeviceRecorder device;
    std::unique_ptr<aGpuTexture> a, b, c;
    std::unique_ptr<aGpuSprite> sprite;
};

const uint32_t kNormal = static_cast<uint32_t>(aGpuBlend::InvSrcAlpha);
const uint32_t kAdditive = static_cast<uint32_t>(aGpuBlend::One);

} // namespace

// Buttons of two pictures with a label of glyphs from a third on each: one
// call per picture, the labels' glyphs in one call after both buttons.
TEST_F(GpuBatch, LabelsOverButtonsOfOtherPicturesShareOneCall)
{
    sprite->begin();
    put(a.get(), 0, 0);
    put(c.get(), 2, 2);
    put(c.get(), 8, 2);
    put(b.get(), 40, 0);
    put(c.get(), 42, 2);
    put(a.get(), 80, 0);
    put(c.get(), 82, 2);
    EXPECT_TRUE(device.drawn().empty()) << "gathered until the batch ends";
    sprite->end();
    const Calls got = calls();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got.back(), Calls::value_type(c.get(), 4u)) << "the glyphs last, over both buttons";
    EXPECT_NE(std::find(got.begin(), got.end(), Calls::value_type(a.get(), 2u)), got.end());
    EXPECT_NE(std::find(got.begin(), got.end(), Calls::value_type(b.get(), 1u)), got.end());
}

TEST_F(GpuBatch, SpritesThatMayShareAPixelKeepTheirOrder)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        float x, y, turn; // of the second sprite of `a`
        Calls expected;
    } cases[] = {
        // The first `a` covers columns 0..15, `b` over it 8..23 (rows 0..15).
        {"edges that only touch", 24, 0, 0, {{a.get(), 2}, {b.get(), 1}}},
        {"corners that only touch", 24, 16, 0, {{a.get(), 2}, {b.get(), 1}}},
        {"over its last column, short of the pixel centres", 23.75f, 0, 0, {{a.get(), 2}, {b.get(), 1}}},
        {"on its last pixel centres", 23.5f, 0, 0, {{a.get(), 1}, {b.get(), 1}, {a.get(), 1}}},
        {"wholly over", 12, 4, 0, {{a.get(), 1}, {b.get(), 1}, {a.get(), 1}}},
        // Turned by 45 degrees about its middle its corners reach 3.3 pixels further.
        {"turned into it", 26, 0, float(M_PI / 4), {{a.get(), 1}, {b.get(), 1}, {a.get(), 1}}},
        {"turned, clear of it", 28, 0, float(M_PI / 4), {{a.get(), 2}, {b.get(), 1}}},
        {"nowhere known", nan, 0, 0, {{a.get(), 1}, {b.get(), 1}, {a.get(), 1}}},
    };
    for (const auto& k : cases) {
        device.clearRecords();
        sprite->begin();
        put(a.get(), 0, 0);
        put(b.get(), 8, 0);
        put(a.get(), k.x, k.y, k.turn);
        sprite->end();
        EXPECT_EQ(calls(), k.expected) << k.name;
    }
    // A sprite of another texture over both keeps the later one before it.
    device.clearRecords();
    sprite->begin();
    put(a.get(), 0, 0);
    put(b.get(), 40, 0);
    put(c.get(), 8, 0);
    put(a.get(), 48, 0);
    put(c.get(), 44, 0);
    sprite->end();
    EXPECT_EQ(calls(), (Calls{{b.get(), 1}, {a.get(), 2}, {c.get(), 2}}));
}

TEST_F(GpuBatch, GatheredQuadsAreDrawnWithTheStatesTheyWereGatheredUnder)
{
    // Changed and put back before the next sprite: nothing is drawn on the way.
    sprite->begin();
    put(a.get(), 0, 0);
    setBlend(aGpuBlend::One);
    device.setTextureStageState(0, aGpuStageState::MagFilter, static_cast<uint32_t>(aGpuFilter::Linear));
    device.setTexture(0, b.get());
    setBlend(aGpuBlend::InvSrcAlpha);
    device.setTextureStageState(0, aGpuStageState::MagFilter, static_cast<uint32_t>(aGpuFilter::Point));
    put(a.get(), 0, 0);
    EXPECT_TRUE(device.drawn().empty());
    sprite->end();
    EXPECT_EQ(calls(), (Calls{{a.get(), 2}}));

    // A sprite under other states ends the batch, drawn as it was gathered.
    device.clearRecords();
    sprite->begin();
    put(a.get(), 0, 0);
    setBlend(aGpuBlend::One);
    EXPECT_TRUE(device.drawn().empty());
    put(a.get(), 0, 0);
    ASSERT_EQ(device.drawn().size(), 1u);
    EXPECT_EQ(destBlend(0), kNormal);
    sprite->end();
    ASSERT_EQ(device.drawn().size(), 2u);
    EXPECT_EQ(destBlend(1), kAdditive);

    // So does a draw of another kind, after the states changed.
    device.clearRecords();
    setBlend(aGpuBlend::InvSrcAlpha);
    sprite->begin();
    put(a.get(), 0, 0);
    setBlend(aGpuBlend::One);
    const aGpuVertex line[2] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0}, {5, 5, 0, 1, 0xFFFFFFFF, 0, 0}};
    device.setTexture(0, nullptr);
    device.setVertexFormat(aGpuVertexFormat::Tex1);
    ASSERT_EQ(device.drawPrimitiveUP(aGpuPrimitive::LineStrip, 1, line, sizeof(aGpuVertex)), aGpuResult::Ok);
    ASSERT_EQ(device.drawn().size(), 2u);
    EXPECT_EQ(device.drawn()[0].texture, a.get());
    EXPECT_EQ(destBlend(0), kNormal) << "the sprite as gathered";
    EXPECT_EQ(destBlend(1), kAdditive) << "the line as asked";
    EXPECT_EQ(device.getRenderState(aGpuRenderState::DestBlend), kAdditive) << "the caller's states stay";
    sprite->end();
}

TEST_F(GpuBatch, AViewportEndsABatchOnlyWhereItClipsDifferently)
{
    const aGpuViewport full{0, 0, 320, 200}, corner{0, 0, 100, 100}, inner{50, 50, 100, 100};
    // The new viewport cuts the batch's sprite: two calls, each clipped as asked.
    sprite->begin();
    put(a.get(), 0, 0);
    device.setViewport({0, 0, 8, 8});
    put(a.get(), 2, 2);
    sprite->end();
    auto drawn = device.drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].viewport, full);
    EXPECT_EQ(drawn[1].viewport, (aGpuViewport{0, 0, 8, 8}));

    // Set and put back between sprites: one call.
    device.clearRecords();
    device.setViewport(inner);
    sprite->begin();
    put(a.get(), 60, 60);
    device.setViewport(full);
    device.setViewport(inner);
    put(a.get(), 70, 60);
    sprite->end();
    drawn = device.drawn();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].viewport, inner);

    // A sprite both viewports let through whole joins the batch.
    device.clearRecords();
    device.setViewport(corner);
    sprite->begin();
    put(a.get(), 0, 0);
    device.setViewport(inner);
    put(a.get(), 60, 60);
    sprite->end();
    drawn = device.drawn();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].viewport, corner);

    // A batch the new viewport lets through whole takes it, for a sprite it cuts.
    const aGpuViewport big{0, 0, 200, 200};
    device.clearRecords();
    device.setViewport(corner);
    sprite->begin();
    put(a.get(), 0, 0);
    device.setViewport(big);
    put(a.get(), 190, 150);
    sprite->end();
    drawn = device.drawn();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].viewport, big);
    EXPECT_EQ(drawn[0].primitives, 4u);

    // Beyond the target both ways the same: a viewport past its edge is the target's.
    device.clearRecords();
    device.setViewport(full);
    sprite->begin();
    put(a.get(), 310, 0);
    device.setViewport({0, 0, 4000, 4000});
    put(a.get(), 315, 0);
    sprite->end();
    EXPECT_EQ(device.drawn().size(), 1u);
    device.setViewport(full);
}

TEST_F(GpuBatch, QuadsAreDrawnBeforeTheirPicturesChangeOrGo)
{
    sprite->begin();
    put(a.get(), 0, 0);
    put(b.get(), 8, 0);
    aGpuLockedRect locked;
    ASSERT_EQ(b->lock(locked, nullptr, gpuLockReadOnly), aGpuResult::Ok);
    b->unlock();
    EXPECT_TRUE(device.drawn().empty()) << "reading changes nothing";
    ASSERT_EQ(a->lock(locked), aGpuResult::Ok);
    EXPECT_EQ(calls(), (Calls{{a.get(), 1}, {b.get(), 1}})) << "drawn from the pixels they were given";
    a->unlock();

    device.clearRecords();
    std::unique_ptr<aGpuTexture> passing;
    ASSERT_EQ(device.createTexture(8, 8, aGpuFormat::A8R8G8B8, aGpuUsage::None, passing), aGpuResult::Ok);
    put(passing.get(), 0, 0);
    const aGpuTexture* was = passing.get();
    passing.reset();
    EXPECT_EQ(calls(), (Calls{{was, 1}})) << "drawn before the texture went";

    // Off the main thread nothing is drawn (the device belongs to it).
    device.clearRecords();
    put(a.get(), 0, 0);
    std::thread([&] {
        aGpuLockedRect other;
        if (b->lock(other) == aGpuResult::Ok)
            b->unlock();
    }).join();
    EXPECT_TRUE(device.drawn().empty());
    sprite->end();
    EXPECT_EQ(device.drawn().size(), 1u);
}

TEST_F(GpuBatch, ManyPicturesInOneBatchAreEachDrawnOnceAndInOrderWhereTheyMeet)
{
    std::vector<std::unique_ptr<aGpuTexture>> many(150);
    for (auto& t : many)
        ASSERT_EQ(device.createTexture(4, 4, aGpuFormat::A8R8G8B8, aGpuUsage::None, t), aGpuResult::Ok);
    // Apart: every quad drawn exactly once, whatever the number of calls.
    sprite->begin();
    for (size_t i = 0; i < many.size(); ++i)
        put(many[i].get(), static_cast<float>(i % 15) * 20.0f, static_cast<float>(i / 15) * 20.0f);
    sprite->end();
    Calls got = calls();
    ASSERT_EQ(got.size(), many.size());
    for (const auto& t : many)
        EXPECT_EQ(std::count(got.begin(), got.end(), Calls::value_type(t.get(), 1u)), 1);

    // Piled up: drawn in the order given.
    device.clearRecords();
    sprite->begin();
    for (const auto& t : many)
        put(t.get(), 10, 10);
    sprite->end();
    got = calls();
    ASSERT_EQ(got.size(), many.size());
    for (size_t i = 0; i < many.size(); ++i)
        EXPECT_EQ(got[i].first, many[i].get()) << i;
}
