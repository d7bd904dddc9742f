#include <gtest/gtest.h>

#include "gui_fixture.h"

namespace {

class RegionTest : public ::testing::Test {
protected:
    std::string write(const std::string& bytes)
    {
        const std::string path = dir.file("r" + std::to_string(++count) + ".bmp");
        kbtest::writeFile(path, bytes);
        return path;
    }

    kbtest::LogCapture log;
    kbtest::TempDir dir{"region"};
    int count = 0;
};

} // namespace

TEST_F(RegionTest, EitherPaletteOrderGivesTheNonBlackPixels)
{
    GUI::Region r;
    ASSERT_TRUE(r.LoadFromBitmap(write(kbtest::oneBitBmp({"#.", ".."}))));
    EXPECT_EQ(r.GetWidth(), 2u);
    EXPECT_EQ(r.GetHeight(), 2u);
    for (auto [x, y] : {std::pair{1, 0}, {0, 1}, {1, 1}, {-1, 0}, {2, 0}})
        EXPECT_FALSE(r.Contains(x, y)) << x << "," << y;
    EXPECT_TRUE(r.Contains(0, 0));

    // Entry 0 white: the clear bits, drawn in entry 0, form the region.
    GUI::Region inverse;
    ASSERT_TRUE(inverse.LoadFromBitmap(write(kbtest::oneBitBmp({"#.", ".."}, 0x00FFFFFF))));
    EXPECT_FALSE(inverse.Contains(0, 0));
    EXPECT_TRUE(inverse.Contains(1, 1));

    // Rows wider than one byte, padded to four bytes, stored bottom first.
    GUI::Region wide;
    ASSERT_TRUE(wide.LoadFromBitmap(write(kbtest::oneBitBmp({std::string(40, '.'), std::string(39, '.') + "#"}))));
    EXPECT_TRUE(wide.Contains(39, 1));
    EXPECT_FALSE(wide.Contains(39, 0));
}

TEST_F(RegionTest, DamagedFilesAreRefusedAndLeaveTheRegionAsItWas)
{
    GUI::Region r;
    ASSERT_TRUE(r.LoadFromBitmap(write(kbtest::oneBitBmp({"#"}))));

    std::string eightBit = kbtest::oneBitBmp({"#."});
    eightBit[28] = 8;
    std::string truncated = kbtest::oneBitBmp(std::vector<std::string>(8, "########"));
    truncated.resize(truncated.size() - 2);
    std::string topDown = kbtest::oneBitBmp({"#", "."});
    topDown[22] = static_cast<char>(0xFE); // height -2
    topDown[23] = topDown[24] = topDown[25] = static_cast<char>(0xFF);
    std::string hugeOffset = kbtest::oneBitBmp({"#"});
    hugeOffset[13] = static_cast<char>(0xFF);
    std::string noWidth = kbtest::oneBitBmp({"#"});
    noWidth[18] = 0;

    std::vector<std::string> paths{dir.file("missing.bmp")};
    for (const std::string& bytes : {std::string("BM"), std::string("PK") + std::string(100, '\0'), eightBit, truncated,
                                     topDown, hugeOffset, noWidth})
        paths.push_back(write(bytes));
    for (const std::string& path : paths) {
        EXPECT_FALSE(r.LoadFromBitmap(path));
        EXPECT_TRUE(log.contains("Region::LoadFromBitmap - invalid bitmap file '" + path + "'")) << path;
    }
    EXPECT_EQ(r.GetWidth(), 1u);
    EXPECT_TRUE(r.Contains(0, 0)) << "the old mask stays";
    EXPECT_FALSE(GUI::Region().Contains(0, 0));
}
