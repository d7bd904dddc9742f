// Turns a picture (PNG, JPEG or BMP) into a JNG file:
//   jngwrite IN OUT [QUALITY=90] [alpha|noalpha]
// Without the last argument the JNG gets an alpha channel only when some
// pixel of the picture is not opaque.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "jngwrite.h"
#include "orvo/platform/gpu/a_gpuimage.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s IN OUT [QUALITY] [alpha|noalpha]\n", argv[0]);
        return 2;
    }
    jngwrite::Options options;
    if (argc > 3)
        options.quality = std::atoi(argv[3]);
    if (argc > 4)
        options.alpha = std::string(argv[4]) == "alpha" ? jngwrite::Alpha::Always : jngwrite::Alpha::Never;
    if (options.quality < 1 || options.quality > 100) {
        std::fprintf(stderr, "jngwrite: quality must be 1..100\n");
        return 2;
    }

    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    aGpuPicture picture;
    if (bytes.empty() || gpu_decodeImage(bytes.data(), bytes.size(), picture) != aGpuResult::Ok) {
        std::fprintf(stderr, "jngwrite: cannot read a picture from %s\n", argv[1]);
        return 1;
    }
    const std::string jng = jngwrite::encode(picture.pixels, picture.width, picture.height, options);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(jng.data(), static_cast<std::streamsize>(jng.size()));
    return out && !jng.empty() ? 0 : 1;
}
