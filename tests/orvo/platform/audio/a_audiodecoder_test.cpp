#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/platform/audio/a_audiodecoder.h"
#include "orvo/platform/audio/sound_bytes.h"
#include "support/log_capture.h"

namespace {

std::unique_ptr<aAudioDecoder> open(const std::string& file)
{
    return audio_openDecoder(bytesOf(file), file.size());
}

std::vector<int16_t> decodeAll(aAudioDecoder& decoder)
{
    std::vector<int16_t> out, block(1000 * static_cast<size_t>(decoder.channels()));
    while (uint32_t got = decoder.read(block.data(), 1000))
        out.insert(out.end(), block.begin(), block.begin() + got * decoder.channels());
    return out;
}

// Little-endian value of `bytes` bytes written over the file at `at`.
std::string patched(std::string file, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return file;
}

// Root mean square of the difference, relative to the signal's own.
double relativeError(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    double diff = 0, signal = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        diff += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
        signal += double(a[i]) * a[i];
    }
    return std::sqrt(diff / signal);
}

} // namespace

TEST(WavDecoder, PlayableLayoutsComeBackExactlyAfterARewindToo)
{
    // An odd-sized "LIST" chunk (with its pad byte) between the header and "fmt ".
    std::string listed = audiogen::wav({100, 200, 300}, 1, 44100);
    listed.insert(12, std::string("LIST\x03\0\0\0abc\0", 12));
    // The fmt chunk grown to 40 bytes: tag 0xFFFE, extension size 22, sub-format starting with 1.
    std::string extensible = audiogen::wav({5, 6}, 1, 44100);
    extensible.insert(36, std::string("\x16\0\0\0\0\0\0\0\x01", 9) + std::string(15, '\0'));
    extensible = patched(patched(extensible, 16, 40, 4), 20, 0xFFFE, 2);
    const struct {
        const char* what;
        std::string file;
        std::vector<int16_t> values;
    } cases[] = {
        {"16-bit stereo", audiogen::wav(audiogen::ramp(3001, 2, 37), 2, 22050, 16), audiogen::ramp(3001, 2, 37)},
        // Bytes 0x00, 0x80, 0xFF stand for -128, 0, 127 in steps of 256.
        {"8-bit", audiogen::wav({-32768, 0, 32767, 256}, 1, 8000, 8), {-32768, 0, 32512, 256}},
        {"chunk before fmt", listed, {100, 200, 300}},
        {"extensible", extensible, {5, 6}},
        // A data chunk longer than the file keeps the whole frames that exist (half of the last value gone).
        {"long data", patched(audiogen::wav({1, 2, 3, 4}, 2, 44100), 40, 0xFFFFFFF0u, 4).substr(0, 51), {1, 2}},
    };
    for (const auto& c : cases) {
        auto decoder = open(c.file); // reads from the caller's bytes
        ASSERT_TRUE(decoder) << c.what;
        EXPECT_EQ(decodeAll(*decoder), c.values) << c.what;
        EXPECT_TRUE(decoder->rewind() && decodeAll(*decoder) == c.values) << c.what << " after a rewind";
    }
}

TEST(AudioDecoder, UnplayableOrUnknownDataIsRefusedWithAReason)
{
    const std::string six = audiogen::wav({1, 2, 3, 4, 5, 6}, 1, 44100);
    const std::string one = audiogen::wav({1}, 1, 44100);
    const std::string ogg = audiogen::ogg(audiogen::sine(4410, 1, 44100, 440.0, 9000), 1, 44100);
    const struct {
        std::string file;
        const char* message; // the start of the logged line
    } cases[] = {
        {patched(six, 20, 3, 2), "aWavDecoder. Bad WAV data: not PCM"},
        {patched(six, 22, 0, 2), "aWavDecoder. Bad WAV data: only mono and stereo are played"},
        {patched(six, 34, 24, 2), "aWavDecoder. Bad WAV data: only 8 and 16 bit samples are played"},
        {patched(one, 24, 0, 4), "aWavDecoder. Bad WAV data: sample rate out of range"},
        {one.substr(0, 36), "aWavDecoder. Bad WAV data: no data chunk"},
        {audiogen::wav({}, 1, 44100), "aWavDecoder. Bad WAV data: no samples"},
        {ogg.substr(0, 40), "aOggDecoder. Bad Ogg Vorbis data ("},
        {"", "aAudioDecoder. Unknown sound data (0 bytes)"},
    };
    for (const auto& c : cases) {
        kbtest::LogCapture log;
        EXPECT_FALSE(open(c.file)) << c.message;
        EXPECT_NE(log.raw().find(std::string("\t") + c.message), std::string::npos) << c.message;
    }
    EXPECT_FALSE(audio_openDecoder(nullptr, 100));
}

TEST(OggDecoder, DecodesTheWholeToneCloseToTheOriginal)
{
    for (int channels : {1, 2}) {
        const auto values = audiogen::sine(22050, channels, 22050, 440.0, 12000);
        const std::string file = audiogen::ogg(values, channels, 22050, 0.5f);
        auto decoder = open(file);
        ASSERT_TRUE(decoder && decoder->channels() == channels && decoder->rate() == 22050);
        const auto decoded = decodeAll(*decoder);
        EXPECT_EQ(decoded.size(), values.size());
        EXPECT_LT(relativeError(values, decoded), 0.1) << channels << " channels";
        EXPECT_TRUE(decoder->rewind() && decodeAll(*decoder) == decoded);
    }
}
