#include "gui/eventset.h"

#include "gui/eventargs.h"
#include "orvo/util/a_log.h"

namespace GUI {

namespace {

bool answerFalse(const EventArgs&)
{
    return false;
}

} // namespace

EventSet::~EventSet() = default;

void EventSet::AddEvent(const std::string& name)
{
    if (m_events.count(name)) {
        a_log("EventSet::AddEvent - event %s already exists", name.c_str());
        return;
    }
    m_events.emplace(name, std::make_unique<Event>(name));
}

Connection* EventSet::SubscribeEvent(const std::string& name, Subscriber* subscriber)
{
    const auto it = m_events.find(name);
    if (it == m_events.end()) {
        a_log("EventSet::SubscribeEvent - event %s not found", name.c_str());
        // The caller handed the subscriber over and keeps no other reference to it.
        delete subscriber;
        return detachedConnection();
    }
    if (!subscriber) {
        a_log("EventSet::SubscribeEvent - no subscriber for event %s", name.c_str());
        return detachedConnection();
    }
    return it->second->Subscribe(subscriber);
}

void EventSet::LaunchEvent(const std::string& name, const EventArgs& args)
{
    const auto it = m_events.find(name);
    if (it == m_events.end()) {
        a_log("EventSet::LaunchEvent - event '%s' not found", name.c_str());
        return;
    }
    it->second->Fire(args);
}

Event* EventSet::GetEvent(const std::string& name) const
{
    const auto it = m_events.find(name);
    return it == m_events.end() ? nullptr : it->second.get();
}

Connection* EventSet::detachedConnection()
{
    Detached d;
    d.subscriber = std::make_unique<_freeBinder<bool, const EventArgs&>>(&answerFalse);
    d.connection = std::make_unique<Connection>();
    d.connection->subscriber = d.subscriber.get();
    m_detached.push_back(std::move(d));
    return m_detached.back().connection.get();
}

} // namespace GUI
