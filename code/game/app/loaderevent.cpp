#include "game/app/loaderevent.h"

void cLoaderEvent::set()
{
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_changed.notify_all();
}

void cLoaderEvent::reset()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool cLoaderEvent::isSet() const
{
    std::lock_guard lock(m_mutex);
    return m_set;
}

bool cLoaderEvent::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_set || m_cancelled; });
    return !m_cancelled;
}

void cLoaderEvent::cancel()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
}

bool cLoaderEvent::isCancelled() const
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}
