#pragma once

#include <mutex>

namespace Velm {

// A re-entrant lock: the same thread may enter it again while it holds it.
// Entered and left only through CritSectLock.
class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    std::recursive_mutex mMutex;
};

// Enters the section when made and leaves it when destroyed.
class CritSectLock {
public:
    explicit CritSectLock(CriticalSection& section) : mSection(section) { mSection.mMutex.lock(); }
    ~CritSectLock() { mSection.mMutex.unlock(); }
    CritSectLock(const CritSectLock&) = delete;
    CritSectLock& operator=(const CritSectLock&) = delete;

private:
    CriticalSection& mSection;
};

}  // namespace Velm
