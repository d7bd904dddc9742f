// Golden frame tests/data/golden/font_scene.png (OpenGL, offscreen): the game's three fonts aligned,
// scaled, rotated, coloured and underlined. After an intended change, refresh with
//     KB_UPDATE_GOLDEN=1 SDL_VIDEODRIVER=offscreen build/test/tests/orvo_tests --gtest_filter=FontGolden.*
#include <gtest/gtest.h>

#include "gfx_fixture.h"
#include "orvo/gfx/a_font.h"
#include "orvo/gfx/a_gdi.h"
#include "support/golden.h"

namespace {

constexpr uint32_t kW = 320, kH = 200;

std::string fontFile(const char* name)
{
    return std::string(KB_TEST_DATA_DIR) + "/../../data/Localization/English/Fonts/" + name + ".ini";
}

std::vector<uint32_t> render()
{
    kbtest::GlFrame frame(kW, kH, 0xFF304050);
    if (!frame.ok())
        return {};
    aFont arial(fontFile("arial14").c_str());
    aFont title(fontFile("title_s").c_str());
    aFont script(fontFile("mistral24").c_str());

    return frame.shoot([&] {
        // Guides through the points the aligned lines hang on.
        aGDI guide;
        guide.color = 0xFF607080;
        guide.drawRect(160, 28, 1, 24, true);
        guide.drawRect(312, 52, 1, 24, true);
        guide.drawRect(304, 160, 16, 1, true);

        arial.drawText(8, 6, L"Left: AVATAR, Wave \x0416\x0438\x0440\x0430\x0444 \x00C9t\x00E9");
        arial.drawText(160, 40, L"Centred, _underlined", A_FONT_CENTER_X | A_FONT_CENTER_Y | A_FONT_WHOLE_PIXEL);
        arial.color = 0xFFFFE040;
        arial.drawText(312, 76, L"Right and bottom", A_FONT_RIGHT | A_FONT_BOTTOM);
        arial.color = 0xFFFFFFFF;
        arial.setSize(-28.0f);
        arial.drawText(204, 84, L"28 px");

        title.color = 0xFF60FF60;
        title.setSize(1.5f);
        title.drawText(8, 80, L"+1250 $");
        title.setSize(1.0f);
        title.color = 0xFFFFFFFF;
        title.setRotation(0.5f);
        title.drawText(312, 160, L"Turned", A_FONT_RIGHT | A_FONT_BOTTOM);

        script.setRotation(-0.15f);
        script.color = 0xFFFFD0A0;
        script.drawText(12, 130, L"_Pause \x2014 \x041F\x0430\x0443\x0437\x0430");
    });
}

} // namespace

TEST(FontGolden, AlignedScaledTurnedAndUnderlinedTextDrawsAsTheReferencePicture)
{
    kbtest::expectGolden(render(), kW, kH, "font_scene");
}
