// Golden images: a rendered frame compared with a committed PNG under
// tests/data/golden/ (or another folder of tests/data/, such as screens/).
// With KB_UPDATE_GOLDEN set the frame becomes the new
// reference (look at it before committing it); on a mismatch the frame is
// written to <name>.actual.png in the working folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "orvo/platform/gpu/a_gpuimage.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace kbtest {

// Pixels of two frames of one size that differ by more than 2 in a channel;
// `worst` gets the largest difference.
inline size_t pixelsOff(const std::vector<uint32_t>& a, const uint32_t* b, int* worst = nullptr)
{
    size_t off = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int diff = 0;
        for (int s = 0; s < 24; s += 8)
            diff = std::max(diff, std::abs(static_cast<int>((a[i] >> s) & 0xFF) - static_cast<int>((b[i] >> s) & 0xFF)));
        if (worst)
            *worst = std::max(*worst, diff);
        off += diff > 2;
    }
    return off;
}

// Within 2 per channel everywhere but a few edge pixels (one in 500), where
// another rasteriser may round differently.
inline void expectGolden(const std::vector<uint32_t>& frame, uint32_t width, uint32_t height, const std::string& name,
                         const std::string& folder = "golden")
{
    ASSERT_EQ(frame.size(), size_t(width) * height) << "no frame";
    const std::string path = std::string(KB_TEST_DATA_DIR) + "/" + folder + "/" + name + ".png";
    if (std::getenv("KB_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << encodePng(frame, width, height, false);
        GTEST_SKIP() << "reference written to " << path;
    }
    const std::string reference = readFile(path);
    aGpuPicture expected;
    ASSERT_EQ(gpu_decodeImage(reference.data(), reference.size(), expected), aGpuResult::Ok) << path;
    ASSERT_EQ(expected.width, width);
    ASSERT_EQ(expected.height, height);

    int worst = 0;
    const size_t off = pixelsOff(frame, expected.pixels.data(), &worst);
    if (off > frame.size() / 500)
        std::ofstream(name + ".actual.png", std::ios::binary) << encodePng(frame, width, height, false);
    EXPECT_LE(off, frame.size() / 500) << "pixels off by more than 2: " << off << ", worst " << worst;
}

} // namespace kbtest
