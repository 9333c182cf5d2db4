#include "engine/util/Log.h"

#include "engine/util/LogWindowHost.h"

namespace {

// Constant-initialised, so that Log_t objects built during static initialisation of other
// files find it ready, and trivially destroyed, so that those destroyed at exit still do.
struct SharedLoggerState {
    WindowLogger_t* logger;
    int users;
};
SharedLoggerState gShared = {nullptr, 0};
LogWindowHost* gHost = nullptr;

}  // namespace

void SetLogWindowHost(LogWindowHost* host) { gHost = host; }

LogWindowHost* GetLogWindowHost() { return gHost; }

void FileLogger_t::Close() {
    if (mFile) std::fclose(mFile);
    mFile = nullptr;
}

WindowLogger_t::WindowLogger_t() = default;

WindowLogger_t::~WindowLogger_t() = default;

void WindowLogger_t::Open(const char* title) {
    if (mOpen) {
        Show(true);
        return;
    }
    if (title) mTitle = title;
    if (gHost) mWindow = gHost->OpenLogWindow(mTitle);
    mOpen = true;
}

void WindowLogger_t::Show(bool show) {
    if (show) {
        if (!mOpen) Open(nullptr);
        mShown = true;
    } else if (mOpen) {
        mShown = false;
    }
    if (mWindow) mWindow->Show(mShown);
}

void WindowLogger_t::AddLine(const std::string& line) {
    if (mWindow) mWindow->AddLine(line);
}

WindowLogger_t* AcquireSharedWindowLogger() {
    if (gShared.users == 0 && !gShared.logger) gShared.logger = new WindowLogger_t();
    ++gShared.users;
    return gShared.logger;
}

void ReleaseSharedWindowLogger() {
    if (gShared.users <= 0) return;
    if (--gShared.users == 0 && gShared.logger) {
        gShared.logger->Release();
        gShared.logger = nullptr;
    }
}

WindowLogger_t* GetSharedWindowLogger() { return gShared.logger; }

int GetSharedWindowLoggerUsers() { return gShared.users; }

Log_t::Log_t() {
    AcquireSharedWindowLogger();
    mFileLogger = new FileLogger_t();
    mWindowLogger = new WindowLogger_t();
}

Log_t::~Log_t() {
    ReleaseSharedWindowLogger();
    mWindowLogger->Release();
    mWindowLogger = nullptr;
    mFileLogger->Release();
    mFileLogger = nullptr;
}

void Log_t::Write(const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A text ending in a line break has no empty line after it.
        if (end < text.size() || !line.empty() || text.empty()) {
            if (mOutputs & kOwnWindow) mWindowLogger->AddLine(line);
            if ((mOutputs & kSharedWindow) && gShared.logger) gShared.logger->AddLine(line);
        }
        start = end + 1;
    }
}

void Log_t::SetOutputs(int flags) {
    if ((mOutputs & kFile) && !(flags & kFile)) mFileLogger->Close();
    if (!(mOutputs & kOwnWindow) && (flags & kOwnWindow)) mWindowLogger->Show(true);
    if (!(mOutputs & kSharedWindow) && (flags & kSharedWindow) && gShared.logger) gShared.logger->Show(true);
    mOutputs = flags;
}
