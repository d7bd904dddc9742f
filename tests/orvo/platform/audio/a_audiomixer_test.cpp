#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/platform/audio/a_audiomixer.h"

namespace {

struct Frame {
    int left;
    int right;
};

std::vector<Frame> pull(aAudioMixer& mixer, uint32_t frames)
{
    std::vector<int16_t> raw(frames * 2);
    mixer.mix(raw.data(), frames);
    std::vector<Frame> out;
    for (uint32_t i = 0; i < frames; ++i)
        out.push_back({raw[2 * i], raw[2 * i + 1]});
    return out;
}

aAudioSamplePtr monoLevel(uint32_t frames, int16_t value, int rate = 44100)
{
    return aAudioSample::fromFrames(audiogen::level(frames, 1, value), 1, rate);
}

const uint8_t* bytesOf(const std::string& s)
{
    return reinterpret_cast<const uint8_t*>(s.data());
}

} // namespace

TEST(AudioMixer, FullVolumeAtCentreCopiesTheSampleExactly)
{
    aAudioMixer mixer;
    const auto values = audiogen::ramp(100, 2, 300);
    const int32_t ch = mixer.playSample(aAudioSample::fromFrames(values, 2, 44100), false);
    ASSERT_GE(ch, 0);
    std::vector<int16_t> out(200);
    mixer.mix(out.data(), 100);
    EXPECT_EQ(out, values);
}

TEST(AudioMixer, VolumeScalesTheSamples)
{
    aAudioMixer mixer;
    const int32_t ch = mixer.playSample(monoLevel(1000, 10000), false);
    mixer.setVolume(ch, 63);
    EXPECT_EQ(mixer.getVolume(ch), 63);
    Frame f = pull(mixer, 1)[0];
    EXPECT_EQ(f.left, 2471); // 10000 x 63 / 255 = 2470.6
    EXPECT_EQ(f.right, 2471);

    mixer.setVolume(ch, 0);
    f = pull(mixer, 1)[0];
    EXPECT_EQ(f.left, 0);
    mixer.setVolume(ch, 999);
    EXPECT_EQ(mixer.getVolume(ch), 255);

    // The master volume scales every channel on top.
    mixer.setMasterVolume(51);
    f = pull(mixer, 1)[0];
    EXPECT_EQ(f.left, 2000);
}

TEST(AudioMixer, PanSendsTheSoundLeftOrRight)
{
    aAudioMixer mixer;
    const int32_t ch = mixer.playSample(monoLevel(1000, 12800), false);
    struct {
        int pan, left, right;
    } cases[] = {{0, 12800, 0},       {1, 12800, 100}, {64, 12800, 6400},
                 {128, 12800, 12800}, {255, 0, 12800}, {-5, 12800, 0}};
    for (const auto& c : cases) {
        mixer.setPan(ch, c.pan);
        const Frame f = pull(mixer, 1)[0];
        EXPECT_EQ(f.left, c.left) << "pan " << c.pan;
        EXPECT_EQ(f.right, c.right) << "pan " << c.pan;
    }
    EXPECT_EQ(mixer.getPan(ch), 0);
}

TEST(AudioMixer, SoundWithoutLoopEndsAndFreesItsChannel)
{
    aAudioMixer mixer;
    const int32_t ch = mixer.playSample(monoLevel(10, 1000), false);
    auto out = pull(mixer, 16);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(out[i].left, 1000) << i;
    for (int i = 10; i < 16; ++i)
        EXPECT_EQ(out[i].left, 0) << i;
    EXPECT_FALSE(mixer.isPlaying(ch));
    EXPECT_EQ(mixer.channelsPlaying(), 0);

    // Ending exactly at the end of a pull frees the channel as well.
    const int32_t again = mixer.playSample(monoLevel(10, 1000), false);
    pull(mixer, 10);
    EXPECT_FALSE(mixer.isPlaying(again));
}

TEST(AudioMixer, NormalLoopWrapsToTheFirstFrame)
{
    aAudioMixer mixer;
    const int32_t ch = mixer.playSample(aAudioSample::fromFrames({10, 20, 30}, 1, 44100), true);
    ASSERT_TRUE(mixer.setLoopMode(ch, aAudioMixer::LOOP_NORMAL));
    EXPECT_EQ(mixer.getLoopMode(ch), aAudioMixer::LOOP_NORMAL);
    EXPECT_FALSE(mixer.setLoopMode(ch, 4));
    mixer.setPaused(ch, false);
    const auto out = pull(mixer, 8);
    const int expected[] = {10, 20, 30, 10, 20, 30, 10, 20};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i].left, expected[i]) << i;
    EXPECT_TRUE(mixer.isPlaying(ch));
    EXPECT_EQ(mixer.getPosition(ch), 2u);
}

