#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui/eventargs.h"
#include "gui/eventset.h"
#include "support/log_capture.h"

using GUI::EventArgs;
using GUI::Subscriber;

namespace {

// A subscriber that runs a test's function and counts its own destruction.
class Probe : public Subscriber {
public:
    Probe(std::function<bool()> f, int* destroyed = nullptr) : m_f(std::move(f)), m_destroyed(destroyed) {}
    ~Probe() override
    {
        if (m_destroyed)
            ++*m_destroyed;
    }
    bool invoke(const EventArgs&) override { return m_f(); }

private:
    std::function<bool()> m_f;
    int* m_destroyed;
};

class Counter {
public:
    bool onEvent(const EventArgs&)
    {
        ++calls;
        return true;
    }
    int calls = 0;
};

int g_freeCalls = 0;
bool freeHandler(const EventArgs&)
{
    ++g_freeCalls;
    return false;
}

} // namespace

TEST(Event, EveryAnswerIsOredIntoHandled)
{
    GUI::Event event("Click");
    int calls = 0;
    event.Subscribe(new Probe([&] { return ++calls, false; }));
    event.Subscribe(new Probe([&] { return ++calls, true; }));
    event.Subscribe(new Probe([&] { return ++calls, false; }));

    EventArgs args;
    event.Fire(args);
    EXPECT_EQ(calls, 3) << "a true answer does not stop the walk";
    EXPECT_TRUE(args.handled);

    GUI::Event empty("Click");
    EventArgs preset;
    preset.handled = true;
    empty.Fire(preset);
    EXPECT_TRUE(preset.handled) << "no subscribers leave the caller's value";
}

TEST(Event, SubscribersRunInAddressOrder)
{
    GUI::Event event("Click");
    std::vector<Subscriber*> ran;
    std::vector<Probe*> probes;
    for (size_t i = 0; i < 6; ++i)
        probes.push_back(new Probe([&ran, &probes, i] { return ran.push_back(probes[i]), false; }));
    for (auto it = probes.rbegin(); it != probes.rend(); ++it)
        event.Subscribe(*it);
    event.Fire(EventArgs());

    std::vector<Subscriber*> sorted(ran);
    std::sort(sorted.begin(), sorted.end(), std::less<Subscriber*>());
    EXPECT_EQ(ran.size(), 6u);
    EXPECT_EQ(ran, sorted) << "the order of subscription does not count";
}

TEST(Event, BindersCallTheirFunctionsAndTheEventOwnsThem)
{
    Counter counter;
    GUI::EventSet set;
    set.AddEvent("Click");
    GUI::Connection* c = set.SubscribeEvent(
        "click", new GUI::_memberBinder<Counter, bool, const EventArgs&>(&counter, &Counter::onEvent));
    set.SubscribeEvent("CLICK", new GUI::_freeBinder<bool, const EventArgs&>(&freeHandler));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->event, set.GetEvent("Click"));

    g_freeCalls = 0;
    EventArgs args;
    set.LaunchEvent("Click", args);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(g_freeCalls, 1);
    EXPECT_TRUE(args.handled);
}

TEST(Event, SubscribingOneObjectTwiceKeepsOneEntry)
{
    int destroyed = 0;
    int calls = 0;
    {
        GUI::Event event("Click");
        auto* p = new Probe([&] { return ++calls, false; }, &destroyed);
        GUI::Connection* first = event.Subscribe(p);
        GUI::Connection* second = event.Subscribe(p);
        EXPECT_NE(first, second);
        EXPECT_EQ(first->subscriber, p) << "the first connection stays readable";
        event.Fire(EventArgs());
        EXPECT_EQ(calls, 1);
    }
    EXPECT_EQ(destroyed, 1) << "owned once, deleted once";
}

TEST(EventSet, UnknownNamesAreLoggedAndLeakNothing)
{
    kbtest::LogCapture log;
    int destroyed = 0;
    bool called = false;
    {
        GUI::EventSet set;
        set.AddEvent("Click");
        set.AddEvent("click");
        GUI::Connection* c = set.SubscribeEvent("Missing", new Probe([&] { return called = true; }, &destroyed));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->event, nullptr);
        ASSERT_NE(c->subscriber, nullptr);
        EXPECT_FALSE(c->subscriber->invoke(EventArgs())) << "a detached connection answers false";
        EXPECT_EQ(destroyed, 1) << "the subscriber handed over is not leaked";
        set.LaunchEvent("Missing", EventArgs());
    }
    EXPECT_FALSE(called);
    EXPECT_TRUE(log.contains("EventSet::AddEvent - event click already exists"));
    EXPECT_TRUE(log.contains("EventSet::SubscribeEvent - event Missing not found"));
    EXPECT_TRUE(log.contains("EventSet::LaunchEvent - event 'Missing' not found"));
}

// Handlers that change the event they run in.

TEST(EventReentrancy, ANewcomerRunsFromTheNextFiring)
{
    GUI::Event event("Click");
    int newcomerCalls = 0;
    bool subscribed = false;
    event.Subscribe(new Probe([&] {
        if (!subscribed) {
            subscribed = true;
            for (int i = 0; i < 50; ++i) // enough to make the map rebalance under the walk
                event.Subscribe(new Probe([&] { return ++newcomerCalls, false; }));
        }
        return false;
    }));
    event.Fire(EventArgs());
    EXPECT_EQ(newcomerCalls, 0);
    event.Fire(EventArgs());
    EXPECT_EQ(newcomerCalls, 50);
}

TEST(EventReentrancy, UnsubscribingDuringAFiringIsSafe)
{
    GUI::Event event("Click");
    int destroyed = 0;
    std::vector<Probe*> probes;
    std::vector<int> calls(4, 0);
    for (int i = 0; i < 4; ++i) {
        probes.push_back(new Probe(
            [&, i] {
                ++calls[size_t(i)];
                // Each removes itself and every other probe: only the first to run is called.
                for (Probe* p : probes)
                    event.Unsubscribe(p);
                return false;
            },
            &destroyed));
        event.Subscribe(probes.back());
    }
    event.Fire(EventArgs());
    int total = 0;
    for (int c : calls)
        total += c;
    EXPECT_EQ(total, 1);
    EXPECT_EQ(destroyed, 4) << "removed subscribers go when the firing ends";
    EXPECT_EQ(event.GetSubscriberCount(), 0u);
    event.Fire(EventArgs());
    EXPECT_EQ(total, 1);
}

TEST(EventReentrancy, FiringAgainFromAHandlerNests)
{
    GUI::Event event("Click");
    int depth = 0;
    int maxDepth = 0;
    int calls = 0;
    int destroyed = 0;
    Probe* self = nullptr;
    self = new Probe(
        [&] {
            ++calls;
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            if (depth < 3)
                event.Fire(EventArgs());
            if (depth == 2)
                event.Unsubscribe(self); // removed inside a nested firing, deleted after the outermost
            --depth;
            return false;
        },
        &destroyed);
    event.Subscribe(self);
    event.Fire(EventArgs());
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(maxDepth, 3);
    EXPECT_EQ(destroyed, 1);
}
