// Path assigns: a path may begin with an assign name and a colon
// ("data:game.ini"), which is rewritten to that assign's folder before any
// file is touched. Also creates folder paths, deletes files, and makes disk
// copies of files that must exist on disk (a video inside an archive).
// One instance, embedded in the application object; while it exists every
// file function mangles its path through it. Assigns are defined on the main
// thread during start-up; mangling is called from the main and the loading
// thread.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "orvo/app/a_caselessless.h"
#include "orvo/util/a_singleton.h"

class aFileServer : public aSingleton<aFileServer> {
public:
    // Defines the default assigns: "home", "temp" and the special folders.
    aFileServer();
    // Deletes the disk copies and their folder.
    ~aFileServer() override;

    // Defines or replaces an assign; the value is mangled now, so an assign may
    // refer to one defined before it. Names shorter than 2 characters are
    // refused, and so is a second "home".
    void setAssign(const std::string& name, const std::string& value);

    // The path with its leading assign replaced by the assign's value; a path
    // without an assign comes back unchanged (an unknown assign is logged).
    std::string manglePath(const std::string& path) const;

    // anywhere false: a folder exists on disk; true: a folder on disk or
    // inside an archive, or a file.
    bool exists(const std::string& path, bool anywhere = true) const;

    // Creates every missing folder along the path; true when the folder exists afterwards.
    bool makeDir(const std::string& path);

    bool deleteFile(const std::string& path);

    // The executable's folder with a trailing "/".
    static const std::string& getModulePath();
    // The system temp folder with a trailing "/" (not the "temp" assign).
    static std::string getTempPath();

    // The path of a disk copy of the file, made once per path in a folder
    // private to this run; "" when the file cannot be read or copied.
    // Main thread.
    std::string extractToTemp(const std::string& path);

    // Names the folder of the disk copies; set by the application at start-up.
    void setApplicationName(const std::string& name);

private:
    mutable std::mutex m_mutex; // guards the maps and the strings
    std::map<std::string, std::string, aCaselessLess> m_assigns;
    std::map<std::string, std::string, aCaselessLess> m_copies;
    std::string m_tempFolder;
    std::string m_applicationName = "Unnamed";
};
