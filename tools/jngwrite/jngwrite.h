// A small JNG writer: the colour goes in as one baseline JPEG stream (libjpeg),
// the alpha channel (when the picture has one) as 8-bit PNG-style samples
// compressed with zlib. Used by the tests and the benchmarks to make real JNG
// files, and by the command-line tool for the game's data. Pictures are ARGB
// words, top row first. Every function gives the same bytes for the same
// arguments; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jngwrite {

enum class Alpha {
    Auto,   // an alpha channel only when some pixel is not opaque
    Always, // an alpha channel even for an opaque picture
    Never,  // colour only; alpha is dropped
};

struct Options {
    int quality = 90; // JPEG quality 1..100; from 90 on without chroma subsampling
    Alpha alpha = Alpha::Auto;
    bool grayscale = false; // one JPEG channel instead of three
};

// A whole JNG file; empty when the size is 0 or the pixel count does not match.
std::string encode(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height, const Options& options = {});

// The chunks of a JNG file without its 8-byte signature (what an MNG embeds).
std::string jngChunks(const std::string& jngFile);

// An MNG of several frames of the same size, each a JNG file made by encode():
// the frames follow one another every `delayMs` and the animation repeats
// forever when `loopForever` is set.
std::string mng(const std::vector<std::string>& jngFrames, uint32_t width, uint32_t height, uint32_t delayMs,
                bool loopForever);

// One chunk: length, type, body and CRC.
std::string chunk(const char type[4], const std::string& body);

// Recomputes the CRC of every whole chunk after the signature, so that damage
// made on purpose reaches the decoders instead of failing the checksum.
std::string fixChunkCrcs(std::string bytes);

} // namespace jngwrite
