// The byte form of the profiles file: INI text whose every byte is stored as
// a 32-bit little-endian integer, the byte sign-extended ("A" is 41 00 00 00,
// 0xC0 is C0 FF FF FF). Pure functions, any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

std::string profilesfile_widen(const std::string& text);

// The lowest byte of every 4-byte group (a trailing partial group dropped).
// `damaged` tells whether the bytes cannot be what the writer made: a partial
// group, a group that is not a sign-extended byte, a zero byte, or text that
// stops inside a section (every section ends with an empty line).
std::string profilesfile_narrow(const uint8_t* bytes, size_t size, bool& damaged);
