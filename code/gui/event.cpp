#include "gui/event.h"

#include "gui/eventargs.h"

namespace GUI {

Event::~Event() = default;

Connection* Event::Subscribe(Subscriber* subscriber)
{
    if (!subscriber)
        return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->event = this;
    connection->subscriber = subscriber;
    Connection* result = connection.get();

    auto [it, inserted] = m_entries.try_emplace(subscriber);
    Entry& entry = it->second;
    if (inserted) {
        entry.subscriber.reset(subscriber);
    } else {
        // The same object again: it is owned once; the earlier connection stays readable.
        if (entry.connection)
            m_replaced.push_back(std::move(entry.connection));
        entry.removed = false;
    }
    entry.connection = std::move(connection);
    return result;
}

bool Event::Unsubscribe(Subscriber* subscriber)
{
    const auto it = m_entries.find(subscriber);
    if (it == m_entries.end() || it->second.removed)
        return false;
    if (m_firing > 0) {
        // A firing may still hold this entry (and may be running its subscriber).
        it->second.removed = true;
        m_hasRemoved = true;
        return true;
    }
    m_entries.erase(it);
    return true;
}

void Event::Fire(const EventArgs& args)
{
    // Map nodes stay where they are while no entry is erased, and erasing
    // waits for the outermost firing, so the entries taken here stay valid.
    std::vector<Entry*> local;
    std::vector<Entry*>& order = m_firing == 0 ? m_snapshot : local;
    order.clear();
    for (auto& [key, entry] : m_entries)
        if (!entry.removed)
            order.push_back(&entry);

    ++m_firing;
    for (Entry* entry : order) {
        if (entry->removed)
            continue;
        const bool result = entry->subscriber->invoke(args);
        args.handled = args.handled || result;
    }
    --m_firing;

    if (m_firing == 0 && m_hasRemoved)
        purgeRemoved();
}

size_t Event::GetSubscriberCount() const
{
    size_t count = 0;
    for (const auto& [key, entry] : m_entries)
        if (!entry.removed)
            ++count;
    return count;
}

void Event::purgeRemoved()
{
    m_hasRemoved = false;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.removed)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

} // namespace GUI