TEST(AudioMixer, PausedChannelHoldsItsPositionAndCountsAsPlaying)
{
    aAudioMixer mixer;
    const int32_t ch = mixer.playSample(aAudioSample::fromFrames(audiogen::ramp(100, 1, 1), 1, 44100), true);
    EXPECT_TRUE(mixer.getPaused(ch));
    EXPECT_EQ(pull(mixer, 5)[4].left, 0);
    EXPECT_EQ(mixer.getPosition(ch), 0u);
    EXPECT_TRUE(mixer.isPlaying(ch));
    EXPECT_EQ(mixer.channelsPlaying(), 1);

    mixer.setPaused(ch, false);
    pull(mixer, 7);
    EXPECT_EQ(mixer.getPosition(ch), 7u);
    mixer.setPaused(aAudioMixer::ALL_CHANNELS, true);
    pull(mixer, 7);
    EXPECT_EQ(mixer.getPosition(ch), 7u);
    mixer.setPaused(aAudioMixer::ALL_CHANNELS, false);
    EXPECT_EQ(pull(mixer, 1)[0].left, 7);
}

TEST(AudioMixer, PositionMovesInFramesOfTheSoundsOwnRate)
{
    aAudioMixer mixer;
    const int32_t ch = mixer.playSample(aAudioSample::fromFrames(audiogen::ramp(1000, 1, 10), 1, 22050), false);
    EXPECT_EQ(mixer.getFrequency(ch), 22050);
    pull(mixer, 100);
    EXPECT_EQ(mixer.getPosition(ch), 50u);
    ASSERT_TRUE(mixer.setPosition(ch, 500));
    EXPECT_EQ(pull(mixer, 1)[0].left, 5000);
    EXPECT_FALSE(mixer.setPosition(ch, 1000));
    EXPECT_EQ(mixer.getPosition(ch), 500u);
}

TEST(AudioMixer, SlowerSoundsAreInterpolatedBetweenFrames)
{
    aAudioMixer mixer;
    mixer.playSample(aAudioSample::fromFrames({0, 1000, 2000, 3000}, 1, 22050), false);
    const auto out = pull(mixer, 8);
    const int expected[] = {0, 500, 1000, 1500, 2000, 2500, 3000, 3000};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i].left, expected[i]) << i;

    // Twice the output rate: every other frame.
    mixer.playSample(aAudioSample::fromFrames({0, 100, 200, 300, 400, 500}, 1, 88200), false);
    const auto fast = pull(mixer, 4);
    EXPECT_EQ(fast[0].left, 0);
    EXPECT_EQ(fast[1].left, 200);
    EXPECT_EQ(fast[2].left, 400);
    EXPECT_EQ(fast[3].left, 0);
}

TEST(AudioMixer, SixtyFourChannelsPlayTogetherAndTheNextOneIsRefused)
{
    aAudioMixer mixer;
    EXPECT_EQ(mixer.maxChannels(), 64);
    std::vector<int32_t> handles;
    for (int i = 0; i < 64; ++i) {
        handles.push_back(mixer.playSample(monoLevel(100, static_cast<int16_t>(i + 1)), false));
        ASSERT_GE(handles.back(), 0) << i;
    }
    EXPECT_EQ(mixer.channelsPlaying(), 64);
    EXPECT_EQ(mixer.playSample(monoLevel(100, 1), false), -1);
    // Every channel is heard: 1 + 2 + ... + 64.
    EXPECT_EQ(pull(mixer, 1)[0].left, 64 * 65 / 2);
    mixer.stop(handles[10]);
    EXPECT_EQ(pull(mixer, 1)[0].left, 64 * 65 / 2 - 11);
    EXPECT_GE(mixer.playSample(monoLevel(100, 1), false), 0);
    mixer.stop(aAudioMixer::ALL_CHANNELS);
    EXPECT_EQ(mixer.channelsPlaying(), 0);
}

TEST(AudioMixer, LoudSumsAreClippedNotWrapped)
{
    aAudioMixer mixer;
    mixer.playSample(monoLevel(10, 30000), false);
    mixer.playSample(monoLevel(10, 30000), false);
    mixer.playSample(monoLevel(10, -30000), false);
    mixer.playSample(monoLevel(10, -30000), false);
    mixer.playSample(monoLevel(10, -30000), false);
    EXPECT_EQ(pull(mixer, 1)[0].left, -30000);
    aAudioMixer up;
    up.playSample(monoLevel(10, 30000), false);
    up.playSample(monoLevel(10, 30000), false);
    EXPECT_EQ(pull(up, 1)[0].left, 32767);
}

TEST(AudioMixer, StaleHandlesNeverReachTheNextSoundInTheSlot)
{
    aAudioMixer mixer(44100, 1);
    const int32_t first = mixer.playSample(monoLevel(100, 1000), false);
    mixer.stop(first);
    const int32_t second = mixer.playSample(monoLevel(100, 1000), false);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_FALSE(mixer.isPlaying(first));
    EXPECT_FALSE(mixer.setVolume(first, 0));
    EXPECT_FALSE(mixer.stop(first));
    EXPECT_FALSE(mixer.setPaused(first, true));
    EXPECT_EQ(mixer.getPosition(first), 0u);
    EXPECT_TRUE(mixer.isPlaying(second));
    EXPECT_EQ(mixer.getVolume(second), 255);
    EXPECT_FALSE(mixer.isPlaying(-1));
    EXPECT_FALSE(mixer.isPlaying(0x7FFFFFFF));
}

