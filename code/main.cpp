// The kesterby program: the one game object and the entry.
#include <string>

#include "game/game.h"

namespace {
cGame g_game;
} // namespace

int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    return gameMain(g_game, commandLine.c_str());
}
