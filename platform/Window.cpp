#include "platform/Window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <SDL.h>

#include "platform/Clock.h"
#include "platform/SdlVideo.h"
#include "platform/TextEncoding.h"
#include "platform/WindowGl.h"

namespace plat {

namespace {

SDL_Window* Sdl(void* window) { return static_cast<SDL_Window*>(window); }

struct KeyRow {
    SDL_Keycode sdl;
    int vk;
};

// Keys whose virtual-key code is not their own character.
const KeyRow kKeyTable[] = {
        {SDLK_BACKSPACE, VK_BACK},
        {SDLK_TAB, VK_TAB},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_RETURN2, VK_RETURN},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_LSHIFT, VK_SHIFT},
        {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_LCTRL, VK_CONTROL},
        {SDLK_RCTRL, VK_CONTROL},
        {SDLK_LALT, VK_MENU},
        {SDLK_RALT, VK_MENU},
        {SDLK_PAUSE, VK_PAUSE},
        {SDLK_CAPSLOCK, VK_CAPITAL},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_SPACE, VK_SPACE},
        {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_END, VK_END},
        {SDLK_HOME, VK_HOME},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_UP, VK_UP},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_PRINTSCREEN, VK_SNAPSHOT},
        {SDLK_INSERT, VK_INSERT},
        {SDLK_DELETE, VK_DELETE},
        {SDLK_LGUI, VK_LWIN},
        {SDLK_RGUI, VK_RWIN},
        {SDLK_APPLICATION, VK_APPS},
        {SDLK_KP_MULTIPLY, VK_MULTIPLY},
        {SDLK_KP_PLUS, VK_ADD},
        {SDLK_KP_MINUS, VK_SUBTRACT},
        {SDLK_KP_PERIOD, VK_DECIMAL},
        {SDLK_KP_DIVIDE, VK_DIVIDE},
        {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
        {SDLK_SCROLLLOCK, VK_SCROLL},
        {SDLK_SEMICOLON, VK_OEM_1},
        {SDLK_EQUALS, VK_OEM_PLUS},
        {SDLK_COMMA, VK_OEM_COMMA},
        {SDLK_MINUS, VK_OEM_MINUS},
        {SDLK_PERIOD, VK_OEM_PERIOD},
        {SDLK_SLASH, VK_OEM_2},
        {SDLK_BACKQUOTE, VK_OEM_3},
        {SDLK_LEFTBRACKET, VK_OEM_4},
        {SDLK_BACKSLASH, VK_OEM_5},
        {SDLK_RIGHTBRACKET, VK_OEM_6},
        {SDLK_QUOTE, VK_OEM_7},
};

const SDL_Keycode kKeypadDigits[10] = {SDLK_KP_0, SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4,
                                       SDLK_KP_5, SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};

uint32_t ModifierKeyBits() {
    const SDL_Keymod mod = SDL_GetModState();
    uint32_t bits = 0;
    if (mod & KMOD_SHIFT) bits |= MK_SHIFT;
    if (mod & KMOD_CTRL) bits |= MK_CONTROL;
    return bits;
}

uint32_t ButtonBits(uint32_t sdlButtons) {
    uint32_t bits = 0;
    if (sdlButtons & SDL_BUTTON_LMASK) bits |= MK_LBUTTON;
    if (sdlButtons & SDL_BUTTON_RMASK) bits |= MK_RBUTTON;
    if (sdlButtons & SDL_BUTTON_MMASK) bits |= MK_MBUTTON;
    return bits;
}

// Splits UTF-8 into characters; a malformed byte is a character of its own.
std::vector<std::string> SplitUtf8(const char* text) {
    std::vector<std::string> out;
    const size_t length = std::strlen(text);
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t size = 1;
        if (lead >= 0xF0)
            size = 4;
        else if (lead >= 0xE0)
            size = 3;
        else if (lead >= 0xC0)
            size = 2;
        if (i + size > length) size = 1;
        for (size_t k = 1; k < size; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                size = 1;
                break;
            }
        }
        out.push_back(std::string(text + i, size));
        i += size;
    }
    return out;
}

}  // namespace

