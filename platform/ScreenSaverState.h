#pragma once

// The system screen saver as the idle pause needs it (what SystemParametersInfo's screen-saver
// queries and GetLastInputInfo were): the saver's timeout, whether it is on and running, and
// how long the user has been idle. On X11 the MIT-SCREEN-SAVER extension tells it (libXss);
// elsewhere (no X server, SDL's in-memory video driver, a build without libXss) it is not available
// and the caller goes on without an idle pause.
//
// Any thread; the connection to the X server is the layer's own, opened on first use.

#include <cstdint>

namespace plat {

struct ScreenSaverState {
    int timeoutSeconds = 0;  // 0: the saver never starts by itself
    bool active = false;     // the saver is enabled (a timeout is set)
    bool running = false;    // the saver is on now
    uint32_t idleMs = 0;     // since the last user input on the whole display
};

// False when the system does not tell.
bool QueryScreenSaverState(ScreenSaverState* state);

}  // namespace plat
