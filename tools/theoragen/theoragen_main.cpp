// Writes a clip of flat-colour frames as an Ogg Theora file:
//   theoragen OUT WIDTH HEIGHT FRAMES [FPS_NUM=25] [FPS_DEN=1] [420|422|444] [Y,U,V ...]
// The colours given are used in turn, one frame each (mid gray when none).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "theoragen.h"

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s OUT WIDTH HEIGHT FRAMES [FPS_NUM] [FPS_DEN] [420|422|444] [Y,U,V ...]\n",
                     argv[0]);
        return 2;
    }
    theoragen::Options options;
    options.width = std::atoi(argv[2]);
    options.height = std::atoi(argv[3]);
    const int count = std::atoi(argv[4]);
    if (argc > 5)
        options.fpsNumerator = static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10));
    if (argc > 6)
        options.fpsDenominator = static_cast<uint32_t>(std::strtoul(argv[6], nullptr, 10));
    if (argc > 7) {
        const std::string chroma = argv[7];
        if (chroma == "422")
            options.chroma = theoragen::Chroma::k422;
        else if (chroma == "444")
            options.chroma = theoragen::Chroma::k444;
        else if (chroma != "420") {
            std::fprintf(stderr, "theoragen: chroma must be 420, 422 or 444\n");
            return 2;
        }
    }
    std::vector<theoragen::Yuv> colours;
    for (int a = 8; a < argc; ++a) {
        unsigned y = 0, u = 0, v = 0;
        if (std::sscanf(argv[a], "%u,%u,%u", &y, &u, &v) != 3 || y > 255 || u > 255 || v > 255) {
            std::fprintf(stderr, "theoragen: bad colour '%s'\n", argv[a]);
            return 2;
        }
        colours.push_back({static_cast<uint8_t>(y), static_cast<uint8_t>(u), static_cast<uint8_t>(v)});
    }
    if (colours.empty())
        colours.push_back({});
    if (count <= 0) {
        std::fprintf(stderr, "theoragen: bad frame count\n");
        return 2;
    }
    std::vector<theoragen::Frame> frames;
    for (int i = 0; i < count; ++i)
        frames.emplace_back(colours[static_cast<size_t>(i) % colours.size()]);
    const std::string bytes = theoragen::clip(options, frames);
    if (bytes.empty()) {
        std::fprintf(stderr, "theoragen: the encoder refused these options\n");
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}
