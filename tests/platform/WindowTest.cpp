#include "platform/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <SDL.h>

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Links.h"

namespace {

using plat::WindowMessage;

bool Headless() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver != nullptr && std::strcmp(driver, "dummy") == 0;
}

std::unique_ptr<plat::Window> MakeWindow() {
    plat::Window::Params params;
    params.title = "Test";
    params.width = 320;
    params.height = 240;
    std::string error;
    std::unique_ptr<plat::Window> window = plat::Window::Create(params, &error);
    EXPECT_NE(window, nullptr) << error;
    return window;
}

std::vector<WindowMessage> Drain(plat::Window& window) {
    std::vector<WindowMessage> out;
    WindowMessage message;
    while (window.PeekMessage(&message)) out.push_back(message);
    return out;
}

uint32_t WindowId(plat::Window& window) { return SDL_GetWindowID(static_cast<SDL_Window*>(window.NativeHandle())); }

SDL_Event Key(plat::Window& window, bool down, SDL_Keycode key, Uint16 mod) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = WindowId(window);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    return event;
}

SDL_Event Text(const char* utf8) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    return event;
}

SDL_Event Button(plat::Window& window, bool down, Uint8 button, Uint8 clicks, int x, int y) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = WindowId(window);
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event Motion(plat::Window& window, int x, int y) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = WindowId(window);
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

SDL_Event Wheel(plat::Window& window, int notches) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = WindowId(window);
    event.wheel.y = notches;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return event;
}

SDL_Event WindowEvent(plat::Window& window, Uint8 what) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = WindowId(window);
    event.window.event = what;
    return event;
}

struct Expected {
    uint32_t message;
    uint32_t wParam;
    // Compared only when checkLParam.
    uint32_t lParam;
    bool checkLParam;
};

