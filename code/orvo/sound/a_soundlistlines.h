// FIXME: stand-in until the string list and the resource-manager base land;
// the sound and music managers then take their lists from aBaseManager and
// this file goes.
// The non-empty lines of a list file, for the sound and music managers.
#pragma once

#include <string>
#include <vector>

// Any run of CR and LF ends a line; a zero byte ends the text of its line.
// A file that cannot be read gives no lines (the file layer logs it).
std::vector<std::string> sound_readListLines(const char* path);
