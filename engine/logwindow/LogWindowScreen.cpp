#include "engine/logwindow/LogWindowScreen.h"

#include "graphics/FontHost.h"
#include "graphics/Image.h"
#include "graphics/SysFont.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/WidgetApp.h"
#include "widgets/WidgetManager.h"

namespace Velm {

namespace {

const int kListId = 1;
const int kScrollbarId = 2;
const int kScrollbarWidth = 16;

}  // namespace

// The application as the logger window's widgets see it: no cursors, no clipboard, no
// dialogs, system fonts.
class LogWindowScreen::LogApp : public WidgetApp {
public:
    void SetCursor(int) override {}
    void CopyToClipboard(const std::string&) override {}
    std::string GetClipboardText() override { return std::string(); }
    bool UpdateAppStep() override { return false; }
    void KillDialog(int) override {}
    void SafeDeleteWidget(Widget*) override {}
    Font* CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                        bool underline) override {
        return new SysFont(GetFontHost(), face, pointSize, charSet, bold, italic, underline);
    }
};

LogWindowScreen::LogWindowScreen(int width, int height)
        : mWidth(width), mHeight(height), mApp(new LogApp()), mManager(new WidgetManager(mApp.get())) {
    mFont.reset(new SysFont(GetFontHost(), "Courier New", 9, plat::text::kAnsiCharset, false, false, false));
    mList = new ListWidget(kListId, mFont.get(), nullptr);
    // White page, black text; hovering and selecting show nothing (the text is read-only).
    const int colors[ListWidget::NUM_COLORS][3] = {{255, 255, 255}, {128, 128, 128}, {0, 0, 0},
                                                   {0, 0, 0},       {255, 255, 255}, {0, 0, 0}};
    mList->SetColorsRGB(colors, ListWidget::NUM_COLORS);
    mScrollbar = new ScrollbarWidget(kScrollbarId, mList);
    mList->mScrollbar = mScrollbar;
    mManager->AddWidget(mList);
    mManager->AddWidget(mScrollbar);
    mManager->SetFocus(mList);
    Resize(width, height);
}

LogWindowScreen::~LogWindowScreen() {
    // The list would put its scroll bar in front of itself while the tree shrinks.
    mList->mScrollbar = nullptr;
    mManager->RemoveWidget(mScrollbar);
    mManager->RemoveWidget(mList);
    delete mScrollbar;
    delete mList;
}

void LogWindowScreen::AddLine(const std::string& line) {
    const bool follow = mList->GetLineCount() == 0 || mScrollbar->AtBottom();
    if (mList->GetLineCount() >= kMaxLines) mList->RemoveLine(0);
    mList->AddLine(line, false);
    if (follow) mScrollbar->GoToBottom();
    mManager->MarkAllDirty();
}

void LogWindowScreen::Resize(int width, int height) {
    mWidth = width > kScrollbarWidth ? width : kScrollbarWidth + 1;
    mHeight = height > 0 ? height : 1;
    mManager->mWidth = mWidth;
    mManager->mHeight = mHeight;
    const bool atBottom = mScrollbar->AtBottom();
    mList->Resize(0, 0, mWidth - kScrollbarWidth, mHeight);
    mScrollbar->ResizeScrollbar(mWidth - kScrollbarWidth, 0, kScrollbarWidth, mHeight);
    if (atBottom) mScrollbar->GoToBottom();
    mManager->MarkAllDirty();
}

LogWindowScreen::Handled LogWindowScreen::HandleMessage(const plat::WindowMessage& message) {
    const int x = plat::LowWordSigned(message.lParam);
    const int y = plat::HighWordSigned(message.lParam);
    switch (message.message) {
        case plat::WM_CLOSE: return Handled::Hide;
        case plat::WM_SIZE:
            if (message.wParam != plat::SIZE_MINIMIZED) Resize(x, y);
            return Handled::Taken;
        case plat::WM_MOUSEMOVE: mManager->MouseMove(x, y); return Handled::Taken;
        case plat::WM_LBUTTONDOWN:
        case plat::WM_LBUTTONDBLCLK:
            mManager->MouseMove(x, y);
            mManager->MouseDown(x, y, message.message == plat::WM_LBUTTONDOWN ? 1 : 2);
            return Handled::Taken;
        case plat::WM_LBUTTONUP:
            mManager->MouseMove(x, y);
            mManager->MouseUp(x, y, 1);
            return Handled::Taken;
        case plat::WM_MOUSEWHEEL:
            // wParam's high word: signed wheel distance, 120 per notch.
            mManager->MouseWheel(plat::HighWordSigned(message.wParam) / 120);
            return Handled::Taken;
        default: return Handled::Ignored;
    }
}

void LogWindowScreen::Tick() { mManager->UpdateFrame(); }

void LogWindowScreen::Draw(Image* screen) {
    if (screen == nullptr) return;
    mManager->mImage = screen;
    mManager->MarkAllDirty();
    mManager->DrawScreen();
    mManager->mImage = nullptr;
}

}  // namespace Velm
