#include "app/crash/CrashReportScreens.h"

#include <algorithm>

#include "app/http/HTTPTransfer.h"
#include "graphics/FontHost.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/SysFont.h"
#include "platform/Clipboard.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"
#include "widgets/EditWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/WidgetApp.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace Velm {

namespace {

// The system's button-face grey behind every control, and the text colour.
const Color kFaceColor(212, 208, 200);
const Color kTextColor(0, 0, 0);

// The progress window's timer runs every 20 ms; 50 ticks make the second of its status line.
const int kTicksPerSecond = 50;

const int kUserTextBoxId = 1;
const int kReportBoxId = 2;
const int kReportScrollbarId = 3;

}  // namespace

// The window's background: the face colour and the window's read-only text (the message
// above the boxes, or the progress window's status line), word-wrapped into its box. As a
// Dialog it carries the window's one or two buttons (ids 1000 and 1001) and lays them out
// from its insets.
class CrashReportScreens::Panel : public Dialog {
public:
    Panel(int buttonMode, const std::string& footer) : Dialog(nullptr, nullptr, 0, false, "", "", footer, buttonMode) {
        mPriority = 0;
        mHasAlpha = false;
        mHasTransparencies = false;
    }

    void Draw(Graphics* g) override {
        g->SetColor(kFaceColor);
        g->FillRect(0, 0, mWidth, mHeight);
        if (mText.empty() || mTextFont == nullptr) return;
        Graphics text(*g);
        text.ClipRect(mTextRect.x, mTextRect.y, mTextRect.width, mTextRect.height);
        text.SetFont(mTextFont);
        text.SetColor(kTextColor);
        TextWriteWordWrapped(&text, mTextRect, mText, -1, TEXT_ALIGN_LEFT);
    }

    std::string mText;
    Rect mTextRect;
    Font* mTextFont = nullptr;  // not owned
};

namespace {

// The details window's box for the user's text: an edit field whose text is wrapped at
// word ends into lines from the top of the box (a long word is cut where the box ends),
// scrolled a line at a time to keep the caret in view. Typing, selection, the clipboard and
// undo are the edit field's; only the layout, the drawing and the mapping of a point to a
// character are its own. There are no line breaks of the user's own.
class CrashReportTextBox : public EditWidget {
public:
    explicit CrashReportTextBox(int id) : EditWidget(id, nullptr) {}

    using EditWidget::Resize;

    void Draw(Graphics* g) override {
        g->SetColor(GetColor(COLOR_BKG));
        g->FillRect(0, 0, mWidth, mHeight);
        const std::vector<Line> lines = Layout();
        const int lineHeight = std::max(1, TextHeight(mFont));
        const int ascent = TextAscent(mFont);
        const int selStart = mHilitePos >= 0 ? std::min(mCursorPos, mHilitePos) : -1;
        const int selEnd = mHilitePos >= 0 ? std::max(mCursorPos, mHilitePos) : -1;
        Graphics inside(*g);
        inside.ClipRect(kPad, kPad, mWidth - 2 * kPad, mHeight - 2 * kPad);
        inside.SetFont(mFont);
        for (int i = mTopLine; i < static_cast<int>(lines.size()); ++i) {
            const int y = kPad + (i - mTopLine) * lineHeight;
            if (y >= mHeight - kPad) break;
            const Line& line = lines[static_cast<size_t>(i)];
            const std::string text = mString.substr(static_cast<size_t>(line.start), static_cast<size_t>(line.length));
            inside.SetColor(GetColor(COLOR_TEXT));
            TextDrawString(&inside, text, kPad, y + ascent);
            const int from = std::max(selStart, line.start);
            const int to = std::min(selEnd, line.start + line.length);
            if (mHasFocus && from < to) {
                const int x0 = kPad + Width(line.start, from - line.start);
                const int x1 = kPad + Width(line.start, to - line.start);
                Graphics selected(inside);
                selected.ClipRect(x0, y, x1 - x0, lineHeight);
                selected.SetColor(GetColor(COLOR_HILITE));
                selected.FillRect(x0, y, x1 - x0, lineHeight);
                selected.SetColor(GetColor(COLOR_HILITE_TEXT));
                TextDrawString(&selected, text, kPad, y + ascent);
            }
        }
        if (mHasFocus && mShowingCursor && selStart == selEnd) {
            int x = 0;
            int y = 0;
            CaretPoint(lines, &x, &y);
            inside.SetColor(GetColor(COLOR_TEXT));
            inside.FillRect(x, y, 1, lineHeight);
        }
        g->SetColor(GetColor(COLOR_OUTLINE));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
    }

