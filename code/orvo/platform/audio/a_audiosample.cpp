#include "orvo/platform/audio/a_audiosample.h"

#include "orvo/platform/audio/a_audiodecoder.h"
#include "orvo/util/a_log.h"

namespace {
// Positions are 32-bit frame counts; a sample never grows past them.
constexpr uint64_t kMaxFrames = 0x7FFFFFFF;
} // namespace

aAudioSamplePtr aAudioSample::load(const uint8_t* bytes, size_t size)
{
    std::unique_ptr<aAudioDecoder> decoder = audio_openDecoder(bytes, size);
    if (!decoder)
        return nullptr;
    const size_t channels = static_cast<size_t>(decoder->channels());
    std::vector<int16_t> values;
    constexpr uint32_t kBlock = 8192;
    for (;;) {
        const size_t used = values.size();
        if (used / channels + kBlock > kMaxFrames)
            break;
        values.resize(used + kBlock * channels);
        const uint32_t got = decoder->read(values.data() + used, kBlock);
        values.resize(used + got * channels);
        if (got == 0)
            break;
    }
    if (values.empty()) {
        a_log("aAudioSample. No samples in the sound data");
        return nullptr;
    }
    return fromFrames(std::move(values), decoder->channels(), decoder->rate());
}

aAudioSamplePtr aAudioSample::fromFrames(std::vector<int16_t> values, int channels, int rate)
{
    if ((channels != 1 && channels != 2) || rate <= 0 || values.size() < static_cast<size_t>(channels))
        return nullptr;
    auto sample = std::shared_ptr<aAudioSample>(new aAudioSample());
    sample->m_channels = channels;
    sample->m_rate = rate;
    sample->m_frames = static_cast<uint32_t>(values.size() / static_cast<size_t>(channels));
    values.resize(static_cast<size_t>(sample->m_frames) * static_cast<size_t>(channels));
    sample->m_values = std::move(values);
    return sample;
}
