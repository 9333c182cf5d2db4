#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace plat {
class Window;
}

namespace Velm {

class LogWindowScreen;

// The logger window's program, "velm_log_window <title>": one logger window, fed through
// its standard input with one command a line: "L" and a line of the log, "S" to show the
// window, "H" to hide it. The window starts hidden; its close box only hides it; the end of
// the input closes it and ends the program.

// The commands as the feeding side writes them. Line breaks inside a line become blanks.
std::string EncodeLogWindowLine(const std::string& line);
std::string EncodeLogWindowShow(bool show);

// Applies one command (without its line break) to the screen and the shown state; unknown
// commands are ignored.
void ApplyLogWindowCommand(const std::string& command, LogWindowScreen& screen, bool* shown);

// Command lines handed from the thread that reads the input to the window's loop.
class LogWindowInput {
public:
    void Push(const std::string& command);
    // The input has ended.
    void Close();
    // Moves the waiting commands into *out; false once the input has ended and nothing is
    // left. Waits at most waitMs for a first command.
    bool Take(std::vector<std::string>* out, int waitMs);

private:
    std::mutex mMutex;
    std::condition_variable mArrived;
    std::deque<std::string> mCommands;
    bool mClosed = false;
};

// Runs the window on SDL until the input ends: a hidden window of the default size with the
// title, the commands applied as they come, the widgets drawn and presented after every
// change. False when no window could be made (the caller drains the input). afterFrame,
// when given, is called after every frame shown (tests put messages into the window's
// queue through it).
bool RunLogWindow(const std::string& title, LogWindowInput& input,
                  const std::function<void(plat::Window&, LogWindowScreen&)>& afterFrame = nullptr);

}  // namespace Velm
