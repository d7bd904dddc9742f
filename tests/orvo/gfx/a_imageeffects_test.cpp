#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_stackblur.h"

namespace {

using kbtest::GraphRig;
using kbtest::LogCapture;

uint32_t clampAt(const std::vector<uint32_t>& line, int64_t i)
{
    return line[i < 0 ? 0 : i >= int64_t(line.size()) ? line.size() - 1 : size_t(i)];
}

// The triangle filter written out plainly, one line.
std::vector<uint32_t> slowLine(const std::vector<uint32_t>& line, int r)
{
    const uint64_t div = uint64_t(r + 1) * (r + 1);
    std::vector<uint32_t> out(line.size());
    for (size_t x = 0; x < line.size(); ++x) {
        uint32_t word = 0;
        for (int c = 0; c < 32; c += 8) {
            uint64_t sum = 0;
            for (int i = -r; i <= r; ++i)
                sum += ((clampAt(line, int64_t(x) + i) >> c) & 0xFF) * uint64_t(r + 1 - (i < 0 ? -i : i));
            word |= uint32_t(sum / div) << c;
        }
        out[x] = word;
    }
    return out;
}

std::vector<uint32_t> slowBlur(std::vector<uint32_t> p, uint32_t w, uint32_t h, int r)
{
    for (uint32_t y = 0; y < h; ++y) {
        std::vector<uint32_t> row(p.begin() + y * w, p.begin() + (y + 1) * w);
        row = slowLine(row, r);
        std::copy(row.begin(), row.end(), p.begin() + y * w);
    }
    for (uint32_t x = 0; x < w; ++x) {
        std::vector<uint32_t> col(h);
        for (uint32_t y = 0; y < h; ++y)
            col[y] = p[y * w + x];
        col = slowLine(col, r);
        for (uint32_t y = 0; y < h; ++y)
            p[y * w + x] = col[y];
    }
    return p;
}

TEST(StackBlur, MatchesTheTriangleFilterWithEdgesRepeatedAndAnyPitch)
{
    const uint32_t w = 13, h = 9, pitch = 16;
    std::vector<uint32_t> picture(w * h);
    uint32_t seed = 7;
    for (uint32_t& p : picture)
        p = (seed = seed * 1664525u + 1013904223u);
    for (int r : {1, 2, 3, 5, 12, 70}) {
        std::vector<uint32_t> buffer(pitch * h, 0xDEADBEEF);
        for (uint32_t y = 0; y < h; ++y)
            std::copy(picture.begin() + y * w, picture.begin() + (y + 1) * w, buffer.begin() + y * pitch);
        image_stackBlur(buffer.data(), w, h, pitch, uint32_t(r));
        const std::vector<uint32_t> expected = slowBlur(picture, w, h, r);
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

class ImageEffects : public testing::Test {
protected:
    aImage load(aGpuFormat format, uint32_t w = 10, uint32_t h = 6)
    {
        pixels = kbtest::patternPixels(w, h);
        const std::string png = rig.write("e.png", kbtest::encodePng(pixels, w, h));
        return aImage(png, format, format);
    }

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

    GraphRig rig;
    std::vector<uint32_t> pixels;
};

TEST_F(ImageEffects, BlurFramesThePictureByTheRadiusAndBlursItThroughThePixelRule)
{
    for (aGpuFormat format : {aGpuFormat::A8R8G8B8, aGpuFormat::A4R4G4B4, aGpuFormat::R5G6B5}) {
        aImage image = load(format);
        const aImage::BloomParam params(3, 1.0f);
        ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &params));
        const aImage::Surface& blurred = image.getRecord()->surfaces[aImage::SURFACE_BLURRED];
        ASSERT_NE(blurred.texture, nullptr);
        EXPECT_EQ(blurred.imageWidth, 16u);
        EXPECT_EQ(blurred.imageHeight, 12u);
        EXPECT_EQ(blurred.texture->format(), format);
        EXPECT_EQ(kbtest::texturePixels(*blurred.texture), expectedBlur(image, 3)) << int(format);
        EXPECT_EQ(image.getSurface(), &blurred);
        EXPECT_EQ(image.getEffect(), aImage::EFFECT_BLUR);
        EXPECT_EQ(image.getRecord()->appliedEffects, std::vector<int32_t>{aImage::EFFECT_BLUR});
    }
}

TEST_F(ImageEffects, TheSameRadiusBlursOnceAnotherRebuildsAtTheNewSize)
{
    aImage image = load(aGpuFormat::A8R8G8B8);
    const aImage::BloomParam two(2, 1.0f), five(5, 1.0f);
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &two));
    const aGpuTexture* first = image.getRecord()->surfaces[1].texture.get();
    const size_t creates = rig.device->count(aGpuCall::CreateTexture);
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLOOM, &two));
    EXPECT_EQ(image.getRecord()->surfaces[1].texture.get(), first);
    EXPECT_EQ(rig.device->count(aGpuCall::CreateTexture), creates);
    EXPECT_EQ(image.getRecord()->appliedEffects.size(), 1u) << "blur and bloom share one entry";
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &five));
    EXPECT_EQ(image.getRecord()->surfaces[1].imageWidth, 20u);
    EXPECT_EQ(kbtest::texturePixels(*image.getRecord()->surfaces[1].texture), expectedBlur(image, 5));
    EXPECT_TRUE(image.setEffect(aImage::EFFECT_NONE));
    EXPECT_EQ(image.getSurface(), &image.getRecord()->surfaces[0]);
}

