#include <gtest/gtest.h>

#include <vector>

#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/platform/gpu/a_gpuresult.h"

TEST(GpuFormat, PackingKeepsTheTopBitsOfEachChannelAndReadingPutsThemBack)
{
    const uint32_t c = 0x9ABCDEF1; // a=9A r=BC g=DE b=F1
    EXPECT_EQ(gpu_packPixel(aGpuFormat::R5G6B5, c), ((0xBCu & 0xF8) << 8) | ((0xDEu & 0xFC) << 3) | (0xF1u >> 3));
    EXPECT_EQ(gpu_packPixel(aGpuFormat::A1R5G5B5, 0x7FFFFFFF) & 0x8000u, 0u) << "alpha 127 is clear";
    EXPECT_EQ(gpu_packPixel(aGpuFormat::A1R5G5B5, 0x80000000) & 0x8000u, 0x8000u) << "alpha 128 is set";
    EXPECT_EQ(gpu_packPixel(aGpuFormat::Unknown, c), 0u);
    // Reading puts the bits at the top; for display they repeat.
    EXPECT_EQ(gpu_unpackPixel(aGpuFormat::R5G6B5, 0xFFFF), 0xFFF8FCF8u);
    EXPECT_EQ(gpu_expandPixel(aGpuFormat::R5G6B5, 0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(gpu_unpackPixel(aGpuFormat::X8R8G8B8, 0x00123456), 0xFF123456u);

    // Through memory in each format's own width: nothing past it is touched.
    uint8_t memory[3] = {0xEE, 0xEE, 0xEE};
    gpu_writePixel(aGpuFormat::R5G6B5, memory, 0xFFFF0000);
    EXPECT_EQ(std::vector<uint8_t>(memory, memory + 3), (std::vector<uint8_t>{0x00, 0xF8, 0xEE}));
    EXPECT_EQ(gpu_readPixel(aGpuFormat::R5G6B5, memory), 0xFFF80000u);
    EXPECT_STREQ(gpu_errorName(static_cast<aGpuResult>(999)), "UNKNOWN_ERROR");
}
