#pragma once

// Modal message boxes (what MessageBoxA was). Types and answers keep the Windows numbers,
// so callers pass the same flags they were written with. Text and caption are
// Windows-1252 byte strings; "\r\n" line ends are fine.
//
// A box never blocks a run without a user: with VELM_NONINTERACTIVE=1, without a display
// (no DISPLAY or WAYLAND_DISPLAY, or SDL_VIDEODRIVER=dummy/offscreen), or when the system
// box cannot be shown, caption and text go to stderr and the default button's answer is
// returned. Call from the main thread.

#include <functional>
#include <string>

namespace plat {

// Buttons (low four bits of the type).
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbAbortRetryIgnore = 0x2;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbRetryCancel = 0x5;
// Icons.
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
// Default button (the first one unless one of these is given).
constexpr unsigned kMbDefButton2 = 0x100;
constexpr unsigned kMbDefButton3 = 0x200;

// Answers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type);

// The answer a box of this type gives when nobody can answer it: its default button.
int DefaultMessageBoxAnswer(unsigned type);

// Test hook: while set, every box is handed to `handler` instead (nothing is shown or
// printed) and its answer is returned. An empty function removes it.
using MessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, unsigned type)>;
void SetMessageBoxHandlerForTests(MessageBoxHandler handler);

}  // namespace plat
