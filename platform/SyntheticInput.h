#pragma once

// Puts input into the system's event queue as a user would have made it, for tests that run
// whole programs under SDL's in-memory video driver: the window then translates it like any
// other event. Keys are given as virtual keys (WindowMessages.h) and text in
// Windows-1252. Main thread only.

#include <string>

namespace plat {

class Window;

enum class SyntheticWindowEvent { FocusGained, FocusLost, Minimized, Restored, Maximized, Close };

// False when the key has no system key code or the event could not be queued.
bool SynthesizeKey(const Window& window, int virtualKey, bool down, bool ctrl, bool alt);
bool SynthesizeText(const std::string& text);
bool SynthesizeMouseMove(const Window& window, int x, int y);
// button: 1 left, 2 middle, 3 right (the system's numbering); clicks counts a series.
bool SynthesizeButton(const Window& window, int button, bool down, int clicks, int x, int y);
bool SynthesizeWheel(const Window& window, int notches);
bool SynthesizeWindowEvent(const Window& window, SyntheticWindowEvent what);

}  // namespace plat
