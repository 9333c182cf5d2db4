// The crash catcher on real faults: each test crashes a child process in a fresh
// folder with the report windows off, then reads the "crash.txt" it left behind.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/VelmAppBase.h"
#include "app/crash/CrashCatcher.h"
#include "platform/FaultHandler.h"
#include "platform/Folders.h"
#include "tests/platform/TempDir.h"

// The faulting functions have external linkage, so that the program's exported symbol
// table names them in the stack.
#define CRASH_FUNCTION __attribute__((noinline, no_sanitize("undefined")))

volatile bool gCrashKeepGoing = true;

CRASH_FUNCTION void CrashByNullWrite() {
    volatile int* volatile target = nullptr;
    *target = 1;
}

CRASH_FUNCTION int CrashByIntegerDivision() {
    volatile int numerator = 7;
    volatile int denominator = 0;
    return numerator / denominator;
}

CRASH_FUNCTION void CrashByBreakpoint() {
#if defined(__x86_64__) || defined(__i386__)
    asm volatile("int3");
#else
    std::raise(SIGTRAP);
#endif
}

CRASH_FUNCTION void CrashByIllegalInstruction() { __builtin_trap(); }

CRASH_FUNCTION int CrashByRecursion(int depth) {
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (gCrashKeepGoing) return CrashByRecursion(depth + 1) + pad[0];
    return pad[0];
}

CRASH_FUNCTION void CrashByAbort() { std::abort(); }

CRASH_FUNCTION void CrashThrowUncaught() { throw std::runtime_error("nobody catches this"); }

// The exception cannot leave a noexcept function: std::terminate.
CRASH_FUNCTION void CrashThroughNoexcept() noexcept { CrashThrowUncaught(); }

CRASH_FUNCTION void CrashOnWorkerThread() {
    std::thread worker([] {
        plat::FaultStack stack;
        CrashByNullWrite();
    });
    worker.join();
}

CRASH_FUNCTION void CrashStackOverflowOnWorkerThread() {
    std::thread worker([] {
        plat::FaultStack stack;
        CrashByRecursion(0);
    });
    worker.join();
}

namespace {

class TestApp : public Velm::VelmAppBase {
public:
    TestApp() {
        mCompanyFolderName = "CrashTestCompany";
        mProductName = "CrashTestProduct";
    }
};

// The folders of one crashing child: its current folder (where the game's content is), the
// player's data home and the system's temporary folder.
class CrashFolders {
public:
    CrashFolders() {
        for (const char* part : {"content", "data", "temp"}) std::filesystem::create_directories(mRoot / part);
    }
    // In the child: the folders become its own.
    void Enter() const {
        setenv("XDG_DATA_HOME", (mRoot / "data").c_str(), 1);
        setenv("TMPDIR", (mRoot / "temp").c_str(), 1);
        plat::SetCurrentFolder(mRoot / "content");
    }
    // Where the report is: the application's data folder, or without an application the
    // temporary folder.
    std::string Report(bool withApp) const {
        return withApp ? mRoot / "data/CrashTestCompany/CrashTestProduct/crash.txt" : mRoot / "temp/crash.txt";
    }
    bool ContentTouched() const { return std::filesystem::exists(mRoot / "content/crash.txt"); }

private:
    velmtest::TempDir mRoot;
};

void CrashIn(const CrashFolders& folders, void (*crash)(), bool withApp) {
    folders.Enter();
    Velm::CrashCatcher::SetReportWindowEnabled(false);
    if (withApp) new TestApp();  // stays for the crash
    crash();
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < text.size()) lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

struct FaultCase {
    const char* why;
    void (*crash)();
    int signal;
    const char* exceptionLine;  // the start of the first line
    const char* function;       // a stack frame names it
    bool withApp;
};

void NullWrite() { CrashByNullWrite(); }
void IntegerDivision() { CrashByIntegerDivision(); }
void Recursion() { CrashByRecursion(0); }
void Uncaught() { CrashThroughNoexcept(); }

// clang-format off
const FaultCase kFaults[] = {
            {"null write", NullWrite, SIGSEGV, "Exception: Access Violation (code 0xc0000005)", "CrashByNullWrite", false},
            {"integer division by zero", IntegerDivision, SIGFPE, "Exception: Integer Divide by Zero (code 0xc0000094)",
             "CrashByIntegerDivision", false},
            {"breakpoint trap", CrashByBreakpoint, SIGTRAP, "Exception: Breakpoint (code 0x80000003)", "CrashByBreakpoint",
             false},
            {"trap instruction", CrashByIllegalInstruction, SIGILL, "Exception: Illegal Instruction (code 0xc000001d)",
             "CrashByIllegalInstruction", false},
            {"unbounded recursion", Recursion, SIGSEGV, "Exception: Stack Overflow (code 0xc00000fd)", "CrashByRecursion",
             false},
            {"abort", CrashByAbort, SIGABRT, "Exception: Abort (code 0x40000015)", "CrashByAbort", false},
            {"uncaught exception", Uncaught, SIGABRT, "Exception: C++ Exception (code 0xe06d7363)", "CrashThrowUncaught",
             false},
            {"worker thread fault", CrashOnWorkerThread, SIGSEGV, "Exception: Access Violation (code 0xc0000005)",
             "CrashByNullWrite", false},
            {"worker thread stack overflow", CrashStackOverflowOnWorkerThread, SIGSEGV,
             "Exception: Stack Overflow (code 0xc00000fd)", "CrashByRecursion", false},
            {"null write with an application", NullWrite, SIGSEGV, "Exception: Access Violation (code 0xc0000005)",
             "CrashByNullWrite", true},
};
// clang-format on

}  // namespace

