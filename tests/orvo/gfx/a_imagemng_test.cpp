// The JNG / MNG decoder, and damaged picture files of every kind the images
// read. The seed files of the JNG fuzz program (tests/data/fuzz/jng) are made
// by this file too; after a change of the writer, refresh them with
//     KB_UPDATE_FUZZ_SEEDS=1 build/test/tests/orvo_tests --gtest_filter=ImageMngCorpus.*
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "gfx_fixture.h"
#include "jngwrite.h"
#include "orvo/gfx/a_imagemng.h"

namespace {

using kbtest::GraphRig;
using kbtest::LogCapture;

int channelDiff(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int s = 0; s < 24; s += 8)
        worst = std::max(worst, std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)));
    return worst;
}

// Blocks of flat colour (JPEG keeps them almost exact) with an alpha ramp.
std::vector<uint32_t> blocks(uint32_t w, uint32_t h, bool alpha)
{
    static const uint32_t colours[] = {0xE02010, 0x10C040, 0x2040E0, 0xF0F0F0, 0x101010, 0x808020};
    std::vector<uint32_t> p(w * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            p[y * w + x] = (alpha ? ((x * 255 / (w - 1)) << 24) : 0xFF000000u) | colours[(x / 8 + y / 8 * 3) % 6];
    return p;
}

aGpuPicture decode(const std::string& bytes)
{
    aGpuPicture picture;
    EXPECT_TRUE(image_decodeMng(bytes.data(), bytes.size(), picture));
    return picture;
}

TEST(ImageMng, AJngKeepsItsAlphaExactlyAndItsColourClosely)
{
    const auto source = blocks(24, 16, true);
    const aGpuPicture picture = decode(jngwrite::encode(source, 24, 16, {95}));
    ASSERT_EQ(picture.pixels.size(), source.size());
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 24; ++x) {
            const uint32_t got = picture.pixels[y * 24 + x], want = source[y * 24 + x];
            ASSERT_EQ(got >> 24, want >> 24) << x << "," << y;
            // A fully transparent pixel keeps no colour.
            if (want >> 24) {
                EXPECT_LE(channelDiff(got, want), 12) << std::hex << got << " " << want << " at " << x << "," << y;
            }
        }

    jngwrite::Options gray{95, jngwrite::Alpha::Auto, true};
    const aGpuPicture grayed = decode(jngwrite::encode(blocks(24, 16, false), 24, 16, gray));
    for (uint32_t p : grayed.pixels)
        ASSERT_EQ(((p >> 16) & 0xFF), (p & 0xFF)) << "gray: red equals blue";
}

TEST(ImageMng, ThreadsDecodeAtOnceEachWithItsOwnState)
{
    const std::string small = jngwrite::encode(blocks(16, 16, true), 16, 16);
    const std::string large = jngwrite::encode(blocks(96, 40, false), 96, 40);
    const aGpuPicture smallOnce = decode(small), largeOnce = decode(large);
    std::atomic<int> wrong{0};
    auto work = [&](const std::string& bytes, const aGpuPicture& expected) {
        for (int i = 0; i < 60; ++i) {
            aGpuPicture picture;
            if (!image_decodeMng(bytes.data(), bytes.size(), picture) || picture.pixels != expected.pixels)
                ++wrong;
        }
    };
    std::thread a(work, std::cref(small), std::cref(smallOnce)), b(work, std::cref(large), std::cref(largeOnce)),
        c(work, std::cref(small), std::cref(smallOnce));
    for (std::thread* t : {&a, &b, &c})
        t->join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(ImageMng, AnAnimationGivesItsFirstFrameAndNeverLoops)
{
    const std::string red = jngwrite::encode(kbtest::solidPixels(8, 8, 0xFFE00000), 8, 8, {100});
    const std::string blue = jngwrite::encode(kbtest::solidPixels(8, 8, 0xFF0000E0), 8, 8, {100});
    const aGpuPicture first = decode(jngwrite::mng({red, blue}, 8, 8, 500, true));
    ASSERT_EQ(first.pixels.size(), 64u);
    EXPECT_LE(channelDiff(first.pixels[27], 0xFFE00000), 8) << std::hex << first.pixels[27];
    // Frames without delays repeated forever: the display call still returns.
    aGpuPicture picture;
    const std::string busy = jngwrite::mng({red, blue, red}, 8, 8, 0, true);
    EXPECT_TRUE(image_decodeMng(busy.data(), busy.size(), picture));
}

TEST(ImageMng, PicturesBeyondTheLimitsAreRefusedBeforeTheirMemoryIsTaken)
{
    std::string jng = jngwrite::encode(kbtest::solidPixels(4, 4, 0xFF808080), 4, 4);
    // JHDR width at offset 16: 20000 x 4 is wider than any side may be.
    auto setWidth = [](std::string bytes, size_t at, uint32_t width) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(width >> (24 - 8 * i));
        return jngwrite::fixChunkCrcs(bytes);
    };
    aGpuPicture picture;
    const std::string wide = setWidth(jng, 16, 20000);
    EXPECT_FALSE(image_decodeMng(wide.data(), wide.size(), picture));

    // The same inside an MNG whose frame size is harmless.
    const std::string mng = jngwrite::mng({jng}, 4, 4, 10, false);
    const size_t jhdr = mng.find("JHDR");
    ASSERT_NE(jhdr, std::string::npos);
    const std::string inner = setWidth(mng, jhdr + 4, 0x7FFF0000);
    EXPECT_FALSE(image_decodeMng(inner.data(), inner.size(), picture));

    EXPECT_FALSE(image_decodeMng(nullptr, 10, picture));
    EXPECT_FALSE(image_decodeMng(jng.data(), 0, picture));
}

