// Golden frame tests/data/golden/anim_scene.png (OpenGL, offscreen): a grid bent by a wave with tinted
// corners, an animation frame drawn plainly and mirrored. After an intended change, refresh with
//     KB_UPDATE_GOLDEN=1 SDL_VIDEODRIVER=offscreen build/test/tests/orvo_tests --gtest_filter=AnimGolden.*
#include <gtest/gtest.h>

#include <cmath>

#include "gfx_fixture.h"
#include "orvo/gfx/a_advanim.h"
#include "orvo/gfx/a_distortiongrid.h"
#include "orvo/gfx/a_imagemanager.h"
#include "support/golden.h"

namespace {

constexpr uint32_t kW = 256, kH = 128;

// 64 x 64 squares of 8 in two colours, a bright frame and a diagonal: bends show.
std::vector<uint32_t> checker()
{
    std::vector<uint32_t> p(64 * 64);
    for (uint32_t y = 0; y < 64; ++y)
        for (uint32_t x = 0; x < 64; ++x) {
            uint32_t c = ((x / 8 + y / 8) % 2) ? 0xFF2080E0 : 0xFFF0F0F0;
            if (x < 2 || y < 2 || x > 61 || y > 61)
                c = 0xFFFFC000;
            if (x == y || x + 1 == y)
                c = 0xFFC02020;
            p[y * 64 + x] = c;
        }
    return p;
}

// 32 x 32: an orange "F" with a blue corner mark on a clear ground, so a mirror shows.
std::vector<uint32_t> letter()
{
    std::vector<uint32_t> p(32 * 32, 0);
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 32; ++x) {
            const bool stem = x >= 4 && x < 10 && y >= 2 && y < 30;
            const bool top = y >= 2 && y < 8 && x >= 4 && x < 28;
            const bool mid = y >= 13 && y < 18 && x >= 4 && x < 22;
            if (stem || top || mid)
                p[y * 32 + x] = 0xFFFF8020;
            if (x >= 24 && y >= 24)
                p[y * 32 + x] = 0xFF2040FF;
        }
    return p;
}

std::vector<uint32_t> render(const std::string& folder)
{
    kbtest::GlFrame frame(kW, kH, 0xFF304050);
    if (!frame.ok())
        return {};
    aImageManager images;
    images.loadItem(folder + "/", "checker.png 8888 8888", "");
    images.loadItem(folder + "/", "letter.png 8888 8888", "");
    aImage* picture = images.getImage("checker");
    if (!picture)
        return {};

    aDistortionGrid grid(9, 9);
    grid.setImage(picture, nullptr);
    for (uint32_t r = 0; r < 9; ++r)
        for (uint32_t c = 1; c < 8; ++c)
            grid.setVertexOffset(c, r, 4.0f * std::sin(0.8f * static_cast<float>(r)), 0.0f, aDistortionGrid::FROM_REST);
    grid.setVertexOffset(8, 8, 6.0f, 6.0f, aDistortionGrid::FROM_REST);
    grid.setVertexColor(0, 0, 0xFFFF4040);
    grid.setVertexColor(8, 0, 0x8040FF40);

    aAdvAnim anim;
    if (!anim.Load(folder + "/letter.anim", &images))
        return {};

    return frame.shoot([&] {
        grid.render(12, 12, 1.5f);
        const float plain[2] = {1.5f, 1.5f}, mirrored[2] = {-1.5f, 1.5f};
        anim.draw(118, 24, 0xFFFFFFFF, plain);
        anim.draw(240, 24, 0xFFFFFFFF, mirrored);
        anim.draw(240, 72, 0x80FFFFFF, mirrored);
    });
}

} // namespace

TEST(AnimGolden, DistortionGridAndMirroredAnimationDrawAsTheReferencePicture)
{
    kbtest::TempDir dir("golden");
    kbtest::writeFile(dir.file("checker.png"), kbtest::encodePng(checker(), 64, 64));
    kbtest::writeFile(dir.file("letter.png"), kbtest::encodePng(letter(), 32, 32));
    kbtest::writeFile(dir.file("letter.anim"), "[_General_]\nAutoStart=1\n[f]\nTexture=letter\n"
                                               "Frame=(Rect=0 0 32 32)(Disp=4 2)\n[_Play_]\nf=\n");
    kbtest::expectGolden(render(dir.path()), kW, kH, "anim_scene");
}
