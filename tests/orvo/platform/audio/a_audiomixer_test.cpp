#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/platform/audio/a_audiomixer.h"
#include "orvo/platform/audio/sound_bytes.h"

namespace {

// The next frames, left and right interleaved.
std::vector<int16_t> mixed(aAudioMixer& mixer, uint32_t frames)
{
    std::vector<int16_t> out(frames * 2);
    mixer.mix(out.data(), frames);
    return out;
}

// The left values only.
std::vector<int> lefts(aAudioMixer& mixer, uint32_t frames)
{
    const auto both = mixed(mixer, frames);
    std::vector<int> out(frames);
    for (uint32_t i = 0; i < frames; ++i)
        out[i] = both[2 * i];
    return out;
}

int left(aAudioMixer& mixer)
{
    return lefts(mixer, 1)[0];
}

aAudioSamplePtr mono(std::vector<int16_t> values, int rate = 44100)
{
    return aAudioSample::fromFrames(std::move(values), 1, rate);
}

aAudioSamplePtr monoLevel(uint32_t frames, int16_t value)
{
    return mono(audiogen::level(frames, 1, value));
}

// Each value played once, at the same time.
void playLevels(aAudioMixer& mixer, std::initializer_list<int16_t> values)
{
    mixer.stop(aAudioMixer::ALL_CHANNELS);
    for (int16_t v : values)
        mixer.playSample(monoLevel(10, v), false);
}

} // namespace

TEST(AudioMixer, FullVolumeAtCentreCopiesTheSampleExactlyAndVolumeAndPanScaleEachSide)
{
    aAudioMixer mixer;
    const auto values = audiogen::ramp(100, 2, 300);
    ASSERT_GE(mixer.playSample(aAudioSample::fromFrames(values, 2, 44100), false), 0);
    EXPECT_EQ(mixed(mixer, 100), values);

    const int32_t ch = mixer.playSample(monoLevel(1000, 12800), false);
    // 12800 x 63 / 255 = 3162.4; out-of-range volumes and pans are clamped.
    const int cases[][4] = {{255, 0, 12800, 0},  {255, 64, 12800, 6400}, {255, 255, 0, 12800},
                            {255, -5, 12800, 0}, {63, 128, 3162, 3162},  {999, 128, 12800, 12800}};
    for (const auto& [volume, pan, l, r] : cases) {
        mixer.setVolume(ch, volume);
        mixer.setPan(ch, pan);
        EXPECT_EQ(mixed(mixer, 1), (std::vector<int16_t>{int16_t(l), int16_t(r)})) << volume << " " << pan;
    }
    EXPECT_EQ(mixer.getVolume(ch), 255);
    // The master volume scales every channel on top.
    mixer.setMasterVolume(51);
    EXPECT_EQ(left(mixer), 2560);
}

