// Optional keys of the game's data files (kinds, levels, upgrades, sprites),
// read from the current section: a missing key leaves the value as it stands.
#pragma once

#include <cstdint>

class aOptionsFile;

// Each answers whether the key was there.
bool park_readInt(const aOptionsFile& file, const char* key, int32_t& out);
bool park_readFloat(const aOptionsFile& file, const char* key, float& out);
// The key's value, or `fallback` when the key is missing.
int32_t park_intOr(const aOptionsFile& file, const char* key, int32_t fallback);
