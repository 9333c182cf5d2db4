#pragma once

// Private to platform/: the SDL video subsystem, which windows, cursors and the clipboard
// share. It is started on first use and kept for the rest of the process (the clipboard's
// contents live in it when there is no real display).

#include <string>

namespace plat {

// Starts SDL's video subsystem once; false with the reason when it cannot start.
bool EnsureSdlVideo(std::string* error = nullptr);
// True for SDL's in-memory drivers ("dummy", "offscreen"), where nobody sees the window.
bool IsHeadlessVideo();

}  // namespace plat
