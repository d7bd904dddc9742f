// The byte form of the profiles file: INI text whose every byte is stored as
// a 32-bit little-endian integer, the byte sign-extended ("A" is 41 00 00 00,
// 0xC0 is C0 FF FF FF). A file written by hand as plain one-byte text is read
// too. Pure functions, any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

std::string profilesfile_widen(const std::string& text);

// The text a profiles file holds, in whichever form it came.
struct ProfilesFileText {
    // What the reader parses. A last line evidently cut short is left out.
    std::string text;
    // Plain one-byte text, not the game's own form.
    bool plain = false;
    // What of the bytes could not be taken in as the writer made them, in a
    // few words for the log; empty when nothing.
    std::string damage;
};

// The file is in the four-byte form when at least half of its 4-byte groups
// are sign-extended bytes, zero bytes among them: text without zero bytes is
// never taken for it. A last line without its line end is cut when it is a
// header without "]", and in the four-byte form always (the writer ends every
// line); a person may well end plain text without a line end.
ProfilesFileText profilesfile_decode(const uint8_t* bytes, size_t size);

// A name the file can hold and give back: not empty, no "]" (it would end the
// section name), no control character (line breaks and zero bytes would split
// or cut the line), nothing outside the code page.
bool profilesfile_nameFits(const std::wstring& name);

// One of the keys the writer puts under a player.
bool profilesfile_isPlayerKey(std::string_view key);

// Entries of the "Upgrades" and "Awards" lists past this many are not read
// (their 16-bit getters could not reach them).
constexpr size_t PROFILES_MAX_LIST_ENTRIES = size_t(UINT16_MAX) + 1;

// What of the text the profiles reader cannot take in as it stands, in a few
// words for the log ("3 lines outside any player, the player "Ann" twice");
// empty when every line reads back as written. Lines are read as the INI
// reader reads them; anything the writer would not have written counts:
// lines outside a player, keys it does not know or that repeat, values that
// are no numbers where numbers belong, names cut at a "]", players that
// repeat, levels without their medal. A section makes a player only with a
// name that fits and at least one key of a player; the others are counted
// too, but for a nameless section that holds no line.
std::string profilesfile_unreadable(const std::string& text);
