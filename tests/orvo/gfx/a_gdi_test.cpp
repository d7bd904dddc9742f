#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "gfx_fixture.h"
#include "orvo/gfx/a_gdi.h"

namespace {

using testing::StartsWith;

class GdiTest : public kbtest::GfxTest {
protected:
    // The last draw, e.g. "strip 2: 0,0 4,0 0,7 4,7"; every vertex untextured, at z 0 and rhw 1.
    std::string last(std::vector<aGpuVertex>* vertices = nullptr)
    {
        const auto draws = device->records(aGpuCall::DrawPrimitiveUP);
        if (draws.empty())
            return "nothing";
        const aGpuRecord& r = draws.back();
        EXPECT_EQ(r.u[2], 28u);
        EXPECT_EQ(device->getTexture(0), nullptr);
        static const char* kNames[] = {"?", "list", "strip", "fan", "lines"};
        std::ostringstream out;
        out << kNames[r.u[0] < 5 ? r.u[0] : 0] << " " << r.u[1] << ":";
        for (const aGpuVertex& v : kbtest::verticesOf(r)) {
            out << " " << v.x << "," << v.y;
            EXPECT_EQ(v.z, 0.0f);
            EXPECT_EQ(v.rhw, 1.0f);
            EXPECT_EQ(v.color, gdi.color);
        }
        if (vertices)
            *vertices = kbtest::verticesOf(r);
        return out.str();
    }
    aGDI gdi;
};

} // namespace

TEST_F(GdiTest, RectanglesEllipsesAndRingsWithClampedSegments)
{
    gdi.color = 0x80FF0000;
    gdi.drawRect(10, 20, 5, 4, false); // the outline covers its last column and row
    EXPECT_EQ(last(), "lines 4: 10,20 14,20 14,23 10,23 10,20");
    gdi.drawRect16(aRect(-2, 3, 6, 7), true); // filled, the full width
    EXPECT_EQ(last(), "strip 2: -2,3 4,3 -2,10 4,10");
    // A quad's outline closes in the order of its corners; filled, the strip crosses to the third.
    gdi.drawQuad(0, 0, 10, 1, 11, 12, 2, 9, true);
    EXPECT_EQ(last(), "strip 2: 0,0 10,1 2,9 11,12");
    gdi.drawQuad(0, 0, 10, 1, 11, 12, 2, 9, false);
    EXPECT_EQ(last(), "lines 4: 0,0 10,1 11,12 2,9 0,0");
    // Segment counts are clamped to the vertex array; too few draw nothing.
    gdi.segments = 300;
    std::vector<aGpuVertex> v;
    gdi.drawRing(0, 0, 10, 10, 0, 0, 20, 20);
    EXPECT_THAT(last(&v), StartsWith("strip 398: "));
    EXPECT_EQ(v.size(), 400u);
    gdi.segments = 65535;
    for (bool filled : {true, false}) {
        gdi.drawEllipse(0, 0, 5, 5, filled);
        last(&v);
        EXPECT_EQ(v.size(), 400u);
    }
    device->clearRecords();
    gdi.segments = 0;
    gdi.drawEllipse(0, 0, 5, 5, true);
    gdi.drawEllipse(0, 0, 5, 5, false);
    gdi.drawRing(0, 0, 1, 1, 0, 0, 2, 2);
    EXPECT_EQ(last(), "nothing");
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
