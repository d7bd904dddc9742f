// Folders the system hands the engine: the user's and the shared special
// folders (XDG base and user directories), the executable's folder, the temp
// folder, and private folders for temporary copies. The file server is the
// only caller; any thread may call.
#pragma once

#include <string>

enum class aSystemFolder {
    Profile, // the home folder
    Documents,
    Music,
    Videos,
    Desktop,
    StartMenu,       // launcher entries
    Programs,        // launcher entries
    AppData,         // per-user application data
    CommonDocuments, // the shared "common" folders: none exist on Linux
    CommonMusic,
    CommonVideos,
    CommonStartMenu, // system-wide launcher entries
    CommonPrograms,
    CommonAppData, // system-wide application data
};

// The folder without a trailing separator, or "" when the system has none.
// The folder is not created and may not exist yet.
std::string system_getFolder(aSystemFolder which);

// The executable's folder with a trailing "/" (computed once per process).
const std::string& system_getModuleFolder();

// The temp folder with a trailing "/": $TMPDIR when it names a folder, else "/tmp/".
std::string system_getTempFolder();

// Creates a fresh folder only the current user may enter, named `prefix`
// followed by six random characters. The path without a trailing separator,
// or "" when it cannot be made.
std::string system_makePrivateFolder(const std::string& prefix);
