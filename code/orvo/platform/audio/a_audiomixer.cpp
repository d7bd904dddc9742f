#include "orvo/platform/audio/a_audiomixer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kIndexBits = 8;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr uint32_t kGenerationMask = 0x7FFFFF; // keeps handles positive

int32_t makeHandle(uint32_t generation, size_t index)
{
    return static_cast<int32_t>((generation << kIndexBits) | static_cast<uint32_t>(index));
}

// Process-wide, so a handle kept across a close and a new start of the
// library does not reach a sound of the new mixer.
std::atomic<int32_t> g_nextStream{1};
std::atomic<uint32_t> g_generationSeed{0};

int clampByte(int v)
{
    return std::clamp(v, 0, 255);
}

// Full level on the near side; the far side falls off linearly.
float leftGain(int pan)
{
    return pan <= 128 ? 1.0f : static_cast<float>(255 - pan) / 127.0f;
}
float rightGain(int pan)
{
    return pan >= 128 ? 1.0f : static_cast<float>(pan) / 128.0f;
}

} // namespace

aAudioMixer::aAudioMixer(int rate, int maxChannels)
    : m_rate(rate > 0 ? rate : 44100), m_channels(static_cast<size_t>(std::clamp(maxChannels, 1, MAX_CHANNELS)))
{
    const uint32_t seed = g_generationSeed.fetch_add(0x1000) & kGenerationMask;
    for (Channel& c : m_channels)
        c.generation = seed;
}

aAudioMixer::~aAudioMixer() = default;

int aAudioMixer::channelsPlaying() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(
        std::count_if(m_channels.begin(), m_channels.end(), [](const Channel& c) { return c.used; }));
}

void aAudioMixer::setMasterVolume(int volume)
{
    std::lock_guard lock(m_mutex);
    m_masterVolume = clampByte(volume);
}

int aAudioMixer::masterVolume() const
{
    std::lock_guard lock(m_mutex);
    return m_masterVolume;
}

void aAudioMixer::setStep(Channel& channel, int sourceRate) const
{
    channel.stepFrames = static_cast<uint32_t>(sourceRate / m_rate);
    channel.stepFraction = static_cast<uint32_t>(sourceRate % m_rate);
}

inline void aAudioMixer::advance(const Channel& channel, uint64_t* frame, uint32_t* fraction) const
{
    *frame += channel.stepFrames;
    *fraction += channel.stepFraction;
    if (*fraction >= static_cast<uint32_t>(m_rate)) {
        *fraction -= static_cast<uint32_t>(m_rate);
        ++*frame;
    }
}

aAudioMixer::Channel* aAudioMixer::find(int32_t handle)
{
    if (handle < 0)
        return nullptr;
    const uint32_t index = static_cast<uint32_t>(handle) & kIndexMask;
    const uint32_t generation = static_cast<uint32_t>(handle) >> kIndexBits;
    if (index >= m_channels.size())
        return nullptr;
    Channel& c = m_channels[index];
    return c.used && c.generation == generation ? &c : nullptr;
}

const aAudioMixer::Channel* aAudioMixer::find(int32_t handle) const
{
    return const_cast<aAudioMixer*>(this)->find(handle);
}

aAudioMixer::Channel* aAudioMixer::claim(int32_t* handle)
{
    for (size_t i = 0; i < m_channels.size(); ++i) {
        Channel& c = m_channels[i];
        if (c.used)
            continue;
        const uint32_t generation = (c.generation + 1) & kGenerationMask;
        c = Channel{};
        c.generation = generation;
        c.used = true;
        *handle = makeHandle(generation, i);
        return &c;
    }
    *handle = -1;
    return nullptr;
}

void aAudioMixer::release(Channel& channel)
{
    if (channel.stream) {
        auto it = m_streams.find(channel.streamId);
        if (it != m_streams.end())
            it->second.channel = -1;
    }
    channel.used = false;
    channel.paused = false;
    channel.sample.reset();
    channel.stream = nullptr;
    channel.streamId = 0;
}

int32_t aAudioMixer::playSample(const aAudioSamplePtr& sample, bool paused)
{
    if (!sample)
        return -1;
    std::lock_guard lock(m_mutex);
    int32_t handle = -1;
    Channel* c = claim(&handle);
    if (!c)
        return -1;
    c->sample = sample;
    c->paused = paused;
    setStep(*c, sample->rate());
    return handle;
}