int VirtualKeyFromSdlKey(int32_t sdlKey) {
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) return 'A' + (sdlKey - SDLK_a);
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) return '0' + (sdlKey - SDLK_0);
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) return VK_F1 + (sdlKey - SDLK_F1);
    for (int i = 0; i < 10; ++i) {
        if (sdlKey == kKeypadDigits[i]) return VK_NUMPAD0 + i;
    }
    for (const KeyRow& row : kKeyTable) {
        if (row.sdl == sdlKey) return row.vk;
    }
    return 0;
}

bool GetWorkArea(ScreenRect* area) {
    if (!EnsureSdlVideo()) return false;
    SDL_Rect rect;
    if (SDL_GetDisplayUsableBounds(0, &rect) != 0 && SDL_GetDisplayBounds(0, &rect) != 0) return false;
    area->x = rect.x;
    area->y = rect.y;
    area->width = rect.w;
    area->height = rect.h;
    return true;
}

bool GetDesktopSize(int* width, int* height) {
    if (!EnsureSdlVideo()) return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

namespace {

// Where SDL found no display it falls back on its in-memory driver by itself: a window there
// is seen by nobody, so it is made only when that driver was asked for (SDL_VIDEODRIVER).
bool NoDisplayFound(std::string* reason) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (!IsHeadlessVideo() || (asked != nullptr && asked[0] != '\0')) return false;
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && display[0] != '\0') {
        *reason = std::string("cannot open the X display \"") + display + "\"";
    } else {
        *reason = "no display (DISPLAY is not set)";
    }
    return true;
}

}  // namespace

std::unique_ptr<Window> Window::Create(const Params& params, std::string* error) {
    std::string reason;
    if (!EnsureSdlVideo(&reason) || NoDisplayFound(&reason)) {
        if (error) *error = "video: " + reason;
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (params.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (params.maximizable) flags |= SDL_WINDOW_RESIZABLE;
    int x = params.x == -1 ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : params.x;
    int y = params.x == -1 ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : params.y;
    int width = params.width;
    int height = params.height;
    SDL_Rect desktop;
    if (params.fullScreen && SDL_GetDisplayBounds(0, &desktop) == 0) {
        // A full-screen window is made over the whole desktop. SDL reports the desktop's
        // size for it from then on; a window manager that does not honour the full-screen
        // state (or none, on a bare X server) would otherwise leave it at the frame's size,
        // and the picture and the pointer would be placed for a client area it lacks.
        x = desktop.x;
        y = desktop.y;
        width = desktop.w;
        height = desktop.h;
    } else if (params.fullScreen) {
        x = y = static_cast<int>(SDL_WINDOWPOS_CENTERED);
    }
    // On a real display the window shows frames through the process's GL context, which the
    // 3D device shares; where OpenGL is missing it falls back on SDL's renderer.
    const std::string title = Cp1252ToUtf8(params.title);
    SDL_Window* window = nullptr;
    if (!IsHeadlessVideo()) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags | SDL_WINDOW_OPENGL);
    }
    if (window == nullptr) window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
    if (window == nullptr) {
        if (error) *error = std::string("window: ") + SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<Window> result(new Window());
    result->mWindow = window;
    result->mWindowId = SDL_GetWindowID(window);
    result->mFullScreen = params.fullScreen;
    result->mHeadless = IsHeadlessVideo();
    result->mOwnerThread = std::this_thread::get_id();
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) != 0 && MakeWindowGlCurrent(window)) {
        result->mGl = std::make_unique<WindowGl>();
        if (!result->mGl->Load()) result->mGl.reset();
    }
    if (result->mGl != nullptr && result->mGl->IsSoftware()) {
        // SDL would otherwise make the window surface a texture drawn by a GL renderer.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        result->mSoftwareGl = true;
        result->mSurfacePresents = true;
    }
    result->UpdateClientOrigin();
    // Events from before this window (a previous window's leftovers) are not its own.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    return result;
}

