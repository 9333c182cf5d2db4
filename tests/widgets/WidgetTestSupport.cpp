#include "tests/widgets/WidgetTestSupport.h"

#include <cstdarg>
#include <cstdio>

namespace VelmTest {

std::string Fmt(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    return buffer;
}

int TestFont::sLiveCount = 0;

TestFont::TestFont(Log* drawLog) : mDrawLog(drawLog) {
    ascent = 8;
    height = 10;
    sLiveCount++;
}

TestFont::TestFont(const TestFont& other) : Velm::Font(other), mDrawLog(other.mDrawLog) { sLiveCount++; }

TestFont::~TestFont() { sLiveCount--; }

int TestFont::StringWidth(const std::string& text) {
    int width = 0;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 32) width += kCharWidth;
    return width;
}

void TestFont::DrawString(Velm::Graphics* g, int x, int y, const std::string& text, const Color& color,
                          const Rect& clip) {
    (void)clip;
    if (mDrawLog == nullptr) return;
    mDrawLog->push_back(Fmt("%s@%d,%d %d,%d,%d,%d", text.c_str(), static_cast<int>(x + g->transX),
                            static_cast<int>(y + g->transY), color.red, color.green, color.blue, color.alpha));
}

Velm::Font* TestFont::Duplicate() { return new TestFont(*this); }

RecordingImage::RecordingImage(int w, int h) {
    width = w;
    height = h;
}

void RecordingImage::FillRect(const Rect& r, const Color& c, int drawMode) {
    (void)drawMode;
    mCalls.push_back(Fmt("fill %d,%d,%d,%d %d,%d,%d,%d", r.x, r.y, r.width, r.height, c.red, c.green, c.blue, c.alpha));
}

void RecordingImage::DrawRect(const Rect& r, const Color& c, int drawMode) {
    (void)drawMode;
    mCalls.push_back(Fmt("rect %d,%d,%d,%d %d,%d,%d,%d", r.x, r.y, r.width, r.height, c.red, c.green, c.blue, c.alpha));
}

void RecordingImage::DrawLine(double startX, double startY, double endX, double endY, const Color& c, int drawMode) {
    (void)drawMode;
    (void)c;
    mCalls.push_back(Fmt("line %g,%g,%g,%g", startX, startY, endX, endY));
}

void RecordingImage::Blt(Velm::Image* image, int x, int y, const Rect& s, const Color& color, int drawMode) {
    (void)image;
    (void)drawMode;
    mCalls.push_back(Fmt("blt %d,%d src %d,%d,%d,%d a%d", x, y, s.x, s.y, s.width, s.height, color.alpha));
}

FakeApp::FakeApp() { Velm::WidgetApp::Set(this); }

FakeApp::~FakeApp() { Velm::WidgetApp::Set(nullptr); }

void FakeApp::SetCursor(int cursorNum) {
    mCursor = cursorNum;
    mCursorHistory.push_back(cursorNum);
}

void FakeApp::CopyToClipboard(const std::string& text) { mClipboard = text; }

std::string FakeApp::GetClipboardText() { return mClipboard; }

bool FakeApp::UpdateAppStep() {
    if (mSteps >= mMaxSteps) return false;
    if (mSteps < static_cast<int>(mStepScript.size()) && mStepScript[mSteps]) mStepScript[mSteps]();
    mSteps++;
    if (mManager != nullptr) mManager->UpdateFrame();
    return true;
}

void FakeApp::KillDialog(int dialogId) {
    mLog.push_back(Fmt("kill %d", dialogId));
    if (mOnKill) mOnKill(dialogId);
}

void FakeApp::SafeDeleteWidget(Velm::Widget* widget) { mKilled.push_back(widget); }

Velm::Font* FakeApp::CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                                   bool underline) {
    (void)bold;
    (void)italic;
    (void)underline;
    mSysFontRequests.push_back(Fmt("%s %d %d", face.c_str(), pointSize, charSet));
    return mSysFonts ? new TestFont() : nullptr;
}

void FakeApp::DialogButtonPress(int dialogId, int buttonId) {
    mLog.push_back(Fmt("dialog press %d %d", dialogId, buttonId));
}

void FakeApp::DialogButtonDepress(int dialogId, int buttonId) {
    mLog.push_back(Fmt("dialog depress %d %d", dialogId, buttonId));
}

RecordingWidget::RecordingWidget(const std::string& name, Log* log) : mName(name), mLog(log) {}

void RecordingWidget::Update() {
    Velm::Widget::Update();
    mLog->push_back(mName + " update");
    if (mOnUpdate) mOnUpdate();
}

void RecordingWidget::Draw(Velm::Graphics* g) {
    mLog->push_back(Fmt("%s draw %d,%d", mName.c_str(), static_cast<int>(g->transX), static_cast<int>(g->transY)));
}

