#include "platform/ScreenSaverState.h"

#include "platform/SdlVideo.h"

#include <cstdlib>
#include <mutex>

#ifdef VELM_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace plat {

#ifdef VELM_HAVE_XSS

namespace {

struct Connection {
    std::mutex mutex;
    bool tried = false;
    Display* display = nullptr;
};

Connection& TheConnection() {
    static Connection connection;
    return connection;
}

// Opens the display once; null when there is no X server or it lacks the extension. Called
// with the connection's mutex held.
Display* OpenDisplay(Connection& connection) {
    if (connection.tried) return connection.display;
    connection.tried = true;
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase)) {
        XCloseDisplay(display);
        return nullptr;
    }
    connection.display = display;
    return display;
}

}  // namespace

bool QueryScreenSaverState(ScreenSaverState* state) {
    if (state == nullptr) return false;
    // Nobody sits at an in-memory display: its runs never pause for a saver.
    if (IsHeadlessVideo()) return false;
    Connection& connection = TheConnection();
    std::lock_guard<std::mutex> lock(connection.mutex);
    Display* display = OpenDisplay(connection);
    if (display == nullptr) return false;
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (info == nullptr) return false;
    const bool ok = XScreenSaverQueryInfo(display, DefaultRootWindow(display), info) != 0;
    if (ok) {
        int timeout = 0;
        int interval = 0;
        int preferBlanking = 0;
        int allowExposures = 0;
        XGetScreenSaver(display, &timeout, &interval, &preferBlanking, &allowExposures);
        state->timeoutSeconds = timeout > 0 ? timeout : 0;
        state->active = info->state != ScreenSaverDisabled && timeout > 0;
        state->running = info->state == ScreenSaverOn;
        state->idleMs = static_cast<uint32_t>(info->idle);
    }
    XFree(info);
    return ok;
}

#else

bool QueryScreenSaverState(ScreenSaverState*) { return false; }

#endif

}  // namespace plat
