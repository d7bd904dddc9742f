// The game a fuzz program of the game's readers runs in: the real start-up
// (cGame::init and the initial load) on the recording device with scripted
// input, in a home of its own inside the scratch folder, made once for the
// whole run. The program is built with "Data/" beside it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "fuzz/game_entries.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_inputdevice.h"
#include "orvo/sound/a_musicmanager.h"

namespace kbfuzz {

// HOME and the XDG folders inside the scratch folder, before the game reads them.
struct ScratchHome {
    ScratchHome()
    {
        const std::string home = scratchDir() + "/home";
        const std::pair<const char*, std::string> folders[] = {{"HOME", home},
                                                               {"XDG_DATA_HOME", home + "/.local/share"},
                                                               {"XDG_CONFIG_HOME", home + "/.config"},
                                                               {"XDG_CACHE_HOME", home + "/.cache"},
                                                               {"XDG_RUNTIME_DIR", home + "/run"}};
        for (const auto& [name, value] : folders) {
            std::filesystem::create_directories(value);
            setenv(name, value.c_str(), 1);
        }
        const std::string user = home + "/.local/share/Brindlewick/Kesterby/";
        std::filesystem::create_directories(user);
        // No splash: the initial load starts at once.
        std::ofstream(user + "config.ini") << "[COMMON]\r\nLoadingScene=0\r\nSplashScreen=0\r\n";
    }
};

class FuzzGame : public cGame {
public:
    using aApplication::runFrame;
};

struct GameWorld {
    GameWorld()
    {
        auto recorder = std::make_unique<aGpuDeviceRecorder>();
        auto input = std::make_unique<aScriptedInputDevice>();
        device = recorder.get();
        keys = input.get();
        game.setEventPump(std::make_unique<aScriptedEventPump>());
        game.useDevices(std::move(recorder), std::move(input));
        game.setFixedFrameTime(1.0f / 60.0f);
        game.setFixedLoaderSeed(1);
        if (game.init("Kesterby", nullptr, "", "Brindlewick") != 0)
            std::abort();
        // Frames until the initial load has ended, clicking through its wait.
        int32_t result = 0;
        for (int i = 0; i < 5000 && game.loadingThreadRuns(); ++i) {
            keys->setCursor(512, 384);
            keys->setButton(0, true);
            game.runFrame(result);
            keys->setButton(0, false);
            game.runFrame(result);
        }
        if (game.loadingThreadRuns())
            std::abort();
        // The music would only take the processor from the readers.
        if (aMusicManager* music = game.getMusicManager())
            music->stop(false);
        device->clearRecords();
    }
    GameStage stage() { return GameStage{game, device}; }

    ScratchHome home; // first: the game reads the folders when it is made
    FuzzGame game;
    aGpuDeviceRecorder* device = nullptr;
    aScriptedInputDevice* keys = nullptr;
};

// The hooks of a fuzz program of a game reader.
#define KB_GAME_FUZZ_TARGET(entry)                                                                                     \
    static kbfuzz::GameWorld* kbFuzzGame = nullptr;                                                                    \
    extern "C" int LLVMFuzzerInitialize(int*, char***)                                                                 \
    {                                                                                                                  \
        kbFuzzGame = new kbfuzz::GameWorld;                                                                            \
        /* The game's lists of kinds and pools are globals that go at exit: it is shut down before. */                 \
        std::atexit([] { kbFuzzGame->game.shutdown(); });                                                              \
        return 0;                                                                                                      \
    }                                                                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                                            \
    {                                                                                                                  \
        kbfuzz::GameStage stage = kbFuzzGame->stage();                                                                 \
        if (!entry(stage, data, size))                                                                                 \
            __builtin_trap();                                                                                          \
        return 0;                                                                                                      \
    }

} // namespace kbfuzz
