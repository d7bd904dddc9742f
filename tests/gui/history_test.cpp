#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/history.h"

using GUI::History;
using Journal = std::vector<std::string>;

namespace {

// Notes its performs and its deletion in a shared journal.
class Step : public History::HistoryEvent {
public:
    Step(Journal& journal, std::string name, History* clearOnPerform = nullptr)
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
    Journal& m_journal;
    std::string m_name;
    History* m_clear;
};

} // namespace

TEST(History, UndoRedoAndTheLimitMoveAndDropRecordsInOrder)
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
    EXPECT_EQ(history.GetRedoList().size(), 1u);
    history.Add(new Step(journal, "c"));
    EXPECT_TRUE(history.GetRedoList().empty()) << "an addition drops the redo list";
    EXPECT_EQ(journal, (Journal{"perform b", "perform a", "perform a", "delete b"}));

    // The limit keeps the newest; a lower one drops nothing until the next addition, which drops one.
    journal.clear();
    history.SetSize(2);
    history.Add(new Step(journal, "d"));
    EXPECT_EQ(journal, Journal{"delete a"});
    history.SetSize(1);
    history.Add(new Step(journal, "e"));
    EXPECT_EQ(history.GetUndoList().size(), 2u);
    history.Undo();
    history.Undo();
    EXPECT_EQ(journal, (Journal{"delete a", "delete c", "perform e", "perform d"}));
}

TEST(History, ARecordPerformedWhileTheHistoryEmptiesGoesToo)
{
    Journal journal;
    {
        History history;
        history.Add(new Step(journal, "a"));
        history.Add(new Step(journal, "b", &history));
        history.Undo();
        EXPECT_TRUE(history.GetUndoList().empty() && history.GetRedoList().empty());
        EXPECT_EQ(journal, (Journal{"perform b", "delete a", "delete b"}));
        history.Add(new Step(journal, "c"));
    }
    EXPECT_EQ(journal.back(), "delete c");
}
