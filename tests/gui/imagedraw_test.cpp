#include <gtest/gtest.h>

#include "gui_fixture.h"

namespace {

using ImageDraw = kbtest::GuiTest;

} // namespace

TEST_F(ImageDraw, TilingCutsTheLastColumnAndRowAndNothingEmptyIsDrawn)
{
    addImage("tile", 64, 64);
    aImage* image = images.getImage("tile");
    beginDraws();
    GUI::DrawImageTiled(image, aRect(8, 4, 32, 32), aRect(10, 20, 80, 40), 0xFFFFFFFF);
    const auto d = draws();
    ASSERT_EQ(d.size(), 6u);
    const char* sources[6] = {"8 4 40 36", "8 4 40 36", "8 4 24 36", "8 4 40 12", "8 4 40 12", "8 4 24 12"};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(src(d[i]), sources[i]) << i;

    // Nothing to repeat, or nowhere to put it: done at once (tiling would never end).
    rig.device_->clearRecords();
    GUI::DrawImageTiled(image, aRect(0, 0, 0, 32), aRect(0, 0, 80, 40), 0xFFFFFFFF);
    GUI::DrawImageTiled(image, aRect(0, 0, 32, 0), aRect(0, 0, 80, 40), 0xFFFFFFFF);
    GUI::DrawImageTiled(image, aRect(0, 0, 32, 32), aRect(0, 0, 80, 40), 0x00FFFFFF);
    GUI::DrawImageTiled(image, aRect(0, 0, 32, 32), aRect(0, 0, 0, 40), 0xFFFFFFFF);
    GUI::DrawImageTiled(nullptr, aRect(0, 0, 32, 32), aRect(0, 0, 80, 40), 0xFFFFFFFF);
    GUI::DrawImageStretched(image, aRect(0, 0, 0, 10), aRect(5, 6, 40, 5), 0xFFFFFFFF);
    GUI::DrawImageStretched(image, aRect(0, 0, 20, 10), aRect(5, 6, 40, 5), 0x00FFFFFF);
    GUI::DrawImageStretched(nullptr, aRect(0, 0, 20, 10), aRect(5, 6, 40, 5), 0xFFFFFFFF);
    EXPECT_TRUE(draws().empty());
}

TEST_F(ImageDraw, SlotsHoldCountedHandlesAndWholeImageRectangles)
{
    addImage("a", 20, 10);
    addImage("b", 4, 6);
    const aImage* a = images.getImage("a");
    std::unique_ptr<aImage> slot;
    aRect rect(3, 3, 3, 3);

    GUI::SetImage(a, nullptr, &slot, &rect);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(a->getReferenceCount(), 2u);
    EXPECT_EQ(rect, aRect(0, 0, 20, 10));

    const aImage* held = slot.get();
    GUI::SetImage(a, nullptr, &slot, &rect);
    EXPECT_EQ(slot.get(), held) << "the same picture keeps its handle";
    EXPECT_EQ(a->getReferenceCount(), 2u);

    GUI::SetImage(images.getImage("b"), nullptr, &slot, &rect);
    EXPECT_EQ(a->getReferenceCount(), 1u);
    GUI::SetImage(nullptr, nullptr, &slot, &rect);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(rect, aRect(0, 0, 4, 6)) << "without an image only x and y go to 0";
    EXPECT_EQ(images.getImage("b")->getReferenceCount(), 1u);
    GUI::SetImage(a, nullptr, nullptr, &rect); // a missing slot changes nothing
    EXPECT_EQ(a->getReferenceCount(), 1u);
}

TEST_F(ImageDraw, TransparencyReadsTheTexelInsideTheShownRectangleAndStaticImagesTintTheirPicture)
{
    // Left half opaque, right half clear; the shown rectangle is the right half.
    std::vector<uint32_t> pixels(16 * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 16 < 8 ? 0xFF00FF00 : 0x2000FF00;
    addImage("half", 16, 4, 0, pixels);
    aImage* image = images.getImage("half");
    const aRect right(8, 0, 8, 4), left(0, 0, 8, 4);
    EXPECT_TRUE(GUI::IsImageTransparentAt(image, right, 80, 40, 0, 0, 0x40, 1.0f));
    EXPECT_FALSE(GUI::IsImageTransparentAt(image, left, 80, 40, 79, 39, 0x40, 1.0f));
    EXPECT_TRUE(GUI::IsImageTransparentAt(image, left, 80, 40, 10, 10, 0x40, 0.2f)) << "255 x 0.2 = 51 is below 64";
    EXPECT_FALSE(GUI::IsImageTransparentAt(image, right, 80, 40, 0, 0, 0, 1.0f)) << "threshold 0: never";
    EXPECT_FALSE(GUI::IsImageTransparentAt(image, right, 0, 40, 0, 0, 0x40, 1.0f))
        << "an empty widget divides by nothing";

    // A static image is as big as its shown rectangle, takes the widget's alpha over the tint's and keeps its picture
    // when disabled.
    addImage("pic", 20, 10);
    loadScript("staticimage Bare\n{\n  AreaRect 0 0 0 0\n}\n"
               "staticimage Pic\n{\n  AreaRect 10 10 0 0\n  NormalImage pic\n  NormalRect 5 0 15 10\n"
               "  Color 20FF8000\n  Alpha 0.5\n}\n"
               "staticimage Gray\n{\n  AreaRect 40 10 10 10\n  NormalImage pic\n  NormalRect 0 0 10 10\n"
               "  DisabledImage pic\n  DisabledRect 10 0 10 10\n  Color 20FF8000\n}\n");
    auto* bare = find<GUI::StaticImage>("Bare");
    auto* pic = find<GUI::StaticImage>("Pic");
    auto* gray = find<GUI::StaticImage>("Gray");
    ASSERT_TRUE(bare && pic && gray);
    EXPECT_EQ(pic->GetArea(), aRect(10, 10, 15, 10)) << "the size of the shown rectangle";
    beginDraws();
    bare->Draw();
    EXPECT_TRUE(draws().empty());
    pic->SetEnabled(false);
    pic->Draw();
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(src(draws()[0]), "5 0 20 10");
    EXPECT_EQ(draws()[0].u[4], 0x80FF8000u) << "the widget's alpha, not the tint's";
    // With a disabled picture of its own, a disabled static image shows that one, untinted.
    gray->SetEnabled(false);
    gray->Draw();
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EQ(src(draws()[1]), "10 0 20 10");
    EXPECT_EQ(draws()[1].u[4], 0xFFFFFFFFu);
}
