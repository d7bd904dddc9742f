// Ogg Theora clips made from generated frames, for the tests, the benchmarks
// and data fixtures: flat colours (optionally a different colour in the lower
// half), an optional moving texture, any picture size and offset inside the
// coded frame, any frame rate and chroma layout. Encoded with libtheoraenc,
// paged with libogg. Every call gives the same bytes for the same arguments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace theoragen {

struct Yuv {
    uint8_t y = 128;
    uint8_t u = 128;
    uint8_t v = 128;
};

// One frame of the picture: rows [0, height / 2) take `top`, the rest `bottom`.
struct Frame {
    Frame() = default;
    Frame(Yuv flat) : top(flat), bottom(flat) {}
    Frame(Yuv upper, Yuv lower) : top(upper), bottom(lower) {}
    Yuv top;
    Yuv bottom;
    // Adds a diagonal luma pattern that moves with the frame number, so the
    // encoder has real detail and motion to code (benchmarks).
    bool textured = false;
};

enum class Chroma { k420, k422, k444 };

struct Options {
    int width = 32; // picture size in pixels
    int height = 32;
    int picX = 0; // picture offset inside the coded frame (0..255)
    int picY = 0; // counted from the top
    // Written into the identification header as given, zero included (the
    // encoder itself runs at 25/1 then), so broken rates can be tested.
    uint32_t fpsNumerator = 25;
    uint32_t fpsDenominator = 1;
    Chroma chroma = Chroma::k420;
    Yuv border{16, 128, 128}; // fills the coded frame outside the picture
    int quality = 48;         // 0..63
    int keyframeInterval = 64;
    int serial = 1;
    // Puts a foreign logical stream (a BOS page with a non-Theora packet, and
    // one data page after the Theora headers) before the Theora stream, as a
    // file with a sound track would have.
    bool foreignStream = false;
};

// A whole Ogg file, one frame per entry; empty when the encoder refuses the
// options (an odd size for the chroma layout, an offset out of range...).
std::string clip(const Options& options, const std::vector<Frame>& frames);

} // namespace theoragen
