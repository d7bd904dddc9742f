#include <gtest/gtest.h>

#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_distortiongrid.h"
#include "orvo/platform/gpu/a_gpubuffer.h"

namespace {

class GridTest : public kbtest::GfxTest {
protected:
    // The vertices of the last indexed draw, as the device received them.
    std::vector<aGpuVertex> lastDraw() const
    {
        const auto draws = device->records(aGpuCall::DrawIndexedPrimitive);
        if (draws.empty() || draws.back().result != aGpuResult::Ok)
            return {};
        return kbtest::verticesOf(draws.back());
    }
    size_t drawCount() const { return device->count(aGpuCall::DrawIndexedPrimitive); }
};

} // namespace

TEST_F(GridTest, CellsTakeTheImageRectangleAndVerticesChangeInsideTheGridOnly)
{
    aImage image = picture(128, 64);
    aDistortionGrid grid(5, 3);
    grid.render(0, 0, 1);
    EXPECT_EQ(drawCount(), 0u) << "no image, no draw";
    const aRect rect(8, 4, 100, 50);
    grid.setImage(&image, &rect);
    const auto* last = grid.getVertex(4, 2);
    ASSERT_NE(last, nullptr);
    const float tw = image.getRecord()->surfaces[0].textureWidth, th = image.getRecord()->surfaces[0].textureHeight;
    EXPECT_EQ(std::vector<float>({last->x, last->y, last->u, last->v}),
              std::vector<float>({100, 50, (100 + 8) / tw, (50 + 4) / th}));
    EXPECT_EQ(grid.getVertex(5, 0), nullptr);
    // Outside the grid: nothing changes and nothing is written.
    grid.setVertexOffset(5, 0, 5, 6, 0);
    grid.setVertexOffset(0, 3, 5, 6, 0);
    grid.setVertexColor(5, 3, 0x80FF0000);
    grid.setVertexOffset(1, 1, 2, -3, aDistortionGrid::FROM_REST);
    EXPECT_EQ(std::vector<float>({grid.getVertex(1, 1)->x, grid.getVertex(1, 1)->y}), std::vector<float>({27, 22}));
    grid.setVertexOffset(0, 2, 1, 1, aDistortionGrid::FROM_CENTRE);
    EXPECT_EQ(std::vector<float>({grid.getVertex(0, 2)->x, grid.getVertex(0, 2)->y}), std::vector<float>({51, 26}));
    grid.setVertexOffset(2, 0, 5, 6, 7); // any other mode: absolute
    EXPECT_EQ(std::vector<float>({grid.getVertex(2, 0)->x, grid.getVertex(2, 0)->y}), std::vector<float>({5, 6}));
    grid.resetVertices(0xFF00FF00);
    EXPECT_EQ(grid.getVertex(1, 1)->x, 25.0f);
    EXPECT_EQ(grid.getVertex(2, 2)->color, 0xFF00FF00u);
    EXPECT_EQ(last->u, (100 + 8) / tw) << "texture coordinates stay";
}

TEST_F(GridTest, GridsShareTheBuffersAndGrowThem)
{
    aImage image = picture(64, 64);
    auto first = std::make_unique<aDistortionGrid>(5, 5);
    first->setImage(&image, nullptr);
    const aGpuVertexBuffer* buffer = aDistortionGrid::getVertexBuffer();
    {
        aDistortionGrid smaller(3, 3);
        EXPECT_EQ(aDistortionGrid::getVertexBuffer(), buffer) << "reused";
    }
    aDistortionGrid larger(9, 9);
    first->render(0, 0, 1);
    const auto v = lastDraw();
    ASSERT_EQ(v.size(), 16u * 4) << "the first grid still draws all its cells";
    EXPECT_EQ(v.back().x, 64.0f);
    first.reset();
    EXPECT_NE(aDistortionGrid::getVertexBuffer(), nullptr) << "kept while a grid lives";
}

TEST_F(GridTest, OddSizesAreClampedOrRefusedAndFailedBuffersDrawNothing)
{
    kbtest::LogCapture log;
    {
        aDistortionGrid tiny(1, 0);
        EXPECT_EQ(tiny.getCellCount(), 1u);
    }
    EXPECT_TRUE(log.contains("aDistortionGrid. A grid of 1 x 0 vertices is raised to at least 2 x 2"));

    { // the grids hold the shared buffers until the block ends
        aImage image = picture(64, 64);
        aDistortionGrid most(129, 129);
        EXPECT_EQ(most.getCellCount(), aDistortionGrid::kMaxCells);
        most.setImage(&image, nullptr);
        most.render(0, 0, 1);
        ASSERT_EQ(lastDraw().size(), 65536u) << "the largest grid 16-bit indices reach";

        aDistortionGrid huge(130, 129);
        EXPECT_EQ(huge.getCellCount(), 0u);
        EXPECT_EQ(huge.getVertex(0, 0), nullptr);
        huge.setImage(&image, nullptr);
        huge.setVertexOffset(0, 0, 1, 1, 0);
        device->clearRecords();
        huge.render(0, 0, 1);
        EXPECT_EQ(drawCount(), 0u);
        EXPECT_TRUE(
            log.contains("aDistortionGrid. A grid of 130 x 129 vertices has more cells than 16-bit indices reach"));
        EXPECT_EQ(aDistortionGrid(0xFFFFFFFF, 0xFFFFFFFF).getCellCount(), 0u);
    }

    aImage image = picture(32, 32);
    device->failNext(aGpuCall::CreateVertexBuffer, aGpuResult::OutOfMemory);
    {
        aDistortionGrid grid(3, 3);
        EXPECT_EQ(aDistortionGrid::getVertexBuffer(), nullptr);
        EXPECT_EQ(aDistortionGrid::getCapacity(), 0u);
        grid.setImage(&image, nullptr);
        grid.render(0, 0, 1);
        // The next grid tries again; the buffers are too small for the first one.
        aDistortionGrid again(2, 2);
        EXPECT_NE(aDistortionGrid::getVertexBuffer(), nullptr);
        grid.render(0, 0, 1);
        EXPECT_EQ(drawCount(), 0u);
    }
    EXPECT_TRUE(log.contains("aDistortionGrid. Vertex buffer creation failed (OUT_OF_MEMORY)"));

    device->failNext(aGpuCall::CreateIndexBuffer, aGpuResult::OutOfMemory);
    aDistortionGrid grid(3, 3);
    EXPECT_EQ(aDistortionGrid::getVertexBuffer(), nullptr) << "no half set of buffers";
    EXPECT_EQ(aDistortionGrid::getIndexBuffer(), nullptr);
    grid.setImage(&image, nullptr);
    grid.render(0, 0, 1);
    EXPECT_EQ(drawCount(), 0u);
    EXPECT_TRUE(log.contains("aDistortionGrid. Index buffer creation failed (OUT_OF_MEMORY)"));
}

TEST(DistortionGrid, WithoutAGraphServerItDrawsNothing)
{
    kbtest::LogCapture log;
    aImage image;
    aDistortionGrid grid(4, 4);
    grid.setImage(&image, nullptr);
    grid.render(0, 0, 1);
    EXPECT_EQ(aDistortionGrid::getVertexBuffer(), nullptr);
    EXPECT_TRUE(log.contains("aDistortionGrid. Error, aGraphServer object not created!"));
}
