#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gfx_fixture.h"
#include "orvo/gfx/a_image.h"
#include "orvo/platform/gpu/a_gpusprite.h"
#include "orvo/util/a_exception.h"

namespace {

using kbtest::GraphRig;
using kbtest::LogCapture;

constexpr uint32_t kProbe = 0x8F123456;

struct FormatCase {
    aGpuFormat format;
    uint32_t packed;   // what writing kProbe stores
    uint32_t readBack; // what reading it back answers
};

// a = 8F, r = 12, g = 34, b = 56.
const FormatCase kFormats[] = {
    {aGpuFormat::A8R8G8B8, 0x8F123456, 0x8F123456},
    {aGpuFormat::R5G6B5, 0x11AA, 0xFF103450},
    {aGpuFormat::A1R5G5B5, 0x88CA, 0xFF103050},
    {aGpuFormat::A4R4G4B4, 0x8135, 0x80103050},
};

TEST(ImagePixels, EachFormatStoresAndReadsTheProbeColourByTheTable)
{
    for (const FormatCase& c : kFormats) {
        uint8_t cell[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        aImage::writeLockedPixel(c.format, cell, kProbe);
        const uint32_t stored = gpu_formatBytes(c.format) == 4
                                    ? uint32_t(cell[0] | cell[1] << 8 | cell[2] << 16 | uint32_t(cell[3]) << 24)
                                    : uint32_t(cell[0] | cell[1] << 8);
        EXPECT_EQ(stored, c.packed) << "format " << static_cast<int>(c.format);
        if (gpu_formatBytes(c.format) == 2) {
            EXPECT_EQ(cell[2], 0xEE) << "a 16-bit pixel writes two bytes only";
        }
        EXPECT_EQ(aImage::readLockedPixel(c.format, cell), c.readBack) << "format " << static_cast<int>(c.format);
    }
    // Any other format writes nothing and reads 0.
    uint8_t cell[4] = {1, 2, 3, 4};
    aImage::writeLockedPixel(aGpuFormat::Unknown, cell, kProbe);
    EXPECT_EQ(cell[0], 1);
    EXPECT_EQ(aImage::readLockedPixel(aGpuFormat::Unknown, cell), 0u);
}

TEST(ImagePixels, LoadedPicturesHoldTheTableValuesAndTheDisplayDepthPicksTheFormat)
{
    for (bool highColor : {true, false}) {
        GraphRig rig(highColor);
        const std::string png = rig.write("probe.png", kbtest::encodePng(kbtest::solidPixels(3, 2, kProbe), 3, 2));
        const std::string jng =
            rig.write("probe.jng", jngwrite::encode(kbtest::solidPixels(3, 2, kProbe), 3, 2, {100}));
        for (const FormatCase& c : kFormats) {
            // The other depth's format is one the picture must not be made in.
            const aGpuFormat other = c.format == aGpuFormat::R5G6B5 ? aGpuFormat::A4R4G4B4 : aGpuFormat::R5G6B5;
            aImage image(png, highColor ? other : c.format, highColor ? c.format : other);
            ASSERT_TRUE(image.hasTexture());
            EXPECT_EQ(image.getRecord()->surfaces[0].texture->format(), c.format);
            EXPECT_EQ(image.getPixel(2, 1), c.readBack) << "format " << static_cast<int>(c.format);

            // The JNG path converts its canvas by the same rule; only the colour is lossy.
            aImage fromJng(jng, highColor ? other : c.format, highColor ? c.format : other);
            ASSERT_TRUE(fromJng.hasTexture());
            EXPECT_EQ(fromJng.getRecord()->surfaces[0].texture->format(), c.format);
            EXPECT_EQ(fromJng.getPixel(0, 0) >> 24, c.readBack >> 24) << "alpha of format " << int(c.format);
        }
    }
}

TEST(ImageLife, CopiesShareOneRecordThatGoesWithTheLastHandle)
{
    GraphRig rig;
    const std::string png = rig.write("a.png", kbtest::encodePng(kbtest::patternPixels(8, 8), 8, 8));
    aImage first(png, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    const size_t textures = rig.device->liveTextureCount();
    {
        aImage copy(first);
        aImage assigned;
        assigned = copy;
        EXPECT_EQ(first.getRecord(), assigned.getRecord());
        EXPECT_EQ(first.getReferenceCount(), 3u);
        assigned = assigned; // to itself: nothing
        EXPECT_EQ(first.getReferenceCount(), 3u);
        copy.release();
        EXPECT_EQ(copy.getRecord(), nullptr);
        EXPECT_EQ(first.getReferenceCount(), 2u);
        // The destructor of a released handle gives nothing back twice.
    }
    EXPECT_EQ(first.getReferenceCount(), 1u);
    EXPECT_EQ(rig.device->liveTextureCount(), textures);
    first.release();
    EXPECT_EQ(rig.device->liveTextureCount(), textures - 1);
    first.drawAt(0, 0); // a released handle draws nothing and does not crash
    EXPECT_EQ(first.getPixel(0, 0), 0u);
}

TEST(ImageLife, ACopyShowsThePlainSurfaceWhateverTheOriginalShows)
{
    GraphRig rig;
    const std::string png = rig.write("a.png", kbtest::encodePng(kbtest::patternPixels(8, 8), 8, 8));
    aImage image(png, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    const aImage::BloomParam blur(2, 1.0f);
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLUR, &blur));
    EXPECT_EQ(image.getSurface(), &image.getRecord()->surfaces[aImage::SURFACE_BLURRED]);
    aImage copy(image);
    EXPECT_EQ(copy.getSurface(), &copy.getRecord()->surfaces[aImage::SURFACE_PLAIN]);
    EXPECT_EQ(copy.getEffect(), aImage::EFFECT_NONE);
    aImage assigned;
    assigned = image;
    EXPECT_EQ(assigned.getSurface(), &assigned.getRecord()->surfaces[aImage::SURFACE_PLAIN]);
}

TEST(ImageLife, ReloadingASharedHandleLeavesTheOthersWithTheOldPicture)
{
    GraphRig rig;
    const std::string red = rig.write("red.png", kbtest::encodePng(kbtest::solidPixels(2, 2, 0xFFFF0000), 2, 2));
    const std::string blue = rig.write("blue.png", kbtest::encodePng(kbtest::solidPixels(4, 4, 0xFF0000FF), 4, 4));
    aImage image(red, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    aImage other(image);
    aImage::Surface* plain = image.load(blue, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    EXPECT_NE(image.getRecord(), other.getRecord());
    EXPECT_EQ(plain->imageWidth, 4u);
    EXPECT_EQ(image.getPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(other.getPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(other.getReferenceCount(), 1u);

    // A record that never got a texture is kept and filled.
    aImage empty;
    aImage::TextureRecord* record = empty.getRecord();
    empty.load(red, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    EXPECT_EQ(empty.getRecord(), record);
    EXPECT_TRUE(empty.hasTexture());
}

TEST(ImageLife, TheCountIsExactWhenThreadsCopyAtOnce)
{
    GraphRig rig;
    const std::string png = rig.write("a.png", kbtest::encodePng(kbtest::solidPixels(2, 2, 0xFFFFFFFF), 2, 2));
    aImage shared(png, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            while (!go)
                std::this_thread::yield();
            for (int i = 0; i < 20000; ++i) {
                aImage copy(shared);
                aImage another;
                another = copy;
            }
        });
    go = true;
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(shared.getReferenceCount(), 1u);
}

TEST(ImageLoad, FailuresAreLoggedAndLeaveAHandleThatDrawsNothing)
{
    GraphRig rig;
    LogCapture log;
    const std::string missing = rig.dir.file("missing.png");
    aImage image(missing, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    EXPECT_TRUE(log.contains("Texture \"" + missing + "\" load failed (NOT_FOUND)"));
    EXPECT_FALSE(image.hasTexture());
    EXPECT_FALSE(image.setEffect(aImage::EFFECT_NONE));
    EXPECT_EQ(image.getWidth(), 0u);

    // Fewer than four bytes, or no JNG signature: the other decoders have it.
    const std::string tiny = rig.write("tiny.jng", std::string("\x8BJN", 3));
    aImage small(tiny, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    EXPECT_TRUE(log.contains("gpu. Image data of unknown format (3 bytes)"));
    EXPECT_TRUE(log.contains("Texture \"" + tiny + "\" load failed (INVALID_DATA)"));

    // The JNG signature and junk after it: libmng refuses it.
    const std::string junk = rig.write("junk.jng", std::string("\x8BJNG\r\n\x1A\nnonsense", 16));
    aImage bad(junk, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    EXPECT_TRUE(log.contains("aImage::createFromMNG - mnglib init/read error!"));
    EXPECT_TRUE(log.contains("Texture \"" + junk + "\" load failed (INVALID_DATA)"));

    ASSERT_TRUE(rig.graph->beginScene());
    rig.device->clearRecords();
    bad.drawAt(0, 0);
    image.drawAt(0, 0);
    EXPECT_EQ(rig.device->count(aGpuCall::SpriteDraw), 0u);
    rig.graph->endScene();
}

TEST(ImageLoad, WithoutApplicationOrGraphServerNothingIsMade)
{
    LogCapture log;
    {
        aImage image("whatever.png", aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
        EXPECT_FALSE(image.hasTexture());
        EXPECT_TRUE(log.contains("aImage. Error, aApplication object not created!"));
    }
    kbtest::TestApp app;
    aImage image("whatever.png", aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    EXPECT_FALSE(image.hasTexture());
    EXPECT_TRUE(log.contains("aImage. Error, aGraphServer object not created!"));
}

TEST(ImageLoad, CreateMakesOneEmptyTextureAndRefusesSizesBeyondTheDevice)
{
    GraphRig rig;
    LogCapture log;
    aImage image;
    image.create(64, 32);
    ASSERT_TRUE(image.hasTexture());
    const aImage::Surface& plain = image.getRecord()->surfaces[0];
    EXPECT_EQ(plain.texture->format(), aGpuFormat::A8R8G8B8);
    EXPECT_EQ(plain.imageWidth, 64u);
    EXPECT_EQ(plain.textureHeight, 32u);
    EXPECT_TRUE(image.getRecord()->created);
    EXPECT_TRUE(image.getFileName().empty());

    aImage huge;
    huge.create(100000, 4);
    EXPECT_FALSE(huge.hasTexture());
    EXPECT_TRUE(log.contains("Texture \"\" load failed (INVALID_CALL)"));
}

TEST(ImageLoad, PicturesSurviveADeviceResetUntouched)
{
    GraphRig rig;
    const std::string png = rig.write("p.png", kbtest::encodePng(kbtest::patternPixels(6, 5), 6, 5));
    aImage image(png, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
    const aImage::BloomParam bloom(2, 0.5f);
    ASSERT_TRUE(image.setEffect(aImage::EFFECT_BLOOM, &bloom));
    const aGpuTexture* texture = image.getRecord()->surfaces[0].texture.get();
    const std::vector<uint8_t> before = texture->pixels();
    const std::vector<uint8_t> halo = image.getRecord()->surfaces[1].texture->pixels();
    rig.graph->resetDevice();
    EXPECT_EQ(image.getRecord()->surfaces[0].texture.get(), texture);
    EXPECT_EQ(texture->pixels(), before);
    EXPECT_EQ(image.getRecord()->surfaces[1].texture->pixels(), halo);
    EXPECT_EQ(image.getEffect(), aImage::EFFECT_BLOOM);
}

TEST(ImagePixels, LockIsForA8R8G8B8DisplaysAndRectanglesInsideThePicture)
{
    GraphRig rig;
    LogCapture log;
    const auto pixels = kbtest::patternPixels(10, 6);
    const std::string png = rig.write("p.png", kbtest::encodePng(pixels, 10, 6));
    aImage image(png, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);

    aImage::LockInfo info;
    const aRect part(2, 1, 5, 4);
    ASSERT_TRUE(image.lock(info, &part, true));
    EXPECT_EQ(info.pitch, 10u);
    EXPECT_EQ(info.rect, part);
    EXPECT_EQ(info.GetColorAt(0, 0), pixels[1 * 10 + 2]);
    EXPECT_EQ(info.GetColorAt(4, 3), pixels[4 * 10 + 6]);
    EXPECT_THROW(info.GetColorAt(5, 0), aException);
    EXPECT_THROW(info.GetColorAt(0, 4), aException);
    image.unlock();

    for (const aRect& outside : {aRect(8, 0, 5, 1), aRect(-1, 0, 2, 2), aRect(0, 5, 1, 2), aRect(0, 0, 0, 3)}) {
        EXPECT_FALSE(image.lock(info, &outside, false));
        EXPECT_EQ(info.data, nullptr);
    }
    EXPECT_TRUE(log.contains("Image lock failed!"));
    ASSERT_TRUE(image.lock(info, nullptr, false)) << "a refused lock leaves nothing locked";
    EXPECT_EQ(info.rect, aRect(0, 0, 10, 6));
    image.unlock();

    EXPECT_EQ(image.getPixel(9, 5), pixels[59]);
    for (auto [x, y] : {std::pair{10, 0}, {0, 6}, {-1, 0}, {0, -3}})
        EXPECT_EQ(image.getPixel(x, y), 0u) << x << "," << y;
}

TEST(ImagePixels, OnA16BitDisplayLockFailsEvenForA32BitFile)
{
    GraphRig low(false);
    LogCapture log;
    const auto pixels = kbtest::patternPixels(4, 4);
    const std::string png = low.write("p.png", kbtest::encodePng(pixels, 4, 4));
    aImage sixteen(png, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
    aImage::LockInfo info;
    EXPECT_FALSE(sixteen.lock(info, nullptr, true));
    EXPECT_TRUE(log.contains("Image format != A8R8G8B8, lock failed!"));
    EXPECT_EQ(sixteen.getPixel(0, 0),
              gpu_unpackPixel(aGpuFormat::A4R4G4B4, gpu_packPixel(aGpuFormat::A4R4G4B4, pixels[0])));
}

class ImageDraw : public testing::Test {
protected:
    void SetUp() override
    {
        png = rig.write("d.png", kbtest::encodePng(kbtest::patternPixels(16, 8), 16, 8));
        image.load(png, aGpuFormat::A8R8G8B8, aGpuFormat::A8R8G8B8);
        ASSERT_TRUE(rig.graph->beginScene());
        rig.device->clearRecords();
    }
    void TearDown() override { rig.graph->endScene(); }

    std::vector<aGpuRecord> draws() const { return rig.device->records(aGpuCall::SpriteDraw); }

    GraphRig rig;
    std::string png;
    aImage image;
};

TEST_F(ImageDraw, TheSpriteGetsSourceScaleCentreAndTheModulatedColour)
{
    rig.graph->setColor(0.5f, 1.0f, 1.0f, 1.0f); // red at 127
    const float scale[2] = {2.0f, 3.0f};
    image.drawAt(10, 20, 0x80FF4020, scale, 0.25f);
    ASSERT_EQ(draws().size(), 1u);
    const aGpuRecord r = draws()[0];
    EXPECT_EQ(r.object, image.getRecord()->surfaces[0].texture.get());
    EXPECT_EQ(kbtest::sourceOf(r), "0 0 16 8");
    EXPECT_EQ(r.u[4], 0x807F4020u) << "each channel x global / 255, truncated";
    EXPECT_FLOAT_EQ(r.f[0], 2.0f);
    EXPECT_FLOAT_EQ(r.f[1], 3.0f);
    EXPECT_FLOAT_EQ(r.f[2], 16.0f) << "no centre: the middle of the scaled source";
    EXPECT_FLOAT_EQ(r.f[3], 12.0f);
    EXPECT_FLOAT_EQ(r.f[4], 0.25f);
    EXPECT_FLOAT_EQ(r.f[5], 10.0f);
    EXPECT_FLOAT_EQ(r.f[6], 20.0f);

    rig.device->clearRecords();
    const float centre[2] = {1.0f, 2.0f};
    const aRect region(4, 2, 6, 3);
    image.drawRegionAt(-5, 7, region, 0xFFFFFFFF, scale, 0.0f, centre);
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(kbtest::sourceOf(draws()[0]), "4 2 10 5");
    EXPECT_FLOAT_EQ(draws()[0].f[2], 2.0f) << "centre x scale";
    EXPECT_FLOAT_EQ(draws()[0].f[3], 6.0f);
    EXPECT_FLOAT_EQ(draws()[0].f[5], -5.0f);
}

TEST_F(ImageDraw, AnEmptySourceDrawsNothing)
{
    const float at[2] = {0.0f, 0.0f};
    image.draw(at, aRect(0, 0, 0, 8));
    image.draw(at, aRect(0, 0, 16, 0));
    image.drawRegionAt(0, 0, aRect(3, 3, 0, 0));
    EXPECT_TRUE(draws().empty());
    image.drawAtF(1.5f, 2.5f);
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_FLOAT_EQ(draws()[0].f[5], 1.5f);
}

} // namespace
