#pragma once

#include <memory>
#include <string>
#include <vector>

namespace plat {
struct WindowMessage;
}

namespace Velm {

class Font;
class Image;
class ListWidget;
class ScrollbarWidget;
class WidgetManager;

// A logger window as a tree of our widget toolkit: the log's lines, read-only, in a list
// that fills the window with a scroll bar at its right. A new line is added at the bottom
// and, while the view is at the bottom, scrolled into view; scrolled up, the view stays
// where the reader put it. Coordinates are the window's client pixels. It draws into any
// image of the window's size and takes the window's messages (platform/WindowMessages.h),
// so it runs without a real window too. Main thread of the logger window's program.
class LogWindowScreen {
public:
    static constexpr int kDefaultWidth = 640;
    static constexpr int kDefaultHeight = 400;
    // The oldest lines go once the window holds this many.
    static constexpr int kMaxLines = 5000;

    enum class Handled { Ignored, Taken, Hide };

    LogWindowScreen(int width, int height);
    ~LogWindowScreen();
    LogWindowScreen(const LogWindowScreen&) = delete;
    LogWindowScreen& operator=(const LogWindowScreen&) = delete;

    void AddLine(const std::string& line);
    // The client area's new size (WM_SIZE): the list follows it.
    void Resize(int width, int height);
    // Mouse messages go to the list and its scroll bar; WM_SIZE resizes; WM_CLOSE (the
    // close box) answers Hide: a logger window is only ever hidden. Ignored: the caller
    // leaves the message to the system.
    Handled HandleMessage(const plat::WindowMessage& message);
    // One timer tick of the widgets (scroll buttons held down repeat).
    void Tick();
    // Draws the whole tree into `screen`, an image of the client size.
    void Draw(Image* screen);

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    ListWidget* GetList() const { return mList; }
    ScrollbarWidget* GetScrollbar() const { return mScrollbar; }

private:
    class LogApp;

    int mWidth;
    int mHeight;
    std::unique_ptr<LogApp> mApp;
    std::unique_ptr<WidgetManager> mManager;
    std::unique_ptr<Font> mFont;
    ListWidget* mList = nullptr;            // owned, in the manager
    ScrollbarWidget* mScrollbar = nullptr;  // owned, in the manager
};

}  // namespace Velm
