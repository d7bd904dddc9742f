#include "game/app/loaderevent.h"

void cLoaderEvent::open()
{
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_set = false;
}

bool cLoaderEvent::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

bool cLoaderEvent::beginFrame(const std::atomic<uint32_t>& flags, uint32_t drawBit)
{
    // Read under the lock the routine clears the bit under, so a frame that
    // saw the bit set has reset the event before the routine can wait on it.
    std::lock_guard lock(m_mutex);
    const bool drawing = (flags.load() & drawBit) != 0;
    if (drawing && m_open)
        m_set = false;
    return drawing;
}

void cLoaderEvent::endFrame()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_open)
            return;
        m_set = true;
    }
    m_changed.notify_all();
}

bool cLoaderEvent::closeAfterFrame(std::atomic<uint32_t>& flags, uint32_t drawBit)
{
    std::unique_lock lock(m_mutex);
    flags.fetch_and(~drawBit);
    m_changed.wait(lock, [this] { return m_set || m_cancelled; });
    m_open = false;
    return !m_cancelled;
}

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
