#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/platform/audio/a_audiodecoder.h"
#include "orvo/platform/audio/a_audiosample.h"
#include "support/log_capture.h"

namespace {

const uint8_t* bytesOf(const std::string& s)
{
    return reinterpret_cast<const uint8_t*>(s.data());
}

std::vector<int16_t> decodeAll(aAudioDecoder& decoder)
{
    std::vector<int16_t> out;
    std::vector<int16_t> block(1000 * static_cast<size_t>(decoder.channels()));
    while (uint32_t got = decoder.read(block.data(), 1000))
        out.insert(out.end(), block.begin(), block.begin() + got * decoder.channels());
    return out;
}

void setLe32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
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

TEST(WavDecoder, SixteenBitFramesComeBackExactly)
{
    const auto values = audiogen::ramp(3001, 2, 37);
    const std::string file = audiogen::wav(values, 2, 22050, 16);
    auto decoder = audio_openDecoder(bytesOf(file), file.size());
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->channels(), 2);
    EXPECT_EQ(decoder->rate(), 22050);
    EXPECT_EQ(decodeAll(*decoder), values);
    ASSERT_TRUE(decoder->rewind());
    EXPECT_EQ(decodeAll(*decoder), values);
}

TEST(WavDecoder, EightBitSamplesAreUnsignedAroundTheMiddle)
{
    // Bytes 0x00, 0x80, 0xFF stand for -128, 0, 127 in steps of 256.
    const std::vector<int16_t> values{-32768, 0, 32767, 256};
    const std::string file = audiogen::wav(values, 1, 8000, 8);
    auto decoder = audio_openDecoder(bytesOf(file), file.size());
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decodeAll(*decoder), (std::vector<int16_t>{-32768, 0, 32512, 256}));
}

TEST(WavDecoder, ChunksBeforeAndAfterTheFormatAreSkipped)
{
    std::string file = audiogen::wav({100, 200, 300}, 1, 44100);
    // An odd-sized "LIST" chunk (with its pad byte) between the header and "fmt ".
    const std::string extra = std::string("LIST") + std::string("\x03\0\0\0", 4) + "abc" + std::string(1, '\0');
    file.insert(12, extra);
    auto decoder = audio_openDecoder(bytesOf(file), file.size());
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decodeAll(*decoder), (std::vector<int16_t>{100, 200, 300}));
}

TEST(WavDecoder, ExtensibleFormatWithPcmIsRead)
{
    std::string file = audiogen::wav({5, 6}, 1, 44100);
    // fmt chunk grown to 40 bytes: tag 0xFFFE, extension size 22, sub-format starting with 1.
    std::string ext(24, '\0');
    ext[0] = 22;
    ext[8] = 1;
    file.insert(36, ext);
    setLe32(file, 16, 40);
    file[20] = static_cast<char>(0xFE);
    file[21] = static_cast<char>(0xFF);
    auto decoder = audio_openDecoder(bytesOf(file), file.size());
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decodeAll(*decoder), (std::vector<int16_t>{5, 6}));
}

TEST(WavDecoder, DataChunkLongerThanTheFileKeepsTheWholeFramesThatExist)
{
    std::string file = audiogen::wav({1, 2, 3, 4}, 2, 44100);
    setLe32(file, 40, 0xFFFFFFF0u);
    file.resize(file.size() - 1); // half of the last value gone
    auto decoder = audio_openDecoder(bytesOf(file), file.size());
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decodeAll(*decoder), (std::vector<int16_t>{1, 2}));
}

