#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "orvo/app/a_basemanager.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

using Strings = std::vector<std::string>;

namespace {

// Items are lines "<file> <anything>"; loads are noted "folder|line|list", unloads "line|list".
class RecordingManager : public aBaseManager {
public:
    void loadItem(const std::string& folder, const std::string& line, const std::string& listName) override
    {
        loads.push_back(folder + "|" + line + "|" + listName);
        if (line == "first.png") // an item that queues another while the tasks run
            AddFileToTask(folder, "second.png", listName);
    }
    std::string getItemFile(const std::string& line) override { return line.substr(0, line.find(' ')); }
    bool unloadItem(const std::string& line, const std::string& listName) override
    {
        unloads.push_back(line + "|" + listName);
        return true;
    }
    Strings loads, unloads;
};

class BaseManagerTest : public testing::Test {
protected:
    std::string list(const std::string& name, const std::string& text)
    {
        kbtest::writeFile(dir.file(name), text);
        return dir.file(name);
    }
    long count(const std::string& message) const { return std::ranges::count(log.messages(), message); }
    kbtest::TempDir dir{"manager"};
    kbtest::LogCapture log;
    RecordingManager manager;
};

} // namespace

TEST_F(BaseManagerTest, ListsAreReadFromTheirOwnFolder)
{
    const std::string path = list("sub/items.lst", "a.png 1\r\nb.png 2\n\nc.png 3");
    manager.loadList(path, "menu");
    const std::string sub = dir.path() + "/sub/|";
    EXPECT_EQ(manager.loads, (Strings{sub + "a.png 1|menu", sub + "b.png 2|menu", sub + "c.png 3|menu"}));
    // Whatever the current folder, the item lies beside its list.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    manager.AddListToTask(path, "");
    std::filesystem::current_path(previous);
    ASSERT_EQ(manager.getTasks().size(), 3u);
    EXPECT_EQ(manager.getFullPath(manager.getTasks().front()), dir.path() + "/sub/a.png");
    Strings files{"kept"};
    manager.collectFiles(list("u.lst", "p.png 1\nq.png 2\n"), files);
    EXPECT_EQ(files, (Strings{"kept", dir.file("p.png"), dir.file("q.png")}));
}

TEST_F(BaseManagerTest, RepeatsAreLoggedAndLoadedInQueueOrderAndBadListsLoadNothing)
{
    const std::string path = list("three.lst", "x.png 1\ny.png 2\nz.png 3\n");
    auto repeats = [&](const char* item) {
        return count("aBaseManager::AddFileToTask : Iterative adding file to task  \"" + dir.file(item) + "\"");
    };
    manager.AddListToTask(path, "A");
    manager.AddListToTask(path, "B");
    EXPECT_EQ(repeats("z.png"), 1);
    manager.runTasks();
    ASSERT_EQ(manager.loads.size(), 6u);
    EXPECT_EQ(manager.loads[3], dir.path() + "/|x.png 1|B");
    manager.AddListToTask(path, "A");
    EXPECT_EQ(repeats("x.png"), 1) << "a fresh queue knows no earlier paths";
    manager.runTasks();
    // Items queued while the tasks run wait for the next run.
    manager.loads.clear();
    manager.AddFileToTask("f/", "first.png", "");
    manager.runTasks();
    EXPECT_EQ(manager.loads, Strings{"f/|first.png|"});
    manager.runTasks();
    EXPECT_EQ(manager.loads, (Strings{"f/|first.png|", "f/|second.png|"}));
    // Unreadable and overlong lists load, queue and unload nothing.
    manager.loads.clear();
    const std::string missing = dir.file("missing.lst");
    manager.loadList(missing);
    manager.AddListToTask(missing);
    manager.unloadList(missing);
    std::string text;
    for (int i = 0; i < 32768; ++i)
        text.append("i").append(std::to_string(i)).append(".png\n");
    const std::string over = list("over.lst", text + "one-more.png\n");
    manager.AddListToTask(over);
    EXPECT_EQ(count("aBaseManager. List \"" + over + "\" has more than 32768 lines, nothing loaded"), 1);
    // Beyond 65535 lines the count stays at its largest value instead of wrapping to a small one.
    std::string huge;
    for (int i = 0; i < 65537; ++i)
        huge += "h.png\n";
    const std::string hugePath = list("huge.lst", huge);
    EXPECT_EQ(manager.getListCount(hugePath), 65535u);
    manager.loadList(hugePath);
    EXPECT_TRUE(manager.loads.empty() && manager.unloads.empty() && manager.getTasks().empty());
    manager.loadList(list("limit.lst", text));
    EXPECT_EQ(manager.loads.size(), 32768u) << "32768 lines are still loaded";
}
