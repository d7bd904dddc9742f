#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "orvo/app/a_basemanager.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// Items are lines "<file> <anything>"; every call is written down.
class RecordingManager : public aBaseManager {
public:
    struct Load {
        std::string folder, line, listName;
        bool operator==(const Load&) const = default;
    };

    void loadItem(const std::string& folder, const std::string& line, const std::string& listName) override
    {
        loads.push_back({folder, line, listName});
    }
    std::string getItemFile(const std::string& line) override { return line.substr(0, line.find(' ')); }
    bool unloadItem(const std::string& line, const std::string& listName) override
    {
        unloads.push_back(line + "|" + listName);
        return true;
    }

    std::vector<Load> loads;
    std::vector<std::string> unloads;
};

class BaseManagerTest : public testing::Test {
protected:
    std::string list(const std::string& name, const std::string& text)
    {
        const std::string path = dir.file(name);
        kbtest::writeFile(path, text);
        return path;
    }
    std::vector<std::string> messages() const { return log.messages(); }
    size_t count(const std::string& message) const
    {
        size_t n = 0;
        for (const auto& m : log.messages())
            n += m == message;
        return n;
    }

    kbtest::TempDir dir{"manager"};
    kbtest::LogCapture log;
    RecordingManager manager;
};

TEST_F(BaseManagerTest, LoadListReadsEveryLineFromTheListsOwnFolder)
{
    const std::string path = list("sub/items.lst", "a.png 1\r\nb.png 2\n\nc.png 3");
    manager.loadList(path, "menu");
    const std::string folder = dir.path() + "/sub/";
    ASSERT_EQ(manager.loads.size(), 3u);
    EXPECT_EQ(manager.loads[0], (RecordingManager::Load{folder, "a.png 1", "menu"}));
    EXPECT_EQ(manager.loads[2], (RecordingManager::Load{folder, "c.png 3", "menu"}));

    // Whatever the current folder, the item lies beside its list.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    manager.AddListToTask(path, "");
    std::filesystem::current_path(previous);
    ASSERT_EQ(manager.getTasks().size(), 3u);
    EXPECT_EQ(manager.getFullPath(manager.getTasks().front()), folder + "a.png");
}

TEST_F(BaseManagerTest, AListQueuedTwiceLogsEachRepeatAndLoadsSixTimesInQueueOrder)
{
    const std::string path = list("three.lst", "x.png 1\ny.png 2\nz.png 3\n");
    manager.AddListToTask(path, "A");
    EXPECT_EQ(count("aBaseManager::AddFileToTask : Iterative adding file to task  \"" + dir.file("x.png") + "\""), 0u);
    manager.AddListToTask(path, "B");
    for (const char* item : {"x.png", "y.png", "z.png"})
        EXPECT_EQ(count("aBaseManager::AddFileToTask : Iterative adding file to task  \"" + dir.file(item) + "\""), 1u)
            << item;
    ASSERT_EQ(manager.getTasks().size(), 6u);
    EXPECT_TRUE(manager.loads.empty()) << "queueing loads nothing";

    manager.runTasks();
    ASSERT_EQ(manager.loads.size(), 6u);
    const char* order[] = {"x.png 1", "y.png 2", "z.png 3", "x.png 1", "y.png 2", "z.png 3"};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(manager.loads[i].line, order[i]) << i;
        EXPECT_EQ(manager.loads[i].listName, i < 3 ? "A" : "B") << i;
        EXPECT_EQ(manager.loads[i].folder, dir.path() + "/");
    }

    // The queue and the set of queued paths are empty again.
    EXPECT_TRUE(manager.getTasks().empty());
    const size_t before = messages().size();
    manager.AddListToTask(path, "A");
    EXPECT_EQ(messages().size(), before) << "a fresh queue knows no earlier paths";
}

TEST_F(BaseManagerTest, OnlyTheListReadLastIsCached)
{
    const std::string a = list("a.lst", "one.png\n");
    const std::string b = list("b.lst", "bee.png\n");
    manager.loadList(a);
    kbtest::writeFile(a, "two.png\n");
    manager.loadList(a); // the same path again: not read again
    EXPECT_EQ(manager.loads.back().line, "one.png");
    manager.loadList(b);
    manager.loadList(a); // another list came between: read again
    EXPECT_EQ(manager.loads.back().line, "two.png");
    EXPECT_EQ(manager.getListCount(a), 1u);
}

TEST_F(BaseManagerTest, UnloadAndCollectWalkEveryLine)
{
    const std::string path = list("u.lst", "p.png 1\nq.png 2\n");
    manager.unloadList(path, "L");
    EXPECT_EQ(manager.unloads, (std::vector<std::string>{"p.png 1|L", "q.png 2|L"}));
    std::vector<std::string> files{"kept"};
    manager.collectFiles(path, files);
    EXPECT_EQ(files, (std::vector<std::string>{"kept", dir.file("p.png"), dir.file("q.png")}));
}

TEST_F(BaseManagerTest, AnUnreadableListLoadsQueuesAndUnloadsNothing)
{
    const std::string missing = dir.file("missing.lst");
    manager.loadList(missing);
    manager.AddListToTask(missing);
    manager.unloadList(missing);
    manager.runTasks();
    EXPECT_TRUE(manager.loads.empty());
    EXPECT_TRUE(manager.unloads.empty());
    EXPECT_EQ(manager.getListCount(missing), 0u);
}

TEST_F(BaseManagerTest, ListsOfMoreThan32768LinesLoadNothingAndSaySo)
{
    std::string text;
    for (int i = 0; i < 32768; ++i)
        text.append("i").append(std::to_string(i)).append(".png\n");
    const std::string limit = list("limit.lst", text);
    manager.loadList(limit);
    EXPECT_EQ(manager.loads.size(), 32768u);
    EXPECT_EQ(manager.loads.back().line, "i32767.png");

    manager.loads.clear();
    const std::string over = list("over.lst", text + "one-more.png\n");
    manager.loadList(over);
    manager.AddListToTask(over);
    EXPECT_TRUE(manager.loads.empty());
    EXPECT_TRUE(manager.getTasks().empty());
    EXPECT_EQ(count("aBaseManager. List \"" + over + "\" has more than 32768 lines, nothing loaded"), 2u);

    // Beyond 65535 lines the count stays at its largest value instead of wrapping to a small one.
    std::string huge;
    for (int i = 0; i < 65537; ++i)
        huge += "h.png\n";
    const std::string hugePath = list("huge.lst", huge);
    EXPECT_EQ(manager.getListCount(hugePath), 65535u);
    manager.loadList(hugePath);
    EXPECT_TRUE(manager.loads.empty());
}

TEST_F(BaseManagerTest, ItemsQueuedWhileTheTasksRunWaitForTheNextRun)
{
    class Chaining : public RecordingManager {
    public:
        void loadItem(const std::string& folder, const std::string& line, const std::string& listName) override
        {
            RecordingManager::loadItem(folder, line, listName);
            if (line == "first.png")
                AddFileToTask(folder, "second.png", listName);
        }
    } chaining;
    chaining.AddFileToTask("f/", "first.png", "");
    chaining.runTasks();
    ASSERT_EQ(chaining.loads.size(), 1u);
    ASSERT_EQ(chaining.getTasks().size(), 1u);
    chaining.runTasks();
    ASSERT_EQ(chaining.loads.size(), 2u);
    EXPECT_EQ(chaining.loads[1].line, "second.png");
}

} // namespace
