#include "game/park/optionalkeys.h"

#include <cstdlib>

#include "orvo/app/a_optionsfile.h"

bool park_readInt(const aOptionsFile& file, const char* key, int32_t& out)
{
    if (!file.findKey(key))
        return false;
    out = file.getInt(key);
    return true;
}

bool park_readFloat(const aOptionsFile& file, const char* key, float& out)
{
    if (!file.findKey(key))
        return false;
    out = std::strtof(file.getString(key).c_str(), nullptr);
    return true;
}

int32_t park_intOr(const aOptionsFile& file, const char* key, int32_t fallback)
{
    return file.findKey(key) ? file.getInt(key) : fallback;
}
