// Test entry: every test program runs with HOME and the XDG folders pointing
// into a fresh temporary folder, so no test touches the real user's files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);

    static kbtest::TempDir home("home");
    const std::string h = home.path();
    setenv("HOME", h.c_str(), 1);
    setenv("XDG_DATA_HOME", (h + "/.local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (h + "/.config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (h + "/.cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (h + "/run").c_str(), 1);
    setenv("TMPDIR", (h + "/tmp").c_str(), 1);
    std::filesystem::create_directories(h + "/run");
    std::filesystem::create_directories(h + "/tmp");
    return RUN_ALL_TESTS();
}
