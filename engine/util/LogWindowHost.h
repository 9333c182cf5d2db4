#pragma once

#include <memory>
#include <string>

// Where the windows of window loggers (Log.h) come from. The engine itself draws nothing:
// a program that wants logger windows installs a host (engine/logwindow gives one that runs
// each window in a program of its own); without a host a window logger only records that
// it was opened and shown. Main thread only, like the loggers.

// One logger window: made hidden, showing its title and the lines given to it, last line
// in view. Destroying it closes the window.
class LogWindow {
public:
    virtual ~LogWindow() = default;
    virtual void Show(bool show) = 0;
    // One line of text (no line break), appended at the bottom.
    virtual void AddLine(const std::string& line) = 0;
};

class LogWindowHost {
public:
    virtual ~LogWindowHost() = default;
    // A new hidden window with the title; null when none can be made.
    virtual std::unique_ptr<LogWindow> OpenLogWindow(const std::string& title) = 0;
};

// The host that window loggers opened from now on use; null for none. Not owned.
void SetLogWindowHost(LogWindowHost* host);
LogWindowHost* GetLogWindowHost();