TEST(WavDecoder, UnplayableLayoutsAreRefusedWithAReason)
{
    struct Case {
        const char* what;
        size_t offset;
        uint16_t value;
        const char* message;
    } cases[] = {
        {"float samples", 20, 3, "aWavDecoder. Bad WAV data: not PCM"},
        {"three channels", 22, 3, "aWavDecoder. Bad WAV data: only mono and stereo are played"},
        {"24 bits", 34, 24, "aWavDecoder. Bad WAV data: only 8 and 16 bit samples are played"},
        {"no channels", 22, 0, "aWavDecoder. Bad WAV data: only mono and stereo are played"},
    };
    for (const Case& c : cases) {
        kbtest::LogCapture log;
        std::string file = audiogen::wav({1, 2, 3, 4, 5, 6}, 1, 44100);
        file[c.offset] = static_cast<char>(c.value & 0xFF);
        file[c.offset + 1] = static_cast<char>(c.value >> 8);
        EXPECT_FALSE(audio_openDecoder(bytesOf(file), file.size())) << c.what;
        EXPECT_TRUE(log.contains(c.message)) << c.what;
    }
    kbtest::LogCapture log;
    std::string noRate = audiogen::wav({1}, 1, 44100);
    setLe32(noRate, 24, 0);
    EXPECT_FALSE(audio_openDecoder(bytesOf(noRate), noRate.size()));
    std::string noData = audiogen::wav({1}, 1, 44100).substr(0, 36);
    EXPECT_FALSE(audio_openDecoder(bytesOf(noData), noData.size()));
    std::string empty = audiogen::wav({}, 1, 44100);
    EXPECT_FALSE(audio_openDecoder(bytesOf(empty), empty.size()));
    EXPECT_TRUE(log.contains("aWavDecoder. Bad WAV data: sample rate out of range"));
    EXPECT_TRUE(log.contains("aWavDecoder. Bad WAV data: no data chunk"));
    EXPECT_TRUE(log.contains("aWavDecoder. Bad WAV data: no samples"));
}

TEST(AudioDecoder, UnknownOrMissingDataIsLogged)
{
    kbtest::LogCapture log;
    const std::string junk = "ID3\x03 not a sound at all";
    EXPECT_FALSE(audio_openDecoder(bytesOf(junk), junk.size()));
    EXPECT_FALSE(audio_openDecoder(nullptr, 100));
    EXPECT_FALSE(audio_openDecoder(bytesOf(junk), 0));
    EXPECT_TRUE(log.contains("aAudioDecoder. Unknown sound data (23 bytes)"));
    EXPECT_TRUE(log.contains("aAudioDecoder. Unknown sound data (0 bytes)"));
}

TEST(OggDecoder, DecodesTheWholeToneCloseToTheOriginal)
{
    for (int channels : {1, 2}) {
        const auto values = audiogen::sine(22050, channels, 22050, 440.0, 12000);
        const std::string file = audiogen::ogg(values, channels, 22050, 0.5f);
        ASSERT_FALSE(file.empty());
        auto decoder = audio_openDecoder(bytesOf(file), file.size());
        ASSERT_TRUE(decoder);
        EXPECT_EQ(decoder->channels(), channels);
        EXPECT_EQ(decoder->rate(), 22050);
        const auto decoded = decodeAll(*decoder);
        EXPECT_EQ(decoded.size(), values.size());
        EXPECT_LT(relativeError(values, decoded), 0.1) << channels << " channels";
        ASSERT_TRUE(decoder->rewind());
        EXPECT_EQ(decodeAll(*decoder), decoded);
    }
}

TEST(OggDecoder, BrokenHeadersAreRefused)
{
    kbtest::LogCapture log;
    const std::string file = audiogen::ogg(audiogen::sine(4410, 1, 44100, 440.0, 9000), 1, 44100);
    const std::string head = file.substr(0, 40);
    EXPECT_FALSE(audio_openDecoder(bytesOf(head), head.size()));
    const std::string magicOnly = "OggS";
    EXPECT_FALSE(audio_openDecoder(bytesOf(magicOnly), magicOnly.size()));
    bool logged = false;
    for (const auto& m : log.messages())
        logged = logged || m.rfind("aOggDecoder. Bad Ogg Vorbis data (", 0) == 0;
    EXPECT_TRUE(logged);
}

TEST(AudioSample, LoadKeepsEveryFrameAndItsRate)
{
    const auto values = audiogen::ramp(20000, 1, 3);
    const std::string file = audiogen::wav(values, 1, 11025);
    aAudioSamplePtr sample = aAudioSample::load(bytesOf(file), file.size());
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->frameCount(), 20000u);
    EXPECT_EQ(sample->rate(), 11025);
    EXPECT_EQ(std::vector<int16_t>(sample->values(), sample->values() + 20000), values);
}
