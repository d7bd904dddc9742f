// The program's entry as the game sees it.
#include <signal.h>

#include "game/app/game.h"
#include "game/park/playstate.h"
#include "game/screens/screenclasses.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_timer.h"

namespace {

// NOTE: a termination signal that comes while the game starts waits until the
// frame loop runs; then the window layer turns it into a close of the
// window, so the settings are written as at any other exit.
void holdTerminationSignals(bool hold)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    pthread_sigmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

} // namespace

int32_t gameMain(cGame& game, const char* commandLine)
{
    a_srand(aTimer::tickCount());
    screens_registerClasses();
    park_registerPlayState();
    holdTerminationSignals(true);
    const int32_t started = game.init("Kesterby", nullptr, commandLine, "Brindlewick");
    if (started == 1) {
        // Another instance runs and keeps the player's files.
        holdTerminationSignals(false);
        return 0;
    }
    int32_t result = 0;
    if (started == 0) {
        holdTerminationSignals(false);
        result = game.run();
    }
    game.shutdown();
    holdTerminationSignals(false);
    return started == 0 ? result : 0;
}
