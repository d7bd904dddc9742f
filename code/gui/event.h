// GUI::Event: one named event of a widget with its subscribers, and
// GUI::Connection, the record that subscribing returns. The event owns its
// subscribers and connections. Subscribers run in the order of their
// addresses. Firing is re-entrant: a subscriber may subscribe (the newcomer
// runs from the next firing on), unsubscribe (itself or others; the removal
// takes effect at once, the object goes when the outermost firing ends) or
// fire this event again. A subscriber must not delete the widget that owns
// the event while it runs. Used on the thread that runs the widget tree.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/subscriber.h"

namespace GUI {

class Event;

class Connection {
public:
    Event* event = nullptr; // null for a connection to nothing (failed subscription)
    Subscriber* subscriber = nullptr;
};

class Event {
public:
    explicit Event(std::string name) : m_name(std::move(name)) {}
    virtual ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    const std::string& GetName() const { return m_name; }

    // Takes the subscriber over. Subscribing one subscriber again gives a new
    // connection in place of the first (which stays valid while the event lives).
    Connection* Subscribe(Subscriber* subscriber);
    // Removes and deletes the subscriber; false when it is not subscribed.
    bool Unsubscribe(Subscriber* subscriber);
    // Calls every subscriber, ORing each answer into args.handled.
    void Fire(const EventArgs& args);

    size_t GetSubscriberCount() const;

private:
    struct Entry {
        std::unique_ptr<Subscriber> subscriber;
        std::unique_ptr<Connection> connection;
        bool removed = false;
    };

    void purgeRemoved();

    std::string m_name;
    std::map<Subscriber*, Entry> m_entries;
    std::vector<std::unique_ptr<Connection>> m_replaced;
    std::vector<Entry*> m_snapshot; // reused by the outermost firing
    int m_firing = 0;
    bool m_hasRemoved = false;
};

} // namespace GUI