int32_t aAudioMixer::openStream(const uint8_t* bytes, size_t size, bool loop)
{
    std::unique_ptr<aAudioStream> stream = aAudioStream::open(bytes, size, loop);
    if (!stream)
        return 0;
    std::lock_guard lock(m_mutex);
    int32_t id = g_nextStream.fetch_add(1);
    if (id <= 0) { // wrapped after two billion streams
        g_nextStream = 2;
        id = 1;
    }
    m_streams[id] = Stream{std::move(stream), -1};
    return id;
}

void aAudioMixer::closeStream(int32_t stream)
{
    std::lock_guard lock(m_mutex);
    auto it = m_streams.find(stream);
    if (it == m_streams.end())
        return;
    if (Channel* c = find(it->second.channel))
        release(*c);
    m_streams.erase(it);
}

int32_t aAudioMixer::playStream(int32_t stream, bool paused)
{
    std::lock_guard lock(m_mutex);
    auto it = m_streams.find(stream);
    if (it == m_streams.end())
        return -1;
    if (Channel* old = find(it->second.channel))
        release(*old);
    int32_t handle = -1;
    Channel* c = claim(&handle);
    if (!c)
        return -1;
    it->second.stream->restart();
    it->second.channel = handle;
    c->stream = it->second.stream.get();
    c->streamId = stream;
    c->paused = paused;
    setStep(*c, c->stream->rate());
    c->loopMode = c->stream->loops() ? LOOP_NORMAL : LOOP_OFF;
    return handle;
}

bool aAudioMixer::stopStream(int32_t stream)
{
    std::lock_guard lock(m_mutex);
    auto it = m_streams.find(stream);
    if (it == m_streams.end())
        return false;
    if (Channel* c = find(it->second.channel))
        release(*c);
    return true;
}

bool aAudioMixer::stop(int32_t channel)
{
    std::lock_guard lock(m_mutex);
    if (channel == ALL_CHANNELS) {
        for (Channel& c : m_channels)
            if (c.used)
                release(c);
        return true;
    }
    Channel* c = find(channel);
    if (!c)
        return false;
    release(*c);
    return true;
}

bool aAudioMixer::isPlaying(int32_t channel) const
{
    std::lock_guard lock(m_mutex);
    return find(channel) != nullptr;
}

bool aAudioMixer::setPaused(int32_t channel, bool paused)
{
    std::lock_guard lock(m_mutex);
    if (channel == ALL_CHANNELS) {
        for (Channel& c : m_channels)
            if (c.used)
                c.paused = paused;
        return true;
    }
    Channel* c = find(channel);
    if (!c)
        return false;
    c->paused = paused;
    return true;
}

bool aAudioMixer::getPaused(int32_t channel) const
{
    std::lock_guard lock(m_mutex);
    const Channel* c = find(channel);
    return c && c->paused;
}

bool aAudioMixer::setVolume(int32_t channel, int volume)
{
    std::lock_guard lock(m_mutex);
    Channel* c = find(channel);
    if (!c)
        return false;
    c->volume = clampByte(volume);
    return true;
}

int aAudioMixer::getVolume(int32_t channel) const
{
    std::lock_guard lock(m_mutex);
    const Channel* c = find(channel);
    return c ? c->volume : 0;
}

bool aAudioMixer::setPan(int32_t channel, int pan)
{
    std::lock_guard lock(m_mutex);
    Channel* c = find(channel);
    if (!c)
        return false;
    c->pan = clampByte(pan);
    return true;
}

int aAudioMixer::getPan(int32_t channel) const
{
    std::lock_guard lock(m_mutex);
    const Channel* c = find(channel);
    return c ? c->pan : 0;
}

bool aAudioMixer::setLoopMode(int32_t channel, int mode)
{
    std::lock_guard lock(m_mutex);
    Channel* c = find(channel);
    if (!c || c->stream || (mode != LOOP_OFF && mode != LOOP_NORMAL))
        return false;
    c->loopMode = mode;
    return true;
}

int aAudioMixer::getLoopMode(int32_t channel) const
{
    std::lock_guard lock(m_mutex);
    const Channel* c = find(channel);
    return c ? c->loopMode : 0;
}

uint32_t aAudioMixer::getPosition(int32_t channel) const
{
    std::lock_guard lock(m_mutex);
    const Channel* c = find(channel);
    return c ? static_cast<uint32_t>(c->frame) : 0;
}

bool aAudioMixer::setPosition(int32_t channel, uint32_t frame)
{
    std::lock_guard lock(m_mutex);
    Channel* c = find(channel);
    if (!c || !c->sample || frame >= c->sample->frameCount())
        return false;
    c->frame = frame;
    c->fraction = 0;
    return true;
}

