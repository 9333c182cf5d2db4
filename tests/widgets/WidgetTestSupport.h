#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/ButtonListener.h"
#include "widgets/CheckboxListener.h"
#include "widgets/DialogListener.h"
#include "widgets/EditListener.h"
#include "widgets/ListListener.h"
#include "widgets/ScrollListener.h"
#include "widgets/SliderListener.h"
#include "widgets/Widget.h"
#include "widgets/WidgetApp.h"
#include "widgets/WidgetManager.h"

namespace VelmTest {

using Velm::Color;
using Velm::Rect;

// Every call a listener or a widget hook received, as one line of text
// ("press 7 1", "enter 7" ...), so tests compare whole sequences.
using Log = std::vector<std::string>;

// A font with fixed metrics: every printable character is 6 pixels wide
// (characters below 32 are 0), ascent 8, height 10, no padding. Draws
// record "text@x,y" (translated) into a shared log.
class TestFont : public Velm::Font {
public:
    static constexpr int kCharWidth = 6;
    explicit TestFont(Log* drawLog = nullptr);
    int StringWidth(const std::string& text) override;
    void DrawString(Velm::Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Velm::Font* Duplicate() override;
    Log* mDrawLog;
    static int sLiveCount;
    ~TestFont() override;
    TestFont(const TestFont& other);
};

// An image that draws nothing and records its fills, outlines and blits in
// destination pixels ("fill x,y,w,h r,g,b,a", "blt x,y src sx,sy,sw,sh" ...).
class RecordingImage : public Velm::Image {
public:
    RecordingImage(int w, int h);
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) override;
    void Blt(Velm::Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    Log mCalls;
};

// The application as the widgets see it.
class FakeApp : public Velm::WidgetApp, public Velm::DialogListener {
public:
    FakeApp();
    ~FakeApp() override;
    void SetCursor(int cursorNum) override;
    void CopyToClipboard(const std::string& text) override;
    std::string GetClipboardText() override;
    bool Allows8BitChars() override { return mAllow8Bit; }
    bool UpdateAppStep() override;
    void KillDialog(int dialogId) override;
    void SafeDeleteWidget(Velm::Widget* widget) override;
    Velm::DialogListener* GetDialogListener() override { return this; }
    Velm::Font* CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                              bool underline) override;
    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;

    int mCursor = 0;
    std::vector<int> mCursorHistory;
    std::string mClipboard;
    bool mAllow8Bit = true;
    bool mSysFonts = true;
    std::vector<std::string> mSysFontRequests;
    Log mLog;
    // Run by each UpdateAppStep; the step reports false after mMaxSteps.
    std::vector<std::function<void()>> mStepScript;
    int mSteps = 0;
    int mMaxSteps = 100;
    Velm::WidgetManager* mManager = nullptr;
    std::vector<Velm::Widget*> mKilled;
    std::function<void(int)> mOnKill;
};

// A widget that records every hook it receives.
class RecordingWidget : public Velm::Widget {
public:
    explicit RecordingWidget(const std::string& name, Log* log);
    using Velm::Widget::DrawOverlay;
    using Velm::Widget::MouseDown;
    using Velm::Widget::MouseUp;
    void Update() override;
    void Draw(Velm::Graphics* g) override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(char c) override;
    void KeyDown(int key) override;
    void KeyUp(int key) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseWheel(int delta) override;
    void DrawOverlay(Velm::Graphics* g, int priority) override;
    std::string mName;
    Log* mLog;
    std::function<void()> mOnUpdate;
};

// Records every listener call of every control kind.
class RecordingListener : public Velm::ButtonListener,
                          public Velm::CheckboxListener,
                          public Velm::SliderListener,
                          public Velm::ScrollListener,
                          public Velm::ListListener,
                          public Velm::EditListener,
                          public Velm::DialogListener {
public:
    using Velm::ButtonListener::ButtonPress;
    void ButtonPress(int id, int clickCount) override;
    void ButtonDepress(int id) override;
    void ButtonDownTick(int id) override;
    void ButtonMouseEnter(int id) override;
    void ButtonMouseLeave(int id) override;
    void ButtonMouseMove(int id, int x, int y) override;
    void CheckboxChecked(int id, bool checked) override;
    void SliderValueChanged(int id, double value) override;
    void ScrollPosition(int id, double value) override;
    void ListClicked(int listId, int lineIndex, int clickCount) override;
    void ListClosed(int listId) override;
    void ListHiliteChanged(int listId, int oldIndex, int newIndex) override;
    void EditWidgetText(int id, const std::string& text) override;
    bool AllowText(int id, const std::string& text) override;
    void EditWidgetCharRefused(int id, char c) override;
    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;
    Log mLog;
    bool mLogTicks = true;
    bool mLogMoves = true;
    int mMaxTextLength = -1;
};

// A manager of 800 x 600 on a fake application installed as the process's.
struct Fixture {
    Fixture();
    ~Fixture();
    FakeApp app;
    Velm::WidgetManager manager;
};

std::string Fmt(const char* format, ...);

}  // namespace VelmTest
