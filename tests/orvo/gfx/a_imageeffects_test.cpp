#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_stackblur.h"

namespace {

using kbtest::LogCapture;

// The triangle filter written out plainly: `count` words `step` apart, edges repeated.
void slowLine(uint32_t* p, int count, int step, int r)
{
    std::vector<uint32_t> line(count);
    for (int i = 0; i < count; ++i)
        line[i] = p[i * step];
    for (int x = 0; x < count; ++x) {
        uint32_t word = 0;
        for (int c = 0; c < 32; c += 8) {
            uint64_t sum = 0;
            for (int i = -r; i <= r; ++i)
                sum += ((line[std::clamp(x + i, 0, count - 1)] >> c) & 0xFF) * uint64_t(r + 1 - std::abs(i));
            word |= uint32_t(sum / (uint64_t(r + 1) * (r + 1))) << c;
        }
        p[x * step] = word;
    }
}

TEST(StackBlur, MatchesTheTriangleFilterWithEdgesRepeatedAndAnyPitch)
{
    const uint32_t w = 13, h = 9, pitch = 16;
    std::vector<uint32_t> picture(w * h);
    uint32_t seed = 7;
    for (uint32_t& p : picture)
        p = (seed = seed * 1664525u + 1013904223u);
    for (int r : {1, 2, 3, 5, 12, 70}) {
        std::vector<uint32_t> buffer(pitch * h, 0xDEADBEEF), expected = picture;
        for (uint32_t y = 0; y < h; ++y) {
            std::copy(picture.begin() + y * w, picture.begin() + (y + 1) * w, buffer.begin() + y * pitch);
            slowLine(&expected[y * w], w, 1, r);
        }
        for (uint32_t x = 0; x < w; ++x)
            slowLine(&expected[x], h, w, r);
        image_stackBlur(buffer.data(), w, h, pitch, uint32_t(r));
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x)
                ASSERT_EQ(buffer[y * pitch + x], expected[y * w + x]) << "radius " << r << " at " << x << "," << y;
            EXPECT_EQ(buffer[y * pitch + w], 0xDEADBEEFu) << "nothing beyond the width is touched";
        }
    }
    // A flat picture stays flat (the divisions are exact at the top of the range).
    std::vector<uint32_t> white(20 * 20, 0xFFFFFFFF);
    image_stackBlur(white.data(), 20, 20, 20, 6);
    EXPECT_EQ(white[0], 0xFFFFFFFFu);
    EXPECT_EQ(white[210], 0xFFFFFFFFu);
}

class ImageEffects : public kbtest::GfxTest {
protected:
    aImage load(aGpuFormat format, uint32_t w = 10, uint32_t h = 6)
    {
        pixels = kbtest::patternPixels(w, h);
        return aImage(write("e.png", kbtest::encodePng(pixels, w, h)), format, format);
    }
    const aImage::Surface& surface(const aImage& image, int i) { return image.getRecord()->surfaces[i]; }

    // What the blurred surface must hold: the picture framed by the fill,
    // through the pixel rule of the format, blurred.
    static std::vector<uint32_t> expectedBlur(const aImage& image, uint32_t r)
    {
        const aImage::Surface& plain = image.getRecord()->surfaces[0];
        const aGpuFormat format = plain.texture->format();
        const uint32_t w = plain.imageWidth + 2 * r, h = plain.imageHeight + 2 * r;
        const uint32_t fill = gpu_formatBytes(format) == 4 ? 0x00808080u : gpu_unpackPixel(format, 0x0888);
        std::vector<uint32_t> framed(w * h, fill);
        const std::vector<uint32_t> picture = kbtest::texturePixels(*plain.texture);
        for (uint32_t y = 0; y < plain.imageHeight; ++y)
            for (uint32_t x = 0; x < plain.imageWidth; ++x)
                framed[(y + r) * w + x + r] = picture[y * plain.imageWidth + x];
        image_stackBlur(framed.data(), w, h, w, r);
        for (uint32_t& p : framed)
            p = gpu_unpackPixel(format, gpu_packPixel(format, p));
        return framed;
    }

    std::vector<uint32_t> pixels;
};

TEST_F(ImageEffects, BlurFramesThePictureByTheRadiusAndBlursItThroughThePixelRule)
{
    for (aGpuFormat format : {aGpuFormat::A8R8G8B8, aGpuFormat::A4R4G4B4, aGpuFormat::R5G6B5}) {
        aImage image = load(format);
        const aImage::BloomParam params(3, 1.0f);
        ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &params));
        const aImage::Surface& blurred = surface(image, aImage::SURFACE_BLURRED);
        ASSERT_NE(blurred.texture, nullptr);
        EXPECT_EQ(kbtest::texturePixels(*blurred.texture), expectedBlur(image, 3)) << int(format);
        EXPECT_EQ(image.getSurface(), &blurred);
        EXPECT_TRUE(image.setEffect(aImage::EFFECT_NONE));
        EXPECT_EQ(image.getSurface(), &surface(image, 0));
    }
}

