#include "engine/logwindow/ProcessLogWindowHost.h"

#include <vector>

#include "engine/logwindow/LogWindowProgram.h"
#include "platform/ChildProcess.h"
#include "platform/DebugOutput.h"
#include "platform/Folders.h"

namespace Velm {

namespace {

// One window: its program, fed through the pipe. Destroying it ends the input, which
// closes the window; it waits for the program to end.
class ProcessLogWindow : public LogWindow {
public:
    explicit ProcessLogWindow(std::unique_ptr<plat::ChildPipe> pipe) : mPipe(std::move(pipe)) {}

    void Show(bool show) override { mPipe->Write(EncodeLogWindowShow(show)); }
    void AddLine(const std::string& line) override { mPipe->Write(EncodeLogWindowLine(line)); }

private:
    std::unique_ptr<plat::ChildPipe> mPipe;
};

}  // namespace

ProcessLogWindowHost::ProcessLogWindowHost(const std::string& program)
        : mProgram(program.empty() ? FindProgram() : program) {}

std::string ProcessLogWindowHost::FindProgram() {
    const std::string nextToProgram = plat::ExecutableFolder() + "velm_log_window";
    if (plat::IsExecutableFile(nextToProgram)) return nextToProgram;
#ifdef VELM_LOG_WINDOW_PROGRAM
    if (plat::IsExecutableFile(VELM_LOG_WINDOW_PROGRAM)) return VELM_LOG_WINDOW_PROGRAM;
#endif
    return std::string();
}

std::unique_ptr<LogWindow> ProcessLogWindowHost::OpenLogWindow(const std::string& title) {
    std::string error = "velm_log_window not found";
    std::unique_ptr<plat::ChildPipe> pipe;
    if (!mProgram.empty()) pipe = plat::ChildPipe::Start(mProgram, {title}, &error);
    if (!pipe) {
        if (!mFailureReported) plat::DebugOutput("Logger window \"" + title + "\": " + error + "\n");
        mFailureReported = true;
        return nullptr;
    }
    return std::unique_ptr<LogWindow>(new ProcessLogWindow(std::move(pipe)));
}

void InstallProcessLogWindows() {
    static ProcessLogWindowHost host;
    SetLogWindowHost(&host);
}

}  // namespace Velm
