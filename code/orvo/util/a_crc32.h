// The name hash: standard CRC-32 of a name's bytes, 0 for the empty name.
// Maps of sprites, sounds and kinds are keyed by it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

uint32_t crc32_string(const char* text);
inline uint32_t crc32_string(const std::string& text) { return crc32_string(text.c_str()); }

// CRC-32 of a byte range (the same table; used for file checksums).
uint32_t crc32_bytes(const void* data, size_t size);
