#pragma once

// The program's one debug log sink (what OutputDebugString was). Text goes to stderr
// unless a sink is installed; tests install one to read what was logged. Text is passed
// on as given (it usually carries its own line ends). Any thread may log; the sink is
// called under a lock, one message at a time.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace plat {

using DebugSink = std::function<void(const std::string& text)>;

void DebugOutput(const std::string& text);

// Installs `sink`; an empty function restores stderr. Returns the previous sink (empty
// when it was stderr).
DebugSink SetDebugSink(DebugSink sink);

// Collects everything logged during its life (tests), then restores the previous sink.
class CapturedDebugOutput {
public:
    CapturedDebugOutput();
    ~CapturedDebugOutput();
    CapturedDebugOutput(const CapturedDebugOutput&) = delete;
    CapturedDebugOutput& operator=(const CapturedDebugOutput&) = delete;

    std::string Text() const;

private:
    struct Shared;
    std::unique_ptr<Shared> mShared;
    DebugSink mPrevious;
};

// Sends everything logged during its life to a file (created, or emptied), then restores the
// previous sink and closes the file: the program's debug lines go to its log instead of the
// player's terminal. When the file cannot be opened nothing changes (IsOpen is false).
class DebugOutputFile {
public:
    explicit DebugOutputFile(const std::string& path);
    ~DebugOutputFile();
    DebugOutputFile(const DebugOutputFile&) = delete;
    DebugOutputFile& operator=(const DebugOutputFile&) = delete;

    bool IsOpen() const { return mFile != nullptr; }

private:
    std::FILE* mFile = nullptr;
    DebugSink mPrevious;
};

}  // namespace plat
