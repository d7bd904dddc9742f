#include <gtest/gtest.h>

#include "gui_fixture.h"

using GUI::Style;

namespace {

class StyleTest : public kbtest::GuiTest {
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

// Stretched and tiled edges and interiors are drawn by the gallery's panel and plate styles.
TEST_F(StyleTest, MissingOrBadModesAreLoggedAndDrawNothingButTheCorners)
{
    addImage("skin", 96, 48);
    Style* s = load("Image skin\nAutoSlice all\n");
    ASSERT_NE(s, nullptr);
    for (const char* mode : {"EdgeLeft", "EdgeTop", "EdgeRight", "EdgeBottom", "FillType"})
        EXPECT_TRUE(log.contains(std::string("Style::MakeFromScript - invalid ") + mode + " = ''")) << mode;
    beginDraws();
    s->Draw(aRect(100, 50, 200, 100), 0xFFFFFFFF);
    EXPECT_EQ(draws().size(), 4u) << "only the corners";

    addImage("frame", 30, 30);
    Style* framed = load("Image frame\nAutoSlice 0 0 30 30\nEdgeGlobal Stretch\nFillType TILE\n");
    rig.device_->clearRecords();
    framed->Draw(aRect(0, 0, 15, 15), 0xFFFFFFFF);
    EXPECT_EQ(draws().size(), 4u) << "narrower than two corners: no edges, overlapping corners";

    Style* bad = load("Image frame\nEdgeGlobal wavy\nFillType stretch\nTopLeft 0 0 10 10\nLeft 0 10 10 10\n");
    EXPECT_TRUE(log.contains("Style::MakeFromScript - invalid EdgeType = 'wavy'"));
    EXPECT_EQ(bad->GetEdgeLeft(), Style::MODE_NONE);
    EXPECT_EQ(bad->GetSlice(Style::LEFT), aRect()) << "an edge that is not drawn is not read";
    rig.device_->clearRecords();
    bad->Draw(aRect(0, 0, 50, 50), 0xFFFFFFFF);
    EXPECT_EQ(draws().size(), 1u) << "empty slices and a zero-size interior are skipped";
}

TEST_F(StyleTest, TheStyleKeepsItsPictureWhenTheImageListGoesAndDrawsNothingWithoutOne)
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
