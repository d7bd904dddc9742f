// A generated sound file's bytes, as the sound library takes them.
#pragma once

#include <cstdint>
#include <string>

inline const uint8_t* bytesOf(const std::string& s)
{
    return reinterpret_cast<const uint8_t*>(s.data());
}
