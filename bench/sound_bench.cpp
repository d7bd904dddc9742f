// Sound library costs: mixing a full set of 64 playing channels and decoding
// a one-minute Ogg Vorbis stream. "x_realtime" is seconds of sound made per
// second of CPU; the share of one core that playback takes is its inverse.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/platform/audio/a_audiosample.h"

namespace {

constexpr int kRate = 44100;
constexpr uint32_t kBlock = 1024; // what the SDL device asks for at a time

const uint8_t* bytesOf(const std::string& s)
{
    return reinterpret_cast<const uint8_t*>(s.data());
}

// A minute of two tones, stereo, at the quality music is usually shipped with.
const std::string& minuteOfMusic()
{
    static const std::string file = [] {
        std::vector<int16_t> values = audiogen::sine(60 * kRate, 2, kRate, 220.0, 9000);
        const std::vector<int16_t> upper = audiogen::sine(60 * kRate, 2, kRate, 1375.0, 4000);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<int16_t>(values[i] + upper[i]);
        return audiogen::ogg(values, 2, kRate, 0.4f);
    }();
    return file;
}

// 64 looping sounds; `rate` other than 44100 makes every channel resample.
void mixChannels(benchmark::State& state, int channels, int rate)
{
    aAudioMixer mixer(kRate, 64);
    std::vector<aAudioSamplePtr> samples;
    for (int i = 0; i < 64; ++i) {
        samples.push_back(aAudioSample::fromFrames(
            audiogen::sine(static_cast<uint32_t>(rate), channels, rate, 200.0 + 37.0 * i, 400), channels, rate));
        const int32_t ch = mixer.playSample(samples.back(), true);
        mixer.setLoopMode(ch, aAudioMixer::LOOP_NORMAL);
        mixer.setPan(ch, (i * 4) % 256);
        mixer.setVolume(ch, 128 + i);
        mixer.setPaused(ch, false);
    }
    std::vector<int16_t> out(kBlock * 2);
    for (auto _ : state) {
        mixer.mix(out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    if (mixer.channelsPlaying() != 64)
        state.SkipWithError("a channel stopped");
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kRate, benchmark::Counter::kIsRate);
}

void BM_Mix64MonoChannels(benchmark::State& state)
{
    mixChannels(state, 1, kRate);
}
void BM_Mix64StereoChannelsResampled(benchmark::State& state)
{
    mixChannels(state, 2, 22050);
}

// The whole minute through the stream path, block by block as a device pulls it.
void BM_StreamOneMinuteOgg(benchmark::State& state)
{
    const std::string& file = minuteOfMusic();
    std::vector<int16_t> out(kBlock * 2);
    for (auto _ : state) {
        aAudioMixer mixer(kRate, 64);
        const int32_t stream = mixer.openStream(bytesOf(file), file.size(), false);
        mixer.playStream(stream, false);
        uint32_t blocks = 0;
        while (mixer.channelsPlaying() > 0) {
            mixer.mix(out.data(), kBlock);
            ++blocks;
        }
        benchmark::DoNotOptimize(blocks);
        mixer.closeStream(stream);
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 60.0, benchmark::Counter::kIsRate);
    state.counters["ogg_kB"] = static_cast<double>(file.size()) / 1024.0;
}

// The same minute decoded at once, as a sample would be.
void BM_DecodeOneMinuteOggAtOnce(benchmark::State& state)
{
    const std::string& file = minuteOfMusic();
    for (auto _ : state) {
        aAudioSamplePtr sample = aAudioSample::load(bytesOf(file), file.size());
        benchmark::DoNotOptimize(sample.get());
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 60.0, benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_Mix64MonoChannels);
BENCHMARK(BM_Mix64StereoChannelsResampled);
BENCHMARK(BM_StreamOneMinuteOgg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOneMinuteOggAtOnce)->Unit(benchmark::kMillisecond);
