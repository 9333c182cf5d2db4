#include "platform/Event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace plat {
namespace {

// Every event shares one lock and one condition: a waiter on several events must see
// any of them change, and the program has only a handful of events, set rarely.
std::mutex& EventMutex() {
    static std::mutex m;
    return m;
}

std::condition_variable& EventChanged() {
    static std::condition_variable cv;
    return cv;
}

}  // namespace

Event::Event(bool manualReset, bool initiallySet) : mManualReset(manualReset), mSet(initiallySet) {}

void Event::Set() {
    {
        std::lock_guard<std::mutex> lock(EventMutex());
        mSet = true;
    }
    EventChanged().notify_all();
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(EventMutex());
    mSet = false;
}

bool Event::IsSet() const {
    std::lock_guard<std::mutex> lock(EventMutex());
    return mSet;
}

bool Event::Wait(uint32_t timeoutMs) { return WaitAny({this}, timeoutMs) == 0; }

int WaitAny(const std::vector<Event*>& events, uint32_t timeoutMs) {
    if (events.empty() && timeoutMs == kWaitInfinite) return kWaitTimeout;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(EventMutex());
    for (;;) {
        for (size_t i = 0; i < events.size(); ++i) {
            if (events[i]->mSet) {
                if (!events[i]->mManualReset) events[i]->mSet = false;
                return static_cast<int>(i);
            }
        }
        if (timeoutMs == kWaitInfinite) {
            EventChanged().wait(lock);
        } else if (EventChanged().wait_until(lock, deadline) == std::cv_status::timeout) {
            // One last look: an event set just at the deadline still counts.
            for (size_t i = 0; i < events.size(); ++i) {
                if (events[i]->mSet) {
                    if (!events[i]->mManualReset) events[i]->mSet = false;
                    return static_cast<int>(i);
                }
            }
            return kWaitTimeout;
        }
    }
}

}  // namespace plat