TEST_F(ImageEffects, RadiiBelowOneAndSurfacesBeyondTheDeviceAreRefused)
{
    LogCapture log;
    aImage image = load(aGpuFormat::A8R8G8B8);
    for (int r : {0, -4}) {
        const aImage::BloomParam bad(r, 1.0f);
        EXPECT_FALSE(image.setEffect(aImage::EFFECT_BLUR, &bad));
        EXPECT_TRUE(log.contains("aImage. Blur radius " + std::to_string(r) + " refused: it must be at least 1"));
    }
    EXPECT_EQ(image.getEffect(), aImage::EFFECT_NONE);
    EXPECT_EQ(image.getRecord()->bloom, nullptr) << "a refused call changes nothing";

    // 10 + 2 x 40000 would wrap to a small 16-bit width; 10 + 2 x 5000 is past the device's limit.
    for (int r : {40000, 5000}) {
        const aImage::BloomParam big(r, 1.0f);
        EXPECT_FALSE(image.setEffect(aImage::EFFECT_BLUR, &big));
        EXPECT_EQ(image.getRecord()->surfaces[1].texture, nullptr);
    }
    EXPECT_TRUE(log.contains("aImage: Failed create empty texture for blur"));
    const aImage::BloomParam fine(1, 1.0f);
    EXPECT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &fine)) << "a later radius that fits works";
}

TEST_F(ImageEffects, GrayscaleMakesACopyOrGraysThePictureInPlace)
{
    aImage image = load(aGpuFormat::A8R8G8B8);
    auto gray = [](uint32_t p) {
        const uint32_t g = (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
        return (p & 0xFF000000u) | g * 0x010101u;
    };
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_GRAYSCALE));
    const aImage::Surface& copy = image.getRecord()->surfaces[aImage::SURFACE_GRAYSCALE];
    ASSERT_NE(copy.texture, nullptr);
    EXPECT_EQ(image.getSurface(), &copy);
    const std::vector<uint32_t> grayed = kbtest::texturePixels(*copy.texture);
    for (size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(grayed[i], gray(pixels[i])) << i;
    EXPECT_EQ(kbtest::texturePixels(*image.getRecord()->surfaces[0].texture), pixels) << "the picture is kept";

    // Asking again makes nothing new.
    const aGpuTexture* made = copy.texture.get();
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_GRAYSCALE));
    EXPECT_EQ(copy.texture.get(), made);

    const aImage::GrayScaleParam inPlace(true);
    aImage other = load(aGpuFormat::A8R8G8B8);
    ASSERT_TRUE(other.setEffect(aImage::EFFECT_GRAYSCALE, &inPlace));
    EXPECT_EQ(other.getSurface(), &other.getRecord()->surfaces[0]);
    EXPECT_EQ(other.getRecord()->surfaces[2].texture, nullptr);
    EXPECT_EQ(other.getPixel(3, 2), gray(pixels[2 * 10 + 3]));
}

