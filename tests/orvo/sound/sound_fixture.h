// Shared by the sound tests: the library on pulled outputs, a folder with
// generated sound files, the log and a record of the items managers load.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audiogen.h"
#include "orvo/sound/a_soundlibrary.h"
#include "support/log_capture.h"
#include "support/pulled_audio.h"
#include "support/temp_dir.h"

namespace kbtest {

class SoundTest : public ::testing::Test {
protected:
    SoundTest() { loaded.clear(); }
    // In the destructor, so that the sound objects of derived fixtures are gone.
    ~SoundTest() override { EXPECT_EQ(sound_libraryLiveObjects(), 0) << "a sound object was left alive"; }
    // A second of the level 10000 at 44100 Hz, mono.
    std::string levelWav() { return write("level.wav", audiogen::wav(audiogen::level(44100, 1, 10000), 1, 44100)); }
    // value = frame number, 1000 frames at 1000 Hz, so a frame is a millisecond.
    std::string rampWav() { return write("ramp.wav", audiogen::wav(audiogen::ramp(1000, 1, 1), 1, 1000)); }
    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        writeFile(path, bytes);
        return path;
    }
    // A manager's item-loaded hook.
    static void remember(const char* item) { loaded.push_back(item); }
    static inline std::vector<std::string> loaded;
    PulledAudio audio;
    TempDir dir{"sound"};
    LogCapture log;
};

} // namespace kbtest