TEST(WindowInput, SystemEventsBecomeMessageRecords) {
    std::unique_ptr<plat::Window> window = MakeWindow();
    ASSERT_NE(window, nullptr);
    plat::Window& w = *window;
    Drain(w);

    struct Case {
        const char* why;
        std::vector<SDL_Event> events;
        std::vector<Expected> expected;
    };
    const uint32_t kAltBit = 1u << 29;
    // clang-format off
    const Case cases[] = {
            {"letter key: virtual key of its capital, then its text",
             {Key(w, true, SDLK_a, 0), Text("a"), Key(w, false, SDLK_a, 0)},
             {{plat::WM_KEYDOWN, 'A', 1, true},
              {plat::WM_CHAR, 'a', 0, false},
              {plat::WM_KEYUP, 'A', 1u | (1u << 30) | (1u << 31), true}}},
            {"function and arrow keys from the table",
             {Key(w, true, SDLK_F5, 0), Key(w, true, SDLK_LEFT, 0), Key(w, true, SDLK_KP_3, 0)},
             {{plat::WM_KEYDOWN, 0x74, 0, false}, {plat::WM_KEYDOWN, 0x25, 0, false}, {plat::WM_KEYDOWN, 0x63, 0, false}}},
            {"backspace, tab, enter and escape get their control character",
             {Key(w, true, SDLK_BACKSPACE, 0), Key(w, true, SDLK_TAB, 0), Key(w, true, SDLK_RETURN, 0),
              Key(w, true, SDLK_ESCAPE, 0), Key(w, false, SDLK_RETURN, 0)},
             {{plat::WM_KEYDOWN, 8, 0, false},
              {plat::WM_CHAR, 8, 0, false},
              {plat::WM_KEYDOWN, 9, 0, false},
              {plat::WM_CHAR, 9, 0, false},
              {plat::WM_KEYDOWN, 13, 0, false},
              {plat::WM_CHAR, 13, 0, false},
              {plat::WM_KEYDOWN, 27, 0, false},
              {plat::WM_CHAR, 27, 0, false},
              {plat::WM_KEYUP, 13, 0, false}}},
            {"ctrl+c is character 3",
             {Key(w, true, SDLK_c, KMOD_LCTRL)},
             {{plat::WM_KEYDOWN, 'C', 0, false}, {plat::WM_CHAR, 3, 0, false}}},
            {"alt+enter is a system key with a system character",
             {Key(w, true, SDLK_RETURN, KMOD_LALT)},
             {{plat::WM_SYSKEYDOWN, 13, 1u | kAltBit, true}, {plat::WM_SYSCHAR, 13, 0, false}}},
            {"alt+f4 is a system key",
             {Key(w, true, SDLK_F4, KMOD_LALT)},
             {{plat::WM_SYSKEYDOWN, 0x73, 1u | kAltBit, true}}},
            {"text above 127 arrives in Windows-1252; what 1252 lacks is dropped",
             {Text("\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD!")},
             {{plat::WM_CHAR, 0xE9, 0, false}, {plat::WM_CHAR, 0x80, 0, false}, {plat::WM_CHAR, '!', 0, false}}},
            {"click: down and up at the pointer",
             {Motion(w, 10, 20), Button(w, true, SDL_BUTTON_LEFT, 1, 10, 20), Button(w, false, SDL_BUTTON_LEFT, 1, 10, 20)},
             {{plat::WM_MOUSEMOVE, 0, plat::MakeLParam(10, 20), true},
              {plat::WM_LBUTTONDOWN, 0, plat::MakeLParam(10, 20), true},
              {plat::WM_LBUTTONUP, 0, plat::MakeLParam(10, 20), true}}},
            {"second click of a pair is a double click, the third a single one",
             {Button(w, true, SDL_BUTTON_LEFT, 2, 5, 5), Button(w, true, SDL_BUTTON_RIGHT, 2, 5, 5),
              Button(w, true, SDL_BUTTON_MIDDLE, 2, 5, 5), Button(w, true, SDL_BUTTON_LEFT, 3, 5, 5)},
             {{plat::WM_LBUTTONDBLCLK, 0, 0, false},
              {plat::WM_RBUTTONDBLCLK, 0, 0, false},
              {plat::WM_MBUTTONDBLCLK, 0, 0, false},
              {plat::WM_LBUTTONDOWN, 0, 0, false}}},
            {"wheel in steps of 120 per notch",
             {Wheel(w, 1), Wheel(w, -2)},
             {{plat::WM_MOUSEWHEEL, 120u << 16, 0, false}, {plat::WM_MOUSEWHEEL, static_cast<uint32_t>(-240) << 16, 0, false}}},
            {"focus, minimise, restore, maximise, a new size and close",
             {WindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST), WindowEvent(w, SDL_WINDOWEVENT_FOCUS_GAINED),
              WindowEvent(w, SDL_WINDOWEVENT_MINIMIZED), WindowEvent(w, SDL_WINDOWEVENT_RESTORED),
              WindowEvent(w, SDL_WINDOWEVENT_MAXIMIZED), WindowEvent(w, SDL_WINDOWEVENT_SIZE_CHANGED),
              WindowEvent(w, SDL_WINDOWEVENT_CLOSE)},
             {{plat::WM_ACTIVATEAPP, 0, 0, false},
              {plat::WM_ACTIVATEAPP, 1, 0, false},
              {plat::WM_SIZE, plat::SIZE_MINIMIZED, 0, false},
              {plat::WM_SIZE, plat::SIZE_RESTORED, 0, false},
              {plat::WM_SIZE, plat::SIZE_MAXIMIZED, 0, false},
              {plat::WM_SIZE, plat::SIZE_RESTORED, 0, false},
              {plat::WM_CLOSE, 0, 0, false}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        for (SDL_Event event : c.events) ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        const std::vector<WindowMessage> got = Drain(w);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].message, c.expected[i].message);
            // Button and modifier bits of the low word are not compared for the wheel.
            const uint32_t mask = got[i].message == plat::WM_MOUSEWHEEL ? 0xFFFF0000u : 0xFFFFFFFFu;
            if (got[i].message != plat::WM_MOUSEMOVE && got[i].message != plat::WM_LBUTTONDOWN &&
                got[i].message != plat::WM_LBUTTONUP) {
                EXPECT_EQ(got[i].wParam & mask, c.expected[i].wParam & mask);
            }
            if (c.expected[i].checkLParam) {
                EXPECT_EQ(got[i].lParam, c.expected[i].lParam);
            }
        }
    }
}

