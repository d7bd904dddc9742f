// GUI::History: the undo and redo store of the memo. Two lists of owned undo
// records, newest first, the undo list held to a size limit. A record is
// performed to move between the lists, so one record serves both directions.
// GUI::HistoryInsertTextEvent is the record of a piece of text inserted into
// (or, in its other state, erased from) a memo. Owned by its memo; main thread.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

namespace GUI {

class Memo;

class History {
public:
    class HistoryEvent {
    public:
        virtual ~HistoryEvent() = default;
        // Applies the record in its current direction and flips it; answers the new direction.
        virtual bool Perform() = 0;
    };

    using RecordList = std::list<std::unique_ptr<HistoryEvent>>;

    static constexpr uint16_t DEFAULT_SIZE = 64;

    History() = default;
    // Deletes the redo records, then the undo records.
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // A lower limit drops nothing at once; each later Add drops one record at most.
    void SetSize(uint16_t size) { m_size = size; }
    uint16_t GetSize() const { return m_size; }
    // Takes the record over as the newest undo step; drops the oldest step
    // past the limit and every redo step. Null is ignored.
    void Add(HistoryEvent* record);
    // Performs the newest undo (redo) record and moves it to the other list;
    // nothing when the list is empty.
    void Undo();
    void Redo();
    // Deletes every record of the list.
    void Clear(RecordList& list);
    // Both lists; a record being performed at the time is dropped afterwards
    // instead of moving to the other list.
    void ClearAll();

    RecordList& GetUndoList() { return m_undo; }
    RecordList& GetRedoList() { return m_redo; }
    const RecordList& GetUndoList() const { return m_undo; }
    const RecordList& GetRedoList() const { return m_redo; }

private:
    void move(RecordList& from, RecordList& to);

    RecordList m_undo;
    RecordList m_redo;
    uint16_t m_size = DEFAULT_SIZE;
    bool m_performing = false;
    bool m_clearedWhilePerforming = false;
};

// Text inserted at a position of a memo's text. Made for an insertion it
// first removes the text; made for an erasure it is performed once at once
// (erasing), so that undoing it puts the text back.
class HistoryInsertTextEvent : public History::HistoryEvent {
public:
    HistoryInsertTextEvent(uint32_t position, const std::wstring& text, Memo* memo, bool selectOnRedo);

    // Removes or inserts the text, rebuilds the memo's layout, places caret
    // and selection and notifies the text change. A position past the memo's
    // text (changed behind the record's back) is taken as the text's end.
    bool Perform() override;

    uint32_t GetPosition() const { return m_position; }
    const std::wstring& GetText() const { return m_text; }
    bool GetUndoNext() const { return m_undoNext; }

private:
    uint32_t m_position = 0;
    std::wstring m_text;
    Memo* m_memo = nullptr;
    bool m_selectOnRedo = false;
    bool m_undoNext = true;
};

} // namespace GUI
