#include "platform/FaultHandler.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <gnu/libc-version.h>
#include <link.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>

namespace plat {
namespace {

// The handler formats text, resolves symbols and starts a process: give it room.
constexpr size_t kAltStackSize = 512 * 1024;
// A memory fault this close to the stack pointer is taken for a stack overflow.
constexpr uintptr_t kStackOverflowWindow = 64 * 1024;
constexpr int kMaxFrames = 64;

const int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGABRT};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);

std::atomic<FaultHandler> gHandler{nullptr};
std::atomic<uint32_t> gHandlingThread{0};
// The longest a report may take, and the signal that ends the process when it takes longer.
std::atomic<unsigned> gReportSeconds{10};
std::atomic<int> gReportedSignal{0};
std::atomic<bool> gUncaughtException{false};
bool gInstalled = false;
struct sigaction gPrevious[kSignalCount];
std::terminate_handler gPreviousTerminate = nullptr;
FaultStack* gInstallerStack = nullptr;

// Gives `sig` a plain handler (or SIG_DFL) and lets it through to the calling thread.
void HandleAndUnblock(int sig, void (*handler)(int)) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

[[noreturn]] void DieWithSignal(int sig) {
    HandleAndUnblock(sig, SIG_DFL);
    raise(sig);
    // Only reached when the signal could not end the process.
    _exit(128 + sig);
}

FaultKind KindOf(int sig, const siginfo_t* info, uintptr_t stackPointer) {
    switch (sig) {
        case SIGSEGV: {
            const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
            const uintptr_t distance = address > stackPointer ? address - stackPointer : stackPointer - address;
            if (address >= kStackOverflowWindow && distance < kStackOverflowWindow) return FaultKind::StackOverflow;
            return FaultKind::AccessViolation;
        }
        case SIGBUS: return info->si_code == BUS_ADRALN ? FaultKind::Misalignment : FaultKind::InPageError;
        case SIGILL:
            return (info->si_code == ILL_PRVOPC || info->si_code == ILL_PRVREG) ? FaultKind::PrivilegedInstruction
                                                                                : FaultKind::IllegalInstruction;
        case SIGFPE:
            switch (info->si_code) {
                case FPE_INTDIV: return FaultKind::IntegerDivideByZero;
                case FPE_INTOVF: return FaultKind::IntegerOverflow;
                case FPE_FLTDIV: return FaultKind::FloatDivideByZero;
                case FPE_FLTOVF: return FaultKind::FloatOverflow;
                case FPE_FLTUND: return FaultKind::FloatUnderflow;
                case FPE_FLTRES: return FaultKind::FloatInexact;
                case FPE_FLTINV: return FaultKind::FloatInvalid;
                case FPE_FLTSUB: return FaultKind::FloatSubscript;
                default: return FaultKind::Other;
            }
        case SIGTRAP: return info->si_code == TRAP_TRACE ? FaultKind::SingleStep : FaultKind::Breakpoint;
        case SIGABRT: return gUncaughtException.load() ? FaultKind::UncaughtException : FaultKind::Abort;
        default: return FaultKind::Other;
    }
}

void ReadRegisters(const void* context, FaultRegisters* regs) {
    const ucontext_t* uc = static_cast<const ucontext_t*>(context);
    if (!uc) return;
#if defined(__x86_64__)
    const greg_t* g = uc->uc_mcontext.gregs;
    regs->rax = static_cast<uint64_t>(g[REG_RAX]);
    regs->rbx = static_cast<uint64_t>(g[REG_RBX]);
    regs->rcx = static_cast<uint64_t>(g[REG_RCX]);
    regs->rdx = static_cast<uint64_t>(g[REG_RDX]);
    regs->rsi = static_cast<uint64_t>(g[REG_RSI]);
    regs->rdi = static_cast<uint64_t>(g[REG_RDI]);
    regs->rip = static_cast<uint64_t>(g[REG_RIP]);
    regs->rsp = static_cast<uint64_t>(g[REG_RSP]);
    regs->rbp = static_cast<uint64_t>(g[REG_RBP]);
    regs->flags = static_cast<uint64_t>(g[REG_EFL]);
    // cs, gs and fs packed into one word, in that order from the low end.
    const uint64_t segments = static_cast<uint64_t>(g[REG_CSGSFS]);
    regs->cs = static_cast<uint16_t>(segments & 0xFFFF);
    regs->gs = static_cast<uint16_t>((segments >> 16) & 0xFFFF);
    regs->fs = static_cast<uint16_t>((segments >> 32) & 0xFFFF);
#elif defined(__aarch64__)
    regs->rip = uc->uc_mcontext.pc;
    regs->rsp = uc->uc_mcontext.sp;
    regs->rbp = uc->uc_mcontext.regs[29];
    regs->flags = uc->uc_mcontext.pstate;
#endif
}

