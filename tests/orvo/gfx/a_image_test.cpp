#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gfx_fixture.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_picturecache.h"
#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/util/a_exception.h"
#include "support/temp_dir.h"

namespace {

using kbtest::GraphRig;
using kbtest::LogCapture;

constexpr uint32_t kProbe = 0x8F123456;
constexpr aGpuFormat k8888 = aGpuFormat::A8R8G8B8;

TEST(ImageLife, PicturesSurviveAResetCopiesShareOneRecordAndTheLastHandleFreesIt)
{
    GraphRig rig;
    const std::string png = rig.write("a.png", kbtest::encodePng(kbtest::patternPixels(8, 8), 8, 8));
    aImage first(png, aGpuFormat::A4R4G4B4, k8888);
    const aImage::BloomParam blur(2, 1.0f);
    ASSERT_TRUE(first.setEffect(aImage::EFFECT_BLUR, &blur));
    // Pictures and their effects survive a device reset.
    const std::vector<uint8_t> plain = first.getRecord()->surfaces[0].texture->pixels();
    const std::vector<uint8_t> blurred = first.getRecord()->surfaces[1].texture->pixels();
    rig.graph->resetDevice();
    EXPECT_EQ(first.getRecord()->surfaces[0].texture->pixels(), plain);
    EXPECT_EQ(first.getRecord()->surfaces[1].texture->pixels(), blurred);
    EXPECT_EQ(first.getEffect(), aImage::EFFECT_BLUR);
    const size_t textures = rig.device->liveTextureCount();
    {
        aImage copy(first), assigned;
        assigned = copy;
        assigned = assigned; // to itself: nothing
        EXPECT_EQ(first.getReferenceCount(), 3u);
        // A copy shows the plain surface whatever the original shows.
        EXPECT_EQ(assigned.getSurface(), &assigned.getRecord()->surfaces[aImage::SURFACE_PLAIN]);
        copy.release(); // and its destructor gives nothing back twice
        EXPECT_EQ(first.getReferenceCount(), 2u);
    }
    EXPECT_EQ(first.getReferenceCount(), 1u);
    EXPECT_EQ(rig.device->liveTextureCount(), textures);
    first.release();
    EXPECT_EQ(rig.device->liveTextureCount(), textures - 2);
    first.drawAt(0, 0); // a released handle draws nothing and does not crash
    EXPECT_EQ(first.getPixel(0, 0), 0u);
}

TEST(ImageLife, ReloadingASharedHandleLeavesTheOthersWithTheOldPicture)
{
    GraphRig rig;
    const std::string red = rig.write("red.png", kbtest::encodePng(kbtest::solidPixels(2, 2, 0xFFFF0000), 2, 2));
    const std::string blue = rig.write("blue.png", kbtest::encodePng(kbtest::solidPixels(4, 4, 0xFF0000FF), 4, 4));
    aImage image(red, k8888, k8888);
    aImage other(image);
    image.load(blue, k8888, k8888);
    EXPECT_EQ(image.getPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(other.getPixel(0, 0), 0xFFFF0000u);
}

TEST(ImageLife, TheCountIsExactWhenThreadsCopyAtOnce)
{
    GraphRig rig;
    aImage shared(rig.write("a.png", kbtest::encodePng(kbtest::solidPixels(2, 2, ~0u), 2, 2)), k8888, k8888);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            while (!go)
                std::this_thread::yield();
            for (int i = 0; i < 20000; ++i) {
                aImage copy(shared), another;
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
    LogCapture log;
    {
        aImage image("whatever.png", k8888, k8888);
        EXPECT_FALSE(image.hasTexture());
        EXPECT_TRUE(log.contains("aImage. Error, aApplication object not created!"));
        kbtest::TestApp app;
        aImage again("whatever.png", k8888, k8888);
        EXPECT_TRUE(log.contains("aImage. Error, aGraphServer object not created!"));
    }
    GraphRig rig;
    const std::string missing = rig.dir.file("missing.png");
    aImage image(missing, k8888, k8888);
    EXPECT_TRUE(log.contains("Texture \"" + missing + "\" load failed (NOT_FOUND)"));
    EXPECT_FALSE(image.hasTexture());
    EXPECT_FALSE(image.setEffect(aImage::EFFECT_NONE));

    // Fewer than four bytes, or no JNG signature: the other decoders have it.
    const std::string tiny = rig.write("tiny.jng", std::string("\x8BJN", 3));
    aImage small(tiny, k8888, k8888);
    EXPECT_TRUE(log.contains("gpu. Image data of unknown format (3 bytes)"));
    EXPECT_TRUE(log.contains("Texture \"" + tiny + "\" load failed (INVALID_DATA)"));
    // The JNG signature and junk after it: libmng refuses it.
    const std::string junk = rig.write("junk.jng", std::string("\x8BJNG\r\n\x1A\nnonsense", 16));
    aImage bad(junk, k8888, k8888);
    EXPECT_TRUE(log.contains("aImage::createFromMNG - mnglib init/read error!"));
    EXPECT_TRUE(log.contains("Texture \"" + junk + "\" load failed (INVALID_DATA)"));
    // A size beyond the device.
    aImage huge;
    huge.create(100000, 4);
    EXPECT_FALSE(huge.hasTexture());
    EXPECT_TRUE(log.contains("Texture \"\" load failed (INVALID_CALL)"));

    ASSERT_TRUE(rig.graph->beginScene());
    rig.device->clearRecords();
    for (aImage* i : {&image, &small, &bad, &huge})
        i->drawAt(0, 0);
    aImage fine; // and empty sources of a good picture draw nothing either
    fine.create(16, 8);
    fine.drawRegionAt(0, 0, aRect(0, 0, 0, 8));
    fine.drawRegionAt(0, 0, aRect(3, 3, 16, 0));
    EXPECT_EQ(rig.device->count(aGpuCall::SpriteDraw), 0u);
    rig.graph->endScene();
}

TEST(ImageLoad, ASheetLoadedAgainComesFromItsKeptCopyUntilTheFileChanges)
{
    GraphRig rig;
    aPictureCache& cache = aPictureCache::instance();
    cache.clear();
    // A clear surround with a small picture in the middle, as a sprite sheet has.
    const auto sheetPixels = [](uint32_t argb) {
        std::vector<uint32_t> p(32 * 32, 0);
        for (uint32_t y = 12; y < 20; ++y)
            for (uint32_t x = 8; x < 24; ++x)
                p[y * 32 + x] = argb;
        return p;
    };
    const std::string sheet = rig.write("sheet.png", kbtest::encodePng(sheetPixels(0xFF336699), 32, 32));
    const std::string noise = rig.write("noise.png", kbtest::encodePng(kbtest::patternPixels(32, 32), 32, 32));
    std::vector<uint8_t> decoded;
    {
        aImage first(sheet, aGpuFormat::A4R4G4B4, k8888);
        const aImage other(noise, aGpuFormat::A4R4G4B4, k8888);
        decoded = first.getRecord()->surfaces[0].texture->pixels();
    }
    EXPECT_EQ(cache.count(), 1u) << "the sheet's copy outlives its image; a picture that does not pack has none";

    rig.device->clearRecords();
    aImage again(sheet, aGpuFormat::A4R4G4B4, k8888);
    EXPECT_EQ(rig.device->count(aGpuCall::TextureLock), 0u) << "no decoded picture was written into it";
    EXPECT_EQ(again.getRecord()->surfaces[0].texture->pixels(), decoded);
    EXPECT_EQ(again.getWidth(), 32);

    // An effect on a loaded image leaves the kept copy as the file has it.
    const aImage::GrayScaleParam inPlace(true);
    ASSERT_TRUE(again.setEffect(aImage::EFFECT_GRAYSCALE, &inPlace));
    ASSERT_NE(again.getPixel(16, 16), 0xFF336699u);
    EXPECT_EQ(aImage(sheet, aGpuFormat::A4R4G4B4, k8888).getPixel(16, 16), 0xFF336699u);

    // The file changed under the same name: its new picture is read.
    rig.write("sheet.png", kbtest::encodePng(sheetPixels(0xFF993366), 32, 32));
    EXPECT_EQ(aImage(sheet, aGpuFormat::A4R4G4B4, k8888).getPixel(16, 16), 0xFF993366u);
    cache.clear();
}

TEST(ImagePixels, LockIsForA8R8G8B8DisplaysAndRectanglesInsideThePicture)
{
    LogCapture log;
    const auto pixels = kbtest::patternPixels(10, 6);
    {
        GraphRig rig;
        aImage image(rig.write("p.png", kbtest::encodePng(pixels, 10, 6)), aGpuFormat::A4R4G4B4, k8888);
        aImage::LockInfo info;
        const aRect part(2, 1, 5, 4);
        ASSERT_TRUE(image.lock(info, &part, true));
        EXPECT_EQ(info.GetColorAt(4, 3), pixels[4 * 10 + 6]);
        EXPECT_THROW(info.GetColorAt(5, 0), aException);
        EXPECT_THROW(info.GetColorAt(0, 4), aException);
        image.unlock();

        for (const aRect& outside : {aRect(8, 0, 5, 1), aRect(-1, 0, 2, 2), aRect(0, 0, 0, 3)}) {
            EXPECT_FALSE(image.lock(info, &outside, false));
            EXPECT_EQ(info.data, nullptr);
        }
        EXPECT_TRUE(log.contains("Image lock failed!"));
        ASSERT_TRUE(image.lock(info, nullptr, false)) << "a refused lock leaves nothing locked";
        image.unlock();
        for (auto [x, y] : {std::pair{10, 0}, {0, 6}, {-1, 0}, {0, -3}})
            EXPECT_EQ(image.getPixel(x, y), 0u) << x << "," << y;
    }
    // On a 16-bit display lock fails even for a 32-bit file; getPixel reads the 16-bit texture.
    GraphRig low(false);
    aImage sixteen(low.write("p.png", kbtest::encodePng(pixels, 10, 6)), aGpuFormat::A4R4G4B4, k8888);
    aImage::LockInfo info;
    EXPECT_FALSE(sixteen.lock(info, nullptr, true));
    EXPECT_TRUE(log.contains("Image format != A8R8G8B8, lock failed!"));
    EXPECT_EQ(sixteen.getPixel(0, 0),
              gpu_unpackPixel(aGpuFormat::A4R4G4B4, gpu_packPixel(aGpuFormat::A4R4G4B4, pixels[0])));
}

TEST(ImagePixels, DecodeFileReadsExactPixelsWithoutADevice)
{
    LogCapture log;
    kbtest::TempDir dir("decode");
    const auto pixels = kbtest::patternPixels(10, 6);
    kbtest::writeFile(dir.file("p.png"), kbtest::encodePng(pixels, 10, 6));
    kbtest::writeFile(dir.file("p.jng"), jngwrite::encode(kbtest::solidPixels(3, 2, kProbe), 3, 2, {100}));
    kbtest::writeFile(dir.file("bad.png"), "not a picture");
    aGpuPicture picture;
    ASSERT_TRUE(aImage::decodeFile(dir.file("p.png"), picture));
    EXPECT_EQ(picture.pixels, pixels);
    ASSERT_TRUE(aImage::decodeFile(dir.file("p.jng"), picture));
    EXPECT_EQ(picture.pixels[5] >> 24, kProbe >> 24);
    for (const char* name : {"bad.png", "none.png"}) {
        EXPECT_FALSE(aImage::decodeFile(dir.file(name), picture)) << name;
        EXPECT_TRUE(picture.pixels.empty());
        EXPECT_TRUE(log.contains("aImage. Cannot decode \"" + dir.file(name) + "\"")) << name;
    }
}

} // namespace