TEST(AudioMixer, ChannelKeepsItsSampleAliveAfterEveryHolderLetItGo)
{
    aAudioMixer mixer;
    aAudioSamplePtr sample = monoLevel(100, 4321);
    std::weak_ptr<const aAudioSample> watch = sample;
    const int32_t ch = mixer.playSample(sample, false);
    sample.reset();
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(pull(mixer, 1)[0].left, 4321);
    mixer.stop(ch);
    EXPECT_TRUE(watch.expired());
}

TEST(AudioMixerStream, PlaysDecodedAsItGoesAndLoops)
{
    aAudioMixer mixer;
    const std::string file = audiogen::wav(audiogen::ramp(3000, 2, 7), 2, 44100);
    const int32_t id = mixer.openStream(bytesOf(file), file.size(), true);
    ASSERT_NE(id, 0);
    const int32_t ch = mixer.playStream(id, false);
    ASSERT_GE(ch, 0);
    EXPECT_EQ(mixer.getLoopMode(ch), aAudioMixer::LOOP_NORMAL);
    const auto out = pull(mixer, 7000);
    for (uint32_t i : {0u, 1u, 2999u, 3000u, 3001u, 6999u}) {
        const int expected = static_cast<int16_t>((i % 3000) * 7);
        EXPECT_EQ(out[i].left, expected) << i;
        EXPECT_EQ(out[i].right, expected) << i;
    }
    EXPECT_TRUE(mixer.isPlaying(ch));
}

TEST(AudioMixerStream, EndsWithoutLoopAndRestartsFromTheBeginning)
{
    aAudioMixer mixer;
    const std::string file = audiogen::wav(audiogen::ramp(500, 1, 5), 1, 22050);
    const int32_t id = mixer.openStream(bytesOf(file), file.size(), false);
    int32_t ch = mixer.playStream(id, false);
    auto out = pull(mixer, 1200);
    EXPECT_EQ(out[2].left, 5); // half the output rate: source frame 1
    EXPECT_EQ(out[998].left, 2495);
    EXPECT_EQ(out[1100].left, 0);
    EXPECT_FALSE(mixer.isPlaying(ch));

    ch = mixer.playStream(id, false);
    pull(mixer, 100);
    ASSERT_TRUE(mixer.stopStream(id));
    EXPECT_FALSE(mixer.isPlaying(ch));
    ch = mixer.playStream(id, false);
    EXPECT_EQ(pull(mixer, 1)[0].left, 0);
    // Playing again while it plays moves it to a new channel.
    const int32_t moved = mixer.playStream(id, false);
    EXPECT_FALSE(mixer.isPlaying(ch));
    EXPECT_TRUE(mixer.isPlaying(moved));
    EXPECT_EQ(mixer.channelsPlaying(), 1);
}

TEST(AudioMixerStream, ClosingAPlayingStreamFreesItsChannel)
{
    aAudioMixer mixer;
    const std::string file = audiogen::ogg(audiogen::sine(44100, 2, 44100, 330.0, 8000), 2, 44100);
    const int32_t id = mixer.openStream(bytesOf(file), file.size(), true);
    const int32_t ch = mixer.playStream(id, false);
    pull(mixer, 2048);
    mixer.closeStream(id);
    EXPECT_FALSE(mixer.isPlaying(ch));
    EXPECT_EQ(mixer.playStream(id, false), -1);
    EXPECT_FALSE(mixer.stopStream(id));
    mixer.closeStream(id);
    EXPECT_EQ(mixer.openStream(nullptr, 0, true), 0);
}

TEST(AudioMixerStream, OggStreamSoundsLikeTheDecodedSample)
{
    aAudioMixer mixer;
    const std::string file = audiogen::ogg(audiogen::sine(30000, 1, 44100, 440.0, 10000), 1, 44100);
    const int32_t id = mixer.openStream(bytesOf(file), file.size(), false);
    mixer.playStream(id, false);
    std::vector<int16_t> streamed(2 * 30000);
    // Odd pull sizes cross the decoder's blocks at awkward places.
    for (uint32_t done = 0; done < 30000;) {
        const uint32_t n = std::min<uint32_t>(30000 - done, 777);
        mixer.mix(streamed.data() + 2 * done, n);
        done += n;
    }
    aAudioMixer reference;
    reference.playSample(aAudioSample::load(bytesOf(file), file.size()), false);
    std::vector<int16_t> whole(2 * 30000);
    reference.mix(whole.data(), 30000);
    EXPECT_EQ(streamed, whole);
}