TEST_F(ImageEffects, BadRadiiUnknownEffectsAndSurfacesBeyondTheDeviceAreRefusedAndChangeNothing)
{
    LogCapture log;
    aImage image = load(aGpuFormat::A8R8G8B8);
    for (int r : {0, -4}) {
        const aImage::BloomParam bad(r, 1.0f);
        EXPECT_FALSE(image.setEffect(aImage::EFFECT_BLUR, &bad));
        EXPECT_TRUE(log.contains("aImage. Blur radius " + std::to_string(r) + " refused: it must be at least 1"));
    }
    EXPECT_EQ(image.getEffect(), aImage::EFFECT_NONE);
    // 10 + 2 x 40000 would wrap to a small 16-bit width; 10 + 2 x 5000 is past the device's limit.
    for (int r : {40000, 5000}) {
        const aImage::BloomParam big(r, 1.0f);
        EXPECT_FALSE(image.setEffect(aImage::EFFECT_BLUR, &big));
        EXPECT_EQ(surface(image, 1).texture, nullptr);
    }
    EXPECT_TRUE(log.contains("aImage: Failed create empty texture for blur"));
    const aImage::BloomParam fine(1, 1.0f);
    EXPECT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &fine)) << "a later radius that fits works";

    ASSERT_TRUE(image.setEffect(aImage::EFFECT_GRAYSCALE));
    for (int32_t type : {7, -1}) {
        EXPECT_FALSE(image.setEffect(type)) << type;
        EXPECT_TRUE(log.contains("aImage. Unknown effect " + std::to_string(type) + " refused"));
    }
    EXPECT_EQ(image.getSurface(), &surface(image, 2));
}

TEST_F(ImageEffects, GrayscaleMakesACopyOnceOrGraysInPlaceAndEffectsAskedEarlyAreMadeOnLoad)
{
    aImage image = load(aGpuFormat::A8R8G8B8);
    for (int twice = 0; twice < 2; ++twice)
        ASSERT_TRUE(image.setEffect(aImage::EFFECT_GRAYSCALE));
    EXPECT_EQ(device->count(aGpuCall::CreateTexture), 2u) << "asking again makes nothing new";
    const aImage::Surface& copy = surface(image, aImage::SURFACE_GRAYSCALE);
    const std::vector<uint32_t> grayed = kbtest::texturePixels(*copy.texture); // the golden frame shows it
    EXPECT_EQ(kbtest::texturePixels(*surface(image, 0).texture), pixels) << "the picture is kept";

    const aImage::GrayScaleParam inPlace(true);
    aImage other = load(aGpuFormat::A8R8G8B8);
    ASSERT_TRUE(other.setEffect(aImage::EFFECT_GRAYSCALE, &inPlace));
    EXPECT_EQ(surface(other, 2).texture, nullptr);
    EXPECT_EQ(kbtest::texturePixels(*surface(other, 0).texture), grayed);

    // Effects asked for before the picture are made when it loads.
    const std::string png = write("late.png", kbtest::encodePng(kbtest::patternPixels(6, 6), 6, 6));
    aImage late;
    const aImage::BloomParam params(2, 0.5f);
    EXPECT_FALSE(late.setEffect(aImage::EFFECT_BLOOM, &params)) << "no picture to blur yet";
    EXPECT_FALSE(late.setEffect(aImage::EFFECT_GRAYSCALE));
    late.load(png, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    EXPECT_EQ(surface(late, 1).imageWidth, 10u);
    EXPECT_NE(surface(late, 2).texture, nullptr);
}

TEST_F(ImageEffects, ABloomWithAStrengthAloneGetsTheDefaultHaloOrKeepsTheBlurMadeBefore)
{
    aImage image = load(aGpuFormat::A8R8G8B8, 16, 8);
    const aImage::BloomParam strengthOnly(0, 0.7f);
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLOOM, &strengthOnly));
    const uint32_t r = aImage::DEFAULT_BLOOM_RADIUS;
    ASSERT_NE(surface(image, 1).texture, nullptr);
    EXPECT_EQ(kbtest::texturePixels(*surface(image, 1).texture), expectedBlur(image, r));

    // After a blur of its own radius the strength alone keeps it.
    const aImage::BloomParam six(6, 1.0f);
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &six));
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLOOM, &strengthOnly));
    EXPECT_EQ(surface(image, 1).imageWidth, 16u + 12);
    const aImage::BloomParam negative(-2, 1.0f);
    EXPECT_FALSE(image.setEffect(aImage::EFFECT_BLOOM, &negative));

    // Without any parameter on a fresh picture: the default halo, not a missing one.
    aImage bare = load(aGpuFormat::A8R8G8B8, 16, 8);
    ASSERT_TRUE(bare.setEffect(aImage::EFFECT_BLOOM));
    ASSERT_NE(surface(bare, 1).texture, nullptr);
    EXPECT_EQ(surface(bare, 1).imageWidth, 16 + 2 * r);
}

TEST_F(ImageEffects, BloomDrawsTheHaloUnderThePictureThenAddsItWithAClampedAlpha)
{
    aImage image = load(aGpuFormat::A8R8G8B8, 16, 8);
    const aImage::BloomParam params(4, 3.0f);
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLOOM, &params));
    // The order (halo, picture, halo added) is the golden frame's; here the clamp and the region.
    device->clearRecords();
    image.drawAt(100, 50, 0xC0FFFFFF); // 3 x 0xC0 is kept at 255, not wrapped
    auto d = sprites();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[2].text().substr(d[2].text().size() - 16), "colour FFFFFFFF)");

    // A region takes the same region of the halo; the caller's blend mode comes back.
    device->clearRecords();
    graph->setBlendMode(A_BLEND_MULTIPLY);
    image.drawRegionAt(7, 9, aRect(2, 1, 5, 3));
    d = sprites();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].text(), "SpriteDraw(src 6 5 11 8, scale 1 1, centre 2.5 1.5, rot 0, at 7 9, colour FFFFFFFF)");
    EXPECT_EQ(graph->getBlendMode(), uint32_t(A_BLEND_MULTIPLY));
}

} // namespace
