#include "gui/history.h"

#include <algorithm>

#include "gui/memo.h"

namespace GUI {

History::~History()
{
    Clear(m_redo);
    Clear(m_undo);
}

void History::Clear(RecordList& list)
{
    // Records are deleted one by one, newest first, as they leave the list.
    while (!list.empty())
        list.pop_front();
}

void History::ClearAll()
{
    Clear(m_redo);
    Clear(m_undo);
    if (m_performing)
        m_clearedWhilePerforming = true;
}

void History::Add(HistoryEvent* record)
{
    if (!record)
        return;
    m_undo.emplace_front(record);
    if (m_undo.size() > m_size)
        m_undo.pop_back();
    Clear(m_redo);
}

void History::move(RecordList& from, RecordList& to)
{
    if (from.empty() || m_performing)
        return;
    std::unique_ptr<HistoryEvent> record = std::move(from.front());
    from.pop_front();
    m_performing = true;
    m_clearedWhilePerforming = false;
    record->Perform();
    m_performing = false;
    if (!m_clearedWhilePerforming)
        to.push_front(std::move(record));
    m_clearedWhilePerforming = false;
}

void History::Undo()
{
    move(m_undo, m_redo);
}

void History::Redo()
{
    move(m_redo, m_undo);
}

HistoryInsertTextEvent::HistoryInsertTextEvent(uint32_t position, const std::wstring& text, Memo* memo,
                                               bool selectOnRedo)
    : m_position(position), m_text(text), m_memo(memo), m_selectOnRedo(selectOnRedo)
{
}

bool HistoryInsertTextEvent::Perform()
{
    if (m_memo) {
        if (m_undoNext)
            m_memo->historyErase(m_position, static_cast<uint32_t>(m_text.size()));
        else
            m_memo->historyInsert(m_position, m_text, m_selectOnRedo);
    }
    m_undoNext = !m_undoNext;
    return m_undoNext;
}

} // namespace GUI