    int GetCharAt(int x, int y) override {
        const std::vector<Line> lines = Layout();
        const int lineHeight = std::max(1, TextHeight(mFont));
        int index = mTopLine + (y - kPad) / lineHeight;
        if (y < kPad) index = mTopLine - 1;
        index = std::max(0, std::min(index, static_cast<int>(lines.size()) - 1));
        const Line& line = lines[static_cast<size_t>(index)];
        // The character boundary nearest to x; the blank that ends a wrapped line counts
        // as the line's end.
        int length = line.length;
        const bool wrapped = index + 1 < static_cast<int>(lines.size());
        if (wrapped && length > 0 && mString[static_cast<size_t>(line.start + length - 1)] == ' ') --length;
        int pos = line.start;
        int left = 0;
        for (int i = 0; i < length; ++i) {
            const int right = left + TextCharWidth(mFont, mString[static_cast<size_t>(line.start + i)]);
            if (x - kPad >= (left + right) / 2) pos = line.start + i + 1;
            left = right;
        }
        return pos;
    }

    void FocusCursor(bool) override {
        mLeftPos = 0;
        const std::vector<Line> lines = Layout();
        const int caretLine = CaretLine(lines);
        const int visible = std::max(1, (mHeight - 2 * kPad) / std::max(1, TextHeight(mFont)));
        const int top = std::max(0, std::min(mTopLine, caretLine));
        const int newTop = std::max(top, caretLine - visible + 1);
        if (newTop != mTopLine) {
            mTopLine = newTop;
            MarkDirty();
        }
    }

private:
    struct Line {
        int start;
        int length;
    };
    static const int kPad = 4;

    int Width(int start, int length) {
        int width = 0;
        for (int i = 0; i < length; ++i) width += TextCharWidth(mFont, mString[static_cast<size_t>(start + i)]);
        return width;
    }

    // Lines of the text as wrapped into the box; always at least one (empty) line.
    std::vector<Line> Layout() {
        std::vector<Line> lines;
        const int limit = std::max(1, mWidth - 2 * kPad);
        const int length = static_cast<int>(mString.size());
        int start = 0;
        while (start < length) {
            int width = 0;
            int end = start;
            int lastBlank = -1;
            while (end < length) {
                const int next = width + TextCharWidth(mFont, mString[static_cast<size_t>(end)]);
                if (next > limit && end > start && mString[static_cast<size_t>(end)] != ' ') break;
                if (mString[static_cast<size_t>(end)] == ' ') lastBlank = end;
                width = next;
                ++end;
            }
            if (end < length && lastBlank >= start) end = lastBlank + 1;
            lines.push_back({start, end - start});
            start = end;
        }
        if (lines.empty() || (length > 0 && mString[static_cast<size_t>(length - 1)] == ' ' &&
                              Width(lines.back().start, lines.back().length) > limit))
            lines.push_back({length, 0});
        return lines;
    }

    int CaretLine(const std::vector<Line>& lines) const {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (mCursorPos < lines[i].start + lines[i].length) return static_cast<int>(i);
        }
        return static_cast<int>(lines.size()) - 1;
    }

    void CaretPoint(const std::vector<Line>& lines, int* x, int* y) {
        const int index = CaretLine(lines);
        const Line& line = lines[static_cast<size_t>(index)];
        *x = kPad + Width(line.start, std::max(0, mCursorPos - line.start));
        *y = kPad + (index - mTopLine) * TextHeight(mFont);
    }

    int mTopLine = 0;
};

}  // namespace

// The application as the report's widgets see it: no cursors of its own, the system
// clipboard, system fonts, and this dialogue as the listener of the panels' buttons.
class CrashReportScreens::ReportApp : public WidgetApp {
public:
    explicit ReportApp(DialogListener* listener) : mListener(listener) {}

