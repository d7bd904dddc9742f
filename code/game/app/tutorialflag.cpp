#include "game/app/tutorialflag.h"

#include <atomic>

namespace {

// The loading thread sets it when it makes a level's tutorial.
std::atomic<bool> g_running{false};

} // namespace

bool tutorial_isRunning()
{
    return g_running.load();
}

void tutorial_setRunning(bool running)
{
    g_running.store(running);
}
