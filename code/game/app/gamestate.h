// A screen or game mode with a fixed id, and the registry that owns one
// object per id for the whole run. Code that wants another screen writes the
// requested id into cGame; the switch happens at the start of the next
// cGame::update. A class joins the registry through setClass; getOrCreate
// builds the registered class of an id once.
// Threads: the registry is used on the main thread; a gameplay state's init
// (and a screen's after gameplay) runs on the loading thread while the main
// thread leaves states alone.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The eleven state ids; 0 is none. Ids below STATE_PLAY are screens.
enum cStateId : int32_t {
    STATE_NONE = 0,
    STATE_MENU = 1,
    STATE_MAP = 2,
    STATE_PARK = 3,
    STATE_AWARDS = 4,
    STATE_CREDITS = 5,
    STATE_HELP = 6,
    STATE_PEDIA = 7,
    STATE_PLAY = 8,
    STATE_CATCH_ANIMAL = 9,
    STATE_MATCH_THREE = 10,
    STATE_FIND_PAIR = 11,
    STATE_COUNT = 11,
};

inline bool state_isScreen(int32_t id)
{
    return id < STATE_PLAY;
}

class cGameState {
public:
    using Factory = std::function<cGameState*()>;

    explicit cGameState(int32_t id) : m_id(id) {}
    virtual ~cGameState() = default;
    cGameState(const cGameState&) = delete;
    cGameState& operator=(const cGameState&) = delete;

    virtual void update(float dt) = 0;
    virtual void draw() = 0;
    // Enters the state; sets the initiated flag.
    virtual void init() = 0;
    // Leaves the state, undoing init; clears the initiated flag. Safe on a
    // state that is not initiated.
    virtual void release() = 0;
    // True when the state started its own load on the loading thread (which
    // runs its init there).
    virtual bool startLoading() { return false; }
    virtual void loadResources() {}
    virtual void freeResources() {}

    // What to play next, set by the map before it asks for the state: the
    // level file for the play state, the level's section for a mini-game.
    virtual void setLevel(const std::string& /*level*/) {}

    int32_t getId() const { return m_id; }
    bool isInitiated() const { return m_initiated.load(std::memory_order_acquire); }
    int32_t getModalCount() const { return m_modalCount; }
    void setModalCount(int32_t count) { m_modalCount = count; }
    // A window that blocks the state opened or closed; the count never goes below 0.
    void addModal() { ++m_modalCount; }
    void removeModal()
    {
        if (m_modalCount > 0)
            --m_modalCount;
    }

    // The registered class for an id (null removes it); the object is made by getOrCreate.
    static void setClass(int32_t id, Factory factory);
    static bool hasClass(int32_t id);
    // The first registered state with that id, or null.
    static cGameState* find(int32_t id);
    // The state of that id, made from its registered class when absent;
    // null (logged) for an id without a class.
    static cGameState* getOrCreate(int32_t id);
    // getOrCreate for every id that has a class, in id order.
    static void createAll();
    // Releases and deletes every state, in registry order, and empties the registry.
    static void releaseAll();
    static const std::vector<cGameState*>& registry();

protected:
    void setInitiated(bool on) { m_initiated.store(on, std::memory_order_release); }

private:
    int32_t m_id;
    std::atomic<bool> m_initiated{false};
    int32_t m_modalCount = 0;
};