TEST_F(ImageEffects, EffectsAskedForBeforeThePictureAreMadeWhenItLoads)
{
    const std::string png = rig.write("late.png", kbtest::encodePng(kbtest::patternPixels(6, 6), 6, 6));
    aImage image;
    const aImage::BloomParam params(2, 0.5f);
    EXPECT_FALSE(image.setEffect(aImage::EFFECT_BLOOM, &params)) << "no picture to blur yet";
    EXPECT_FALSE(image.setEffect(aImage::EFFECT_GRAYSCALE));
    image.load(png, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    ASSERT_NE(image.getRecord()->surfaces[1].texture, nullptr);
    EXPECT_EQ(image.getRecord()->surfaces[1].imageWidth, 10u);
    EXPECT_NE(image.getRecord()->surfaces[2].texture, nullptr);
    EXPECT_EQ(image.getRecord()->bloom->strength, 0.5f);

    // Any other effect number is only remembered; drawing treats it as none.
    EXPECT_TRUE(image.setEffect(7));
    EXPECT_EQ(image.getEffect(), 7);
}

class ImageBloom : public ImageEffects {
protected:
    void SetUp() override
    {
        image = load(aGpuFormat::A8R8G8B8, 16, 8);
        const aImage::BloomParam params(4, 3.0f);
        ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLOOM, &params));
        ASSERT_TRUE(rig.graph->beginScene());
        rig.device->clearRecords();
    }
    void TearDown() override { rig.graph->endScene(); }

    // "H" (halo) and "P" (plain) draws and "+" / "=" for additive / normal blending, in order.
    std::string sequence() const
    {
        std::string s;
        for (const aGpuRecord& r : rig.device->records()) {
            if (r.call == aGpuCall::SpriteDraw)
                s += r.object == image.getRecord()->surfaces[1].texture.get() ? "H" : "P";
            if (r.call == aGpuCall::SetRenderState && r.u[0] == uint32_t(aGpuRenderState::DestBlend))
                s += r.u[1] == uint32_t(aGpuBlend::One) ? "+" : "=";
        }
        return s;
    }
    std::vector<aGpuRecord> draws() const { return rig.device->records(aGpuCall::SpriteDraw); }

    aImage image;
};

TEST_F(ImageBloom, HaloUnderThePictureThenAddedOverItWithAClampedAlpha)
{
    const float scale[2] = {2.0f, 1.0f};
    image.drawAt(100, 50, 0xC0FFFFFF, scale);
    EXPECT_EQ(sequence(), "HP+H=");
    const auto d = draws();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].u[4], 0xFFFFFFFFu) << "3 x 0xC0 is kept at 255, not wrapped";
    EXPECT_EQ(d[1].u[4], 0xC0FFFFFFu);
    EXPECT_EQ(kbtest::sourceOf(d[0]), "0 0 24 16") << "the whole blurred surface";
    EXPECT_FLOAT_EQ(d[0].f[5], 100.0f - 4 * 2.0f);
    EXPECT_FLOAT_EQ(d[0].f[6], 50.0f - 4 * 1.0f);
    EXPECT_FLOAT_EQ(d[0].f[2], 24 * 2.0f * 0.5f);
    EXPECT_FLOAT_EQ(d[0].f[3], 16 * 1.0f * 0.5f);
    EXPECT_EQ(rig.graph->getBlendMode(), 0u);

    // With a centre the halo turns about the same point of the picture.
    rig.device->clearRecords();
    const float centre[2] = {3.0f, 2.0f};
    image.drawAt(0, 0, 0x40FFFFFF, scale, 0.5f, centre);
    ASSERT_EQ(draws().size(), 3u);
    EXPECT_EQ(draws()[0].u[4] >> 24, 0xC0u);
    EXPECT_FLOAT_EQ(draws()[0].f[2], (4 + 3) * 2.0f);
    EXPECT_FLOAT_EQ(draws()[0].f[3], (4 + 2) * 1.0f);
    EXPECT_FLOAT_EQ(draws()[1].f[2], 3 * 2.0f);
}

TEST_F(ImageBloom, ARegionTakesTheSameRegionOfTheHaloAtThePositionItself)
{
    rig.graph->setBlendMode(A_BLEND_MULTIPLY);
    rig.device->clearRecords();
    image.drawRegionAt(7, 9, aRect(2, 1, 5, 3));
    const auto d = draws();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(kbtest::sourceOf(d[0]), "6 5 11 8");
    EXPECT_FLOAT_EQ(d[0].f[5], 7.0f);
    EXPECT_FLOAT_EQ(d[0].f[6], 9.0f);
    EXPECT_FLOAT_EQ(d[0].f[2], 2.5f);
    EXPECT_EQ(rig.graph->getBlendMode(), uint32_t(A_BLEND_MULTIPLY)) << "the caller's blend mode comes back";
}

} // namespace
