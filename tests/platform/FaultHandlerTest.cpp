// Symbol and address lookup of the fault handler (the faults themselves are tested
// with the crash catcher's death tests).

#include "platform/FaultHandler.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

TEST(FaultHandlerTest, LooksUpLibraryFunctions) {
    plat::CodeLocation location;
    const uintptr_t address = reinterpret_cast<uintptr_t>(&std::abort);
    ASSERT_TRUE(plat::LookupCodeAddress(address + 1, &location));
    EXPECT_EQ(location.symbol, "abort");
    EXPECT_EQ(location.symbolAddress, address);
    EXPECT_NE(location.modulePath.find("libc"), std::string::npos);
    EXPECT_GE(location.segment, 1u);

    EXPECT_FALSE(plat::LookupCodeAddress(16, &location));
}

TEST(FaultHandlerTest, DemanglesDecoratedNamesOnly) {
    EXPECT_EQ(plat::DemangleSymbol("_ZN4Velm12CrashCatcher7InstallEv"), "Velm::CrashCatcher::Install()");
    EXPECT_EQ(plat::DemangleSymbol("abort"), "abort");
    EXPECT_EQ(plat::DemangleSymbol("_Znot a name"), "_Znot a name");
}

TEST(FaultHandlerTest, ThreadIdAndSystemText) {
    const uint32_t self = plat::CurrentThreadId();
    EXPECT_NE(self, 0u);
    EXPECT_EQ(plat::CurrentThreadId(), self);
    EXPECT_FALSE(plat::SystemVersionText().empty());
}

void PrintAbortSeen(const plat::FaultInfo& info) {
    std::fprintf(stderr, "abort seen: %d, signal %d, frames %s\n", info.kind == plat::FaultKind::Abort ? 1 : 0,
                 info.signal, info.frameCount > 0 ? "yes" : "no");
}

__attribute__((noinline, no_sanitize("undefined"))) void CrashInHandler(const plat::FaultInfo&) {
    volatile int* volatile target = nullptr;
    *target = 2;
}

void AbortInHandler(const plat::FaultInfo&) { std::abort(); }

void StuckInHandler(const plat::FaultInfo&) {
    for (;;) pause();
}

TEST(FaultHandlerDeathTest, HandlerSeesTheFaultAndTheProcessEndsWithItsSignal) {
    EXPECT_EXIT(
            {
                plat::InstallFaultHandler(PrintAbortSeen);
                std::abort();
            },
            testing::KilledBySignal(SIGABRT), "abort seen: 1, signal 6, frames yes");
}

TEST(FaultHandlerDeathTest, AFaultInsideTheHandlerEndsTheProcessAtOnce) {
    struct Case {
        const char* why;
        plat::FaultHandler handler;
        int endingSignal;
    };
    const Case kCases[] = {
            {"memory fault in the handler", CrashInHandler, SIGSEGV},
            {"abort in the handler", AbortInHandler, SIGABRT},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EXIT(
                {
                    plat::InstallFaultHandler(c.handler);
                    std::raise(SIGFPE);
                },
                testing::KilledBySignal(c.endingSignal), "");
    }
}

TEST(FaultHandlerDeathTest, AReportStuckOnALockEndsWithTheFaultsSignalAfterItsTime) {
    EXPECT_EXIT(
            {
                plat::SetFaultReportSeconds(1);
                plat::InstallFaultHandler(StuckInHandler);
                std::raise(SIGFPE);
            },
            testing::KilledBySignal(SIGFPE), "");
}

}  // namespace