Window::~Window() {
    if (mGl != nullptr && MakeWindowGlCurrent(mWindow)) mGl->Release();
    mGl.reset();
    ForgetGlWindow(mWindow);
    if (mTexture) SDL_DestroyTexture(static_cast<SDL_Texture*>(mTexture));
    if (mRenderer) SDL_DestroyRenderer(static_cast<SDL_Renderer*>(mRenderer));
    if (mWindow) SDL_DestroyWindow(Sdl(mWindow));
}

void Window::UpdateClientOrigin() {
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(Sdl(mWindow), &x, &y);
    mOriginX.store(x);
    mOriginY.store(y);
}

void Window::Queue(uint32_t message, uint32_t wParam, uint32_t lParam) {
    WindowMessage record;
    record.message = message;
    record.wParam = wParam;
    record.lParam = lParam;
    mQueue.push_back(record);
}

void Window::PostMessage(uint32_t message, uint32_t wParam, uint32_t lParam) { Queue(message, wParam, lParam); }

void Window::PumpSystemEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) TranslateEvent(&event);
}

void Window::TranslateEvent(const void* raw) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    switch (event.type) {
        case SDL_QUIT: Queue(WM_CLOSE, 0, 0); break;
        case SDL_DISPLAYEVENT: Queue(WM_DISPLAYCHANGE, 32, 0); break;
        case SDL_WINDOWEVENT: {
            if (event.window.windowID != mWindowId) break;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    mHeadlessFocus = true;
                    Queue(WM_ACTIVATEAPP, 1, 0);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    mHeadlessFocus = false;
                    Queue(WM_ACTIVATEAPP, 0, 0);
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    mMinimized = true;
                    Queue(WM_SIZE, SIZE_MINIMIZED, 0);
                    break;
                case SDL_WINDOWEVENT_MAXIMIZED: {
                    FrameLost();
                    int w = 0;
                    int h = 0;
                    GetClientSize(&w, &h);
                    Queue(WM_SIZE, SIZE_MAXIMIZED, MakeLParam(w, h));
                    break;
                }
                case SDL_WINDOWEVENT_RESTORED: {
                    FrameLost();
                    mMinimized = false;
                    int w = 0;
                    int h = 0;
                    GetClientSize(&w, &h);
                    Queue(WM_SIZE, SIZE_RESTORED, MakeLParam(w, h));
                    break;
                }
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    FrameLost();
                    // A full-screen window takes the desktop's size once shown.
                    if (!mMinimized) Queue(WM_SIZE, SIZE_RESTORED, MakeLParam(event.window.data1, event.window.data2));
                    break;
                case SDL_WINDOWEVENT_MOVED:
                    mOriginX.store(event.window.data1);
                    mOriginY.store(event.window.data2);
                    Queue(WM_MOVE, 0, MakeLParam(event.window.data1, event.window.data2));
                    break;
                case SDL_WINDOWEVENT_CLOSE: Queue(WM_CLOSE, 0, 0); break;
                case SDL_WINDOWEVENT_EXPOSED:
                    FrameLost();
                    Queue(WM_PAINT, 0, 0);
                    break;
                case SDL_WINDOWEVENT_ENTER: mPointerInside.store(true); break;
                case SDL_WINDOWEVENT_LEAVE: mPointerInside.store(false); break;
                default: break;
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int vk = VirtualKeyFromSdlKey(event.key.keysym.sym);
            if (vk == 0) break;
            const bool down = event.type == SDL_KEYDOWN;
            const Uint16 mod = event.key.keysym.mod;
            const bool alt = (mod & KMOD_ALT) != 0;
            const bool ctrl = (mod & KMOD_CTRL) != 0;
            const bool sys = (alt && !ctrl) || vk == VK_F10 || (vk == VK_MENU && !ctrl);
            uint32_t lParam = 1;
            if (alt) lParam |= 1u << 29;
            if (down && (event.key.repeat || mKeyHeld[vk])) lParam |= 1u << 30;
            if (!down) lParam |= (1u << 30) | (1u << 31);
            mKeyHeld[vk] = down;
            if (down)
                Queue(sys ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<uint32_t>(vk), lParam);
            else
                Queue(sys ? WM_SYSKEYUP : WM_KEYUP, static_cast<uint32_t>(vk), lParam);
            if (!down) break;
            // The control characters the system sends no text for.
            int character = 0;
            if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE)
                character = vk;
            else if (ctrl && !alt && vk >= 'A' && vk <= 'Z')
                character = vk - 'A' + 1;
            if (character != 0 && !(ctrl && alt))
                Queue(alt ? WM_SYSCHAR : WM_CHAR, static_cast<uint32_t>(character), lParam & ~(1u << 30));
            break;
        }
        case SDL_TEXTINPUT: {
            const SDL_Keymod mod = SDL_GetModState();
            const bool alt = (mod & KMOD_ALT) != 0 && (mod & KMOD_CTRL) == 0;
            for (const std::string& character : SplitUtf8(event.text.text)) {
                const std::string converted = Utf8ToCp1252(character, '\0');
                if (converted.size() != 1 || converted[0] == '\0') continue;
                Queue(alt ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(converted[0]), alt ? (1u << 29) | 1u : 1u);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            if (event.motion.windowID != mWindowId) break;
            mPointerX.store(event.motion.x);
            mPointerY.store(event.motion.y);
            mPointerInside.store(true);
            Queue(WM_MOUSEMOVE, ButtonBits(event.motion.state) | ModifierKeyBits(),
                  MakeLParam(event.motion.x, event.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (event.button.windowID != mWindowId) break;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            // The second click of every pair is a double click, as the system counts them.
            const bool twice = down && event.button.clicks >= 2 && event.button.clicks % 2 == 0;
            uint32_t message = 0;
            switch (event.button.button) {
                case SDL_BUTTON_LEFT:
                    message = down ? (twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
                    break;
                case SDL_BUTTON_RIGHT:
                    message = down ? (twice ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
                    break;
                case SDL_BUTTON_MIDDLE:
                    message = down ? (twice ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN) : WM_MBUTTONUP;
                    break;
                default: return;
            }
            mPointerX.store(event.button.x);
            mPointerY.store(event.button.y);
            Queue(message, ButtonBits(SDL_GetMouseState(nullptr, nullptr)) | ModifierKeyBits(),
                  MakeLParam(event.button.x, event.button.y));
            break;
        }
        case SDL_MOUSEWHEEL: {
            if (event.wheel.windowID != mWindowId || event.wheel.y == 0) break;
            int notches = event.wheel.y;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            const uint32_t wParam = (static_cast<uint32_t>(notches * WHEEL_DELTA) << 16) |
                                    ButtonBits(SDL_GetMouseState(nullptr, nullptr)) | ModifierKeyBits();
            Queue(WM_MOUSEWHEEL, wParam, MakeLParam(mPointerX.load(), mPointerY.load()));
            break;
        }
        default: break;
    }
}

bool Window::PeekMessage(WindowMessage* message) {
    PresentPendingFrame();
    PumpSystemEvents();
    if (mQueue.empty() && mTimerPeriodMs != 0) {
        const uint64_t now = NowMs();
        if (now >= mTimerDueMs) {
            mTimerDueMs = now + mTimerPeriodMs;
            Queue(WM_TIMER, 100, 0);
        }
    }
    if (mQueue.empty()) return false;
    *message = mQueue.front();
    mQueue.pop_front();
    return true;
}

void Window::DefaultHandling(const WindowMessage& message) {
    switch (message.message) {
        case WM_SYSKEYDOWN:
            if (message.wParam == static_cast<uint32_t>(VK_F4) && (message.lParam & (1u << 29)))
                PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case WM_SYSCOMMAND:
            if ((message.wParam & 0xFFF0) == SC_CLOSE) PostMessage(WM_CLOSE, 0, 0);
            break;
        default: break;
    }
}

void Window::SetTimer(uint32_t periodMs) {
    mTimerPeriodMs = periodMs;
    mTimerDueMs = NowMs() + periodMs;
}

void Window::Show(bool activate) {
    SDL_ShowWindow(Sdl(mWindow));
    if (activate) SDL_RaiseWindow(Sdl(mWindow));
    UpdateClientOrigin();
}

void Window::Hide() { SDL_HideWindow(Sdl(mWindow)); }

void Window::BringToFront() {
    if (IsMinimized()) SDL_RestoreWindow(Sdl(mWindow));
    SDL_RaiseWindow(Sdl(mWindow));
}

void Window::Minimize() {
    SDL_MinimizeWindow(Sdl(mWindow));
    if (mHeadless && !mMinimized) {
        // The in-memory driver tells nobody; say it as a real system would.
        mMinimized = true;
        Queue(WM_SIZE, SIZE_MINIMIZED, 0);
    }
}

bool Window::IsMinimized() const {
    return mMinimized || (SDL_GetWindowFlags(Sdl(mWindow)) & SDL_WINDOW_MINIMIZED) != 0;
}

bool Window::IsVisible() const { return (SDL_GetWindowFlags(Sdl(mWindow)) & SDL_WINDOW_SHOWN) != 0; }

bool Window::HasFocus() const {
    if (mHeadless) return mHeadlessFocus;
    return (SDL_GetWindowFlags(Sdl(mWindow)) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void Window::GetFrameSizes(int* left, int* top, int* right, int* bottom) const {
    *left = *top = *right = *bottom = 0;
    if (SDL_GetWindowBordersSize(Sdl(mWindow), top, left, bottom, right) != 0) *left = *top = *right = *bottom = 0;
}

void Window::GetClientOrigin(int* x, int* y) const {
    *x = mOriginX.load();
    *y = mOriginY.load();
}

void Window::GetClientSize(int* width, int* height) const { SDL_GetWindowSize(Sdl(mWindow), width, height); }

void Window::Move(int x, int y) {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    GetFrameSizes(&left, &top, &right, &bottom);
    SDL_SetWindowPosition(Sdl(mWindow), x + left, y + top);
    UpdateClientOrigin();
}

void Window::WarpPointer(int x, int y) { SDL_WarpMouseInWindow(Sdl(mWindow), x, y); }

bool Window::PointerInFrame(int* x, int* y) const {
    const bool inside = PointerPosition(x, y);
    const int frameWidth = mFrameWidth.load();
    const int frameHeight = mFrameHeight.load();
    const int placeWidth = mPlaceWidth.load();
    const int placeHeight = mPlaceHeight.load();
    if (frameWidth > 0 && frameHeight > 0 && placeWidth > 0 && placeHeight > 0) {
        *x = static_cast<int>(static_cast<int64_t>(*x - mPlaceX.load()) * frameWidth / placeWidth);
        *y = static_cast<int>(static_cast<int64_t>(*y - mPlaceY.load()) * frameHeight / placeHeight);
    }
    return inside;
}

bool Window::PointerPosition(int* x, int* y) const {
    // Kept from the events the main thread takes, so that any thread may ask without
    // calling into the system.
    *x = mPointerX.load();
    *y = mPointerY.load();
    return mPointerInside.load();
}

void Window::SetVSync(bool on) {
    if (on == mVSync) return;
    mVSync = on;
    if (mRenderer != nullptr) SDL_RenderSetVSync(static_cast<SDL_Renderer*>(mRenderer), on ? 1 : 0);
}

int Window::RefreshRate() const {
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(Sdl(mWindow), &mode) != 0) return 0;
    return mode.refresh_rate;
}

ScreenRect Window::PresentationRect(int frameWidth, int frameHeight) const {
    ScreenRect rect;
    int clientWidth = 0;
    int clientHeight = 0;
    GetClientSize(&clientWidth, &clientHeight);
    if (frameWidth <= 0 || frameHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) return rect;
    // The largest size of the frame's shape that fits, centred: bars left and right or
    // above and below.
    if (static_cast<int64_t>(clientWidth) * frameHeight <= static_cast<int64_t>(clientHeight) * frameWidth) {
        rect.width = clientWidth;
        rect.height = static_cast<int>(static_cast<int64_t>(clientWidth) * frameHeight / frameWidth);
    } else {
        rect.height = clientHeight;
        rect.width = static_cast<int>(static_cast<int64_t>(clientHeight) * frameWidth / frameHeight);
    }
    rect.x = (clientWidth - rect.width) / 2;
    rect.y = (clientHeight - rect.height) / 2;
    return rect;
}

bool Window::Present(const uint32_t* pixels, int width, int height, int pitchBytes) {
    if (pixels == nullptr || width <= 0 || height <= 0) return false;
    if (std::this_thread::get_id() == mOwnerThread) {
        // A newer frame than one another thread left.
        mHasPendingFrame.store(false);
        return PresentNow(pixels, width, height, pitchBytes);
    }
    std::lock_guard<std::mutex> lock(mPendingMutex);
    mPendingFrame.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                                static_cast<size_t>(y) * pitchBytes);
        std::copy(row, row + width, mPendingFrame.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    mPendingWidth = width;
    mPendingHeight = height;
    mHasPendingFrame.store(true);
    return true;
}

void Window::PresentPendingFrame() {
    if (mOverlayMoved.exchange(false) && mTextureFrame != 0 && mGl != nullptr &&
        std::this_thread::get_id() == mOwnerThread && IsGlTextureStillShown(mTextureFrame) && MakeGlCurrent()) {
        int clientWidth = 0;
        int clientHeight = 0;
        GetClientSize(&clientWidth, &clientHeight);
        DrawTextureFrame(clientWidth, clientHeight);
        SDL_GL_SwapWindow(Sdl(mWindow));
        mFramesShown.fetch_add(1);
    }
    if (!mHasPendingFrame.load()) return;
    std::lock_guard<std::mutex> lock(mPendingMutex);
    if (!mHasPendingFrame.exchange(false)) return;
    PresentNow(mPendingFrame.data(), mPendingWidth, mPendingHeight, mPendingWidth * 4);
}

void Window::NotePlace(int width, int height, const ScreenRect& place) {
    mFrameWidth.store(width);
    mFrameHeight.store(height);
    mPlaceX.store(place.x);
    mPlaceY.store(place.y);
    mPlaceWidth.store(place.width);
    mPlaceHeight.store(place.height);
}

bool Window::MakeGlCurrent() {
    if (mGl == nullptr || !MakeWindowGlCurrent(mWindow)) return false;
    const int interval = mVSync ? 1 : 0;
    if (interval != mSwapInterval) {
        SDL_GL_SetSwapInterval(interval);
        mSwapInterval = interval;
    }
    return true;
}

bool Window::PresentGl(const uint32_t* pixels, int width, int height, int pitchBytes) {
    if (!MakeGlCurrent() || !mGl->Upload(pixels, width, height, pitchBytes, &mChanged)) return false;
    int clientWidth = 0;
    int clientHeight = 0;
    GetClientSize(&clientWidth, &clientHeight);
    const ScreenRect place = PresentationRect(width, height);
    NotePlace(width, height, place);
    mGl->Draw(place, clientWidth, clientHeight);
    SDL_GL_SwapWindow(Sdl(mWindow));
    mFramesShown.fetch_add(1);
    return true;
}

bool Window::PresentTexture(unsigned texture, int width, int height) {
    if (texture == 0 || width <= 0 || height <= 0 || std::this_thread::get_id() != mOwnerThread || !MakeGlCurrent())
        return false;
    mHasPendingFrame.store(false);  // older than this one
    FrameLost();
    int clientWidth = 0;
    int clientHeight = 0;
    GetClientSize(&clientWidth, &clientHeight);
    NotePlace(width, height, PresentationRect(width, height));
    // ReadBack and overlay moves draw the frame again from the texture, while its owner has
    // not started the next one in it.
    mTextureFrame = texture;
    mTextureFrameWidth = width;
    mTextureFrameHeight = height;
    mOverlayMoved.store(false);
    NoteGlTextureShown(texture);
    DrawTextureFrame(clientWidth, clientHeight);
    SDL_GL_SwapWindow(Sdl(mWindow));
    mFramesShown.fetch_add(1);
    return true;
}

void Window::DrawTextureFrame(int clientWidth, int clientHeight) {
    mGl->Draw(PresentationRect(mTextureFrameWidth, mTextureFrameHeight), clientWidth, clientHeight, mTextureFrame,
              false, mTextureFrameWidth, mTextureFrameHeight,
              mGl->HasOverlay() ? mOverlayX.load() : WindowGl::kNoOverlay, mOverlayY.load());
}

bool Window::SetOverlay(const uint32_t* pixels, int width, int height) {
    if (mGl == nullptr || std::this_thread::get_id() != mOwnerThread || !MakeGlCurrent()) return false;
    return mGl->UploadOverlay(pixels, width, height);
}

void Window::MoveOverlay(int x, int y) {
    mOverlayX.store(x);
    mOverlayY.store(y);
    mOverlayMoved.store(true);
}

void Window::FrameLost() {
    mChanges.Invalidate();
    mSurfaceShown = false;
}

bool Window::PresentSurface(int width, int height) {
    SDL_Surface* surface = SDL_GetWindowSurface(Sdl(mWindow));
    if (surface == nullptr ||
        (surface->format->format != SDL_PIXELFORMAT_RGB888 && surface->format->format != SDL_PIXELFORMAT_ARGB8888))
        return false;
    const ScreenRect place = PresentationRect(width, height);
    if (place.width <= 0 || place.height <= 0 || place.x + place.width > surface->w ||
        place.y + place.height > surface->h)
        return false;
    NotePlace(width, height, place);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    std::vector<SDL_Rect> update;
    if (!mSurfaceShown) {
        // Whatever the window showed before (a GL frame, nothing) goes; the bars are black.
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        update.push_back({0, 0, surface->w, surface->h});
    }
    const uint32_t* frame = mChanges.Pixels();
    if (place.width == width && place.height == height) {
        const std::vector<ScreenRect> whole(1, ScreenRect{0, 0, width, height});
        for (const ScreenRect& part : mSurfaceShown ? mChanged : whole) {
            for (int y = part.y; y < part.y + part.height; ++y) {
                uint8_t* to = static_cast<uint8_t*>(surface->pixels) +
                              static_cast<size_t>(place.y + y) * surface->pitch +
                              static_cast<size_t>(place.x + part.x) * 4;
                std::memcpy(to, frame + static_cast<size_t>(y) * width + part.x, static_cast<size_t>(part.width) * 4);
            }
            if (mSurfaceShown) update.push_back({place.x + part.x, place.y + part.y, part.width, part.height});
        }
    } else {
        // Scaled to the place: the whole picture goes again.
        SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(frame), width, height, 32,
                                                               width * 4, surface->format->format);
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        SDL_Rect to = {place.x, place.y, place.width, place.height};
        const bool drawn = from != nullptr && SDL_BlitScaled(from, nullptr, surface, &to) == 0;
        SDL_FreeSurface(from);
        if (!drawn) return false;
        if (mSurfaceShown) update.push_back({place.x, place.y, place.width, place.height});
    }
    if (SDL_MUSTLOCK(surface) && surface->locked) SDL_UnlockSurface(surface);
    if (SDL_UpdateWindowSurfaceRects(Sdl(mWindow), update.data(), static_cast<int>(update.size())) != 0) return false;
    mSurfaceShown = true;
    mFramesShown.fetch_add(1);
    return true;
}

bool Window::PresentNow(const uint32_t* pixels, int width, int height, int pitchBytes) {
    mTextureFrame = 0;
    mChanges.Take(pixels, width, height, pitchBytes, &mChanged);
    if (mChanged.empty()) return true;  // the window shows this frame already
    if (mSurfacePresents) {
        if (PresentSurface(width, height)) return true;
        // No window surface to show it in: GL from now on, with the whole frame.
        mSurfacePresents = false;
        mSurfaceShown = false;
        mChanged.assign(1, ScreenRect{0, 0, width, height});
    }
    if (mGl != nullptr) return PresentGl(pixels, width, height, pitchBytes);
    if (mRenderer == nullptr) {
        mRenderer = SDL_CreateRenderer(Sdl(mWindow), -1, mVSync ? SDL_RENDERER_PRESENTVSYNC : 0);
        if (mRenderer == nullptr) return false;
    }
    SDL_Renderer* renderer = static_cast<SDL_Renderer*>(mRenderer);
    if (mTexture == nullptr || mTextureWidth != width || mTextureHeight != height) {
        if (mTexture) SDL_DestroyTexture(static_cast<SDL_Texture*>(mTexture));
        mTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (mTexture == nullptr) return false;
        mTextureWidth = width;
        mTextureHeight = height;
    }
    if (SDL_UpdateTexture(static_cast<SDL_Texture*>(mTexture), nullptr, pixels, pitchBytes) != 0) return false;
    const ScreenRect place = PresentationRect(width, height);
    NotePlace(width, height, place);
    const SDL_Rect dest = {place.x, place.y, place.width, place.height};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, static_cast<SDL_Texture*>(mTexture), nullptr, &dest);
    SDL_RenderPresent(renderer);
    mFramesShown.fetch_add(1);
    return true;
}

bool Window::ReadBack(std::vector<uint32_t>* pixels, int* width, int* height) {
    PresentPendingFrame();
    if (mSurfaceShown) {
        SDL_Surface* surface = SDL_GetWindowSurface(Sdl(mWindow));
        if (surface == nullptr) return false;
        pixels->resize(static_cast<size_t>(surface->w) * surface->h);
        for (int y = 0; y < surface->h; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                                    static_cast<size_t>(y) * surface->pitch);
            uint32_t* out = pixels->data() + static_cast<size_t>(y) * surface->w;
            for (int x = 0; x < surface->w; ++x) out[x] = row[x] & 0x00FFFFFFu;
        }
        *width = surface->w;
        *height = surface->h;
        return true;
    }
    if (mGl != nullptr) {
        const bool fromTexture = mTextureFrame != 0;
        const int frameWidth = fromTexture ? mTextureFrameWidth : mGl->FrameWidth();
        const int frameHeight = fromTexture ? mTextureFrameHeight : mGl->FrameHeight();
        if (frameWidth <= 0 || !MakeGlCurrent()) return false;
        int clientWidth = 0;
        int clientHeight = 0;
        GetClientSize(&clientWidth, &clientHeight);
        // As below: the back buffer is undefined after a swap, so the frame is drawn again
        // (from the texture it was shown from, with the overlay, when it came from one).
        if (fromTexture)
            DrawTextureFrame(clientWidth, clientHeight);
        else
            mGl->Draw(PresentationRect(frameWidth, frameHeight), clientWidth, clientHeight);
        const bool read = mGl->Read(clientWidth, clientHeight, pixels);
        SDL_GL_SwapWindow(Sdl(mWindow));
        if (!read) return false;
        *width = clientWidth;
        *height = clientHeight;
        return true;
    }
    if (mRenderer == nullptr || mTexture == nullptr) return false;
    SDL_Renderer* renderer = static_cast<SDL_Renderer*>(mRenderer);
    int w = 0;
    int h = 0;
    if (SDL_GetRendererOutputSize(renderer, &w, &h) != 0 || w <= 0 || h <= 0) return false;
    // The back buffer's contents after a present are undefined on some renderers: draw the
    // last frame once more, read it, and show it again.
    const ScreenRect place = PresentationRect(mTextureWidth, mTextureHeight);
    const SDL_Rect dest = {place.x, place.y, place.width, place.height};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, static_cast<SDL_Texture*>(mTexture), nullptr, &dest);
    pixels->assign(static_cast<size_t>(w) * h, 0);
    const int result = SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels->data(), w * 4);
    SDL_RenderPresent(renderer);
    if (result != 0) return false;
    for (uint32_t& pixel : *pixels) pixel &= 0x00FFFFFF;
    *width = w;
    *height = h;
    return true;
}

}  // namespace plat
