#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace plat {

namespace {

// Starts the program with a pipe to its standard input; the child's id, or -1. *writeEnd
// is the caller's end of the pipe.
pid_t SpawnWithInputPipe(const std::string& program, const std::vector<std::string>& arguments, int* writeEnd) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    // The child starts with the default signal actions, not with our fault handlers.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    const int handled[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGABRT, SIGPIPE};
    for (int sig : handled) sigaddset(&defaults, sig);
    sigset_t noMask;
    sigemptyset(&noMask);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &noMask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t child = -1;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeEnds[0]);
    if (spawned != 0) {
        close(pipeEnds[1]);
        return -1;
    }
    // The caller's end is not inherited by later children.
    fcntl(pipeEnds[1], F_SETFD, FD_CLOEXEC);
    *writeEnd = pipeEnds[1];
    return child;
}

// Writes what the reader takes; false when it stopped reading. A child that exits early
// must not end this process with SIGPIPE.
bool WriteAll(int fd, const char* data, size_t size) {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction previous = {};
    sigaction(SIGPIPE, &ignore, &previous);
    size_t written = 0;
    while (written < size) {
        const ssize_t n = write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    sigaction(SIGPIPE, &previous, nullptr);
    return written == size;
}

int WaitForChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

int RunChildProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& input) {
    int writeEnd = -1;
    const pid_t child = SpawnWithInputPipe(program, arguments, &writeEnd);
    if (child < 0) return -1;
    WriteAll(writeEnd, input.data(), input.size());
    close(writeEnd);
    return WaitForChild(child);
}

std::unique_ptr<ChildPipe> ChildPipe::Start(const std::string& program, const std::vector<std::string>& arguments,
                                            std::string* error) {
    int writeEnd = -1;
    const pid_t child = SpawnWithInputPipe(program, arguments, &writeEnd);
    if (child < 0) {
        if (error) *error = "cannot start " + program;
        return nullptr;
    }
    return std::unique_ptr<ChildPipe>(new ChildPipe(static_cast<int>(child), writeEnd));
}

ChildPipe::~ChildPipe() { CloseAndWait(); }

bool ChildPipe::Write(const std::string& bytes) {
    return mWriteEnd >= 0 && WriteAll(mWriteEnd, bytes.data(), bytes.size());
}

int ChildPipe::CloseAndWait() {
    if (mWriteEnd >= 0) {
        close(mWriteEnd);
        mWriteEnd = -1;
        mExitCode = WaitForChild(static_cast<pid_t>(mPid));
    }
    return mExitCode;
}

bool IsExecutableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace plat
