// YUV to 32-bit colour for decoded video pictures: four integer tables in
// 16.16 fixed point, pixels written as the bytes B, G, R, A (alpha 255), the
// layout of A8R8G8B8 textures in memory. Stateless; any thread.
#pragma once

#include <cstdint>

// One picture plane as the decoder hands it out; the stride may be negative
// (rows stored bottom-up).
struct aYuvPlane {
    const uint8_t* data = nullptr;
    int32_t stride = 0;
};

// A picture in a decoded frame: the three planes, where the picture starts
// inside them, its size, and how far chroma is subsampled (shift 1 halves,
// 0 keeps full resolution) across and down.
struct aYuvPicture {
    aYuvPlane y, u, v;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t chromaShiftX = 1;
    int32_t chromaShiftY = 1;
};

class aYuvConverter {
public:
    // One pixel, 0xAARRGGBB with alpha 255.
    static uint32_t toBgra(int y, int u, int v);

    // The whole picture into `out`, rows `pitch` pixels apart. The caller
    // makes sure the planes hold the picture.
    static void convert(const aYuvPicture& picture, uint32_t* out, int32_t pitch);
};