// Bytes overwritten, bits flipped, the end cut off, bytes inserted; deterministic.
std::string damage(const std::string& bytes, uint32_t& seed)
{
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    std::string out = bytes;
    const uint32_t edits = 1 + next() % 4;
    for (uint32_t e = 0; e < edits && !out.empty(); ++e) {
        const size_t at = next() % out.size();
        switch (next() % 4) {
        case 0:
            out[at] = char(next());
            break;
        case 1:
            out[at] = char(out[at] ^ (1 << (next() % 8)));
            break;
        case 2:
            out.resize(std::max<size_t>(at, 4));
            break;
        default:
            out.insert(at, std::string(1 + next() % 16, char(next())));
            break;
        }
    }
    return out;
}

TEST(ImageMng, ThousandsOfDamagedJngStreamsFailCleanly)
{
    const std::string jng = jngwrite::encode(blocks(32, 16, true), 32, 16, {80});
    aGpuPicture picture;
    uint32_t seed = 12345;
    int decoded = 0;
    for (int i = 0; i < 6000; ++i) {
        std::string bytes = damage(jng, seed);
        // Half with the checksums mended, so the damage reaches the decoders.
        if (i % 2)
            bytes = jngwrite::fixChunkCrcs(bytes);
        if (image_decodeMng(bytes.data(), bytes.size(), picture)) {
            ++decoded;
            ASSERT_EQ(picture.pixels.size(), size_t(picture.width) * picture.height) << i;
        }
    }
    EXPECT_LT(decoded, 6000);
}

TEST(ImageMng, DamagedPngAndJpegFilesLoadAsLoggedFailures)
{
    GraphRig rig;
    const auto pixels = blocks(24, 16, true);
    const std::pair<const char*, std::string> kinds[] = {
        {"png", kbtest::encodePng(pixels, 24, 16)},
        {"jpg", kbtest::encodeJpeg(pixels, 24, 16, 80)},
    };
    uint32_t seed = 99;
    for (const auto& [kind, bytes] : kinds) {
        LogCapture log;
        int failed = 0;
        for (int i = 0; i < 400; ++i) {
            std::string broken = damage(bytes, seed);
            if (i % 2 && std::string(kind) != "jpg")
                broken = jngwrite::fixChunkCrcs(broken);
            const std::string path = rig.write(std::string("broken.") + kind, broken);
            aImage image(path, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
            if (!image.hasTexture()) {
                ++failed;
                continue;
            }
            ASSERT_GT(image.getWidth(), 0u);
            // What did load can be drawn from and read.
            (void)image.getPixel(image.getWidth() - 1, image.getHeight() - 1);
        }
        size_t logged = 0;
        const std::string line = "Texture \"" + rig.dir.file(std::string("broken.") + kind) + "\" load failed";
        for (const std::string& m : log.messages())
            logged += m.rfind(line, 0) == 0;
        EXPECT_GT(failed, 0) << kind;
        EXPECT_EQ(logged, size_t(failed)) << kind << ": every failure says so";
    }
}

const std::filesystem::path kSeeds = std::filesystem::path(KB_TEST_DATA_DIR) / "fuzz" / "jng";

TEST(ImageMngCorpus, SeedsAndFindingsDecodeOrFailWithoutHarm)
{
    if (std::getenv("KB_UPDATE_FUZZ_SEEDS")) {
        const auto p = kbtest::patternPixels(12, 10);
        std::filesystem::create_directories(kSeeds);
        kbtest::writeFile((kSeeds / "alpha.jng").string(), jngwrite::encode(p, 12, 10));
        kbtest::writeFile((kSeeds / "opaque.jng").string(), jngwrite::encode(p, 12, 10, {90, jngwrite::Alpha::Never}));
        kbtest::writeFile((kSeeds / "gray.jng").string(),
                          jngwrite::encode(p, 12, 10, {90, jngwrite::Alpha::Always, true}));
        kbtest::writeFile(
            (kSeeds / "two_frames.mng").string(),
            jngwrite::mng({jngwrite::encode(p, 12, 10), jngwrite::encode(p, 12, 10, {50})}, 12, 10, 100, true));
    }
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(kSeeds)) {
        const std::string bytes = kbtest::readFile(item.path().string());
        aGpuPicture picture;
        if (image_decodeMng(bytes.data(), bytes.size(), picture)) {
            EXPECT_EQ(picture.pixels.size(), size_t(picture.width) * picture.height) << item.path();
        }
        ++files;
    }
    EXPECT_GE(files, 4);
}

} // namespace