TEST(WindowInput, AltF4DefaultHandlingAsksToClose) {
    std::unique_ptr<plat::Window> window = MakeWindow();
    ASSERT_NE(window, nullptr);
    Drain(*window);
    WindowMessage altF4;
    altF4.message = plat::WM_SYSKEYDOWN;
    altF4.wParam = plat::VK_F4;
    altF4.lParam = 1u | (1u << 29);
    window->DefaultHandling(altF4);
    WindowMessage message;
    ASSERT_TRUE(window->PeekMessage(&message));
    EXPECT_EQ(message.message, plat::WM_SYSCOMMAND);
    EXPECT_EQ(message.wParam, plat::SC_CLOSE);
    window->DefaultHandling(message);
    ASSERT_TRUE(window->PeekMessage(&message));
    EXPECT_EQ(message.message, plat::WM_CLOSE);
    // Any other Alt key is left alone.
    WindowMessage altX = altF4;
    altX.wParam = 'X';
    window->DefaultHandling(altX);
    EXPECT_FALSE(window->PeekMessage(&message));
}

TEST(WindowInput, TimerAddsOneMessagePerPeriodWhenIdle) {
    plat::VirtualClock clock(1000);
    plat::ScopedClock scoped(clock);
    std::unique_ptr<plat::Window> window = MakeWindow();
    ASSERT_NE(window, nullptr);
    Drain(*window);
    window->SetTimer(10);
    WindowMessage message;
    EXPECT_FALSE(window->PeekMessage(&message));
    clock.Advance(10);
    ASSERT_TRUE(window->PeekMessage(&message));
    EXPECT_EQ(message.message, plat::WM_TIMER);
    EXPECT_FALSE(window->PeekMessage(&message));
    window->SetTimer(0);
    clock.Advance(100);
    EXPECT_FALSE(window->PeekMessage(&message));
}

TEST(WindowInput, HeadlessWindowHasFocusUntilToldOtherwise) {
    if (!Headless()) GTEST_SKIP() << "needs the dummy video driver";
    std::unique_ptr<plat::Window> window = MakeWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->HasFocus());
    SDL_Event lost = WindowEvent(*window, SDL_WINDOWEVENT_FOCUS_LOST);
    SDL_PushEvent(&lost);
    Drain(*window);
    EXPECT_FALSE(window->HasFocus());
    window->Minimize();
    EXPECT_TRUE(window->IsMinimized());
}

TEST(WindowInput, LetterboxKeepsTheFrameShape) {
    std::unique_ptr<plat::Window> window = MakeWindow();  // 320 x 240
    ASSERT_NE(window, nullptr);
    const plat::ScreenRect same = window->PresentationRect(320, 240);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.width, 320);
    const plat::ScreenRect wide = window->PresentationRect(640, 240);  // bars above and below
    EXPECT_EQ(wide.width, 320);
    EXPECT_EQ(wide.height, 120);
    EXPECT_EQ(wide.y, 60);
    const plat::ScreenRect tall = window->PresentationRect(100, 240);  // bars left and right
    EXPECT_EQ(tall.height, 240);
    EXPECT_EQ(tall.width, 100);
    EXPECT_EQ(tall.x, 110);
}

