#include "platform/SdlVideo.h"

#include "platform/FaultHandler.h"

#include <cstring>
#include <mutex>

#include <SDL.h>

namespace plat {

bool EnsureSdlVideo(std::string* error) {
    static std::mutex mutex;
    static bool started = false;
    static std::string failure;
    std::lock_guard<std::mutex> lock(mutex);
    if (!started) {
        // The program's coordinate remap is the only one; mouse positions stay raw pixels.
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // Our 3D device is an EGL context; the window's presenter must use EGL too, since
        // GLX and EGL contexts on one thread of one X display fight over the drawable.
        SDL_SetHint(SDL_HINT_VIDEO_X11_FORCE_EGL, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            failure = SDL_GetError();
            if (error) *error = failure;
            return false;
        }
        started = true;
    }
    return true;
}

std::string SdlVersionText() {
    SDL_version version;
    SDL_GetVersion(&version);
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.patch);
}

bool IsHeadlessVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}

}  // namespace plat
