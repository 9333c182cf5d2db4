#pragma once

#include <cstdio>
#include <memory>
#include <string>

class LogWindow;

// The engine's logging front end. Each Log_t has a file logger ("log.txt") and a window
// logger of its own and shares one more window logger, "Shared log window", with every
// other Log_t; output flags say which are in use. Loggers are counted: made with count 1,
// destroyed by the Release that brings the count to 0.
//
// A window logger's window comes from the installed LogWindowHost (LogWindowHost.h) when
// it is first shown, and lives until the logger is destroyed; closing it only hides it.
// Without a host the logger only records its title and whether it was asked to show.
// Log_t::Write sends a line to the windows its flags name; "log.txt" is never opened. The
// seven board layouts each hold a Log_t from static initialisation to exit. Main thread
// only.

class AbstractLogger_t {
public:
    AbstractLogger_t() = default;
    virtual ~AbstractLogger_t() = default;
    AbstractLogger_t(const AbstractLogger_t&) = delete;
    AbstractLogger_t& operator=(const AbstractLogger_t&) = delete;

    virtual void AddRef() { ++mRefCount; }
    // Destroys the logger when this was the last use.
    virtual void Release() {
        if (--mRefCount == 0) delete this;
    }
    int GetRefCount() const { return mRefCount; }

private:
    int mRefCount = 1;
};

class FileLogger_t : public AbstractLogger_t {
public:
    FileLogger_t() = default;
    ~FileLogger_t() override { Close(); }

    // Closes the log file when one is open.
    void Close();
    bool IsOpen() const { return mFile != nullptr; }
    const std::string& GetFileName() const { return mFileName; }

private:
    FILE* mFile = nullptr;
    std::string mFileName = "log.txt";
};

class WindowLogger_t : public AbstractLogger_t {
public:
    WindowLogger_t();
    ~WindowLogger_t() override;

    // Makes the (hidden) window, or shows it when it exists; a title given for a new
    // window replaces the stored one.
    void Open(const char* title);
    // Showing makes the window when there is none; hiding needs one.
    void Show(bool show);
    // Appends a line to the window; nothing without one.
    void AddLine(const std::string& line);
    bool IsOpen() const { return mOpen; }
    bool IsShown() const { return mShown; }
    const std::string& GetTitle() const { return mTitle; }
    // The host's window, null without a host.
    LogWindow* GetWindow() const { return mWindow.get(); }

private:
    std::string mTitle = "Shared log window";
    bool mOpen = false;  // the window was made (it is never destroyed before the logger)
    bool mShown = false;
    std::unique_ptr<LogWindow> mWindow;
};

class Log_t {
public:
    // Output flags: 1 file, 4 own window, 8 shared window; 2 is the initial value.
    static const int kFile = 1;
    static const int kOwnWindow = 4;
    static const int kSharedWindow = 8;

    Log_t();
    ~Log_t();
    Log_t(const Log_t&) = delete;
    Log_t& operator=(const Log_t&) = delete;

    // Clearing the file bit closes the log file; setting a window bit that was clear
    // shows that window. Setting the file bit opens nothing; clearing a window bit hides
    // nothing.
    void SetOutputs(int flags);
    // One line of text to the own window (flag 4) and the shared window (flag 8) when
    // their flags are set; a text of several lines is split at its line breaks.
    void Write(const std::string& text);
    int GetOutputs() const { return mOutputs; }
    int GetLevelMask() const { return mLevelMask; }
    WindowLogger_t* GetWindowLogger() const { return mWindowLogger; }
    FileLogger_t* GetFileLogger() const { return mFileLogger; }

private:
    int mOutputs = 2;
    int mLevelMask = 31;  // five level bits, kept for the callers that set them
    WindowLogger_t* mWindowLogger = nullptr;
    FileLogger_t* mFileLogger = nullptr;
};

// The window logger shared by every Log_t: made with the first Log_t, released with the
// last. AcquireSharedWindowLogger counts one more user and returns it.
WindowLogger_t* AcquireSharedWindowLogger();
void ReleaseSharedWindowLogger();
// Null while no Log_t lives.
WindowLogger_t* GetSharedWindowLogger();
int GetSharedWindowLoggerUsers();
