#pragma once

#include <memory>
#include <string>

#include "engine/util/LogWindowHost.h"

namespace Velm {

// Logger windows that each run in a program of their own, velm_log_window (see
// LogWindowProgram.h): a window of our widget toolkit in its own SDL window, fed through a
// pipe, so that it never shares the game's window system state. The program is looked for
// next to the game's program, else where this build put it. A window that cannot be
// started is reported once to the debug log and the logger goes on without one. Main
// thread only.
class ProcessLogWindowHost : public LogWindowHost {
public:
    // The program to start; empty looks it up as above.
    explicit ProcessLogWindowHost(const std::string& program = std::string());

    std::unique_ptr<LogWindow> OpenLogWindow(const std::string& title) override;

    // Where velm_log_window was found; empty when nowhere.
    static std::string FindProgram();

private:
    std::string mProgram;
    bool mFailureReported = false;
};

// Makes logger windows open through one ProcessLogWindowHost from now on.
void InstallProcessLogWindows();

}  // namespace Velm
