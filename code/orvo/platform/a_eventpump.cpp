#include "orvo/platform/a_eventpump.h"

bool aEventPump::peek(aMessage& out)
{
    if (!m_posted.empty()) {
        out = m_posted.front();
        m_posted.pop_front();
        return true;
    }
    return peekSystem(out);
}

bool aEventPump::wait(aMessage& out)
{
    if (!m_posted.empty()) {
        out = m_posted.front();
        m_posted.pop_front();
        return true;
    }
    return waitSystem(out);
}

void aEventPump::postQuit(int32_t exitCode)
{
    post({A_MSG_QUIT, static_cast<uint64_t>(static_cast<uint32_t>(exitCode)), 0});
}

bool aScriptedEventPump::peekSystem(aMessage& out)
{
    if (m_script.empty())
        return false;
    out = m_script.front();
    m_script.pop_front();
    return true;
}

bool aScriptedEventPump::waitSystem(aMessage& out)
{
    return peekSystem(out);
}
