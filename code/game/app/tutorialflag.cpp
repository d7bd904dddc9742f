#include "game/app/tutorialflag.h"

namespace {

bool g_running = false;

} // namespace

bool tutorial_isRunning()
{
    return g_running;
}

void tutorial_setRunning(bool running)
{
    g_running = running;
}
