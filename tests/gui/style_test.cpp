#include <gtest/gtest.h>

#include "widget_kit.h"

using GUI::Style;

namespace {

class StyleTest : public kbtest::WidgetKit {
protected:
    Style* load(const std::string& body)
    {
        const std::string name = "S" + std::to_string(++count);
        loadScript("style " + name + "\n{\n" + body + "}\n");
        return server->GetStyle(name);
    }
    int count = 0;
};

} // namespace

TEST_F(StyleTest, AutoSliceAllCutsNineCellsAndMissingModesAreLogged)
{
    addImage("skin", 96, 48);
    Style* s = load("Image skin\nAutoSlice all\n");
    ASSERT_NE(s, nullptr);
    const aRect expected[9] = {{0, 0, 32, 16},  {64, 0, 32, 16},  {0, 32, 32, 16},  {64, 32, 32, 16}, {0, 16, 32, 16},
                               {32, 0, 32, 16}, {64, 16, 32, 16}, {32, 32, 32, 16}, {32, 16, 32, 16}};
    for (int i = 0; i < Style::SLICE_COUNT; ++i)
        EXPECT_EQ(s->GetSlice(static_cast<Style::Slice>(i)), expected[i]) << "slice " << i;
    for (const char* mode : {"EdgeLeft", "EdgeTop", "EdgeRight", "EdgeBottom", "FillType"})
        EXPECT_TRUE(log.contains(std::string("Style::MakeFromScript - invalid ") + mode + " = ''")) << mode;
    EXPECT_EQ(s->GetFillType(), Style::MODE_NONE);
    EXPECT_EQ(s->GetEdgeTop(), Style::MODE_NONE);

    beginDraws();
    s->Draw(aRect(100, 50, 200, 100), 0xFFFFFFFF);
    const auto d = draws();
    ASSERT_EQ(d.size(), 4u) << "only the corners";
    EXPECT_EQ(src(d[0]), "0 0 32 16");
    EXPECT_EQ(atX(d[1]), 268.0f) << "the top-right corner ends at the right edge";
    EXPECT_EQ(atY(d[2]), 134.0f);
    EXPECT_EQ(atX(d[3]), 268.0f);
    EXPECT_EQ(atY(d[3]), 134.0f);
    rig.device_->clearRecords();
    s->Draw(aRect(0, 0, 200, 100), 0x00FFFFFF);
    EXPECT_TRUE(draws().empty()) << "alpha 0 draws nothing";
}

TEST_F(StyleTest, EdgesStretchOrTileAndTheInteriorFillsBetweenThem)
{
    addImage("frame", 30, 30);
    Style* s = load("Image frame\nAutoSlice 0 0 30 30\nEdgeGlobal Stretch\nFillType TILE\n");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetEdgeLeft(), Style::MODE_STRETCH);
    EXPECT_EQ(s->GetFillType(), Style::MODE_TILE);

    beginDraws();
    s->Draw(aRect(0, 0, 40, 35), 0xFFFFFFFF);
    const auto d = draws();
    // Interior 20 x 15 tiled from 10 x 10: two columns, two rows (the second 5 high).
    ASSERT_EQ(d.size(), 4u + 4u + 4u);
    EXPECT_EQ(src(d[3]), "10 10 20 15");
    // Top edge stretched over 20 pixels: scale 2 across; left edge over 15.
    EXPECT_EQ(src(d[4]), "10 0 20 10");
    EXPECT_FLOAT_EQ(d[4].f[0], 2.0f);
    EXPECT_FLOAT_EQ(d[4].f[1], 1.0f);
    EXPECT_FLOAT_EQ(d[6].f[1], 1.5f);
    rig.device_->clearRecords();
    s->Draw(aRect(0, 0, 15, 15), 0xFFFFFFFF);
    EXPECT_EQ(draws().size(), 4u) << "narrower than two corners: no edges, overlapping corners";

    Style* bad = load("Image frame\nEdgeGlobal wavy\nFillType stretch\nTopLeft 0 0 10 10\nLeft 0 10 10 10\n");
    EXPECT_TRUE(log.contains("Style::MakeFromScript - invalid EdgeType = 'wavy'"));
    EXPECT_EQ(bad->GetEdgeLeft(), Style::MODE_NONE);
    EXPECT_EQ(bad->GetSlice(Style::LEFT), aRect()) << "an edge that is not drawn is not read";
    EXPECT_EQ(bad->GetSlice(Style::TOP_LEFT), aRect(0, 0, 10, 10));
    rig.device_->clearRecords();
    bad->Draw(aRect(0, 0, 50, 50), 0xFFFFFFFF);
    EXPECT_EQ(draws().size(), 1u) << "empty slices and a zero-size interior are skipped";
}

TEST_F(StyleTest, TheStyleKeepsItsPictureWhenTheImageListGoesAndDrawsNothingWithout)
{
    addImage("skin", 96, 48);
    Style* s = load("Image skin\nAutoSlice all\nEdgeGlobal tile\nFillType none\n");
    ASSERT_NE(s->GetImage(), nullptr);
    const aImage::TextureRecord* record = s->GetImage()->getRecord();
    images.unloadList(dir.file("skin.lst"));
    EXPECT_FALSE(images.hasImage("skin"));
    EXPECT_EQ(s->GetImage()->getRecord(), record);
    EXPECT_EQ(s->GetImage()->getReferenceCount(), 1u);
    beginDraws();
    s->Draw(aRect(0, 0, 96, 48), 0xFFFFFFFF);
    EXPECT_EQ(draws().size(), 8u) << "four corners and four edges, from the style's own handle";

    Style* bare = load("AutoSlice all\nEdgeGlobal tile\nFillType tile\n");
    EXPECT_TRUE(log.contains("GUI::Server::GetImage - image \"\" not found!"));
    rig.device_->clearRecords();
    bare->Draw(aRect(0, 0, 50, 50), 0xFFFFFFFF);
    EXPECT_TRUE(draws().empty());
}
