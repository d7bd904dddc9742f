// Pixel packing of the texture formats, and the device's error names.
#include <gtest/gtest.h>

#include <cstdint>

#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/platform/gpu/a_gpuresult.h"

TEST(GpuFormat, PackingKeepsTheTopBitsOfEachChannelAndReadingPutsThemBack)
{
    const uint32_t c = 0x9ABCDEF1; // a=9A r=BC g=DE b=F1
    EXPECT_EQ(gpu_packPixel(aGpuFormat::A8R8G8B8, c), c);
    EXPECT_EQ(gpu_packPixel(aGpuFormat::R5G6B5, c), ((0xBCu & 0xF8) << 8) | ((0xDEu & 0xFC) << 3) | (0xF1u >> 3));
    EXPECT_EQ(gpu_packPixel(aGpuFormat::A1R5G5B5, c),
              0x8000u | ((0xBCu & 0xF8) << 7) | ((0xDEu & 0xF8) << 2) | (0xF1u >> 3));
    EXPECT_EQ(gpu_packPixel(aGpuFormat::A1R5G5B5, 0x7FFFFFFF) & 0x8000u, 0u) << "alpha 127 is clear";
    EXPECT_EQ(gpu_packPixel(aGpuFormat::A1R5G5B5, 0x80000000) & 0x8000u, 0x8000u) << "alpha 128 is set";
    EXPECT_EQ(gpu_packPixel(aGpuFormat::A4R4G4B4, c), 0x9BDFu);
    EXPECT_EQ(gpu_packPixel(aGpuFormat::Unknown, c), 0u);

    // Reading puts the bits at the top; for display they repeat.
    EXPECT_EQ(gpu_unpackPixel(aGpuFormat::R5G6B5, 0xFFFF), 0xFFF8FCF8u);
    EXPECT_EQ(gpu_expandPixel(aGpuFormat::R5G6B5, 0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(gpu_unpackPixel(aGpuFormat::A1R5G5B5, 0x7C00), 0x00F80000u);
    EXPECT_EQ(gpu_unpackPixel(aGpuFormat::A1R5G5B5, 0xFC00), 0xFFF80000u);
    EXPECT_EQ(gpu_unpackPixel(aGpuFormat::A4R4G4B4, 0x9BDF), 0x90B0D0F0u);
    EXPECT_EQ(gpu_expandPixel(aGpuFormat::A4R4G4B4, 0x9BDF), 0x99BBDDFFu);
    EXPECT_EQ(gpu_expandPixel(aGpuFormat::R5G6B5, 0x8410), 0xFF848284u); // half grey in every channel
    EXPECT_EQ(gpu_unpackPixel(aGpuFormat::X8R8G8B8, 0x00123456), 0xFF123456u);
}

TEST(GpuFormat, PixelsRoundTripThroughMemoryInTheirOwnWidth)
{
    uint8_t memory[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    gpu_writePixel(aGpuFormat::R5G6B5, memory, 0xFFFF0000);
    EXPECT_EQ(memory[0], 0x00);
    EXPECT_EQ(memory[1], 0xF8);
    EXPECT_EQ(memory[2], 0xEE) << "a 16-bit write touches two bytes only";
    EXPECT_EQ(gpu_readPixel(aGpuFormat::R5G6B5, memory), 0xFFF80000u);
    gpu_writePixel(aGpuFormat::A8R8G8B8, memory + 1, 0x11223344);
    EXPECT_EQ(memory[1], 0x44);
    EXPECT_EQ(memory[4], 0x11);
    EXPECT_EQ(gpu_readPixel(aGpuFormat::A8R8G8B8, memory + 1), 0x11223344u);
    EXPECT_EQ(gpu_formatBytes(aGpuFormat::A4R4G4B4), 2u);
    EXPECT_FALSE(gpu_isTextureFormat(aGpuFormat::X8R8G8B8));
}

TEST(GpuFormat, ErrorNamesAreStable)
{
    EXPECT_STREQ(gpu_errorName(aGpuResult::DeviceLost), "DEVICE_LOST");
    EXPECT_STREQ(gpu_errorName(aGpuResult::DeviceNotReset), "DEVICE_NOT_RESET");
    EXPECT_STREQ(gpu_errorName(aGpuResult::InvalidData), "INVALID_DATA");
    EXPECT_STREQ(gpu_errorName(static_cast<aGpuResult>(999)), "UNKNOWN_ERROR");
}
