#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orvo/platform/gpu/a_gpuruns.h"

namespace {

std::vector<uint32_t> roundTrip(const std::vector<uint32_t>& words, size_t* packedSize = nullptr)
{
    std::vector<uint32_t> packed;
    gpu_packRuns(words.data(), words.size(), packed);
    if (packedSize)
        *packedSize = packed.size();
    std::vector<uint32_t> out(words.size(), 0xDEADBEEF);
    EXPECT_TRUE(gpu_unpackRuns(packed, out.data(), out.size()));
    return out;
}

} // namespace

TEST(GpuRuns, EveryPatternComesBackExactly)
{
    using W = std::vector<uint32_t>;
    // Empty, single, runs at either end, runs just at and below the shortest run, alternating words.
    const W patterns[] = {{},
                          {7},
                          {0, 0, 0},
                          {0, 0, 1},
                          {1, 0, 0, 0},
                          {1, 1, 2, 2, 3, 3},
                          {5, 6, 5, 6, 5, 6, 5},
                          {0, 0, 0, 0, 9, 0, 0, 0, 0, 0x80000000u, 0x80000000u, 0x80000000u}};
    for (const W& words : patterns)
        EXPECT_EQ(roundTrip(words), words);
    // A sprite row: a clear surround with a few coloured pixels keeps a small share of its size.
    W sheet(4096, 0);
    for (size_t i = 1000; i < 1100; ++i)
        sheet[i] = 0xFF000000u | static_cast<uint32_t>(i);
    size_t packed = 0;
    EXPECT_EQ(roundTrip(sheet, &packed), sheet);
    EXPECT_LE(packed, 110u);
}

TEST(GpuRuns, PackedWordsThatDoNotMakeThePictureAreRefused)
{
    std::vector<uint32_t> out(4);
    EXPECT_FALSE(gpu_unpackRuns({0x80000005u, 1}, out.data(), 4)) << "a run past the end";
    EXPECT_FALSE(gpu_unpackRuns({0x80000003u, 1}, out.data(), 4)) << "one word short";
    EXPECT_FALSE(gpu_unpackRuns({0x80000004u}, out.data(), 4)) << "a run without its value";
    EXPECT_FALSE(gpu_unpackRuns({4, 1, 2}, out.data(), 4)) << "literals cut off";
    EXPECT_TRUE(gpu_unpackRuns({2, 1, 2, 0x80000002u, 3}, out.data(), 4));
    EXPECT_EQ(out, (std::vector<uint32_t>{1, 2, 3, 3}));
}

TEST(GpuRuns, TheLengthOfPackedWordsIsWhatTheyUnpackToOrNoneWhenCutOff)
{
    std::vector<uint32_t> packed;
    const std::vector<uint32_t> words = {0, 0, 0, 0, 5, 6, 7, 7, 7};
    gpu_packRuns(words.data(), words.size(), packed);
    EXPECT_EQ(gpu_runsLength(packed), words.size());
    EXPECT_EQ(gpu_runsLength({}), 0u);
    EXPECT_EQ(gpu_runsLength({0x80000004u}), SIZE_MAX) << "a run without its value";
    EXPECT_EQ(gpu_runsLength({4, 1, 2}), SIZE_MAX) << "literals cut off";
}