TEST(VirtualKeys, TableRows) {
    struct Row {
        SDL_Keycode sdl;
        int vk;
    };
    const Row rows[] = {{SDLK_a, 'A'},      {SDLK_z, 'Z'},       {SDLK_0, '0'},     {SDLK_F1, 0x70},
                        {SDLK_F12, 0x7B},   {SDLK_LCTRL, 0x11},  {SDLK_RALT, 0x12}, {SDLK_LSHIFT, 0x10},
                        {SDLK_SPACE, 0x20}, {SDLK_DELETE, 0x2E}, {SDLK_KP_0, 0x60}, {SDLK_KP_ENTER, 0x0D},
                        {SDLK_MINUS, 0xBD}, {SDLK_SLASH, 0xBF},  {SDLK_UNKNOWN, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sdl);
        EXPECT_EQ(plat::VirtualKeyFromSdlKey(row.sdl), row.vk);
    }
}

TEST(Clipboard, RoundTripKeepsCharactersAbove127) {
    const std::string text = "caf\xE9 \x80 5 \xFC\xDF";  // café € 5 üß in Windows-1252
    ASSERT_TRUE(plat::SetClipboardText(text));
    std::string back;
    ASSERT_TRUE(plat::GetClipboardText(&back));
    EXPECT_EQ(back, text);
}

TEST(Links, OnlyWebAndMailLinksAreOpened) {
    std::vector<std::string> opened;
    plat::SetOpenLinkHandlerForTests([&](const std::string& link) {
        opened.push_back(link);
        return true;
    });
    struct Row {
        const char* link;
        bool opens;
    };
    const Row rows[] = {{"http://example.com/", true},
                        {"HTTPS://example.com/buy", true},
                        {"mailto:someone@example.com", true},
                        {"file:///etc/passwd", false},
                        {"/usr/bin/xterm", false},
                        {"javascript:alert(1)", false},
                        {"http://", false},
                        {"http://a\nb", false},
                        {"", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.link);
        EXPECT_EQ(plat::OpenLink(row.link), row.opens);
    }
    plat::SetOpenLinkHandlerForTests(nullptr);
    EXPECT_EQ(opened.size(), 3u);
}

TEST(Cursors, MadeEvenWhereNoneCanBeShown) {
    uint8_t andMask[32 * 4];
    uint8_t xorMask[32 * 4];
    std::memset(andMask, 0xFF, sizeof andMask);
    std::memset(xorMask, 0, sizeof xorMask);
    std::unique_ptr<plat::Cursor> hand = plat::Cursor::FromMonochrome(andMask, xorMask, 32, 32, 11, 4);
    ASSERT_NE(hand, nullptr);
    std::unique_ptr<plat::Cursor> arrow = plat::Cursor::FromSystem(plat::SystemCursor::Arrow);
    ASSERT_NE(arrow, nullptr);
    const uint32_t pixels[4] = {0xFF000000, 0xFFFFFFFF, 0, 0x80FF0000};
    std::unique_ptr<plat::Cursor> colour = plat::Cursor::FromArgb(pixels, 2, 2, 0, 0);
    ASSERT_NE(colour, nullptr);
    plat::ShowCursor(arrow.get());
    plat::ShowCursor(nullptr);
    plat::ShowCursor(colour.get());
}

// True when the test runs on the X server of its own ctest entry.
bool UnderXvfb() {
    const char* flag = std::getenv("VELM_XVFB");
    return flag != nullptr && std::strcmp(flag, "1") == 0 && std::getenv("DISPLAY") != nullptr;
}

// A shown 64 x 48 window with its first messages taken; null (and the error) when it cannot be made.
std::unique_ptr<plat::Window> OpenShownXvfbWindow(std::string* error) {
    plat::Window::Params params;
    params.title = "Xvfb";
    params.width = 64;
    params.height = 48;
    std::unique_ptr<plat::Window> window = plat::Window::Create(params, error);
    if (window == nullptr) return nullptr;
    window->Show(true);
    WindowMessage message;
    while (window->PeekMessage(&message)) {
    }
    return window;
}