    void SetCursor(int) override {}
    void CopyToClipboard(const std::string& text) override { plat::SetClipboardText(text); }
    std::string GetClipboardText() override {
        std::string text;
        plat::GetClipboardText(&text);
        return text;
    }
    // The report windows run no loop of the application.
    bool UpdateAppStep() override { return false; }
    void KillDialog(int) override {}
    void SafeDeleteWidget(Widget*) override {}
    DialogListener* GetDialogListener() override { return mListener; }
    Font* CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                        bool underline) override {
        return new SysFont(GetFontHost(), face, pointSize, charSet, bold, italic, underline);
    }

private:
    DialogListener* mListener;
};

CrashReportScreens::CrashReportScreens(const CrashReportData& data, CrashReportDialog* dialog)
        : mData(data), mDialog(dialog), mApp(new ReportApp(this)) {}

CrashReportScreens::~CrashReportScreens() { DestroyTree(); }

CrashReportScreens::Frame CrashReportScreens::GetFrame(CrashReportDialog::Window window) {
    Frame frame;
    switch (window) {
        case CrashReportDialog::ERROR_WINDOW:
            frame.caption = "Fatal Error!";
            frame.x = 64;
            frame.y = 64;
            frame.width = 400;
            frame.height = 300;
            break;
        case CrashReportDialog::DETAILS_WINDOW:
            frame.caption = "Error Details";
            frame.x = 80;
            frame.y = 80;
            frame.width = 400;
            frame.height = 300;
            break;
        case CrashReportDialog::PROGRESS_WINDOW:
            frame.caption = "Submitting Report";
            frame.x = 64;
            frame.y = 64;
            frame.width = 240;
            frame.height = 64;
            break;
        case CrashReportDialog::DONE: break;
    }
    return frame;
}

bool CrashReportScreens::Sync() {
    const CrashReportDialog::Window wanted = mDialog->GetWindow();
    if (mBuilt && wanted == mWindow) {
        if (mWindow == CrashReportDialog::PROGRESS_WINDOW && mPanel != nullptr &&
            mPanel->mText != mDialog->GetStatusLine()) {
            mPanel->mText = mDialog->GetStatusLine();
            mPanel->MarkDirty();
        }
        return false;
    }
    DestroyTree();
    mWindow = wanted;
    mBuilt = true;
    if (mWindow != CrashReportDialog::DONE) BuildTree();
    return true;
}

Font* CrashReportScreens::MakeFont(const std::string& face, int points, bool bold) {
    mFonts.emplace_back(new SysFont(GetFontHost(), face, points, plat::text::kAnsiCharset, bold, false, false));
    return mFonts.back().get();
}

void CrashReportScreens::Add(Widget* widget) {
    mWidgets.push_back(widget);
    mManager->AddWidget(widget);
}

