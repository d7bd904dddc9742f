#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/history.h"

using GUI::History;

namespace {

// Notes its performs and its deletion in a shared journal.
class Step : public History::HistoryEvent {
public:
    Step(std::vector<std::string>& journal, std::string name, History* clearOnPerform = nullptr)
        : m_journal(journal), m_name(std::move(name)), m_clear(clearOnPerform)
    {
    }
    ~Step() override { m_journal.push_back("delete " + m_name); }
    bool Perform() override
    {
        m_journal.push_back("perform " + m_name);
        if (m_clear)
            m_clear->ClearAll();
        return true;
    }

private:
    std::vector<std::string>& m_journal;
    std::string m_name;
    History* m_clear;
};

using Journal = std::vector<std::string>;

} // namespace

TEST(History, TheLimitKeepsTheNewestRecordsOneDropPerAddition)
{
    Journal journal;
    History history;
    EXPECT_EQ(history.GetSize(), 64);
    history.SetSize(2);
    history.Add(new Step(journal, "a"));
    history.Add(new Step(journal, "b"));
    history.Add(new Step(journal, "c"));
    EXPECT_EQ(journal, Journal{"delete a"});
    EXPECT_EQ(history.GetUndoList().size(), 2u);

    // A lower limit drops nothing until the next addition, which drops one.
    history.SetSize(1);
    EXPECT_EQ(history.GetUndoList().size(), 2u);
    history.Add(new Step(journal, "d"));
    EXPECT_EQ(history.GetUndoList().size(), 2u);
    EXPECT_EQ(journal, (Journal{"delete a", "delete b"}));

    history.Undo();
    EXPECT_EQ(journal.back(), "perform d");
    history.Undo();
    EXPECT_EQ(journal.back(), "perform c");
}

TEST(History, UndoAndRedoMoveRecordsAndAnAdditionDropsTheRedoList)
{
    Journal journal;
    History history;
    history.Undo();
    history.Redo();
    history.Add(nullptr);
    EXPECT_TRUE(journal.empty());

    history.Add(new Step(journal, "a"));
    history.Add(new Step(journal, "b"));
    history.Undo();
    history.Undo();
    history.Redo();
    EXPECT_EQ(journal, (Journal{"perform b", "perform a", "perform a"}));
    EXPECT_EQ(history.GetRedoList().size(), 1u);
    history.Add(new Step(journal, "c"));
    EXPECT_TRUE(history.GetRedoList().empty());
    EXPECT_EQ(journal.back(), "delete b");
}

TEST(History, ARecordPerformedWhileTheHistoryEmptiesGoesToo)
{
    Journal journal;
    {
        History history;
        history.Add(new Step(journal, "a"));
        history.Add(new Step(journal, "b", &history));
        history.Undo();
        EXPECT_TRUE(history.GetUndoList().empty());
        EXPECT_TRUE(history.GetRedoList().empty());
        EXPECT_EQ(journal, (Journal{"perform b", "delete a", "delete b"}));
        history.Add(new Step(journal, "c"));
    }
    EXPECT_EQ(journal.back(), "delete c");
}
