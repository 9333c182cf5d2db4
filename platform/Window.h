#pragma once

// The program's main window and its message queue (what the Win32 window, PeekMessage,
// PostMessage, SetTimer and the default window procedure were), on an SDL window.
//
// The window turns every system event into the program's own message records (numbers in
// WindowMessages.h) and keeps them in its queue in arrival order, together with messages
// the program posts itself and the timer's WM_TIMER. The program takes them one by one
// with PeekMessage, answers what it wants and hands the rest to DefaultHandling, which does
// what the system would have done (Alt+F4 asks to close, a maximise or minimise request
// acts on the window, and so on).
//
// Translation:
// - keys: virtual-key codes from a table of SDL key codes; WM_SYSKEYDOWN/UP while Alt is
//   held (without Ctrl) and for F10; after the key-down of Backspace, Tab, Enter, Esc and
//   Ctrl+A..Z the control character (8, 9, 13, 27, 1..26) follows as WM_CHAR (WM_SYSCHAR
//   with Alt), since the system sends no text for them;
// - text input: UTF-8 becomes Windows-1252; one WM_CHAR (WM_SYSCHAR while Alt is held) per
//   character; characters code page 1252 does not hold are dropped;
// - buttons: SDL's click count makes the second click of a pair a double click
//   (WM_LBUTTONDBLCLK ...); the wheel gives one WM_MOUSEWHEEL per event, 120 per notch;
// - focus, minimise, maximise, restore, move, close and expose become WM_ACTIVATEAPP,
//   WM_SIZE, WM_MOVE, WM_CLOSE and WM_PAINT.
//
// Full screen is the desktop's own mode: the window covers the desktop and whoever draws
// into it letterboxes the picture. Mouse positions are always the window's own pixels; the
// program's coordinate remap is the only remap.
//
// Headless: with SDL_VIDEODRIVER=dummy the window exists in memory, events pushed into SDL
// are translated as usual, and the window has the focus from its creation until an event
// says otherwise (no other program can take it).
//
// Threads: everything on the main thread, except PointerPosition, PointerInFrame,
// GetClientOrigin and Present, which any thread may call. A frame presented from another
// thread (the cursor thread moving the software cursor) is kept and shown by the main thread's
// next PeekMessage or ReadBack, since only the main thread may draw; so is a frame shown from a
// texture again when MoveOverlay moved the overlay over it.

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/FrameChanges.h"
#include "platform/WindowMessages.h"

namespace plat {

class WindowGl;

struct WindowMessage {
    uint32_t message = 0;
    uint32_t wParam = 0;
    uint32_t lParam = 0;
};

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The usable part of the desktop (without panels), in desktop pixels. False when no
// display is known.
bool GetWorkArea(ScreenRect* area);
// The desktop's size.
bool GetDesktopSize(int* width, int* height);

class Window {
public:
    struct Params {
        std::string title;  // Windows-1252
        int width = 640;    // client size; a full-screen window covers the desktop instead
        int height = 480;
        bool fullScreen = false;
        bool maximizable = false;
        // Outer (frame) top-left on the desktop; centred when x is -1.
        int x = -1;
        int y = -1;
    };

    // A hidden window; null with a reason in *error when none can be made, also when there
    // is no display to show it on and SDL fell back on its in-memory driver unasked.
    static std::unique_ptr<Window> Create(const Params& params, std::string* error);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Takes the oldest message. Pending system events are translated first, and a due
    // timer adds its WM_TIMER when nothing else is waiting. False when there is none.
    bool PeekMessage(WindowMessage* message);
    // Appends a message to the queue (it arrives after those already waiting).
    void PostMessage(uint32_t message, uint32_t wParam, uint32_t lParam);
    // What the system does with a message the program leaves to it.
    void DefaultHandling(const WindowMessage& message);

    // WM_TIMER every periodMs of the process clock (Clock.h); 0 stops it.
    void SetTimer(uint32_t periodMs);

    void Show(bool activate);
    void Hide();
    // Restores a minimised window and gives it the focus.
    void BringToFront();
    void Minimize();
    bool IsMinimized() const;
    bool IsVisible() const;
    bool HasFocus() const;
    bool IsFullScreen() const { return mFullScreen; }

    // The outer frame's sizes around the client area (left, top, right, bottom), 0 when
    // the system tells none.
    void GetFrameSizes(int* left, int* top, int* right, int* bottom) const;
    // Client top-left on the desktop, and the client size in pixels.
    void GetClientOrigin(int* x, int* y) const;
    void GetClientSize(int* width, int* height) const;
    // Moves the frame's top-left to (x, y) on the desktop.
    void Move(int x, int y);

    // The pointer in client pixels as the latest events told it; true when it is over this
    // window. Any thread.
    bool PointerPosition(int* x, int* y) const;
    // Puts the pointer at client pixel (x, y).
    void WarpPointer(int x, int y);
    // The pointer in pixels of the last presented frame (the window scales and letterboxes
    // it); true when it is over this window. Any thread.
    bool PointerInFrame(int* x, int* y) const;

