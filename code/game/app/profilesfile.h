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

// Entries of the "Upgrades" and "Awards" lists past this many are not read
// (their 16-bit getters could not reach them).
constexpr size_t PROFILES_MAX_LIST_ENTRIES = size_t(UINT16_MAX) + 1;

// What of the text the profiles reader cannot take in as it stands, in a few
// words for the log ("3 lines outside any player, the player "Ann" twice");
// empty when every line reads back as written. Lines are read as the INI
// reader reads them; anything the writer would not have written counts:
// lines outside a player, keys it does not know or that repeat, values that
// are no numbers where numbers belong, names cut at a "]", players that
// repeat, levels without their medal.
std::string profilesfile_unreadable(const std::string& text);
