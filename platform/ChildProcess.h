#pragma once

// Starting a helper program and waiting for it (the crash report windows run in a
// process of their own, so that a damaged process draws nothing; the logger windows too,
// fed line by line through a pipe kept open).

#include <memory>
#include <string>
#include <vector>

namespace plat {

// Starts `program` with `arguments` (not counting the program name) and the caller's
// environment, writes `input` to its standard input, closes it, and waits until the
// program ends. Returns its exit code, 128 + the signal when a signal ended it, or -1
// when it could not be started. A program that stops reading does not stop the caller:
// the rest of the input is dropped. Safe to call from the fault handler.
int RunChildProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& input);

// A helper program started with the caller's environment and a pipe to its standard
// input that stays open while the caller writes to it. Destroying it closes the pipe and
// waits until the program ends. One thread at a time.
class ChildPipe {
public:
    // Null with a reason in *error when the program could not be started.
    static std::unique_ptr<ChildPipe> Start(const std::string& program, const std::vector<std::string>& arguments,
                                            std::string* error);
    ~ChildPipe();
    ChildPipe(const ChildPipe&) = delete;
    ChildPipe& operator=(const ChildPipe&) = delete;

    // All the bytes, or false once the program has stopped reading (it has ended); never
    // ends this process with SIGPIPE.
    bool Write(const std::string& bytes);
    // Closes the pipe and waits: the program's exit code as RunChildProcess gives it.
    int CloseAndWait();

private:
    ChildPipe(int pid, int writeEnd) : mPid(pid), mWriteEnd(writeEnd) {}
    int mPid;
    int mWriteEnd;  // -1 once closed
    int mExitCode = -1;
};

// Whether `path` names a file the user may run.
bool IsExecutableFile(const std::string& path);

}  // namespace plat