void CrashReportScreens::BuildTree() {
    const Frame frame = GetFrame(mWindow);
    mManager.reset(new WidgetManager(mApp.get()));
    mManager->mWidth = frame.width;
    mManager->mHeight = frame.height;

    // The dialogue names the buttons and whether they work; the panel's insets put them
    // where the dialogue says: two buttons 8 pixels in from the sides and the bottom with a
    // gap of 8 (188 wide each in a 400-pixel window), a lone one across the row, and the
    // progress window's "Abort" 96 x 22 in the middle of its bottom row.
    const std::vector<CrashReportDialog::Button> buttons = mDialog->GetButtons();
    if (buttons.size() == 2)
        mPanel = new Panel(Dialog::BUTTONS_OK_CANCEL, "");
    else
        mPanel = new Panel(Dialog::BUTTONS_FOOTER, buttons.empty() ? std::string() : buttons[0].label);
    mPanel->mDialogListener = this;
    mPanel->mContentInsets.mLeft = 8;
    mPanel->mContentInsets.mRight = 8;
    mPanel->mContentInsets.mBottom = 8;
    mPanel->mButtonHorzSpacing = 8;
    mPanel->mButtonSidePadding = 0;
    if (mWindow == CrashReportDialog::PROGRESS_WINDOW) {
        mPanel->mContentInsets.mLeft = 72;
        mPanel->mContentInsets.mRight = 72;
        mPanel->mContentInsets.mBottom = 6;
        mPanel->mButtonHeight = 22;
    }
    DialogButton* dialogButtons[2] = {mPanel->mYesButton, mPanel->mNoButton};
    const bool progress = mWindow == CrashReportDialog::PROGRESS_WINDOW;
    Font* buttonFont = progress ? MakeFont("Tahoma", 8, false) : MakeFont("Arial", 9, true);
    for (size_t i = 0; i < buttons.size() && i < 2; ++i) {
        DialogButton* button = dialogButtons[i];
        if (button == nullptr) continue;
        button->mLabel = buttons[i].label;
        button->SetFont(buttonFont);
        button->SetDisabled(!buttons[i].enabled);
    }
    mPanel->SetColor(Dialog::COLOR_BUTTON_TEXT, kTextColor);
    mPanel->SetColor(Dialog::COLOR_BUTTON_TEXT_HILITE, kTextColor);
    mPanel->Resize(0, 0, frame.width, frame.height);

    switch (mWindow) {
        case CrashReportDialog::ERROR_WINDOW:
            mPanel->mText = kCrashReportErrorText;
            mPanel->mTextRect = Rect(8, 8, 384, 84);
            mPanel->mTextFont = MakeFont("Arial", 9, true);
            break;
        case CrashReportDialog::DETAILS_WINDOW:
            mPanel->mText = kCrashReportDetailsText;
            mPanel->mTextRect = Rect(8, 8, 384, 84);
            mPanel->mTextFont = MakeFont("Arial", 9, true);
            break;
        case CrashReportDialog::PROGRESS_WINDOW:
            mPanel->mText = mDialog->GetStatusLine();
            mPanel->mTextRect = Rect(24, 10, 224, 24);
            mPanel->mTextFont = MakeFont("Tahoma", 10, true);
            break;
        case CrashReportDialog::DONE: break;
    }
    Add(mPanel);

    if (mWindow == CrashReportDialog::ERROR_WINDOW) {
        // The report, one list line per report line, with a scroll bar at its right.
        mReportBox = new ListWidget(kReportBoxId, MakeFont("Courier New", 8, false), nullptr);
        const int listColors[ListWidget::NUM_COLORS][3] = {{255, 255, 255}, {128, 128, 128}, {0, 0, 0},
                                                           {0, 0, 0},       {255, 255, 255}, {0, 0, 0}};
        mReportBox->SetColorsRGB(listColors, ListWidget::NUM_COLORS);
        mReportScrollbar = new ScrollbarWidget(kReportScrollbarId, mReportBox);
        mReportBox->mScrollbar = mReportScrollbar;
        size_t start = 0;
        while (start <= mData.report.size()) {
            size_t end = mData.report.find('\n', start);
            if (end == std::string::npos) end = mData.report.size();
            std::string line = mData.report.substr(start, end - start);
            line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
            std::replace(line.begin(), line.end(), '\t', ' ');
            // A report ending in a line break has no empty line after it.
            if (end < mData.report.size() || !line.empty()) mReportBox->AddLine(line, false);
            start = end + 1;
        }
        mReportBox->Resize(8, 92, 368, 168);
        mReportScrollbar->ResizeScrollbar(376, 92, 16, 168);
        Add(mReportBox);
        Add(mReportScrollbar);
        mManager->SetFocus(mReportBox);
    } else if (mWindow == CrashReportDialog::DETAILS_WINDOW) {
        mUserTextBox = new CrashReportTextBox(kUserTextBoxId);
        mUserTextBox->SetFont(MakeFont("Tahoma", 8, false));
        mUserTextBox->mMaxChars = static_cast<int>(CrashReportDialog::kMaxUserText);
        mUserTextBox->Resize(8, 92, 384, 168);
        Add(mUserTextBox);
        mManager->SetFocus(mUserTextBox);
    }
}

void CrashReportScreens::DestroyTree() {
    if (mManager) {
        // The list would put its scroll bar in front of itself while the tree shrinks.
        if (mReportBox != nullptr) mReportBox->mScrollbar = nullptr;
        for (auto it = mWidgets.rbegin(); it != mWidgets.rend(); ++it) mManager->RemoveWidget(*it);
        for (auto it = mWidgets.rbegin(); it != mWidgets.rend(); ++it) delete *it;
        mManager.reset();
    }
    mWidgets.clear();
    mFonts.clear();
    mPanel = nullptr;
    mUserTextBox = nullptr;
    mReportBox = nullptr;
    mReportScrollbar = nullptr;
}

