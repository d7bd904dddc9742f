// Base class of objects that two threads share (music manager, video player,
// loading screen). Re-entrant: the owning thread may enter again.
#pragma once

#include <mutex>

class aCriticalSection {
public:
    aCriticalSection() = default;
    virtual ~aCriticalSection() = default;
    aCriticalSection(const aCriticalSection&) = delete;
    aCriticalSection& operator=(const aCriticalSection&) = delete;

    void enter() { m_mutex.lock(); }
    void leave() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Enters a section for the lifetime of the holder; a null owner does nothing.
class aCriticalSectionHolder {
public:
    explicit aCriticalSectionHolder(aCriticalSection* owner)
        : m_owner(owner)
    {
        if (m_owner)
            m_owner->enter();
    }
    ~aCriticalSectionHolder()
    {
        if (m_owner)
            m_owner->leave();
    }
    aCriticalSectionHolder(const aCriticalSectionHolder&) = delete;
    aCriticalSectionHolder& operator=(const aCriticalSectionHolder&) = delete;

private:
    aCriticalSection* m_owner;
};
