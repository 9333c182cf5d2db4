#pragma once

// The program's one debug log sink (what OutputDebugString was). Text goes to stderr
// unless a sink is installed; tests install one to read what was logged. Text is passed
// on as given (it usually carries its own line ends). Any thread may log; the sink is
// called under a lock, one message at a time.

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

}  // namespace plat
