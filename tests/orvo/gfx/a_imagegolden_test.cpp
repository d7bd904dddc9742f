// Golden frame tests/data/golden/image_scene.png (OpenGL, offscreen): a JNG with alpha, a PNG and a JPEG
// drawn with colour, scale, rotation, regions and the three effects. After an intended change, refresh with
//     KB_UPDATE_GOLDEN=1 SDL_VIDEODRIVER=offscreen build/test/tests/orvo_tests --gtest_filter=ImageGolden.*
#include <gtest/gtest.h>

#include <cmath>

#include "gfx_fixture.h"
#include "support/golden.h"

namespace {

constexpr uint32_t kW = 256, kH = 192;

// A colour wheel-ish gradient cut to a disc with a soft rim.
std::vector<uint32_t> disc(uint32_t size)
{
    std::vector<uint32_t> p(size * size);
    const float c = (size - 1) * 0.5f;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const float d = std::hypot(x - c, y - c);
            const float edge = (c - d) * 64.0f;
            const uint32_t a = edge <= 0 ? 0 : edge >= 255 ? 255 : uint32_t(edge);
            p[y * size + x] = (a << 24) | ((x * 255 / size) << 16) | ((y * 255 / size) << 8) | 0x60;
        }
    return p;
}

std::vector<uint32_t> render(const std::string& folder)
{
    kbtest::GlFrame frame(kW, kH, 0xFF304050);
    if (!frame.ok())
        return {};
    aImage jng(folder + "/disc.jng", aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    aImage png(folder + "/pattern.png", aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    aImage jpeg(folder + "/blocks.jpg", aGpuFormat::R5G6B5, aGpuFormat::A8R8G8B8);
    aImage bloom(folder + "/pattern.png", aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    aImage blur(bloom), gray(bloom);
    const aImage::BloomParam halo(4, 0.8f), soft(3, 1.0f);
    bloom.setEffect(aImage::EFFECT_BLOOM, &halo);
    blur.setEffect(aImage::EFFECT_BLUR, &soft);
    gray.setEffect(aImage::EFFECT_GRAYSCALE);

    return frame.shoot([&] {
        // The JNG: plain, tinted, turned and scaled about its middle, a region doubled.
        jng.drawAt(8, 8);
        jng.drawAt(64, 8, 0xFF80FF80);
        const float small[2] = {0.75f, 0.75f}, twice[2] = {2.0f, 2.0f};
        jng.drawAt(120, 8, 0xFFFFFFFF, small, 0.6f);
        jng.drawRegionAt(180, 8, aRect(12, 12, 24, 24), 0xFFFFFFFF, twice);
        // The PNG: plain, with a bloom halo, blurred (a larger surface), in gray.
        png.drawAt(8, 76);
        bloom.drawAt(66, 76);
        blur.drawAt(124, 72);
        gray.drawAt(196, 76);
        // The JPEG: plain, stretched, and through a half-transparent global colour.
        jpeg.drawAt(8, 140);
        const float wide[2] = {1.5f, 1.0f};
        jpeg.drawAt(60, 140, 0xFFFFFFFF, wide);
        frame.graph->setColor(1.0f, 1.0f, 1.0f, 0.5f);
        jpeg.drawAt(140, 140);
    });
}

} // namespace

TEST(ImageGolden, JngPngAndJpegDrawAsTheReferencePicture)
{
    kbtest::TempDir dir("golden");
    kbtest::writeFile(dir.file("disc.jng"), jngwrite::encode(disc(48), 48, 48, {92}));
    kbtest::writeFile(dir.file("pattern.png"), kbtest::encodePng(kbtest::patternPixels(40, 30), 40, 30));
    std::vector<uint32_t> blocks(40 * 30);
    for (uint32_t i = 0; i < blocks.size(); ++i)
        blocks[i] = ((i % 40) / 10 + (i / 40) / 10) % 2 ? 0xFFE0C040 : 0xFF2060A0;
    kbtest::writeFile(dir.file("blocks.jpg"), kbtest::encodeJpeg(blocks, 40, 30, 90));
    kbtest::expectGolden(render(dir.path()), kW, kH, "image_scene");
}
