#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace plat {
namespace {

RealClock& TheRealClock() {
    static RealClock clock;
    return clock;
}

std::atomic<Clock*> gCurrent{nullptr};

}  // namespace

uint64_t RealClock::NowMs() {
    auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void RealClock::SleepMs(uint32_t ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

Clock& CurrentClock() {
    Clock* clock = gCurrent.load();
    return clock ? *clock : TheRealClock();
}

void SetCurrentClock(Clock* clock) { gCurrent.store(clock == &TheRealClock() ? nullptr : clock); }

uint64_t NowMs() { return CurrentClock().NowMs(); }

void SleepMs(uint32_t ms) { CurrentClock().SleepMs(ms); }

}  // namespace plat
