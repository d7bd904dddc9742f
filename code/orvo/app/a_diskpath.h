// Disk look-ups shared by the file functions and the file server. Data paths
// may be written with "\" and in any case; on disk the exact name is tried
// first, then a name that differs only in ASCII case. Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The path with every "\" read as "/".
std::string diskpath_toSlashes(std::string path);

// The path as it stands on disk: the exact text when it exists; otherwise each
// component that does not exist is replaced by the entry of its folder that
// matches it ignoring case (the smallest such name when there are several).
// Components that match nothing are kept as given, so the result also names
// where a new file would go.
std::string diskpath_resolve(const std::string& path);

// The entry of `folder` whose name equals `name` ignoring ASCII case (the
// smallest such name when there are several), or "" when none does.
std::string diskpath_findCaseless(const std::string& folder, const std::string& name);

// Opens a regular file for reading (never blocks on a pipe or a device).
// The descriptor, or -1 with errno set; `size` gets the file's length.
int diskpath_openFile(const std::string& path, uint64_t* size);

// While one lives, its thread lists each folder once for the look-ups that
// miss an exact name, and reuses the listing: for a batch of look-ups in data
// folders that nothing changes meanwhile (a loading routine probing sheets
// and archives that are not there). A name added after its folder was listed
// is still found when written exactly. Scopes do not nest: an inner one
// leaves the outer one's listings in use.
class aFolderListingScope {
public:
    aFolderListingScope();
    ~aFolderListingScope();
    aFolderListingScope(const aFolderListingScope&) = delete;
    aFolderListingScope& operator=(const aFolderListingScope&) = delete;

private:
    std::unordered_map<std::string, std::vector<std::string>> m_listings; // folder -> entry names
    bool m_active = false;
    friend std::string diskpath_findCaseless(const std::string& folder, const std::string& name);
};
