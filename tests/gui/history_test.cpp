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

// The memo tests walk undo, redo and the limit through a memo's history.
TEST(History, ARecordPerformedWhileTheHistoryEmptiesGoesToo)
{
    Journal journal;
    {
        History history;
        history.Undo(); // nothing to undo, redo or keep: nothing happens
        history.Redo();
        history.Add(nullptr);
        history.Add(new Step(journal, "a"));
        history.Add(new Step(journal, "b", &history));
        history.Undo();
        EXPECT_TRUE(history.GetUndoList().empty() && history.GetRedoList().empty());
        EXPECT_EQ(journal, (Journal{"perform b", "delete a", "delete b"}));
        history.Add(new Step(journal, "c"));
    }
    EXPECT_EQ(journal.back(), "delete c");
}
