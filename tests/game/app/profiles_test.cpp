// The profiles file: its exact bytes, what loading makes of odd, damaged and missing files (the fuzz
// corpus included), the rules for new players and their names, and award progress.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "fuzz/profiles_entry.h"
#include "game/app/profiles.h"
#include "game/app/profilesfile.h"
#include "support/file_modes_held.h"
#include "support/file_size_limit.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using namespace kbtest;

namespace {

// The text of a file's bytes; `damaged` when they are not what the game writes.
std::string narrow(const std::string& bytes, bool& damaged)
{
    ProfilesFileText file = profilesfile_decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    damaged = file.plain || !file.damage.empty();
    return std::move(file.text);
}

// "Name stars" of every player, in order.
std::wstring players(const cProfiles& profiles)
{
    std::wstring out;
    for (size_t i = 0; i < profiles.count(); ++i)
        out += (i ? L", " : L"") + profiles.at(i)->getName() + L" " + std::to_wstring(profiles.at(i)->stars);
    return out;
}

} // namespace

TEST(Profiles, FileBytesAreTheIniTextWithEveryByteSignExtended)
{
    TempDir dir;
    cProfiles profiles;
    ASSERT_TRUE(profiles.load(dir.file("profiles.dat")));
    cPlayerProfile* olya = profiles.createProfile(L"\x041E\x043B\x044F", false); // cp1251 CE EB FF
    profiles.select(olya, false);
    olya->stars = 1234;
    olya->doneUpgrades = 2;
    olya->setWidescreen(false);
    olya->setSoundVolume(0.4f);
    olya->setMusicVolume(0.57f);
    olya->setLevelReward("Level10", 2);
    olya->setLevelReward("Level02", 1);
    olya->setUpgradeStage(2, 3);
    olya->setAwardProgress(1, 5, false);
    olya->newAwards = {1, 4};
    olya->tipsMask = 0x80000100u;
    profiles.createProfile(L"Bo", true)->setFxQuality(false);
    ASSERT_TRUE(profiles.save());

    const std::string text = "[\xCE\xEB\xFF]\r\nStars=1234\r\nActive=1\r\nNumDoneUpgrades=2\r\nFullScreen=1\r\n"
                             "WideScreen=0\r\nFXQuality=1\r\nSoundVolume=40\r\nMusicVolume=56\r\n"
                             "Levels=Level02,Level10\r\nRewards=1,2\r\nUpgrades=0,0,3\r\nAwards=0,5\r\n"
                             "NewAwards=1,4\r\nTips=-2147483392\r\n\r\n"
                             "[Bo]\r\nStars=0\r\nActive=0\r\nNumDoneUpgrades=0\r\nFullScreen=1\r\nWideScreen=0\r\n"
                             "FXQuality=0\r\nSoundVolume=40\r\nMusicVolume=56\r\nLevels=\r\nRewards=\r\n"
                             "Upgrades=\r\nAwards=\r\nNewAwards=\r\nTips=0\r\n\r\n";
    const std::string bytes = readFile(dir.file("profiles.dat"));
    EXPECT_EQ(bytes.substr(0, 16), std::string("\x5B\0\0\0\xCE\xFF\xFF\xFF\xEB\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 16));
    EXPECT_EQ(bytes, profilesfile_widen(text));
    bool damaged = true;
    EXPECT_EQ(narrow(bytes, damaged), text);
    EXPECT_FALSE(damaged);
    // Every field comes back: saved again, the file does not change.
    cProfiles again;
    again.load(dir.file("profiles.dat"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("profiles.dat.damaged"))) << "what the game writes reads back whole";
    ASSERT_TRUE(again.save());
    EXPECT_EQ(readFile(dir.file("profiles.dat")), bytes);
    // Stored volumes do not drift from start to start.
    for (int percent = 0; percent <= 100; ++percent) {
        const std::string line = "SoundVolume=" + std::to_string(percent) + "\r\n";
        writeFile(dir.file("v.dat"), profilesfile_widen("[P]\r\n" + line + "\r\n"));
        for (int start = 0; start < 2; ++start) {
            cProfiles profiles;
            profiles.load(dir.file("v.dat"));
            ASSERT_TRUE(profiles.save());
        }
        EXPECT_NE(narrow(readFile(dir.file("v.dat")), damaged).find(line), std::string::npos) << percent;
    }
}

TEST(Profiles, OddValuesAreClampedPairedOrLeftAtTheirDefaults)
{
    TempDir dir;
    LogCapture log;
    writeFile(dir.file("profiles.dat"),
              profilesfile_widen("[Loud]\r\nStars=x7\r\nActive=0\r\nSoundVolume=150\r\nMusicVolume=-5\r\n"
                                 "Levels=A, B,,C\r\nRewards=2 1\r\nUpgrades=4,5\r\nAwards=1,2,3\r\n"
                                 "FullScreen=0\r\nWideScreen=-1\r\nFXQuality=3\r\nTips=5\r\nNumDoneUpgrades=1\r\n\r\n"
                                 "[\xC0\x98]\r\nActive=0\r\nTips=8\r\n\r\n"
                                 "[Loud]\r\nTips=2\r\nNewAwards=\r\nMusicVolume=abc\r\n\r\n"));
    cProfiles profiles;
    profiles.load(dir.file("profiles.dat"));
    ASSERT_EQ(profiles.count(), 2u);
    const cPlayerProfile* loud = profiles.at(0);
    EXPECT_EQ(profiles.current(), loud) << "no section is active: the first one is";
    EXPECT_EQ(loud->stars, 0);
    EXPECT_FLOAT_EQ(loud->getSoundVolume(), 1.0f);
    // The second "Loud" section applies to the same profile.
    EXPECT_FLOAT_EQ(loud->getMusicVolume(), 0.0f);
    EXPECT_EQ(loud->tipsMask, 7u);
    EXPECT_EQ(loud->levelResults, (std::map<std::string, int32_t>{{"A", 2}, {"B", 1}}));
    EXPECT_FALSE(loud->isFullscreen() || loud->isWidescreen());
    EXPECT_TRUE(loud->getFxQuality());
    // Missing keys keep the defaults; the unassigned byte 0x98 reads as U+FFFD.
    const cPlayerProfile* other = profiles.at(1);
    EXPECT_EQ(other->getName(), L"\x0410\xFFFD");
    EXPECT_FLOAT_EQ(other->getSoundVolume(), 0.4f);
    EXPECT_EQ(other->tipsMask, 8u);
    EXPECT_TRUE(log.contains("aOptionsFile. Cannot find key \"Stars\" in current section!"));
    // A name outside the code page is stored with "?".
    profiles.createProfile(L"Zo\x4E2D", false);
    profiles.save();
    cProfiles again;
    again.load(dir.file("profiles.dat"));
    ASSERT_EQ(again.count(), 3u);
    EXPECT_EQ(again.at(2)->getName(), L"Zo?");
}

TEST(Profiles, DamagedAndMissingFilesLoadWhatTheyCanAndAreKept)
{
    const std::string good = profilesfile_widen("[A]\r\nStars=5\r\n\r\n[B]\r\nStars=6\r\nActive=1\r\n\r\n");
    std::string badGroup = good;
    badGroup[4 * 7 + 1] = '\x01'; // inside "Stars" of A
    const std::string cutNumber = profilesfile_widen("[A]\r\nStars=5\r\n\r\n[Bo]\r\nTips=1\r\nStars=98765");
    const std::string damagedFile = "Damaged file @, read what could be read (";
    const std::tuple<const char*, std::string, std::wstring, std::string> cases[] = {
        // what, bytes, players read with their stars, the log line ("@" the path, "" for none)
        {"sound", good, L"A 5, B 6", ""},
        {"a partial group at the end", good + "\x01\x02", L"A 5, B 6",
         damagedFile + "2 byte(s) past the last whole character)"},
        {"cut inside the first header", good.substr(0, 8), L"", damagedFile + "a last line cut short \"[A\")"},
        {"a group that is no sign-extended byte", badGroup, L"A 5, B 6",
         damagedFile + "1 character(s) not stored as the game stores them, the first at byte 28)"},
        // The zero byte ends the text of its line, the first header.
        {"a zero byte", std::string(4, '\0') + good, L"B 6",
         damagedFile + "1 character(s) not stored as the game stores them, the first at byte 0, 1 line(s) outside "
                       "any player, the first \"Stars=5\")"},
        {"junk", std::string("\x7F\x45\x4C\x46\x02\x01\x01\x00 junk", 13), L"",
         "File @ is not in the game's form, read as plain text (1 line(s) outside any player, the first "
         "\"\\x7FELF\\x02\\x01\\x01\")"},
        {"empty", "", L"", ""},
        // A cut last line is not read as whole: no player of a cut header, no value of a cut number.
        {"cut in a header", profilesfile_widen("[A]\r\nStars=5\r\n\r\n[Bo"), L"A 5",
         damagedFile + "a last line cut short \"[Bo\")"},
        {"cut in a number and a character", cutNumber.substr(0, cutNumber.size() - 6), L"A 5, Bo 0",
         damagedFile + "2 byte(s) past the last whole character, a last line cut short \"Stars=987\")"},
        // A section makes a player only with a name the name check takes and a key of a player.
        {"a nameless player", profilesfile_widen("[]\r\nStars=40\r\nActive=1\r\n\r\n[Bo]\r\nStars=1\r\n\r\n"), L"Bo 1",
         "Not all of @ could be read (1 player(s) without a name, the first holding \"Stars=40\")"},
        {"names the game refuses",
         profilesfile_widen("[A\x01]\r\nStars=5\r\n\r\n[B]\r\n\r\n[]\r\n\r\n[C]\r\nStars=2\r\n\r\n"), L"C 2",
         "Not all of @ could be read (1 player name(s) the game refuses, the first \"A\\x01\", 1 player(s) holding "
         "no key of a player, the first \"B\")"},
        // Plain text as a person writes it: line ends of either kind, the last one may be missing.
        {"plain text", "[Ann]\nStars=12\nActive=0\n\n[\xC1\xEE]\r\nActive=1\r\nStars=987", L"Ann 12, \x0411\x043E 987",
         "File @ is not in the game's form, read whole as plain text"},
        // Bytes from 0x80 up are written as control bytes are: the log stays plain text.
        {"a picture's bytes", std::string("\x89PNG\r\n\x1A\n\xC0\xFF", 10), L"",
         "File @ is not in the game's form, read as plain text (3 line(s) outside any player, the first "
         "\"\\x89PNG\")"},
        {"a name of letters and a control byte", profilesfile_widen("[\xC0\xE9\x01]\r\nStars=5\r\n\r\n"), L"",
         "Not all of @ could be read (1 player name(s) the game refuses, the first \"\\xC0\\xE9\\x01\")"},
        {"plain text cut in a header", "[Ann]\nStars=12\n[Bo", L"Ann 12",
         "File @ is not in the game's form, read as plain text (a last line cut short \"[Bo\")"},
        // The file's own backslash is doubled: its four characters "\x80" do not read as an escaped byte.
        {"a backslash of the file's own", "[Ann]\nStars=1\n\\x80\n", L"Ann 1",
         "File @ is not in the game's form, read as plain text (1 line(s) that are no key of a player, the first "
         "\"\\\\x80\")"},
    };
    for (const auto& [what, bytes, read, logged] : cases) {
        SCOPED_TRACE(what);
        TempDir dir;
        LogCapture log;
        const std::string path = dir.file("profiles.dat");
        writeFile(path, bytes);
        cProfiles profiles;
        EXPECT_TRUE(profiles.load(path));
        EXPECT_EQ(players(profiles), read);
        const bool setAside = !logged.empty();
        EXPECT_EQ(std::filesystem::exists(path + ".damaged"), setAside);
        EXPECT_EQ(profiles.takeSetAsideCopy(), setAside ? path + ".damaged" : "");
        EXPECT_EQ(profiles.takeSetAsideCopy(), "") << "told once";
        EXPECT_EQ(profiles.takeUnsavedFile(), "");
        if (setAside) {
            EXPECT_EQ(readFile(path + ".damaged"), bytes);
            std::string line = "cProfiles. " + logged + "; a copy is kept as " + path + ".damaged";
            line.replace(line.find('@'), 1, path);
            EXPECT_TRUE(log.contains(line)) << line;
        }
        // Saving replaces the damaged file by a sound one, which reads back whole.
        EXPECT_TRUE(profiles.save());
        bool damaged = true;
        narrow(readFile(path), damaged);
        EXPECT_FALSE(damaged);
        std::filesystem::remove(path + ".damaged");
        cProfiles again;
        again.load(path);
        EXPECT_EQ(players(again), read);
        EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
    }
    // A missing file gives no players, quietly; a missing folder fails the save, loudly.
    TempDir dir;
    LogCapture log;
    cProfiles none;
    EXPECT_TRUE(none.load(dir.file("Profiles/profiles.dat")));
    EXPECT_EQ(none.count(), 0u);
    EXPECT_EQ(none.current(), nullptr);
    EXPECT_TRUE(log.messages().empty());
    EXPECT_FALSE(none.save());
    EXPECT_TRUE(log.contains("cProfiles. Cannot write file " + dir.file("Profiles/profiles.dat")));
    // Every file of the fuzz corpus keeps the profiles' invariants.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(kbfuzz::scratchDir());
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(std::string(KB_TEST_DATA_DIR) + "/fuzz/profiles")) {
        const std::string bytes = readFile(item.path().string());
        EXPECT_TRUE(kbfuzz::profiles(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << item.path();
        ++files;
    }
    EXPECT_GT(files, 0);
    std::filesystem::current_path(home);
}

TEST(Profiles, GarbageMakesNoPlayerAndAFileThatCannotBeCopiedIsNotWrittenOver)
{
    std::mt19937 random(5253);
    std::string raw(4 << 20, '\0');
    for (char& c : raw)
        c = static_cast<char>(random());
    const std::pair<const char*, std::string> cases[] = {
        {"File @ is not in the game's form, read as plain text (", raw},
        {"Damaged file @, read what could be read (", profilesfile_widen(raw.substr(0, 1 << 20))},
    };
    for (const auto& [logged, bytes] : cases) {
        SCOPED_TRACE(logged);
        TempDir dir;
        LogCapture log;
        const std::string path = dir.file("profiles.dat");
        writeFile(path, bytes);
        cProfiles profiles;
        profiles.load(path);
        EXPECT_EQ(profiles.count(), 0u) << profiles.at(0)->getName();
        EXPECT_EQ(readFile(path + ".damaged"), bytes);
        // One line says what was set aside.
        std::string start = "cProfiles. " + std::string(logged);
        start.replace(start.find('@'), 1, path);
        std::vector<std::string> lines;
        for (const std::string& line : log.messages())
            if (line.starts_with("cProfiles."))
                lines.push_back(line);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(lines[0].starts_with(start)) << lines[0];
        EXPECT_NE(lines[0].find("player name(s) the game refuses"), std::string::npos) << lines[0];
        EXPECT_TRUE(lines[0].ends_with("; a copy is kept as " + path + ".damaged")) << lines[0];
        // Random bytes of every value, and the log line is still plain text.
        EXPECT_TRUE(std::all_of(lines[0].begin(), lines[0].end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
            << lines[0];
    }
    // Without the copy the original stays the only one: it is not written over. The disk is full (files are
    // capped below the copy's size, which holds root too) or the folder is read-only; the log says which.
    TempDir dir;
    LogCapture log;
    const std::string path = dir.file("profiles.dat");
    std::string text = "[]\r\nStars=40\r\n";
    for (int i = 0; i < 4096; ++i)
        text += "Tips=0\r\n";
    const std::string bytes = profilesfile_widen(text + "\r\n");
    const auto loadUncopied = [&](const char* reason) {
        SCOPED_TRACE(reason);
        cProfiles profiles;
        profiles.load(path);
        EXPECT_EQ(profiles.takeSetAsideCopy(), "");
        EXPECT_EQ(profiles.takeUnsavedFile(), path) << "the player is told";
        EXPECT_EQ(profiles.takeUnsavedFile(), "") << "once";
        profiles.createProfile(L"Ann", false);
        EXPECT_FALSE(profiles.save());
        EXPECT_TRUE(readFile(path) == bytes) << "not written over";
        EXPECT_TRUE(log.contains("cProfiles. Not all of " + path +
                                 " could be read (1 player(s) without a name, the first holding \"Stars=40\"); no "
                                 "copy could be kept as " +
                                 path + ".damaged (" + reason + "), so it is not written over"));
        EXPECT_TRUE(log.contains("cProfiles. " + path + " could not be copied aside and is not written"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing left beside it";
    };
    writeFile(path, bytes);
    {
        const FileSizeLimit full(bytes.size() / 4);
        ASSERT_TRUE(full.active());
        loadUncopied(std::strerror(EFBIG));
    }
    if (geteuid() != 0) {
        // Where permissions hold, the folder itself refuses the copy's temporary file.
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        loadUncopied(std::strerror(EACCES));
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }

    // A copy never replaces one of an earlier load, whatever the case of its name, and a folder or a link of a
    // copy's name, even one that points nowhere, is stepped over as a taken name: each copy takes the next free
    // number.
    writeFile(path + ".DAMAGED.2", "kept");
    std::filesystem::create_directory(path + ".damaged.1");
    std::filesystem::create_symlink(dir.file("nowhere"), path + ".damaged.3");
    std::vector<std::string> copies;
    for (const char* stars : {"1", "2", "3"}) {
        writeFile(path, std::string("[Ann]\r\nStars=") + stars + "\r\n");
        cProfiles again;
        again.load(path);
        EXPECT_EQ(again.takeUnsavedFile(), "");
        copies.push_back(again.takeSetAsideCopy());
        EXPECT_TRUE(log.contains("cProfiles. File " + path +
                                 " is not in the game's form, read whole as plain text; a copy is kept as " +
                                 copies.back()));
        EXPECT_TRUE(again.save());
    }
    EXPECT_EQ(copies, (std::vector<std::string>{path + ".damaged", path + ".damaged.4", path + ".damaged.5"}));
    for (size_t i = 0; i < copies.size(); ++i)
        EXPECT_EQ(readFile(copies[i]), "[Ann]\r\nStars=" + std::to_string(i + 1) + "\r\n");
    EXPECT_EQ(readFile(path + ".DAMAGED.2"), "kept");
    EXPECT_TRUE(std::filesystem::is_directory(path + ".damaged.1"));
    EXPECT_EQ(std::filesystem::read_symlink(path + ".damaged.3"), dir.file("nowhere"));
}

// A file on disk that the player may not read, or that cannot be opened, holds players all the same: none are
// read, and it is neither written nor replaced in that run. The player is told once; the log gives the system's
// reason.
TEST(Profiles, AFileThatCannotBeReadIsLeftAsItIs)
{
    const std::string bytes = profilesfile_widen("[Ann]\r\nStars=5\r\nActive=1\r\n\r\n[Bo]\r\nStars=6\r\n\r\n");
    const std::pair<const char*, int> cases[] = {{"mode 000", EACCES}, {"a link that points nowhere", ENOENT}};
    for (const auto& [what, reason] : cases) {
        SCOPED_TRACE(what);
        TempDir dir;
        LogCapture log;
        const std::string path = dir.file("profiles.dat");
        if (reason == EACCES) {
            writeFile(path, bytes);
            std::filesystem::permissions(path, std::filesystem::perms::none);
        } else {
            std::filesystem::create_symlink(dir.file("elsewhere/profiles.dat"), path);
        }
        struct stat before = {};
        ASSERT_EQ(lstat(path.c_str(), &before), 0);
        {
            // Mode 000 holds for root too while the test reads.
            const FileModesHeld held;
            ASSERT_TRUE(held.active());
            cProfiles profiles;
            profiles.load(path);
            EXPECT_EQ(profiles.count(), 0u);
            EXPECT_EQ(profiles.takeSetAsideCopy(), "");
            EXPECT_EQ(profiles.takeUnsavedFile(), path) << "the player is told";
            EXPECT_EQ(profiles.takeUnsavedFile(), "") << "once";
            EXPECT_TRUE(log.contains("cProfiles. Cannot read file " + path + " (" + std::strerror(reason) +
                                     "); it is left as it is and nothing is saved to it in this run"))
                << log.raw();
            profiles.createAndSelect(L"Zoe");
            EXPECT_FALSE(profiles.save());
            EXPECT_TRUE(log.contains("cProfiles. " + path + " could not be read and is not written"));
        }
        struct stat after = {};
        ASSERT_EQ(lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << "not replaced";
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing left beside it";
        if (reason == EACCES) {
            std::filesystem::permissions(path, std::filesystem::perms::owner_read);
            EXPECT_TRUE(readFile(path) == bytes) << "the players are still there";
        }
    }
}

TEST(Profiles, TextThatDoesNotReadBackIsKeptAsideWithOneLineSayingWhatWasLost)
{
    const std::string alice = "[Alice]\r\nStars=5\r\nActive=1\r\nLevels=Level00\r\nRewards=2\r\n\r\n";
    const std::string bob = "[Bob]\r\nStars=7\r\n\r\n";
    const std::tuple<const char*, std::string, size_t, std::string> cases[] = {
        // what, text, players read, what the log line says was lost ("" for nothing)
        {"as the game writes it", bob + alice, 2, ""},
        {"the first header lost its \"[\"", "x" + alice.substr(1) + bob, 1,
         "5 line(s) outside any player, the first \"xAlice]\""},
        {"a later header lost its \"[\"", bob + "x" + alice.substr(1), 1,
         "1 line(s) that are no key of a player, the first \"xAlice]\", 1 key(s) given twice in a player, the "
         "first \"Stars=5\""},
        {"a name holding \"]\"", "[A]n]\r\nStars=1\r\n\r\n", 1, "1 player name(s) cut at \"]\", the first \"[A]n]\""},
        {"a flipped digit and a value cut by \";\"", "[A]\r\nStars=1x4\r\nTips=5;2\r\n\r\n", 1,
         "2 value(s) that do not read back, the first \"Stars=1x4\""},
        {"a number past the range", "[A]\r\nStars=2147483648\r\nTips=-2147483648\r\n\r\n", 1,
         "1 value(s) that do not read back, the first \"Stars=2147483648\""},
        {"a player twice and a comment", bob + ";Stars=1\r\n" + bob, 1,
         "1 line(s) that are no key of a player, the first \";Stars=1\", 1 player(s) given twice, the first \"Bob\""},
        {"levels without their medals", "[A]\r\nLevels=L1, L2\r\nRewards=1\r\n\r\n", 1,
         "1 player(s) whose levels and medals do not pair, the first \"A\""},
    };
    for (const auto& [what, text, players, lost] : cases) {
        SCOPED_TRACE(what);
        TempDir dir;
        LogCapture log;
        const std::string path = dir.file("profiles.dat");
        const std::string bytes = profilesfile_widen(text);
        writeFile(path, bytes);
        cProfiles profiles;
        profiles.load(path);
        EXPECT_EQ(profiles.count(), players);
        if (lost.empty()) {
            EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
            for (const std::string& line : log.messages())
                EXPECT_FALSE(line.starts_with("cProfiles.")) << line;
            continue;
        }
        EXPECT_EQ(readFile(path + ".damaged"), bytes);
        EXPECT_TRUE(log.contains("cProfiles. Not all of " + path + " could be read (" + lost + "); a copy is kept as " +
                                 path + ".damaged"));
        // What the game writes back reads back whole.
        std::filesystem::remove(path + ".damaged");
        ASSERT_TRUE(profiles.save());
        cProfiles again;
        again.load(path);
        EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
    }
}

TEST(Profiles, AQuitRequestStopsALongReadAndTheUnreadFileIsNotWrittenOver)
{
    TempDir dir;
    LogCapture log;
    const std::string path = dir.file("profiles.dat");
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "[P" + std::to_string(i) + "]\r\nStars=1\r\n\r\n";
    const std::string bytes = profilesfile_widen(text);
    writeFile(path, bytes);
    // A termination request waits, held back as during the game's start-up.
    sigset_t term, old;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &term, &old), 0);
    pthread_kill(pthread_self(), SIGTERM);
    cProfiles profiles;
    profiles.load(path);
    EXPECT_EQ(profiles.count(), 255u);
    EXPECT_FALSE(profiles.save());
    const timespec none{0, 0};
    EXPECT_EQ(sigtimedwait(&term, nullptr, &none), SIGTERM);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_TRUE(log.contains("cProfiles. Reading " + path +
                             " stopped after 255 players: the game is ending; the file is left as it is"));
    EXPECT_TRUE(log.contains("cProfiles. " + path + " was not read to its end and is not written"));
    // Without the request the whole file is read.
    cProfiles whole;
    whole.load(path);
    EXPECT_EQ(whole.count(), 1000u);
}

TEST(Profiles, NewPlayersCopyTheCurrentChoicesAndNamesTheFileCannotHoldAreRefused)
{
    cProfiles profiles;
    cPlayerProfile* a = profiles.createProfile(L"a", true);
    a->setMusicVolume(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(a->getMusicVolume(), 0.0f);
    a->setSoundVolume(2.0f);
    a->setFullscreen(false);
    a->setFxQuality(false);
    profiles.select(a, false);
    // The volumes and the display are copied, the effects are not.
    cPlayerProfile* b = profiles.createProfile(L"b", true);
    EXPECT_EQ(b->getSoundVolume(), 1.0f);
    EXPECT_FALSE(b->isFullscreen());
    EXPECT_TRUE(b->getFxQuality());
    EXPECT_EQ(profiles.createProfile(L"b", false), b);
    EXPECT_EQ(profiles.findByName(L"B"), nullptr);
    profiles.select(b, false);
    profiles.deleteProfile(L"nobody");
    profiles.deleteProfile(L"b");
    EXPECT_EQ(profiles.current(), nullptr);
    EXPECT_EQ(profiles.count(), 1u);

    profiles.createProfile(L"Anna", false);
    profiles.createProfile(L"Zo\x4E2D", false); // stored as "Zo?"
    using Check = cProfiles::NameCheck;
    const std::pair<std::wstring, Check> cases[] = {
        {L"", Check::Empty},         {L"anna", Check::Ok},      {L"\x0410\x043D\x044F", Check::Ok},
        {L" Anna ", Check::Ok},      {L"Anna", Check::Taken},   {L"Zo?", Check::Taken},
        {L"a]b", Check::Invalid},    {L"a\rb", Check::Invalid}, {L"a\x0085", Check::Invalid},
        {L"\x4E2D", Check::Invalid}, {L"\xFFFD", Check::Ok}, // the code page's unassigned byte stands for it
    };
    for (const auto& [name, check] : cases)
        EXPECT_EQ(profiles.checkName(name), check) << name;
}

TEST(PlayerProfile, AwardProgressWithGoals)
{
    static std::vector<int> announced;
    announced.clear();
    // Award 2 has goal 3, award 13 (awards earned) goal 2, every other none.
    cPlayerProfile::setAwardHooks(
        {[](uint16_t i) { return i == 2    ? 3
                                 : i == 13 ? 2
                                           : 0; }, [](uint16_t i) { announced.push_back(i); }});
    cPlayerProfile p, quiet;
    p.setAwardProgress(2, 2, true);
    p.setAwardProgress(2, 1, true);
    EXPECT_EQ(p.getAwardProgress(2), 2) << "never goes down";
    p.addAwardProgress(2, 5);
    p.addAwardProgress(2, 1);
    EXPECT_EQ(p.getAwardProgress(2), 7) << "the value past the goal is stored once";
    // Without notification the goal is reached silently.
    quiet.setAwardProgress(2, 3, false);
    EXPECT_TRUE(quiet.newAwards.empty() && quiet.getAwardProgress(13) == 0);
    // The second award earned completes award 13, announced like the others.
    p.awardProgress[2] = 0;
    p.setAwardProgress(2, 3, true);
    EXPECT_EQ(announced, (std::vector<int>{2, 2, 13}));
    EXPECT_EQ(p.newAwards, (std::vector<int32_t>{2, 13, 2}));
    cPlayerProfile::setAwardHooks({});
}