// Opens a real window on an X server (Xvfb, started by the test's own ctest entry),
// presents a known frame and reads it back from the renderer.
TEST(XvfbWindow, PresentedFrameReadsBack) {
    if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_platform_window_xvfb)";
    std::string error;
    std::unique_ptr<plat::Window> window = OpenShownXvfbWindow(&error);
    ASSERT_NE(window, nullptr) << error;
    // Four quadrants of known colours, with a padded pitch.
    const int pitchWords = 64 + 7;
    std::vector<uint32_t> frame(static_cast<size_t>(pitchWords) * 48, 0xDEADBEEF);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            uint32_t colour = x < 32 ? (y < 24 ? 0xFF0000u : 0x00FF00u) : (y < 24 ? 0x0000FFu : 0x123456u);
            frame[static_cast<size_t>(y) * pitchWords + x] = colour;
        }
    }
    ASSERT_TRUE(window->Present(frame.data(), 64, 48, pitchWords * 4)) << SDL_GetError();
    std::vector<uint32_t> back;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(window->ReadBack(&back, &width, &height)) << SDL_GetError();
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 48);
    EXPECT_EQ(back[static_cast<size_t>(5) * 64 + 5], 0xFF0000u);
    EXPECT_EQ(back[static_cast<size_t>(5) * 64 + 60], 0x0000FFu);
    EXPECT_EQ(back[static_cast<size_t>(40) * 64 + 5], 0x00FF00u);
    EXPECT_EQ(back[static_cast<size_t>(40) * 64 + 60], 0x123456u);
}

// A frame presented again unchanged is not shown again; one with a few pixels changed shows
// them, and the rest of the picture stays as it was.
TEST(XvfbWindow, OnlyChangedFramesAreShown) {
    if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_platform_window_xvfb)";
    std::string error;
    std::unique_ptr<plat::Window> window = OpenShownXvfbWindow(&error);
    ASSERT_NE(window, nullptr) << error;
    std::vector<uint32_t> frame(static_cast<size_t>(64) * 48);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    ASSERT_TRUE(window->Present(frame.data(), 64, 48, 64 * 4)) << SDL_GetError();
    const uint64_t shown = window->FramesShown();
    ASSERT_TRUE(window->Present(frame.data(), 64, 48, 64 * 4));
    EXPECT_EQ(window->FramesShown(), shown) << "an unchanged frame was shown again";

    frame[static_cast<size_t>(20) * 64 + 30] = 0x00FF00;
    frame[static_cast<size_t>(21) * 64 + 31] = 0x0000FF;
    ASSERT_TRUE(window->Present(frame.data(), 64, 48, 64 * 4));
    EXPECT_EQ(window->FramesShown(), shown + 1);
    std::vector<uint32_t> back;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(window->ReadBack(&back, &width, &height)) << SDL_GetError();
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 48);
    int differences = 0;
    for (size_t i = 0; i < frame.size(); ++i) differences += back[i] != frame[i];
    EXPECT_EQ(differences, 0);

    // A window shown again after being covered shows the next frame whole, even unchanged.
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    exposed.window.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(window->NativeHandle()));
    SDL_PushEvent(&exposed);
    Drain(*window);
    ASSERT_TRUE(window->Present(frame.data(), 64, 48, 64 * 4));
    EXPECT_EQ(window->FramesShown(), shown + 2);
}

// The last WM_MOUSEMOVE the window queues within about two seconds, as client pixels; false
// when none comes (the pointer is not over the window).
bool WaitForPointer(plat::Window& window, int* x, int* y) {
    bool moved = false;
    for (int i = 0; i < 200 && !moved; ++i) {
        WindowMessage message;
        while (window.PeekMessage(&message)) {
            if (message.message == plat::WM_MOUSEMOVE) {
                *x = plat::LowWordSigned(message.lParam);
                *y = plat::HighWordSigned(message.lParam);
                moved = true;
            }
        }
        if (!moved) SDL_Delay(10);
    }
    return moved;
}

