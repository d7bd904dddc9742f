// The sound library the engine's sound classes call: one process-wide mixer
// with its output, started by audio_init and ended by audio_close. Samples are
// shared handles (null when loading failed); channels and streams are integer
// handles (-1 for no channel, 0 for no stream). Every call is safe from any
// thread; calls made while the library is closed do nothing and answer
// false, 0 or -1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "orvo/platform/audio/a_audiosample.h"

class aAudioBackend;
class aAudioMixer;

constexpr int AUDIO_OUTPUT_NOSOUND = 0; // mixed at the right pace and dropped
constexpr int AUDIO_OUTPUT_DEVICE = 2;  // the system's audio device through SDL
constexpr int32_t AUDIO_FREE_CHANNEL = -1;
constexpr int32_t AUDIO_ALL_CHANNELS = -3;
constexpr int AUDIO_LOOP_OFF = 1;
constexpr int AUDIO_LOOP_NORMAL = 2;

// The output used by the next audio_init.
void audio_setOutput(int output);
int audio_getOutput();
// Starts the mixer (closing a running one first); false when the output cannot be opened.
[[nodiscard]] bool audio_init(int rate, int maxChannels);
void audio_close();
bool audio_isInitialised();

void audio_setSfxMasterVolume(int volume);

[[nodiscard]] aAudioSamplePtr audio_sampleLoad(const uint8_t* bytes, size_t size);
int audio_sampleGetDefaultFrequency(const aAudioSamplePtr& sample);

int32_t audio_playSound(const aAudioSamplePtr& sample, bool paused);
bool audio_stopSound(int32_t channel);
bool audio_isPlaying(int32_t channel);
bool audio_setPaused(int32_t channel, bool paused);
bool audio_getPaused(int32_t channel);
bool audio_setVolume(int32_t channel, int volume);
int audio_getVolume(int32_t channel);
bool audio_setPan(int32_t channel, int pan);
int audio_getPan(int32_t channel);
bool audio_setLoopMode(int32_t channel, int mode);
int audio_getLoopMode(int32_t channel);
uint32_t audio_getCurrentPosition(int32_t channel);
bool audio_setCurrentPosition(int32_t channel, uint32_t frame);
int audio_getChannelsPlaying();
int audio_getMaxChannels();

// Bytes stay owned by the caller and alive until audio_streamClose.
[[nodiscard]] int32_t audio_streamOpen(const uint8_t* bytes, size_t size, bool loop);
void audio_streamClose(int32_t stream);
int32_t audio_streamPlay(int32_t stream, bool paused);
bool audio_streamStop(int32_t stream);

// Makes the backend for an output; null means the output cannot be opened.
// Tests install one that hands out pulled null backends; null restores the
// real choice (SDL for the device, a clocked null backend for no sound).
using aAudioBackendFactory = std::unique_ptr<aAudioBackend> (*)(int output);
void audio_setBackendFactory(aAudioBackendFactory factory);
// The running mixer, null while the library is closed (tests pull frames from it).
std::shared_ptr<aAudioMixer> audio_getMixer();
