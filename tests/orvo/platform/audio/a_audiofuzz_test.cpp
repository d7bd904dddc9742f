// Damaged sound files fed to the sample loader and to a playing stream: nothing
// may crash, hang or read out of bounds, and every refusal leaves a log line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/platform/audio/a_audiosample.h"
#include "orvo/platform/audio/sound_bytes.h"
#include "support/log_capture.h"

namespace {

// Deterministic damage: flipped bytes, an extreme 32-bit value over a length
// or a count, a cut, or a piece repeated (pages or chunks out of order).
struct Mutator {
    uint32_t state;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        return state ^= state << 5;
    }
    uint32_t below(size_t n) { return n ? next() % static_cast<uint32_t>(n) : 0; }

    std::string mutate(std::string s)
    {
        static const uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFF};
        const uint32_t kind = below(4);
        if (kind == 0) {
            for (uint32_t i = 0, n = 1 + below(8); i < n && !s.empty(); ++i)
                s[below(s.size())] ^= static_cast<char>(1 + below(255));
        } else if (kind == 1) {
            const uint32_t v = extremes[below(6)];
            const size_t at = below(s.size() > 4 ? s.size() - 4 : 1);
            for (int i = 0; i < 4 && at + i < s.size(); ++i)
                s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        } else if (kind == 2) {
            s.resize(below(s.size()));
        } else {
            const size_t from = below(s.size());
            s.insert(below(s.size()), s.substr(from, std::min<size_t>(s.size() - from, 1 + below(512))));
        }
        return s;
    }
};

uintmax_t logSize(const kbtest::LogCapture& log)
{
    std::error_code ec;
    return std::filesystem::file_size(log.path(), ec);
}

// Loads the bytes as a sample and plays them as a looping stream for a
// bounded number of frames.
void exercise(const std::string& bytes, const kbtest::LogCapture& log, int* refused)
{
    const uintmax_t before = logSize(log);
    aAudioSamplePtr sample = aAudioSample::load(bytesOf(bytes), bytes.size());
    if (!sample) {
        ++*refused;
        EXPECT_GT(logSize(log), before) << "a refused file left no log line";
    } else {
        EXPECT_GT(sample->frameCount(), 0u);
    }

    aAudioMixer mixer;
    const int32_t id = mixer.openStream(bytesOf(bytes), bytes.size(), true);
    mixer.playStream(id, false);
    std::vector<int16_t> out(2 * 4096);
    for (int i = 0; i < 8 && mixer.channelsPlaying() > 0; ++i)
        mixer.mix(out.data(), 4096);
    mixer.closeStream(id);
}

// Cuts of `seed` every `cutStep` bytes, then `rounds` mutations. With `resealed`, Ogg pages get valid
// checksums after the damage, so it reaches the Vorbis decoder rather than the page reader alone.
void fuzz(const std::string& seed, uint32_t rounds, uint32_t start, bool resealed = false, size_t cutStep = 0)
{
    kbtest::LogCapture log;
    int refused = 0;
    for (size_t len = 0; cutStep && len < seed.size(); len += cutStep)
        exercise(seed.substr(0, len), log, &refused);
    Mutator m{start};
    for (uint32_t round = 0; round < rounds; ++round) {
        std::string bytes = m.mutate(seed);
        // Now and then a second mutation on top of the first.
        if (m.below(4) == 0)
            bytes = m.mutate(bytes);
        if (resealed)
            bytes = audiogen::fixOggChecksums(bytes);
        exercise(bytes, log, &refused);
    }
    // The mutations must reach the decoders' error paths, not only the happy one.
    EXPECT_GT(refused, 0);
}

} // namespace

TEST(AudioFuzz, DamagedWavFiles)
{
    fuzz(audiogen::wav(audiogen::sine(600, 2, 22050, 500.0, 9000), 2, 22050, 16), 1500, 0x1234567);
    fuzz(audiogen::wav(audiogen::sine(900, 1, 8000, 300.0, 9000), 1, 8000, 8), 1500, 0xBADC0DE);
    fuzz(audiogen::wav(audiogen::ramp(40, 2, 99), 2, 44100), 0, 0, false, 1);
}

// Resealed, the damage reaches the packets behind valid pages as well.
TEST(AudioFuzz, DamagedOggFiles)
{
    const std::string mono = audiogen::ogg(audiogen::sine(8000, 1, 22050, 440.0, 9000), 1, 22050, 0.1f);
    const std::string stereo = audiogen::ogg(audiogen::sine(6000, 2, 44100, 660.0, 9000), 2, 44100, 0.1f);
    fuzz(mono, 3000, 0xC0FFEE);
    fuzz(stereo, 3000, 0xFEED, false, std::max<size_t>(1, stereo.size() / 300));
    fuzz(mono, 3000, 0xACE, true);
}
