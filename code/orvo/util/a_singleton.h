// One instance of T, registered by its constructor and cleared by its
// destructor. Reached from any thread; the pointer itself is not locked.
#pragma once

#include "orvo/util/a_assert.h"
#include "orvo/util/a_log.h"

template <class T>
class aSingleton {
public:
    // The slot keeps the base pointer: while the base is being built the
    // object is not a T yet, so the cast to T waits until someone asks.
    aSingleton() { ms_Singleton = this; }

    virtual ~aSingleton()
    {
        A_ASSERT(ms_Singleton);
        // Another instance may have taken the slot since; only clear our own.
        if (ms_Singleton == this)
            ms_Singleton = nullptr;
    }

    aSingleton(const aSingleton&) = delete;
    aSingleton& operator=(const aSingleton&) = delete;

    // The instance, or null (logged) when there is none.
    static T* getSingleton()
    {
        A_ASSERT(ms_Singleton);
        return static_cast<T*>(ms_Singleton);
    }

    static T* getSingletonPtr() { return static_cast<T*>(ms_Singleton); }

protected:
    static inline aSingleton<T>* ms_Singleton = nullptr;
};
