// Writes a generated tone as a sound file:
//   audiogen wav|ogg OUT SECONDS [HZ=440] [RATE=44100] [CHANNELS=1] [BITS=16]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "audiogen.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s wav|ogg OUT SECONDS [HZ] [RATE] [CHANNELS] [BITS]\n", argv[0]);
        return 2;
    }
    const std::string kind = argv[1];
    const double seconds = std::atof(argv[3]);
    const double hz = argc > 4 ? std::atof(argv[4]) : 440.0;
    const int rate = argc > 5 ? std::atoi(argv[5]) : 44100;
    const int channels = argc > 6 ? std::atoi(argv[6]) : 1;
    const int bits = argc > 7 ? std::atoi(argv[7]) : 16;
    if (seconds <= 0 || rate <= 0 || (channels != 1 && channels != 2) || (kind != "wav" && kind != "ogg")) {
        std::fprintf(stderr, "audiogen: bad arguments\n");
        return 2;
    }
    const auto values = audiogen::sine(static_cast<uint32_t>(seconds * rate), channels, rate, hz, 12000);
    const std::string bytes =
        kind == "wav" ? audiogen::wav(values, channels, rate, bits) : audiogen::ogg(values, channels, rate);
    if (bytes.empty()) {
        std::fprintf(stderr, "audiogen: the encoder refused this layout\n");
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}
