// The main loop's source of messages. Messages posted by the program (the
// quit message) come before those of the system. Main thread only.
// Two drivers: aSdlEventPump (the real window) and aScriptedEventPump (tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "orvo/platform/a_message.h"

class aEventPump {
public:
    virtual ~aEventPump() = default;

    // The next message without waiting; false when none is pending.
    bool peek(aMessage& out);
    // Sleeps until a message comes; false when none can ever come.
    bool wait(aMessage& out);

    void post(const aMessage& message) { m_posted.push_back(message); }
    void postQuit(int32_t exitCode);

protected:
    virtual bool peekSystem(aMessage& out) = 0;
    virtual bool waitSystem(aMessage& out) = 0;

private:
    std::deque<aMessage> m_posted;
};

// Hands out the messages a test queued, in order; waiting on an empty queue
// answers false instead of sleeping for ever.
class aScriptedEventPump : public aEventPump {
public:
    void push(const aMessage& message) { m_script.push_back(message); }
    void push(uint32_t id, uint64_t wParam = 0, int64_t lParam = 0) { m_script.push_back({id, wParam, lParam}); }
    size_t pending() const { return m_script.size(); }

protected:
    bool peekSystem(aMessage& out) override;
    bool waitSystem(aMessage& out) override;

private:
    std::deque<aMessage> m_script;
};

// Window events of SDL, translated. Events without a message (keys, buttons)
// still pass through SDL, which keeps its key and mouse state from them.
class aSdlEventPump : public aEventPump {
public:
    aSdlEventPump();
    ~aSdlEventPump() override;
    aSdlEventPump(const aSdlEventPump&) = delete;
    aSdlEventPump& operator=(const aSdlEventPump&) = delete;

protected:
    bool peekSystem(aMessage& out) override;
    bool waitSystem(aMessage& out) override;

private:
    bool m_ready = false;
};
