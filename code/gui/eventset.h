// GUI::EventSet: the base that gives widgets their named events (names
// compared without regard to ASCII case). It owns the events, and through them
// every subscriber. Used on the thread that runs the widget tree.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/event.h"
#include "orvo/app/a_caselessless.h"

namespace GUI {

class EventArgs;

class EventSet {
public:
    EventSet() = default;
    virtual ~EventSet();
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    // A name already present keeps its event (logged).
    void AddEvent(const std::string& name);
    // Takes the subscriber over and answers its connection. For a name the set
    // does not hold (logged) the subscriber is deleted and the answer is a
    // connection to no event, owned by this set.
    Connection* SubscribeEvent(const std::string& name, Subscriber* subscriber);
    // Fires the named event; an unknown name is logged and calls nobody.
    void LaunchEvent(const std::string& name, const EventArgs& args);
    // The named event, or null.
    Event* GetEvent(const std::string& name) const;

private:
    struct Detached {
        std::unique_ptr<Subscriber> subscriber;
        std::unique_ptr<Connection> connection;
    };

    Connection* detachedConnection();

    std::map<std::string, std::unique_ptr<Event>, aCaselessLess> m_events;
    std::vector<Detached> m_detached;
};

} // namespace GUI
