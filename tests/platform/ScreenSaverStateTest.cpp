// The system screen saver's state and the user's idle time: told by an X server (Xvfb, in the
// ctest entry test_platform_window_xvfb), not available on SDL's in-memory display.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/ScreenSaverState.h"
#include "platform/Window.h"

namespace {

bool UnderXvfb() {
    const char* flag = std::getenv("VELM_XVFB");
    return flag != nullptr && std::strcmp(flag, "1") == 0 && std::getenv("DISPLAY") != nullptr;
}

TEST(ScreenSaverState, NotAvailableOnTheInMemoryDisplay) {
    if (UnderXvfb()) GTEST_SKIP() << "runs on SDL's in-memory display only";
    plat::Window::Params params;
    std::string error;
    std::unique_ptr<plat::Window> window = plat::Window::Create(params, &error);
    ASSERT_NE(window, nullptr) << error;
    plat::ScreenSaverState state;
    state.idleMs = 1234;
    EXPECT_FALSE(plat::QueryScreenSaverState(&state));
    EXPECT_FALSE(plat::QueryScreenSaverState(nullptr));
}

TEST(XvfbWindow, ScreenSaverStateTellsTheIdleTime) {
    if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_platform_window_xvfb)";
    plat::ScreenSaverState first;
    ASSERT_TRUE(plat::QueryScreenSaverState(&first));
    EXPECT_GE(first.timeoutSeconds, 0);
    EXPECT_EQ(first.active, first.timeoutSeconds > 0);
    EXPECT_FALSE(first.running);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    plat::ScreenSaverState second;
    ASSERT_TRUE(plat::QueryScreenSaverState(&second));
    // Nobody touches the virtual display: the idle time only grows.
    EXPECT_GE(second.idleMs, first.idleMs + 200);
}

}  // namespace