int aAudioMixer::getFrequency(int32_t channel) const
{
    std::lock_guard lock(m_mutex);
    const Channel* c = find(channel);
    if (!c)
        return 0;
    return c->sample ? c->sample->rate() : c->stream->rate();
}

void aAudioMixer::mixSample(Channel& channel, float* acc, uint32_t frames)
{
    const aAudioSample& sample = *channel.sample;
    const int16_t* values = sample.values();
    const uint32_t count = sample.frameCount();
    const bool loop = channel.loopMode == LOOP_NORMAL;
    const bool stereo = sample.channels() == 2;
    const float volume = static_cast<float>(channel.volume) / 255.0f * (static_cast<float>(m_masterVolume) / 255.0f);
    const float left = volume * leftGain(channel.pan);
    const float right = volume * rightGain(channel.pan);
    const float perFraction = 1.0f / static_cast<float>(m_rate);

    uint64_t frame = channel.frame;
    uint32_t fraction = channel.fraction;
    for (uint32_t f = 0; f < frames; ++f) {
        if (frame >= count) {
            if (!loop) {
                release(channel);
                return;
            }
            frame %= count;
        }
        const uint32_t i = static_cast<uint32_t>(frame);
        const uint32_t j = i + 1 < count ? i + 1 : (loop ? 0 : i);
        const float t = static_cast<float>(fraction) * perFraction;
        if (stereo) {
            const float l0 = values[2 * i], l1 = values[2 * j];
            const float r0 = values[2 * i + 1], r1 = values[2 * j + 1];
            acc[2 * f] += (l0 + (l1 - l0) * t) * left;
            acc[2 * f + 1] += (r0 + (r1 - r0) * t) * right;
        } else {
            const float s0 = values[i], s1 = values[j];
            const float s = s0 + (s1 - s0) * t;
            acc[2 * f] += s * left;
            acc[2 * f + 1] += s * right;
        }
        advance(channel, &frame, &fraction);
    }
    if (frame >= count) {
        if (!loop) {
            release(channel);
            return;
        }
        frame %= count;
    }
    channel.frame = frame;
    channel.fraction = fraction;
}

void aAudioMixer::mixStream(Channel& channel, float* acc, uint32_t frames)
{
    aAudioStream& stream = *channel.stream;
    const bool stereo = stream.channels() == 2;
    const float volume = static_cast<float>(channel.volume) / 255.0f * (static_cast<float>(m_masterVolume) / 255.0f);
    const float left = volume * leftGain(channel.pan);
    const float right = volume * rightGain(channel.pan);
    const float perFraction = 1.0f / static_cast<float>(m_rate);

    uint64_t frame = channel.frame;
    uint32_t fraction = channel.fraction;
    const uint64_t first = frame;
    const uint64_t moves = frames - 1;
    const uint64_t last = first + channel.stepFrames * moves + (fraction + channel.stepFraction * moves) / m_rate;
    const int16_t* values = nullptr;
    const uint32_t held = stream.window(first, static_cast<uint32_t>(last - first + 2), &values);
    for (uint32_t f = 0; f < frames; ++f) {
        const uint64_t i = frame - first;
        if (i >= held) {
            release(channel);
            return;
        }
        const uint64_t j = i + 1 < held ? i + 1 : i;
        const float t = static_cast<float>(fraction) * perFraction;
        if (stereo) {
            const float l0 = values[2 * i], l1 = values[2 * j];
            const float r0 = values[2 * i + 1], r1 = values[2 * j + 1];
            acc[2 * f] += (l0 + (l1 - l0) * t) * left;
            acc[2 * f + 1] += (r0 + (r1 - r0) * t) * right;
        } else {
            const float s0 = values[i], s1 = values[j];
            const float s = s0 + (s1 - s0) * t;
            acc[2 * f] += s * left;
            acc[2 * f + 1] += s * right;
        }
        advance(channel, &frame, &fraction);
    }
    channel.frame = frame;
    channel.fraction = fraction;
}

void aAudioMixer::mix(int16_t* out, uint32_t frames)
{
    if (!out || frames == 0)
        return;
    std::lock_guard lock(m_mutex);
    m_acc.assign(static_cast<size_t>(frames) * 2, 0.0f);
    for (Channel& c : m_channels) {
        if (!c.used || c.paused)
            continue;
        if (c.sample)
            mixSample(c, m_acc.data(), frames);
        else if (c.stream)
            mixStream(c, m_acc.data(), frames);
    }
    for (size_t i = 0; i < m_acc.size(); ++i)
        out[i] = static_cast<int16_t>(std::clamp(std::lrint(m_acc[i]), -32768L, 32767L));
}
