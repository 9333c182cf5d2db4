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

namespace {

struct SharedGl {
    SDL_GLContext context = nullptr;
    bool failed = false;
    SDL_Window* window = nullptr;  // the window it was last current on
    bool otherCurrent = false;
    unsigned shownTexture = 0;  // holds the frame a window showed from it, while not 0
};

SharedGl& Gl() {
    static SharedGl gl;
    return gl;
}

}  // namespace

bool MakeWindowGlCurrent(void* window) {
    SharedGl& gl = Gl();
    SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
    if (gl.context == nullptr) {
        if (gl.failed || sdlWindow == nullptr) return false;
        gl.context = SDL_GL_CreateContext(sdlWindow);
        if (gl.context == nullptr) {
            gl.failed = true;
            return false;
        }
        // SDL unloads the GL library (and ends its EGL display, with our context) when its last
        // GL window goes; one more reference keeps it for the process, so that a window made
        // after the previous one was destroyed finds the context alive.
        SDL_GL_LoadLibrary(nullptr);
        gl.window = sdlWindow;
        gl.otherCurrent = false;
        return true;
    }
    if (gl.otherCurrent) {
        // SDL believes its context is still current; make it let go first.
        SDL_GL_MakeCurrent(nullptr, nullptr);
        gl.otherCurrent = false;
    }
    if (SDL_GL_MakeCurrent(sdlWindow, gl.context) != 0) return false;
    gl.window = sdlWindow;
    return true;
}

void ForgetGlWindow(void* window) {
    SharedGl& gl = Gl();
    if (gl.context == nullptr || gl.window != window) return;
    gl.window = nullptr;
    if (SDL_GL_GetCurrentWindow() == window) SDL_GL_MakeCurrent(nullptr, gl.context);
}

void* SharedGlContext() { return Gl().context; }

bool RestoreSharedGlContext() {
    SharedGl& gl = Gl();
    if (gl.context == nullptr) return false;
    if (!gl.otherCurrent && SDL_GL_GetCurrentContext() == gl.context) return true;
    return MakeWindowGlCurrent(gl.window);
}

void NoteOtherGlContextCurrent() { Gl().otherCurrent = true; }

void* GlProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

void NoteGlTextureShown(unsigned texture) { Gl().shownTexture = texture; }

void NoteGlTextureChanging(unsigned texture) {
    if (Gl().shownTexture == texture) Gl().shownTexture = 0;
}

bool IsGlTextureStillShown(unsigned texture) { return texture != 0 && Gl().shownTexture == texture; }

bool IsHeadlessVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}

}  // namespace plat