TEST(CrashCatcherDeathTest, EachFaultWritesTheReportAndEndsWithItsSignal) {
    for (const FaultCase& c : kFaults) {
        SCOPED_TRACE(c.why);
        CrashFolders folders;
        EXPECT_EXIT(CrashIn(folders, c.crash, c.withApp), testing::KilledBySignal(c.signal), "");
        EXPECT_FALSE(folders.ContentTouched());

        const std::vector<std::string> lines = ReadLines(folders.Report(c.withApp));
        ASSERT_GE(lines.size(), 12u);
        size_t at = 0;
        EXPECT_TRUE(StartsWith(lines[at], c.exceptionLine)) << lines[at];
        EXPECT_NE(lines[at].find(" at address "), std::string::npos);
        EXPECT_NE(lines[at].find(" in thread "), std::string::npos);
        const std::string address =
                lines[at].substr(lines[at].find(" at address ") + 12,
                                 lines[at].find(" in thread ") - lines[at].find(" at address ") - 12);
        ++at;
        EXPECT_TRUE(StartsWith(lines[at++], "Module: "));
        EXPECT_TRUE(StartsWith(lines[at++], "Logical Address: "));
        EXPECT_EQ(lines[at++], "");

        bool named = false;
        bool sourceLine = false;
        size_t frames = 0;
        for (; at < lines.size() && !lines[at].empty(); ++at, ++frames) {
            if (lines[at].find(c.function) != std::string::npos) named = true;
            // The test program has debug information: its frames name file and line.
            const size_t source = lines[at].find(" at ");
            if (source != std::string::npos &&
                lines[at].find("CrashCatcherDeathTest.cpp:", source) != std::string::npos)
                sourceLine = true;
        }
        EXPECT_GT(frames, 0u);
        EXPECT_TRUE(named) << "no frame names " << c.function;
        EXPECT_TRUE(sourceLine) << "no frame names its file and line";
        ASSERT_LT(at + 6, lines.size());
        EXPECT_EQ(lines[at++], "");
        EXPECT_TRUE(StartsWith(lines[at++], "RAX:"));
        // The program counter of the first line is the instruction pointer's register.
        EXPECT_TRUE(StartsWith(lines[at], "RIP:"));
        EXPECT_NE(lines[at++].find(std::string(16 - address.size(), '0') + address), std::string::npos);
        EXPECT_TRUE(StartsWith(lines[at++], "CS:"));
        EXPECT_TRUE(StartsWith(lines[at++], "Flags:"));
        EXPECT_EQ(lines[at++], "");
        EXPECT_TRUE(StartsWith(lines[at++], "System Ver: "));
        EXPECT_TRUE(StartsWith(lines[at++], "C Library Ver: glibc "));
        EXPECT_TRUE(StartsWith(lines[at++], "SDL Ver: 2."));
        EXPECT_TRUE(StartsWith(lines[at++], "GL Renderer: "));
        ASSERT_LT(at, lines.size());
        EXPECT_TRUE(StartsWith(lines[at], "Build: ") && lines[at].size() > 7) << lines[at];
        ++at;
        if (c.withApp) {
            ASSERT_LT(at + 5, lines.size());
            EXPECT_EQ(lines[at++], "");
            EXPECT_EQ(lines[at++], "Product: CrashTestProduct");
            EXPECT_TRUE(StartsWith(lines[at++], "Version: "));
            EXPECT_TRUE(StartsWith(lines[at++], "Time Loaded: 00:00:"));
            EXPECT_EQ(lines[at++], "Fullscreen: No");
            EXPECT_TRUE(StartsWith(lines[at++], "Primary ThreadId: "));
        }
        // The file ends after the report and one end of line.
        EXPECT_EQ(at + 1, lines.size());
        if (at < lines.size()) {
            EXPECT_EQ(lines[at], "");
        }
    }
}

TEST(CrashCatcherDeathTest, AFaultAfterTheApplicationIsGoneReportsWithoutIt) {
    CrashFolders folders;
    EXPECT_EXIT(
            {
                folders.Enter();
                Velm::CrashCatcher::SetReportWindowEnabled(false);
                delete new TestApp();
                CrashByNullWrite();
            },
            testing::KilledBySignal(SIGSEGV), "");
    const std::vector<std::string> lines = ReadLines(folders.Report(false));
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) EXPECT_FALSE(StartsWith(line, "Product: "));
}

TEST(CrashCatcherDeathTest, TheReportProgramShowsTheReport) {
    // Headless, the report program prints its windows on stderr instead of showing them.
    const char* headless = std::getenv("VELM_NONINTERACTIVE");
    if (!headless || std::string(headless) != "1") GTEST_SKIP() << "runs only with VELM_NONINTERACTIVE=1";
    ASSERT_FALSE(Velm::CrashCatcher::ReportProgramPath().empty());
    CrashFolders folders;
    EXPECT_EXIT(
            {
                folders.Enter();
                Velm::CrashCatcher::SetReportWindowEnabled(true);
                CrashByNullWrite();
            },
            testing::KilledBySignal(SIGSEGV), "Fatal Error!.*An unexpected error has occured!.*Access Violation");
    EXPECT_FALSE(ReadLines(folders.Report(false)).empty());
}
