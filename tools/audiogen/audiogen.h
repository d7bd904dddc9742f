// Sound files made from generated tones, for the tests, the benchmarks and
// data fixtures: WAV with 8- or 16-bit PCM and Ogg Vorbis through libvorbisenc.
// Every function gives the same bytes for the same arguments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace audiogen {

// `frames` frames of a sine wave (amplitude 0..32767), the same on every channel.
std::vector<int16_t> sine(uint32_t frames, int channels, int rate, double hz, int amplitude);
// A constant level, handy for checks on exact sample values.
std::vector<int16_t> level(uint32_t frames, int channels, int16_t value);
// 0, step, 2 step, ... wrapping inside the 16-bit range.
std::vector<int16_t> ramp(uint32_t frames, int channels, int step);

// A RIFF WAVE file; 8-bit files keep the high byte of each value.
std::string wav(const std::vector<int16_t>& values, int channels, int rate, int bits = 16);
// An Ogg Vorbis file (quality -0.1..1.0); empty when the encoder refuses the layout.
std::string ogg(const std::vector<int16_t>& values, int channels, int rate, float quality = 0.3f, int serial = 1);

// Recomputes the checksum of every whole Ogg page, so that damage made on
// purpose reaches the decoder instead of being dropped with its page.
std::string fixOggChecksums(std::string bytes);

} // namespace audiogen