    // Shows a 32-bit XRGB frame (pitch in bytes) in the client area at the largest size of
    // its own shape that fits, centred, with black bars. False when nothing could be shown.
    // Only the parts that differ from the last frame shown from memory go to the display, and
    // nothing when none do (an exposed or resized window shows the next one whole). Where the
    // GL context draws in software, frames go into the window through its own framebuffer
    // (shared memory with the X server) rather than through GL.
    bool Present(const uint32_t* pixels, int width, int height, int pitchBytes);
    // Shows a frame that lives in the process's GL context (the 3D device's render target,
    // row 0 the top row) as Present shows pixels, without them passing through memory.
    // Main thread; false when the window does not present through GL.
    bool PresentTexture(unsigned texture, int width, int height);
    // A picture drawn over the frames PresentTexture shows (the software cursor of the 3D
    // path): 0xAARRGGBB pixels blended by their alpha; null removes it. Main thread; false
    // when the window does not present through GL.
    bool SetOverlay(const uint32_t* pixels, int width, int height);
    // Where the overlay's top-left goes, in frame pixels. Any thread. When the last frame came
    // from a texture that still holds it, the main thread shows that frame again with the
    // overlay at its new place at its next PeekMessage or ReadBack; otherwise the next frame
    // shows it there.
    void MoveOverlay(int x, int y);
    // Whether presents wait for the display's vertical blank (the renderer's vsync).
    void SetVSync(bool on);
    bool VSync() const { return mVSync; }
    // Whether presents can wait for the vertical blank at all: not where GL draws in software
    // (nothing waits for the display there).
    bool CanWaitForVerticalBlank() const { return !mSoftwareGl; }
    // The display's refresh rate in Hz, 0 when the system does not tell.
    int RefreshRate() const;
    // Where the last presented frame sits in the client area.
    ScreenRect PresentationRect(int frameWidth, int frameHeight) const;
    // The client area's pixels as they were last presented (XRGB, width x height words).
    bool ReadBack(std::vector<uint32_t>* pixels, int* width, int* height);
    // How many times a frame was shown (presents, and frames shown again with the overlay
    // moved); for tests.
    uint64_t FramesShown() const { return mFramesShown.load(); }

    // The SDL window, for the display code of this layer.
    void* NativeHandle() const { return mWindow; }

private:
    Window() = default;
    void PumpSystemEvents();
    void TranslateEvent(const void* event);
    void Queue(uint32_t message, uint32_t wParam, uint32_t lParam);
    void UpdateClientOrigin();
    bool PresentNow(const uint32_t* pixels, int width, int height, int pitchBytes);
    bool PresentGl(const uint32_t* pixels, int width, int height, int pitchBytes);
    // Through SDL's window surface; false when the window has none of a 32-bit XRGB format.
    bool PresentSurface(int width, int height);
    // What the window showed is gone (exposed, resized, or a frame from a texture shown): the
    // next frame from memory is shown whole.
    void FrameLost();
    bool MakeGlCurrent();
    void NotePlace(int width, int height, const ScreenRect& place);
    void PresentPendingFrame();
    // Draws the texture frame with the overlay at its current place.
    void DrawTextureFrame(int clientWidth, int clientHeight);

    void* mWindow = nullptr;        // SDL_Window
    std::unique_ptr<WindowGl> mGl;  // presents through the shared GL context, when there is one
    int mSwapInterval = -1;         // the GL swap interval last set
    // GL draws in software: frames from memory go through the window surface instead.
    bool mSoftwareGl = false;
    bool mSurfacePresents = false;
    // The window surface shows the last frame from memory (ReadBack reads it there).
    bool mSurfaceShown = false;
    // The last frame from memory, and the parts of the one being presented that differ from it.
    FrameChanges mChanges;
    std::vector<ScreenRect> mChanged;
    // The texture the last frame was shown from by PresentTexture; 0 after a Present.
    unsigned mTextureFrame = 0;
    int mTextureFrameWidth = 0;
    int mTextureFrameHeight = 0;
    void* mRenderer = nullptr;  // SDL_Renderer without GL, made by the first Present
    void* mTexture = nullptr;   // SDL_Texture of the frame size
    int mTextureWidth = 0;
    int mTextureHeight = 0;
    bool mVSync = false;
    uint32_t mWindowId = 0;
    bool mFullScreen = false;
    bool mHeadless = false;
    bool mHeadlessFocus = true;
    bool mMinimized = false;
    std::deque<WindowMessage> mQueue;
    uint32_t mTimerPeriodMs = 0;
    uint64_t mTimerDueMs = 0;
    // Keys held, by virtual key, to tell auto-repeat (lParam bit 30).
    bool mKeyHeld[256] = {};
    std::atomic<int> mOriginX{0};
    std::atomic<int> mOriginY{0};
    std::atomic<int> mPointerX{0};
    std::atomic<int> mPointerY{0};
    std::atomic<bool> mPointerInside{false};
    std::thread::id mOwnerThread;
    // Where the last frame went: its size and its place in the client area.
    std::atomic<int> mFrameWidth{0};
    std::atomic<int> mFrameHeight{0};
    std::atomic<int> mPlaceX{0};
    std::atomic<int> mPlaceY{0};
    std::atomic<int> mPlaceWidth{0};
    std::atomic<int> mPlaceHeight{0};
    // A frame handed over by another thread, shown by the main thread.
    std::mutex mPendingMutex;
    std::vector<uint32_t> mPendingFrame;
    int mPendingWidth = 0;
    int mPendingHeight = 0;
    std::atomic<bool> mHasPendingFrame{false};
    // The overlay's place in frame pixels, and whether it moved since the frame was shown.
    std::atomic<int> mOverlayX{0};
    std::atomic<int> mOverlayY{0};
    std::atomic<bool> mOverlayMoved{false};
    std::atomic<uint64_t> mFramesShown{0};
};

// The virtual key of an SDL key code (SDL_Keycode), 0 when the table has none. For tests
// and the window's own use.
int VirtualKeyFromSdlKey(int32_t sdlKey);

}  // namespace plat
