#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "orvo/gfx/a_gdi.h"
#include "support/app_fixture.h"
#include "support/log_capture.h"

namespace {

struct Draw {
    aGpuPrimitive type;
    uint32_t primitives;
    std::vector<aGpuVertex> vertices;
};

class GdiTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto d = kbtest::recorder();
        device = d.get();
        graph = std::make_unique<aGraphServer>(1024, 768, false, false, true, "t", 0, false, true, std::move(d));
        ASSERT_TRUE(graph->beginScene());
        device->clearRecords();
    }
    void TearDown() override
    {
        graph->endScene();
        graph.reset();
    }

    Draw lastDraw() const
    {
        const auto draws = device->records(aGpuCall::DrawPrimitiveUP);
        EXPECT_FALSE(draws.empty());
        if (draws.empty())
            return {};
        const aGpuRecord& r = draws.back();
        Draw d{static_cast<aGpuPrimitive>(r.u[0]), r.u[1], {}};
        EXPECT_EQ(r.u[2], 28u);
        d.vertices.resize(r.vertices.size() / sizeof(aGpuVertex));
        std::memcpy(d.vertices.data(), r.vertices.data(), d.vertices.size() * sizeof(aGpuVertex));
        return d;
    }

    kbtest::TestApp app;
    aGpuDeviceRecorder* device = nullptr;
    std::unique_ptr<aGraphServer> graph;
};

void expectAt(const aGpuVertex& v, float x, float y)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_EQ(v.z, 0.0f);
    EXPECT_EQ(v.rhw, 1.0f);
}

} // namespace

TEST_F(GdiTest, AnOutlineCoversItsLastColumnAndRowAFilledRectSpansTheWidth)
{
    aGDI gdi;
    gdi.color = 0x80FF0000;
    gdi.drawRect(10, 20, 5, 4, false);
    Draw d = lastDraw();
    EXPECT_EQ(d.type, aGpuPrimitive::LineStrip);
    EXPECT_EQ(d.primitives, 4u);
    ASSERT_EQ(d.vertices.size(), 5u);
    expectAt(d.vertices[0], 10, 20);
    expectAt(d.vertices[1], 14, 20);
    expectAt(d.vertices[2], 14, 23);
    expectAt(d.vertices[3], 10, 23);
    expectAt(d.vertices[4], 10, 20);
    EXPECT_EQ(d.vertices[2].color, 0x80FF0000u);
    EXPECT_EQ(device->getTexture(0), nullptr);

    gdi.drawRect16(aRect(-2, 3, 6, 7), true);
    d = lastDraw();
    EXPECT_EQ(d.type, aGpuPrimitive::TriangleStrip);
    EXPECT_EQ(d.primitives, 2u);
    ASSERT_EQ(d.vertices.size(), 4u);
    expectAt(d.vertices[0], -2, 3);
    expectAt(d.vertices[1], 4, 3);
    expectAt(d.vertices[2], -2, 10);
    expectAt(d.vertices[3], 4, 10);
}

TEST_F(GdiTest, QuadsKeepTheirCornersInStripOrder)
{
    aGDI gdi;
    gdi.drawQuad(0, 0, 10, 1, 11, 12, 2, 9, true);
    Draw d = lastDraw();
    ASSERT_EQ(d.vertices.size(), 4u);
    expectAt(d.vertices[2], 2, 9);
    expectAt(d.vertices[3], 11, 12);
    gdi.drawQuad(0, 0, 10, 1, 11, 12, 2, 9, false);
    d = lastDraw();
    EXPECT_EQ(d.type, aGpuPrimitive::LineStrip);
    ASSERT_EQ(d.vertices.size(), 5u);
    expectAt(d.vertices[2], 11, 12);
    expectAt(d.vertices[4], 0, 0);
}

TEST_F(GdiTest, AFilledEllipseHas49EdgePointsAnOutlined50)
{
    aGDI gdi;
    gdi.drawEllipse(100, 50, 20, 10, true);
    Draw d = lastDraw();
    EXPECT_EQ(d.type, aGpuPrimitive::TriangleFan);
    EXPECT_EQ(d.primitives, 49u);
    ASSERT_EQ(d.vertices.size(), 51u);
    expectAt(d.vertices[0], 100, 50);
    expectAt(d.vertices[1], 120, 50);
    EXPECT_EQ(d.vertices[50].x, d.vertices[1].x);
    // y grows downward: a quarter turn later the point is below the centre.
    const float step = 6.2831853f / 49.0f;
    EXPECT_NEAR(d.vertices[13].y, 50 + std::sin(12 * step) * 10, 1e-4);

    gdi.drawEllipse(100, 50, 20, 10, false);
    d = lastDraw();
    EXPECT_EQ(d.type, aGpuPrimitive::LineStrip);
    EXPECT_EQ(d.primitives, 50u);
    ASSERT_EQ(d.vertices.size(), 51u);
    EXPECT_EQ(d.vertices[50].y, d.vertices[0].y);
}

TEST_F(GdiTest, ARingAlternatesItsTwoEllipsesAndCloses)
{
    aGDI gdi;
    gdi.segments = 8;
    gdi.drawRing(0, 0, 10, 10, 0, 0, 20, 20);
    Draw d = lastDraw();
    EXPECT_EQ(d.type, aGpuPrimitive::TriangleStrip);
    EXPECT_EQ(d.primitives, 16u);
    ASSERT_EQ(d.vertices.size(), 18u);
    expectAt(d.vertices[0], 20, 0); // outer (second) ellipse first
    expectAt(d.vertices[1], 10, 0);
    EXPECT_EQ(d.vertices[16].x, d.vertices[0].x);
    EXPECT_EQ(d.vertices[17].x, d.vertices[1].x);
}

TEST_F(GdiTest, SegmentCountsAreClampedToTheVertexArray)
{
    aGDI gdi;
    gdi.segments = 300;
    gdi.drawRing(0, 0, 10, 10, 0, 0, 20, 20);
    Draw d = lastDraw();
    EXPECT_EQ(d.primitives, 2u * 199u);
    EXPECT_EQ(d.vertices.size(), 400u);
    gdi.segments = 65535;
    gdi.drawEllipse(0, 0, 5, 5, true);
    d = lastDraw();
    EXPECT_EQ(d.vertices.size(), 400u);
    gdi.drawEllipse(0, 0, 5, 5, false);
    d = lastDraw();
    EXPECT_EQ(d.vertices.size(), 400u);

    // Too few segments for a shape draw nothing.
    device->clearRecords();
    gdi.segments = 2;
    gdi.drawEllipse(0, 0, 5, 5, true);
    gdi.segments = 0;
    gdi.drawEllipse(0, 0, 5, 5, true);
    gdi.drawEllipse(0, 0, 5, 5, false);
    gdi.drawRing(0, 0, 1, 1, 0, 0, 2, 2);
    EXPECT_EQ(device->count(aGpuCall::DrawPrimitiveUP), 0u);
}

TEST(Gdi, WithoutAGraphServerItSaysSoAndDrawsNothing)
{
    kbtest::LogCapture log;
    {
        aGDI gdi;
        gdi.drawRect(0, 0, 1, 1, true);
    }
    EXPECT_TRUE(log.contains("aGDI. Error, aApplication object not created!"));
    kbtest::TestApp app;
    aGDI gdi;
    gdi.drawEllipse(0, 0, 1, 1, true);
    EXPECT_TRUE(log.contains("aGDI. Error, aGraphServer object not created!"));
}
