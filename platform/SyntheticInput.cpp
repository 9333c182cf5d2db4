#include "platform/SyntheticInput.h"

#include <cstring>

#include <SDL.h>

#include "platform/TextEncoding.h"
#include "platform/Window.h"

namespace plat {

namespace {

Uint32 IdOf(const Window& window) { return SDL_GetWindowID(static_cast<SDL_Window*>(window.NativeHandle())); }

bool Push(SDL_Event& event) { return SDL_PushEvent(&event) == 1; }

// The system key of a virtual key: the first key code that maps to it.
SDL_Keycode SdlKeyOf(int virtualKey) {
    static const SDL_Keycode candidates[] = {
            SDLK_BACKSPACE, SDLK_TAB,      SDLK_RETURN,    SDLK_LSHIFT,      SDLK_LCTRL,     SDLK_LALT,
            SDLK_PAUSE,     SDLK_CAPSLOCK, SDLK_ESCAPE,    SDLK_SPACE,       SDLK_PAGEUP,    SDLK_PAGEDOWN,
            SDLK_END,       SDLK_HOME,     SDLK_LEFT,      SDLK_UP,          SDLK_RIGHT,     SDLK_DOWN,
            SDLK_INSERT,    SDLK_DELETE,   SDLK_F1,        SDLK_F2,          SDLK_F3,        SDLK_F4,
            SDLK_F5,        SDLK_F6,       SDLK_F7,        SDLK_F8,          SDLK_F9,        SDLK_F10,
            SDLK_F11,       SDLK_F12,      SDLK_SEMICOLON, SDLK_EQUALS,      SDLK_COMMA,     SDLK_MINUS,
            SDLK_PERIOD,    SDLK_SLASH,    SDLK_BACKQUOTE, SDLK_LEFTBRACKET, SDLK_BACKSLASH, SDLK_RIGHTBRACKET,
            SDLK_QUOTE};
    if (virtualKey >= 'A' && virtualKey <= 'Z') return SDLK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return SDLK_0 + (virtualKey - '0');
    for (SDL_Keycode key : candidates) {
        if (VirtualKeyFromSdlKey(key) == virtualKey) return key;
    }
    return SDLK_UNKNOWN;
}

}  // namespace

bool SynthesizeKey(const Window& window, int virtualKey, bool down, bool ctrl, bool alt) {
    const SDL_Keycode key = SdlKeyOf(virtualKey);
    if (key == SDLK_UNKNOWN) return false;
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = IdOf(window);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = static_cast<Uint16>((ctrl ? KMOD_LCTRL : 0) | (alt ? KMOD_LALT : 0));
    return Push(event);
}

bool SynthesizeText(const std::string& text) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_TEXTINPUT;
    const std::string utf8 = Cp1252ToUtf8(text);
    if (utf8.size() >= sizeof event.text.text) return false;
    std::memcpy(event.text.text, utf8.data(), utf8.size());
    return Push(event);
}

bool SynthesizeMouseMove(const Window& window, int x, int y) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = IdOf(window);
    event.motion.x = x;
    event.motion.y = y;
    return Push(event);
}

bool SynthesizeButton(const Window& window, int button, bool down, int clicks, int x, int y) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = IdOf(window);
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = static_cast<Uint8>(clicks);
    event.button.x = x;
    event.button.y = y;
    return Push(event);
}

bool SynthesizeWheel(const Window& window, int notches) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = IdOf(window);
    event.wheel.y = notches;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return Push(event);
}

bool SynthesizeWindowEvent(const Window& window, SyntheticWindowEvent what) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = IdOf(window);
    switch (what) {
        case SyntheticWindowEvent::FocusGained: event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED; break;
        case SyntheticWindowEvent::FocusLost: event.window.event = SDL_WINDOWEVENT_FOCUS_LOST; break;
        case SyntheticWindowEvent::Minimized: event.window.event = SDL_WINDOWEVENT_MINIMIZED; break;
        case SyntheticWindowEvent::Restored: event.window.event = SDL_WINDOWEVENT_RESTORED; break;
        case SyntheticWindowEvent::Maximized: event.window.event = SDL_WINDOWEVENT_MAXIMIZED; break;
        case SyntheticWindowEvent::Close: event.window.event = SDL_WINDOWEVENT_CLOSE; break;
    }
    return Push(event);
}

}  // namespace plat
