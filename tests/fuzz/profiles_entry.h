// The entry of the profiles fuzz program, shared with the replay of its corpus
// in game_tests: any bytes as a profiles file. False when an invariant of the
// profiles breaks; crashes and bad memory accesses are found by the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "fuzz/text_format_entries.h"
#include "game/app/profiles.h"
#include "game/app/profilesfile.h"

namespace kbfuzz {

// At most one profile is active and it is the current one; there is a current
// profile whenever there are profiles; names are unique; volumes stay in 0..1.
inline bool profilesHold(const cProfiles& profiles)
{
    std::set<std::wstring> names;
    int active = 0;
    for (size_t i = 0; i < profiles.count(); ++i) {
        const cPlayerProfile* p = profiles.at(i);
        active += p->active;
        if ((p->active && p != profiles.current()) || !names.insert(p->getName()).second)
            return false;
        for (const float v : {p->getSoundVolume(), p->getMusicVolume()})
            if (!(v >= 0.0f && v <= 1.0f))
                return false;
    }
    return active == (profiles.count() ? 1 : 0) && (profiles.current() != nullptr) == (profiles.count() != 0);
}

// The text the profiles of a file give once loaded.
inline std::string profilesTextOf(const std::string& path, bool& holds)
{
    cProfiles profiles;
    profiles.load(path);
    holds = holds && profilesHold(profiles);
    return profiles.toText();
}

// Loaded, saved and loaded again, the profiles keep their text (after the
// first save, which merges names the code page cannot tell apart), and what
// the game wrote reads back whole.
inline bool profiles(const uint8_t* data, size_t size)
{
    const std::string path = writeScratch("profiles.dat", data, size);
    bool holds = true;
    const std::string first = profilesTextOf(path, holds);
    std::remove((path + ".damaged").c_str());

    const std::string again = scratchDir() + "/again.dat";
    const std::string firstBytes = profilesfile_widen(first);
    writeScratch("again.dat", reinterpret_cast<const uint8_t*>(firstBytes.data()), firstBytes.size());
    const std::string second = profilesTextOf(again, holds);
    // Names the code page merged make players that repeat: that read is no whole read either.
    std::remove((again + ".damaged").c_str());
    const std::string secondBytes = profilesfile_widen(second);
    writeScratch("again.dat", reinterpret_cast<const uint8_t*>(secondBytes.data()), secondBytes.size());
    const std::string third = profilesTextOf(again, holds);
    const bool damagedAgain = std::remove((again + ".damaged").c_str()) == 0;
    std::remove(again.c_str());
    return holds && second == third && !damagedAgain;
}

} // namespace kbfuzz
