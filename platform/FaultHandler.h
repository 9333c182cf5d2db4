#pragma once

// Fatal faults of the process (what structured exceptions and the unhandled-exception
// filter were): segmentation and bus faults, illegal instructions, arithmetic faults,
// traps, abort, and C++ exceptions that nothing catches. One process-wide handler is
// called on the faulting thread with what the processor held at the fault; when it
// returns, the signal's default action is restored and the signal raised again, so the
// process ends with the status of the original fault.
//
// The handler runs on an alternate signal stack, so that a stack overflow can still be
// reported. The thread that installs the handler gets one; every other thread the
// program starts must hold a FaultStack for its lifetime (or a stack overflow on it
// kills the process without a report). Faults on two threads at once are reported once:
// the second thread waits until the first ends the process. A fault inside the handler
// ends the process at once with the default action of that signal.

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

enum class FaultKind {
    AccessViolation,  // segmentation fault
    StackOverflow,    // segmentation fault close to the stack pointer
    InPageError,      // bus error other than misalignment
    Misalignment,     // bus error for an unaligned access
    IllegalInstruction,
    PrivilegedInstruction,
    IntegerDivideByZero,
    IntegerOverflow,
    FloatDivideByZero,
    FloatOverflow,
    FloatUnderflow,
    FloatInexact,
    FloatInvalid,
    FloatSubscript,  // subscript out of range
    Breakpoint,
    SingleStep,
    Abort,
    UncaughtException,  // std::terminate after a throw that nothing caught
    Other,
};

// Registers at the fault, named as on x86-64; on other processors only the program
// counter, stack and frame pointers are filled and the rest is 0. Segment registers the
// kernel does not save are 0.
struct FaultRegisters {
    uint64_t rax = 0, rbx = 0, rcx = 0, rdx = 0, rsi = 0, rdi = 0;
    uint64_t rip = 0, rsp = 0, rbp = 0;
    uint64_t flags = 0;
    uint16_t cs = 0, ss = 0, ds = 0, es = 0, fs = 0, gs = 0;
};

struct FaultInfo {
    int signal = 0;
    FaultKind kind = FaultKind::Other;
    uintptr_t programCounter = 0;  // the faulting instruction
    uintptr_t dataAddress = 0;     // the address a memory fault touched (0 otherwise)
    uint32_t threadId = 0;         // the kernel's id of the faulting thread
    FaultRegisters registers;
    // Code addresses of the call stack, innermost first; frames[0] is the program
    // counter, the others are return addresses.
    const uintptr_t* frames = nullptr;
    int frameCount = 0;
};

using FaultHandler = void (*)(const FaultInfo& info);

// Installs `handler` for every fault kind above (replacing an earlier one) and gives the
// calling thread its alternate stack. False when the signal handlers cannot be set.
bool InstallFaultHandler(FaultHandler handler);
// The longest the handler may take (10 s unless set, at least 1): a report still running
// then, stuck on a lock the fault left held, is cut short and the process ends with the
// fault's signal.
void SetFaultReportSeconds(unsigned seconds);
// Called by a handler once its report is written, before it waits for the player (an error
// window): from then on the handler's time is not limited.
void FaultReportWritten();
// Puts back the handlers that were there before InstallFaultHandler.
void UninstallFaultHandler();

// The alternate signal stack of one thread, for as long as the object lives. Create one
// at the top of every thread the program starts.
class FaultStack {
public:
    FaultStack();
    ~FaultStack();
    FaultStack(const FaultStack&) = delete;
    FaultStack& operator=(const FaultStack&) = delete;

private:
    void* mMemory = nullptr;
    bool mInstalled = false;
};

// The kernel's id of the calling thread.
uint32_t CurrentThreadId();

// Where a code address lies: the loaded file, the number of its loadable segment
// (counted from 1) and the offset in that segment, and the nearest exported symbol at or
// below the address (needs the program linked with exported symbols for its own
// functions). False when the address lies in no loaded file.
struct CodeLocation {
    std::string modulePath;
    uint32_t segment = 0;
    uint32_t offset = 0;
    std::string symbol;  // decorated (mangled); empty when none was found
    uintptr_t symbolAddress = 0;
    uintptr_t fileAddress = 0;  // the address as the file's own headers and debug information count it
};
bool LookupCodeAddress(uintptr_t address, CodeLocation* out);

// "file:line" of each file address (CodeLocation::fileAddress) in one loaded file, from its
// debug information (binutils' addr2line); an empty text where none is known, or for all of
// them when addr2line cannot run. Starts a process: for crash reports, not for signal paths
// that must stay async-signal-safe.
std::vector<std::string> SourceLinesOf(const std::string& modulePath, const std::vector<uintptr_t>& fileAddresses);

// The C library and its version, such as "glibc 2.36".
std::string CLibraryVersionText();
// The SDL library the program runs on, such as "2.26.5".
std::string SdlVersionText();
// The GL renderer the 3D device runs on, recorded when its context is made (any thread);
// "none" until then.
void SetGraphicsRendererText(const std::string& text);
std::string GraphicsRendererText();

// The readable form of a decorated C++ name; the name itself when it is not one.
std::string DemangleSymbol(const std::string& name);

// One line naming the operating system, its release and the processor, such as
// "Linux 6.1.0-18-amd64 #1 SMP x86_64".
std::string SystemVersionText();

}  // namespace plat