void OnReportTimeout(int) { DieWithSignal(gReportedSignal.load()); }

void OnFaultSignal(int sig, siginfo_t* info, void* context) {
    const uint32_t self = CurrentThreadId();
    uint32_t expected = 0;
    if (!gHandlingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) DieWithSignal(sig);  // a fault while reporting one
        // Another thread is reporting; it ends the process.
        for (;;) pause();
    }

    // A fault can leave a lock held that the report then waits for (an abort from inside the
    // allocator holds its lock): past the report's time the alarm ends the process with the
    // fault's own signal, rather than leave it hanging.
    gReportedSignal.store(sig);
    HandleAndUnblock(SIGALRM, OnReportTimeout);
    alarm(gReportSeconds.load());

    FaultInfo fault;
    fault.signal = sig;
    ReadRegisters(context, &fault.registers);
    fault.programCounter = static_cast<uintptr_t>(fault.registers.rip);
    fault.kind = KindOf(sig, info, static_cast<uintptr_t>(fault.registers.rsp));
    if (sig == SIGSEGV || sig == SIGBUS) fault.dataAddress = reinterpret_cast<uintptr_t>(info->si_addr);
    fault.threadId = self;

    // The unwinder passes through the signal frame; what lies before the interrupted
    // instruction belongs to this handler and is dropped.
    void* raw[kMaxFrames];
    const int rawCount = backtrace(raw, kMaxFrames);
    uintptr_t frames[kMaxFrames + 1];
    int count = 0;
    int start = -1;
    for (int i = 0; i < rawCount; ++i) {
        if (reinterpret_cast<uintptr_t>(raw[i]) == fault.programCounter) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        if (fault.programCounter) frames[count++] = fault.programCounter;
        start = 0;
    }
    for (int i = start; i < rawCount; ++i) frames[count++] = reinterpret_cast<uintptr_t>(raw[i]);
    fault.frames = frames;
    fault.frameCount = count;

    FaultHandler handler = gHandler.load();
    if (handler) handler(fault);
    DieWithSignal(sig);
}

void OnTerminate() {
    if (std::current_exception()) gUncaughtException.store(true);
    if (gPreviousTerminate) gPreviousTerminate();
    std::abort();
}

struct SegmentSearch {
    uintptr_t address;
    uint32_t segment;
    uint32_t offset;
    bool found;
    uintptr_t loadBias;
    bool mainProgram;
};

int FindSegment(struct dl_phdr_info* info, size_t, void* data) {
    SegmentSearch* search = static_cast<SegmentSearch*>(data);
    uint32_t number = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD) continue;
        ++number;
        const uintptr_t start = info->dlpi_addr + header.p_vaddr;
        if (search->address >= start && search->address < start + header.p_memsz) {
            search->segment = number;
            search->offset = static_cast<uint32_t>(search->address - start);
            search->found = true;
            search->loadBias = info->dlpi_addr;
            // The program itself is listed first, without a name.
            search->mainProgram = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
            return 1;
        }
    }
    return 0;
}

}  // namespace

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

FaultStack::FaultStack() {
    mMemory = std::malloc(kAltStackSize);
    if (!mMemory) return;
    stack_t stack;
    std::memset(&stack, 0, sizeof stack);
    stack.ss_sp = mMemory;
    stack.ss_size = kAltStackSize;
    mInstalled = sigaltstack(&stack, nullptr) == 0;
}

FaultStack::~FaultStack() {
    if (mInstalled) {
        stack_t current;
        if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == mMemory) {
            stack_t off;
            std::memset(&off, 0, sizeof off);
            off.ss_flags = SS_DISABLE;
            sigaltstack(&off, nullptr);
        }
    }
    std::free(mMemory);
}

bool InstallFaultHandler(FaultHandler handler) {
    gHandler.store(handler);
    if (gInstalled) return true;

    // The first backtrace loads the unwinder; do it now rather than inside a fault.
    void* warm[2];
    backtrace(warm, 2);

    // The installing thread's stack lives as long as the process.
    if (!gInstallerStack) gInstallerStack = new FaultStack();

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = OnFaultSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i) {
        if (sigaction(kSignals[i], &action, &gPrevious[i]) != 0) {
            for (int j = 0; j < i; ++j) sigaction(kSignals[j], &gPrevious[j], nullptr);
            return false;
        }
    }
    gPreviousTerminate = std::set_terminate(OnTerminate);
    gInstalled = true;
    return true;
}

