#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "orvo/gfx/a_picturecache.h"

namespace {

constexpr aGpuFormat k8888 = aGpuFormat::A8R8G8B8;

// The process-wide cache, emptied, with its budget put back afterwards.
class PictureCache : public testing::Test {
protected:
    void SetUp() override { cache.clear(); }
    void TearDown() override
    {
        cache.setBudget(aPictureCache::DEFAULT_BUDGET);
        cache.clear();
    }
    // A picture of `words` runs words (every entry also pays for its key).
    static aPictureCache::Picture picture(size_t words, uint32_t value = 7)
    {
        return {4, 4, std::vector<uint32_t>(words, value)};
    }
    void store(const std::string& file, const std::string& bytes, size_t words, aGpuFormat format = k8888)
    {
        cache.store(file, format, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture(words));
    }
    bool find(const std::string& file, const std::string& bytes, aGpuFormat format = k8888)
    {
        aPictureCache::Picture out;
        return cache.find(file, format, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
    }

    aPictureCache& cache = aPictureCache::instance();
};

TEST_F(PictureCache, ACopyServesOnlyTheSameFileWithTheSameBytesInTheSameFormat)
{
    store("gfx:a.png", "bytes-one", 3);
    aPictureCache::Picture out;
    const std::string one = "bytes-one";
    ASSERT_TRUE(cache.find("gfx:a.png", k8888, reinterpret_cast<const uint8_t*>(one.data()), one.size(), out));
    EXPECT_EQ(out.width, 4u);
    EXPECT_EQ(out.runs, std::vector<uint32_t>(3, 7));
    EXPECT_FALSE(find("gfx:b.png", "bytes-one")) << "another file with the same bytes";
    EXPECT_FALSE(find("gfx:a.png", "bytes-one", aGpuFormat::A4R4G4B4)) << "another format";

    // The file changed (same length, other bytes): its old picture goes for good.
    EXPECT_FALSE(find("gfx:a.png", "bytes-two"));
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_FALSE(find("gfx:a.png", "bytes-one"));

    // A new copy of the same file replaces the old one.
    store("gfx:a.png", "bytes-one", 3);
    store("gfx:a.png", "bytes-one", 5);
    ASSERT_TRUE(cache.find("gfx:a.png", k8888, reinterpret_cast<const uint8_t*>(one.data()), one.size(), out));
    EXPECT_EQ(out.runs.size(), 5u);
    EXPECT_EQ(cache.count(), 1u);
}

TEST_F(PictureCache, BeyondTheBudgetTheLeastRecentlyUsedGoFirst)
{
    // Each entry: 100 words and a 10-character key ("gfx:N.png|21").
    const size_t entry = 100 * sizeof(uint32_t) + std::string("gfx:1.png|21").size();
    cache.setBudget(3 * entry);
    for (const char* file : {"gfx:1.png", "gfx:2.png", "gfx:3.png"})
        store(file, file, 100);
    EXPECT_EQ(cache.bytes(), 3 * entry);
    ASSERT_TRUE(find("gfx:1.png", "gfx:1.png")); // used: now the most recent
    store("gfx:4.png", "gfx:4.png", 100);
    EXPECT_FALSE(find("gfx:2.png", "gfx:2.png")) << "the least recently used went";
    EXPECT_TRUE(find("gfx:1.png", "gfx:1.png") && find("gfx:3.png", "gfx:3.png") && find("gfx:4.png", "gfx:4.png"));

    // A copy larger than the whole budget is not kept, and pushes nothing out; a refusal is counted.
    EXPECT_EQ(cache.refusals(), 0u);
    store("gfx:big.png", "big", 1000);
    EXPECT_FALSE(find("gfx:big.png", "big"));
    EXPECT_EQ(cache.count(), 3u);
    EXPECT_EQ(cache.refusals(), 1u);
    // A smaller budget drops copies at once; none keeps none, and says so to loaders.
    cache.setBudget(entry);
    EXPECT_EQ(cache.count(), 1u);
    cache.setBudget(0);
    EXPECT_EQ(cache.budget(), 0u);
    EXPECT_EQ(cache.bytes(), 0u);
    store("gfx:1.png", "gfx:1.png", 1);
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.refusals(), 2u);

    // The loading thread stores while the main thread finds, over a budget that keeps pushing copies out:
    // a copy found is always whole. Four copies are kept before the loader starts, and every store keeps
    // four, so the finds hit in every run.
    cache.setBudget(4 * entry);
    const auto fileOf = [](int i) { return "gfx:" + std::to_string(i % 8) + ".png"; };
    const auto storeOf = [&](int i) {
        const std::string file = fileOf(i);
        cache.store(file, k8888, reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                    picture(100, static_cast<uint32_t>(i % 8)));
    };
    for (int i = 0; i < 8; ++i)
        storeOf(i);
    ASSERT_EQ(cache.count(), 4u);
    std::thread loader([&] {
        for (int i = 0; i < 2000; ++i)
            storeOf(i);
    });
    int compared = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::string file = fileOf(i);
        aPictureCache::Picture out;
        if (cache.find(file, k8888, reinterpret_cast<const uint8_t*>(file.data()), file.size(), out)) {
            EXPECT_EQ(out.runs, std::vector<uint32_t>(100, static_cast<uint32_t>(i % 8)));
            ++compared;
        }
    }
    loader.join();
    EXPECT_GT(compared, 0);
    EXPECT_LE(cache.bytes(), 4 * entry);
}

} // namespace
