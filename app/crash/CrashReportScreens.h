#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/crash/CrashReportDialog.h"
#include "widgets/DialogListener.h"

namespace plat {
class Window;
struct WindowMessage;
}

namespace Velm {

class ButtonWidget;
class Dialog;
class EditWidget;
class Font;
class HTTPTransfer;
class Image;
class ListWidget;
class ScrollbarWidget;
class Widget;
class WidgetApp;
class WidgetManager;

// The crash report windows as trees of our widget toolkit: the error window (the report in
// a scrolling list, "Send Report" and "Close Now"), the details window (an edit field for
// the user's text, "Continue" and "Abort") and the progress window (the status line and
// "Abort"). It follows a CrashReportDialog, which decides what each button does; every
// window gets a tree and a WidgetManager of its own, made by Sync when the dialogue has
// moved to another window. Coordinates are the window's client pixels, (0, 0) at its
// top-left. It draws into any image the size of the window (GetFrame) and takes the
// window's messages (platform/WindowMessages.h), so it runs without a real window too.
// Main thread only; the dialogue and the report data must outlive it.
class CrashReportScreens : public DialogListener {
public:
    // What the system window around a tree looks like.
    struct Frame {
        std::string caption;
        int x = 0;  // the frame's top-left on the desktop
        int y = 0;
        int width = 0;  // client size
        int height = 0;
    };

    CrashReportScreens(const CrashReportData& data, CrashReportDialog* dialog);
    ~CrashReportScreens() override;
    CrashReportScreens(const CrashReportScreens&) = delete;
    CrashReportScreens& operator=(const CrashReportScreens&) = delete;

    // Brings the tree in line with the dialogue: a new tree when it has moved to another
    // window (true then), else the status line brought up to date. No tree once it is over.
    bool Sync();
    // The window the current tree shows (DONE: none).
    CrashReportDialog::Window GetWindow() const { return mWindow; }
    static Frame GetFrame(CrashReportDialog::Window window);

    // Mouse and key messages go to the widgets; WM_CLOSE is the window's close box. False
    // for what the tree does not take (the caller leaves it to the system).
    bool HandleMessage(const plat::WindowMessage& message);
    // One 20 ms timer tick: the widgets' update, and in the progress window the upload's
    // poll (PollCrashReportUpload) with one more second counted every 50 ticks.
    void Tick(HTTPTransfer& transfer, const std::function<bool()>& askRetry);
    // Draws the whole tree into `screen`, an image of the window's client size.
    void Draw(Image* screen);

    // The tree's parts, null when the current window has none.
    WidgetManager* GetManager() const { return mManager.get(); }
    ButtonWidget* FindButton(const std::string& label) const;
    EditWidget* GetUserTextBox() const { return mUserTextBox; }
    ListWidget* GetReportBox() const { return mReportBox; }
    // The progress window's status line as drawn.
    std::string GetStatusText() const;

    void DialogButtonDepress(int dialogId, int buttonId) override;

private:
    class Panel;
    class ReportApp;

    void DestroyTree();
    void BuildTree();
    void Add(Widget* widget);
    Font* MakeFont(const std::string& face, int points, bool bold);

    const CrashReportData& mData;
    CrashReportDialog* mDialog;
    CrashReportDialog::Window mWindow = CrashReportDialog::DONE;
    bool mBuilt = false;
    int mTicks = 0;
    std::unique_ptr<ReportApp> mApp;
    std::unique_ptr<WidgetManager> mManager;
    // In the order they were added to the manager; removed and deleted backwards.
    std::vector<Widget*> mWidgets;
    std::vector<std::unique_ptr<Font>> mFonts;
    Panel* mPanel = nullptr;
    EditWidget* mUserTextBox = nullptr;
    ListWidget* mReportBox = nullptr;
    ScrollbarWidget* mReportScrollbar = nullptr;
};

// Runs the dialogue in windows of the toolkit on SDL, from the dialogue's current window
// on. False when no window could be made: the dialogue is then left where it was, for the
// message boxes to carry on. afterFrame, when given, is called after every frame shown
// (tests put input into the window's queue through it).
bool RunCrashReportWindows(CrashReportDialog& dialog, const CrashReportData& data, HTTPTransfer& transfer,
                           const std::function<void(plat::Window&)>& afterFrame = nullptr);

}  // namespace Velm
