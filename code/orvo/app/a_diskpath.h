// Disk look-ups shared by the file functions and the file server. Data paths
// may be written with "\" and in any case; on disk the exact name is tried
// first, then a name that differs only in ASCII case. Any thread.
#pragma once

#include <cstdint>
#include <string>

// The path with every "\" read as "/".
std::string diskpath_toSlashes(std::string path);

// The path as it stands on disk: the exact text when it exists; otherwise each
// component that does not exist is replaced by the entry of its folder that
// matches it ignoring case (the smallest such name when there are several).
// Components that match nothing are kept as given, so the result also names
// where a new file would go.
std::string diskpath_resolve(const std::string& path);

// Opens a regular file for reading (never blocks on a pipe or a device).
// The descriptor, or -1 with errno set; `size` gets the file's length.
int diskpath_openFile(const std::string& path, uint64_t* size);
