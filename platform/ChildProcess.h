#pragma once

// Starting a helper program and waiting for it (the crash report windows run in a
// process of their own, so that a damaged process draws nothing).

#include <string>
#include <vector>

namespace plat {

// Starts `program` with `arguments` (not counting the program name) and the caller's
// environment, writes `input` to its standard input, closes it, and waits until the
// program ends. Returns its exit code, 128 + the signal when a signal ended it, or -1
// when it could not be started. A program that stops reading does not stop the caller:
// the rest of the input is dropped. Safe to call from the fault handler.
int RunChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& input);

// Whether `path` names a file the user may run.
bool IsExecutableFile(const std::string& path);

}  // namespace plat