void RecordingWidget::GotFocus() {
    Velm::Widget::GotFocus();
    mLog->push_back(mName + " gotfocus");
}

void RecordingWidget::LostFocus() {
    Velm::Widget::LostFocus();
    mLog->push_back(mName + " lostfocus");
}

void RecordingWidget::KeyChar(char c) { mLog->push_back(Fmt("%s char %d", mName.c_str(), c)); }

void RecordingWidget::KeyDown(int key) {
    mLog->push_back(Fmt("%s keydown %d", mName.c_str(), key));
    Velm::Widget::KeyDown(key);
}

void RecordingWidget::KeyUp(int key) { mLog->push_back(Fmt("%s keyup %d", mName.c_str(), key)); }

void RecordingWidget::MouseEnter() { mLog->push_back(mName + " enter"); }

void RecordingWidget::MouseLeave() { mLog->push_back(mName + " leave"); }

void RecordingWidget::MouseMove(int x, int y) { mLog->push_back(Fmt("%s move %d,%d", mName.c_str(), x, y)); }

void RecordingWidget::MouseDown(int x, int y, int button, int clickCount) {
    Velm::Widget::MouseDown(x, y, button, clickCount);
    mLog->push_back(Fmt("%s down %d,%d b%d c%d", mName.c_str(), x, y, button, clickCount));
}

void RecordingWidget::MouseUp(int x, int y, int button, int clickCount) {
    mLog->push_back(Fmt("%s up %d,%d b%d c%d", mName.c_str(), x, y, button, clickCount));
}

void RecordingWidget::MouseDrag(int x, int y) { mLog->push_back(Fmt("%s drag %d,%d", mName.c_str(), x, y)); }

void RecordingWidget::MouseWheel(int delta) { mLog->push_back(Fmt("%s wheel %d", mName.c_str(), delta)); }

void RecordingWidget::DrawOverlay(Velm::Graphics* g, int priority) {
    (void)g;
    mLog->push_back(Fmt("%s overlay %d", mName.c_str(), priority));
}

void RecordingListener::ButtonPress(int id, int clickCount) { mLog.push_back(Fmt("press %d %d", id, clickCount)); }
void RecordingListener::ButtonDepress(int id) { mLog.push_back(Fmt("depress %d", id)); }
void RecordingListener::ButtonDownTick(int id) {
    if (mLogTicks) mLog.push_back(Fmt("tick %d", id));
}
void RecordingListener::ButtonMouseEnter(int id) { mLog.push_back(Fmt("enter %d", id)); }
void RecordingListener::ButtonMouseLeave(int id) { mLog.push_back(Fmt("leave %d", id)); }
void RecordingListener::ButtonMouseMove(int id, int x, int y) {
    if (mLogMoves) mLog.push_back(Fmt("move %d %d,%d", id, x, y));
}
void RecordingListener::CheckboxChecked(int id, bool checked) {
    mLog.push_back(Fmt("checked %d %d", id, checked ? 1 : 0));
}
void RecordingListener::SliderValueChanged(int id, double value) { mLog.push_back(Fmt("slider %d %g", id, value)); }
void RecordingListener::ScrollPosition(int id, double value) { mLog.push_back(Fmt("scroll %d %g", id, value)); }
void RecordingListener::ListClicked(int listId, int lineIndex, int clickCount) {
    mLog.push_back(Fmt("clicked %d %d %d", listId, lineIndex, clickCount));
}
void RecordingListener::ListClosed(int listId) { mLog.push_back(Fmt("closed %d", listId)); }
void RecordingListener::ListHiliteChanged(int listId, int oldIndex, int newIndex) {
    mLog.push_back(Fmt("hilite %d %d %d", listId, oldIndex, newIndex));
}
void RecordingListener::EditWidgetText(int id, const std::string& text) {
    mLog.push_back(Fmt("enter %d %s", id, text.c_str()));
}
bool RecordingListener::AllowText(int id, const std::string& text) {
    (void)id;
    return mMaxTextLength < 0 || static_cast<int>(text.size()) <= mMaxTextLength;
}
void RecordingListener::EditWidgetCharRefused(int id, char c) {
    mLog.push_back(Fmt("refused %d %02x", id, static_cast<unsigned char>(c)));
}
void RecordingListener::DialogButtonPress(int dialogId, int buttonId) {
    mLog.push_back(Fmt("dialog press %d %d", dialogId, buttonId));
}
void RecordingListener::DialogButtonDepress(int dialogId, int buttonId) {
    mLog.push_back(Fmt("dialog depress %d %d", dialogId, buttonId));
}

Fixture::Fixture() : manager(&app) {
    app.mManager = &manager;
    manager.SetRemapRects(Rect(0, 0, 800, 600), Rect(0, 0, 800, 600));
}

// Widgets declared after the fixture are gone by now: nothing touches them.
Fixture::~Fixture() = default;

}  // namespace VelmTest
