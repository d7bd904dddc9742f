#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "gui_fixture.h"

using GUI::EventArgs;

namespace {

int g_uncounted = 0;

// A subscriber that runs a test's function and counts its own destruction.
class Probe : public kbtest::Call {
public:
    Probe(std::function<bool()> f, int* destroyed = &g_uncounted)
        : Call([f = std::move(f)](const EventArgs&) { return f(); }), m_destroyed(destroyed)
    {
    }
    ~Probe() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

} // namespace

TEST(Event, EverySubscriberRunsAndTheAnswersAreOred)
{
    GUI::Event event("Click");
    int ran = 0;
    for (int i = 0; i < 6; ++i)
        event.Subscribe(new Probe([&ran, i] { return ++ran, i == 2; }));
    EventArgs args;
    event.Fire(args);
    EXPECT_TRUE(args.handled);
    EXPECT_EQ(ran, 6) << "a true answer does not stop the walk";

    // One object subscribed twice is owned once and deleted once.
    int destroyed = 0, calls = 0;
    {
        GUI::Event once("Click");
        auto* p = new Probe([&] { return ++calls, false; }, &destroyed);
        GUI::Connection* first = once.Subscribe(p);
        EXPECT_NE(once.Subscribe(p), first);
        EXPECT_EQ(first->subscriber, p) << "the first connection stays readable";
        once.Fire(EventArgs());
        EXPECT_EQ(calls, 1);
    }
    EXPECT_EQ(destroyed, 1);
}

// Member binders run in every widget test and the gallery.
TEST(EventSet, NamesIgnoreCaseAndUnknownNamesAreLoggedAndLeakNothing)
{
    kbtest::LogCapture log;
    int calls = 0, destroyed = 0;
    bool called = false;
    {
        GUI::EventSet set;
        set.AddEvent("Click");
        set.AddEvent("click");
        GUI::Connection* c = set.SubscribeEvent("CLICK", new Probe([&] { return ++calls, false; }));
        ASSERT_NE(c, nullptr);
        set.LaunchEvent("click", EventArgs());
        EXPECT_EQ(calls, 1);

        GUI::Connection* lost = set.SubscribeEvent("Missing", new Probe([&] { return called = true; }, &destroyed));
        ASSERT_TRUE(lost && lost->subscriber);
        EXPECT_EQ(lost->event, nullptr);
        EXPECT_FALSE(lost->subscriber->invoke(EventArgs())) << "a detached connection answers false";
        EXPECT_EQ(destroyed, 1) << "the subscriber handed over is not leaked";
        set.LaunchEvent("Missing", EventArgs());
    }
    EXPECT_FALSE(called);
    for (const char* line :
         {"EventSet::AddEvent - event click already exists", "EventSet::SubscribeEvent - event Missing not found",
          "EventSet::LaunchEvent - event 'Missing' not found"})
        EXPECT_TRUE(log.contains(line)) << line;
}

// Handlers that change the event they run in.
TEST(EventReentrancy, NewcomersRunFromTheNextFiringRemovalsWaitForItsEndAndFiringAgainNests)
{
    GUI::Event grows("Click");
    int newcomerCalls = 0;
    bool subscribed = false;
    grows.Subscribe(new Probe([&] {
        if (!std::exchange(subscribed, true))
            for (int i = 0; i < 50; ++i) // enough to make the map rebalance under the walk
                grows.Subscribe(new Probe([&] { return ++newcomerCalls, false; }));
        return false;
    }));
    grows.Fire(EventArgs());
    EXPECT_EQ(newcomerCalls, 0);
    grows.Fire(EventArgs());
    EXPECT_EQ(newcomerCalls, 50);

    // Each removes itself and every other probe: only the first to run is called.
    GUI::Event shrinks("Click");
    int destroyed = 0, calls = 0;
    std::vector<Probe*> probes;
    for (int i = 0; i < 4; ++i) {
        probes.push_back(new Probe(
            [&] {
                ++calls;
                for (Probe* p : probes)
                    shrinks.Unsubscribe(p);
                return false;
            },
            &destroyed));
        shrinks.Subscribe(probes.back());
    }
    shrinks.Fire(EventArgs());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(destroyed, 4) << "removed subscribers go when the firing ends";
    EXPECT_EQ(shrinks.GetSubscriberCount(), 0u);

    // Firing again from a handler nests.
    GUI::Event event("Click");
    int depth = 0, maxDepth = 0;
    calls = destroyed = 0;
    Probe* self = nullptr;
    self = new Probe(
        [&] {
            ++calls;
            maxDepth = std::max(maxDepth, ++depth);
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