ButtonWidget* CrashReportScreens::FindButton(const std::string& label) const {
    if (mPanel == nullptr) return nullptr;
    if (mPanel->mYesButton != nullptr && mPanel->mYesButton->mLabel == label) return mPanel->mYesButton;
    if (mPanel->mNoButton != nullptr && mPanel->mNoButton->mLabel == label) return mPanel->mNoButton;
    return nullptr;
}

std::string CrashReportScreens::GetStatusText() const {
    return mWindow == CrashReportDialog::PROGRESS_WINDOW && mPanel != nullptr ? mPanel->mText : std::string();
}

void CrashReportScreens::DialogButtonDepress(int, int buttonId) {
    if (mPanel == nullptr) return;
    DialogButton* button = buttonId == Dialog::ID_YES ? mPanel->mYesButton : mPanel->mNoButton;
    if (button == nullptr) return;
    // The tree stays as it is until the next Sync: this runs inside the button's own
    // mouse handling.
    if (mUserTextBox != nullptr) mDialog->SetUserText(mUserTextBox->mString);
    mDialog->Press(button->mLabel);
}

bool CrashReportScreens::HandleMessage(const plat::WindowMessage& message) {
    if (!mManager) return false;
    const int x = plat::LowWordSigned(message.lParam);
    const int y = plat::HighWordSigned(message.lParam);
    switch (message.message) {
        case plat::WM_CLOSE: mDialog->Close(); return true;
        case plat::WM_MOUSEMOVE: mManager->MouseMove(x, y); return true;
        case plat::WM_LBUTTONDOWN:
        case plat::WM_LBUTTONDBLCLK:
        case plat::WM_RBUTTONDOWN:
        case plat::WM_RBUTTONDBLCLK:
        case plat::WM_MBUTTONDOWN:
        case plat::WM_MBUTTONDBLCLK: {
            // Signed click counts: 1 or 2 left, -1 or -2 right, 3 middle.
            int count = 3;
            if (message.message == plat::WM_LBUTTONDOWN)
                count = 1;
            else if (message.message == plat::WM_LBUTTONDBLCLK)
                count = 2;
            else if (message.message == plat::WM_RBUTTONDOWN)
                count = -1;
            else if (message.message == plat::WM_RBUTTONDBLCLK)
                count = -2;
            mManager->MouseMove(x, y);
            mManager->MouseDown(x, y, count);
            return true;
        }
        case plat::WM_LBUTTONUP:
        case plat::WM_RBUTTONUP:
        case plat::WM_MBUTTONUP: {
            const int count = message.message == plat::WM_LBUTTONUP   ? 1
                              : message.message == plat::WM_RBUTTONUP ? -1
                                                                      : 3;
            mManager->MouseMove(x, y);
            mManager->MouseUp(x, y, count);
            return true;
        }
        case plat::WM_MOUSEWHEEL:
            mManager->MouseWheel(plat::HighWordSigned(message.wParam) / plat::WHEEL_DELTA);
            return true;
        case plat::WM_KEYDOWN: mManager->KeyDown(static_cast<int>(message.wParam)); return true;
        case plat::WM_KEYUP: mManager->KeyUp(static_cast<int>(message.wParam)); return true;
        case plat::WM_CHAR: mManager->KeyChar(static_cast<char>(message.wParam & 0xFF)); return true;
        default: return false;
    }
}

void CrashReportScreens::Tick(HTTPTransfer& transfer, const std::function<bool()>& askRetry) {
    if (!mManager) return;
    mManager->UpdateFrame();
    if (mWindow != CrashReportDialog::PROGRESS_WINDOW || mDialog->GetWindow() != CrashReportDialog::PROGRESS_WINDOW)
        return;
    if (++mTicks % kTicksPerSecond == 0) mDialog->SecondTick();
    PollCrashReportUpload(*mDialog, mData, transfer, askRetry);
    if (mDialog->GetWindow() == CrashReportDialog::PROGRESS_WINDOW && mPanel != nullptr) {
        mPanel->mText = mDialog->GetStatusLine();
        mPanel->MarkDirty();
    }
}

void CrashReportScreens::Draw(Image* screen) {
    if (!mManager || screen == nullptr) return;
    mManager->mImage = screen;
    mManager->MarkAllDirty();
    mManager->DrawScreen();
    mManager->mImage = nullptr;
}

}  // namespace Velm