void SetFaultReportSeconds(unsigned seconds) { gReportSeconds.store(seconds > 0 ? seconds : 1); }

void FaultReportWritten() { alarm(0); }

void UninstallFaultHandler() {
    if (!gInstalled) return;
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
    std::set_terminate(gPreviousTerminate);
    gPreviousTerminate = nullptr;
    gHandler.store(nullptr);
    gInstalled = false;
}

bool LookupCodeAddress(uintptr_t address, CodeLocation* out) {
    *out = CodeLocation();
    Dl_info info;
    std::memset(&info, 0, sizeof info);
    if (dladdr(reinterpret_cast<void*>(address), &info) == 0) return false;
    if (info.dli_fname) out->modulePath = info.dli_fname;
    if (info.dli_sname && info.dli_saddr && reinterpret_cast<uintptr_t>(info.dli_saddr) <= address) {
        out->symbol = info.dli_sname;
        out->symbolAddress = reinterpret_cast<uintptr_t>(info.dli_saddr);
    }
    SegmentSearch search = {address, 0, 0, false, 0, false};
    dl_iterate_phdr(FindSegment, &search);
    if (search.found) {
        out->segment = search.segment;
        out->offset = search.offset;
        out->fileAddress = address - search.loadBias;
        // The name the loader gives the program is the one it was started by, which a
        // change of folder makes useless; the kernel's link is not.
        if (search.mainProgram) {
            char path[4096];
            const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
            if (length > 0) out->modulePath.assign(path, static_cast<size_t>(length));
        }
    } else {
        out->offset = static_cast<uint32_t>(address - reinterpret_cast<uintptr_t>(info.dli_fbase));
    }
    return true;
}

std::string DemangleSymbol(const std::string& name) {
    if (name.compare(0, 2, "_Z") != 0) return name;
    int status = 0;
    char* readable = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    if (status != 0 || !readable) {
        std::free(readable);
        return name;
    }
    std::string result(readable);
    std::free(readable);
    return result;
}

std::vector<std::string> SourceLinesOf(const std::string& modulePath, const std::vector<uintptr_t>& fileAddresses) {
    std::vector<std::string> lines(fileAddresses.size());
    if (modulePath.empty() || fileAddresses.empty() || modulePath.find('\'') != std::string::npos) return lines;
    // binutils' addr2line reads the debug information; one output line per address.
    std::string command = "addr2line -e '" + modulePath + "'";
    for (uintptr_t address : fileAddresses) {
        char text[32];
        std::snprintf(text, sizeof text, " 0x%llx", static_cast<unsigned long long>(address));
        command += text;
    }
    command += " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return lines;
    char buffer[4096];
    for (std::string& line : lines) {
        if (std::fgets(buffer, sizeof buffer, pipe) == nullptr) break;
        std::string text(buffer);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        // "??:0", "??:?" and "file:?" say that nothing is known.
        const size_t colon = text.rfind(':');
        if (colon == std::string::npos || text.compare(0, 2, "??") == 0 || colon + 1 >= text.size() ||
            text[colon + 1] < '1' || text[colon + 1] > '9')
            continue;
        // addr2line may add " (discriminator n)".
        const size_t extra = text.find(' ', colon);
        line = extra == std::string::npos ? text : text.substr(0, extra);
    }
    pclose(pipe);
    return lines;
}

std::string CLibraryVersionText() { return std::string("glibc ") + gnu_get_libc_version(); }

namespace {
std::mutex gRendererMutex;
std::string gRendererText = "none";
}  // namespace

void SetGraphicsRendererText(const std::string& text) {
    std::lock_guard<std::mutex> lock(gRendererMutex);
    gRendererText = text;
}

std::string GraphicsRendererText() {
    // A crash may come while another thread holds the lock: then the text is not read.
    std::unique_lock<std::mutex> lock(gRendererMutex, std::try_to_lock);
    return lock.owns_lock() ? gRendererText : std::string("unknown");
}

std::string SystemVersionText() {
    struct utsname names;
    if (uname(&names) != 0) return "unknown";
    return std::string(names.sysname) + " " + names.release + " " + names.version + " " + names.machine;
}

}  // namespace plat
