// A process saving the profiles in a loop is killed at random moments; after every kill the file holds
// one whole save, the last one or an earlier one. KB_PROFILES_KILL_ROUNDS sets the number of kills (200).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "game/app/profiles.h"
#include "support/temp_dir.h"

namespace {

constexpr int kPlayers = 5;
constexpr int kAwards = 300;

// Save k: every player has k in every award, so a file mixing two saves or cut short shows at once.
void fill(cProfiles& profiles, int32_t k)
{
    for (int i = 0; i < kPlayers; ++i)
        profiles.createProfile(L"\x0418\x0433\x0440\x043E\x043A " + std::to_wstring(i), false)
            ->awardProgress.assign(kAwards, k);
}

// The save number the profiles hold, or -1 when they are no whole save.
int32_t saveNumber(const cProfiles& profiles)
{
    if (profiles.count() != kPlayers || profiles.at(0)->awardProgress.empty())
        return -1;
    const int32_t k = profiles.at(0)->awardProgress[0];
    for (int i = 0; i < kPlayers; ++i)
        if (profiles.at(i)->awardProgress != std::vector<int32_t>(kAwards, k))
            return -1;
    return k;
}

} // namespace

TEST(ProfilesKill, AKilledSaveLeavesOneWholeSave)
{
    kbtest::TempDir dir;
    const std::string path = dir.file("profiles.dat");
    cProfiles first;
    first.load(path);
    fill(first, 0);
    ASSERT_TRUE(first.save());

    std::mt19937 random(25);
    std::uniform_int_distribution<useconds_t> delayMicros(0, 4000);
    const char* rounds = std::getenv("KB_PROFILES_KILL_ROUNDS");
    const int kills = rounds && std::atoi(rounds) > 0 ? std::atoi(rounds) : 200;
    int32_t last = 0;
    for (int round = 0; round < kills; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) { // saves forever, from the last whole save on
            cProfiles profiles;
            profiles.load(path);
            int32_t k = std::max(saveNumber(profiles), 0);
            if (write(ready[1], "1", 1) == 1)
                while (fill(profiles, ++k), profiles.save()) {
                }
            _exit(3);
        }
        close(ready[1]);
        char byte = 0;
        const bool started = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        usleep(delayMicros(random));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(started && WIFSIGNALED(status)) << "the saving child ended on its own";
        cProfiles check;
        check.load(path);
        const int32_t k = saveNumber(check);
        ASSERT_GE(k, last);
        ASSERT_FALSE(std::filesystem::exists(path + ".damaged"));
        last = k;
        // The temporary file of the write that the kill cut short went with the load.
        for (const auto& item : std::filesystem::directory_iterator(dir.path()))
            ASSERT_EQ(item.path(), path);
    }
}
