#pragma once

// A re-entrant lock (what a critical section was): the thread that holds it may take it
// again and must release it as many times. Used through ScopedLock wherever possible.

#include <mutex>

namespace plat {

class RecursiveLock {
public:
    RecursiveLock() = default;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Lock() { mMutex.lock(); }
    void Unlock() { mMutex.unlock(); }
    bool TryLock() { return mMutex.try_lock(); }

private:
    std::recursive_mutex mMutex;
};

// Holds a RecursiveLock for the life of a scope.
class ScopedLock {
public:
    explicit ScopedLock(RecursiveLock& lock) : mLock(lock) { mLock.Lock(); }
    ~ScopedLock() { mLock.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    RecursiveLock& mLock;
};

}  // namespace plat