TEST(AudioMixer, SoundsEndOrLoopPausedOnesHoldTheirPlaceAndPositionsCountTheirOwnFrames)
{
    aAudioMixer mixer;
    // Without a loop the sound ends and frees its channel, also at the very end of a pull.
    int32_t ch = mixer.playSample(monoLevel(10, 1000), false);
    EXPECT_EQ(lefts(mixer, 10), std::vector<int>(10, 1000));
    EXPECT_EQ(mixer.channelsPlaying(), 0);
    EXPECT_EQ(left(mixer), 0);

    ch = mixer.playSample(mono({10, 20, 30}), true);
    ASSERT_TRUE(mixer.setLoopMode(ch, aAudioMixer::LOOP_NORMAL));
    EXPECT_FALSE(mixer.setLoopMode(ch, 4));
    // Paused: silent, still playing, not moving.
    EXPECT_EQ(lefts(mixer, 3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(mixer.getPosition(ch), 0u);
    EXPECT_EQ(mixer.channelsPlaying(), 1);
    mixer.setPaused(ch, false);
    EXPECT_EQ(lefts(mixer, 8), (std::vector<int>{10, 20, 30, 10, 20, 30, 10, 20}));
    EXPECT_EQ(mixer.getPosition(ch), 2u);
    mixer.setPaused(aAudioMixer::ALL_CHANNELS, true);
    lefts(mixer, 7);
    EXPECT_EQ(mixer.getPosition(ch), 2u);
    mixer.setPaused(aAudioMixer::ALL_CHANNELS, false);
    EXPECT_EQ(left(mixer), 30);
    mixer.stop(ch);

    // Positions count the sound's own frames; at half the output rate it is interpolated between them.
    ch = mixer.playSample(mono({0, 1000, 2000, 3000}, 22050), false);
    EXPECT_EQ(mixer.getFrequency(ch), 22050);
    EXPECT_EQ(lefts(mixer, 6), (std::vector<int>{0, 500, 1000, 1500, 2000, 2500}));
    EXPECT_EQ(mixer.getPosition(ch), 3u);
    ASSERT_TRUE(mixer.setPosition(ch, 1));
    EXPECT_EQ(left(mixer), 1000);
    EXPECT_FALSE(mixer.setPosition(ch, 4));
}

TEST(AudioMixer, SixtyFourChannelsPlayTogetherAndTheNextOneIsRefused)
{
    aAudioMixer mixer;
    std::vector<int32_t> handles;
    for (int16_t i = 1; i <= 64; ++i)
        ASSERT_GE(handles.emplace_back(mixer.playSample(monoLevel(100, i), false)), 0) << i;
    EXPECT_EQ(mixer.playSample(monoLevel(100, 1), false), -1);
    // Every channel is heard: 1 + 2 + ... + 64.
    EXPECT_EQ(left(mixer), 64 * 65 / 2);
    mixer.stop(handles[10]);
    EXPECT_GE(mixer.playSample(monoLevel(100, 1), false), 0);

    // Loud sums are clipped, not wrapped.
    playLevels(mixer, {30000, 30000, -30000, -30000, -30000});
    EXPECT_EQ(left(mixer), -30000);
    playLevels(mixer, {30000, 30000});
    EXPECT_EQ(left(mixer), 32767);
}

TEST(AudioMixer, StaleHandlesNeverReachTheNextSoundInTheSlotAndChannelsKeepTheirSamples)
{
    aAudioMixer mixer(44100, 1);
    const int32_t first = mixer.playSample(monoLevel(100, 1000), false);
    mixer.stop(first);
    const int32_t second = mixer.playSample(monoLevel(100, 1000), false);
    ASSERT_GE(second, 0);
    EXPECT_FALSE(mixer.isPlaying(first) || mixer.setVolume(first, 0) || mixer.stop(first) ||
                 mixer.setPaused(first, true) || mixer.isPlaying(-1) || mixer.isPlaying(0x7FFFFFFF));
    EXPECT_EQ(mixer.getVolume(second), 255);

    // The channel keeps its sample alive after every holder let it go.
    aAudioSamplePtr sample = monoLevel(100, 4321);
    std::weak_ptr<const aAudioSample> watch = sample;
    mixer.stop(second);
    const int32_t ch = mixer.playSample(sample, false);
    sample.reset();
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(left(mixer), 4321);
    mixer.stop(ch);
    EXPECT_TRUE(watch.expired());
}

TEST(AudioMixerStream, PlaysDecodedAsItGoesLoopsOrEndsAndRestarts)
{
    aAudioMixer mixer;
    const std::string looped = audiogen::wav(audiogen::ramp(3000, 2, 7), 2, 44100);
    const int32_t id = mixer.openStream(bytesOf(looped), looped.size(), true);
    int32_t ch = mixer.playStream(id, false);
    ASSERT_GE(ch, 0);
    const auto out = mixed(mixer, 7000);
    for (uint32_t i : {0u, 1u, 2999u, 3000u, 3001u, 6999u}) {
        const int16_t expected = static_cast<int16_t>((i % 3000) * 7);
        EXPECT_TRUE(out[2 * i] == expected && out[2 * i + 1] == expected) << i;
    }
    mixer.closeStream(id);

    const std::string once = audiogen::wav(audiogen::ramp(500, 1, 5), 1, 22050);
    const int32_t other = mixer.openStream(bytesOf(once), once.size(), false);
    ch = mixer.playStream(other, false);
    EXPECT_EQ(lefts(mixer, 1200)[2], 5); // half the output rate: source frame 1
    EXPECT_FALSE(mixer.isPlaying(ch));

    ch = mixer.playStream(other, false);
    lefts(mixer, 100);
    ASSERT_TRUE(mixer.stopStream(other));
    EXPECT_FALSE(mixer.isPlaying(ch));
    ch = mixer.playStream(other, false);
    EXPECT_EQ(left(mixer), 0) << "restarted from the first frame";
    // Playing again while it plays moves it to a new channel.
    const int32_t moved = mixer.playStream(other, false);
    EXPECT_TRUE(!mixer.isPlaying(ch) && mixer.isPlaying(moved));
    EXPECT_EQ(mixer.channelsPlaying(), 1);
}

TEST(AudioMixerStream, OggStreamSoundsLikeTheDecodedSampleAndClosingFreesItsChannel)
{
    aAudioMixer mixer;
    const std::string file = audiogen::ogg(audiogen::sine(30000, 1, 44100, 440.0, 10000), 1, 44100);
    const int32_t id = mixer.openStream(bytesOf(file), file.size(), false);
    const int32_t ch = mixer.playStream(id, false);
    std::vector<int16_t> streamed;
    for (uint32_t done = 0; done < 30000; done += 777) { // odd pulls cross the decoder's blocks at awkward places
        const auto part = mixed(mixer, std::min<uint32_t>(30000 - done, 777));
        streamed.insert(streamed.end(), part.begin(), part.end());
    }
    aAudioMixer reference;
    reference.playSample(aAudioSample::load(bytesOf(file), file.size()), false);
    EXPECT_EQ(streamed, mixed(reference, 30000));

    // Closed while it plays again.
    const int32_t again = mixer.playStream(id, false);
    mixed(mixer, 2048);
    EXPECT_TRUE(mixer.isPlaying(again) && !mixer.isPlaying(ch));
    mixer.closeStream(id);
    EXPECT_FALSE(mixer.isPlaying(again));
    EXPECT_EQ(mixer.playStream(id, false), -1);
    EXPECT_FALSE(mixer.stopStream(id));
    mixer.closeStream(id); // twice is harmless
    EXPECT_EQ(mixer.openStream(nullptr, 0, true), 0);
}