// A full-screen window on a desktop larger than its frame (a 4:3 frame of half the desktop's
// width): the pointer put on desktop pixels arrives at those client pixels, and the frame
// pixel PresentationRect maps them to is the one the presented picture shows there. A window
// left at the frame's size while SDL reports the desktop's would not see the pointer near
// the far corner, and would show another part of the picture under it.
TEST(XvfbWindow, FullScreenPointerLandsOnTheFramePixelShownUnderIt) {
    const char* flag = std::getenv("VELM_XVFB");
    if (flag == nullptr || std::strcmp(flag, "1") != 0 || std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_platform_window_xvfb)";
    int desktopWidth = 0;
    int desktopHeight = 0;
    ASSERT_TRUE(plat::GetDesktopSize(&desktopWidth, &desktopHeight));
    plat::Window::Params params;
    params.title = "Xvfb";
    params.width = desktopWidth / 2;
    params.height = params.width * 3 / 4;
    params.fullScreen = true;
    std::string error;
    std::unique_ptr<plat::Window> window = plat::Window::Create(params, &error);
    ASSERT_NE(window, nullptr) << error;
    window->Show(true);
    int clientWidth = 0;
    int clientHeight = 0;
    window->GetClientSize(&clientWidth, &clientHeight);
    EXPECT_EQ(clientWidth, desktopWidth);
    EXPECT_EQ(clientHeight, desktopHeight);

    // Each frame pixel holds its own position: x in the upper twelve bits, y in the lower.
    const int frameWidth = params.width;
    const int frameHeight = params.height;
    std::vector<uint32_t> frame(static_cast<size_t>(frameWidth) * frameHeight);
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < frameWidth; ++x)
            frame[static_cast<size_t>(y) * frameWidth + x] = static_cast<uint32_t>(x) << 12 | static_cast<uint32_t>(y);
    ASSERT_TRUE(window->Present(frame.data(), frameWidth, frameHeight, frameWidth * 4)) << SDL_GetError();
    std::vector<uint32_t> shown;
    int shownWidth = 0;
    int shownHeight = 0;
    ASSERT_TRUE(window->ReadBack(&shown, &shownWidth, &shownHeight)) << SDL_GetError();
    ASSERT_EQ(shownWidth, clientWidth);
    ASSERT_EQ(shownHeight, clientHeight);

    const plat::ScreenRect place = window->PresentationRect(frameWidth, frameHeight);
    ASSERT_GT(place.width, frameWidth);  // drawn larger than the frame, so the mapping scales
    int originX = 0;
    int originY = 0;
    window->GetClientOrigin(&originX, &originY);
    struct Point {
        const char* where;
        int x, y;  // client pixels
    };
    const Point points[] = {
            {"centre", place.x + place.width / 2, place.y + place.height / 2},
            {"near the frame's top-left", place.x + 3, place.y + 3},
            {"near the frame's bottom-right", place.x + place.width - 3, place.y + place.height - 3},
            {"near the frame's bottom-left", place.x + 3, place.y + place.height - 3},
    };
    for (const Point& point : points) {
        SCOPED_TRACE(point.where);
        SDL_WarpMouseGlobal(originX + point.x, originY + point.y);
        int x = -1;
        int y = -1;
        ASSERT_TRUE(WaitForPointer(*window, &x, &y)) << "the pointer did not reach the window";
        EXPECT_EQ(x, point.x);
        EXPECT_EQ(y, point.y);
        const int logicalX = (x - place.x) * frameWidth / place.width;
        const int logicalY = (y - place.y) * frameHeight / place.height;
        const uint32_t pixel = shown[static_cast<size_t>(y) * shownWidth + x];
        // Scaling rounds to the nearest source pixel; the mapping truncates.
        EXPECT_NEAR(static_cast<int>(pixel >> 12), logicalX, 1);
        EXPECT_NEAR(static_cast<int>(pixel & 0xFFF), logicalY, 1);
    }
}

}  // namespace
