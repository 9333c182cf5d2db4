#pragma once

// A modal message box whose buttons carry the caller's own labels (the crash report
// windows). Like ShowMessageBox it never blocks a run without a user: with
// VELM_NONINTERACTIVE=1, without a display, or when the box cannot be shown, caption
// and text go to stderr and the default button is taken. Text and labels are
// Windows-1252 byte strings.

#include <functional>
#include <string>
#include <vector>

namespace plat {

// Returns the index of the button pressed; closing the box answers `escapeIndex`.
int ShowButtonBox(const std::string& text, const std::string& caption, const std::vector<std::string>& labels,
                  int defaultIndex, int escapeIndex);

// Whether a box can be shown to a user now (what ShowButtonBox and ShowMessageBox check
// first).
bool CanShowButtonBox();

// Test hook: while set, every box is handed to `handler` instead (nothing is shown or
// printed) and its answer is returned. An empty function removes it.
using ButtonBoxHandler =
        std::function<int(const std::string& text, const std::string& caption, const std::vector<std::string>& labels)>;
void SetButtonBoxHandlerForTests(ButtonBoxHandler handler);

}  // namespace plat
