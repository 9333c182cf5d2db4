#include "widgets/Widget.h"

#include "widgets/WidgetApp.h"
#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace Velm {

Widget::Widget() = default;

Widget::~Widget() = default;

WidgetApp* Widget::GetApp() {
    if (mWidgetManager != nullptr && mWidgetManager->GetApp() != nullptr) return mWidgetManager->GetApp();
    return WidgetApp::Get();
}

void Widget::SetAppCursor(int cursorNum) {
    WidgetApp* app = GetApp();
    if (app != nullptr) app->SetCursor(cursorNum);
}

void Widget::OrderInManagerChanged() {}

void Widget::SetVisible(bool visible) {
    if (mVisible == visible) return;
    mVisible = visible;
    if (visible)
        MarkDirty();
    else
        MarkDirtyFull();
    if (mWidgetManager != nullptr) mWidgetManager->RecheckMouseOver();
}

void Widget::SetColorsRGBA(const int (*table)[4], int count) {
    mColors.clear();
    for (int i = 0; i < count; i++) SetColor(i, Color(table[i][0], table[i][1], table[i][2], table[i][3]));
    MarkDirty();
}

void Widget::SetColorsRGB(const int (*table)[3], int count) {
    mColors.clear();
    for (int i = 0; i < count; i++) SetColor(i, Color(table[i][0], table[i][1], table[i][2]));
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color) {
    if (index < 0) return;
    if (index >= static_cast<int>(mColors.size())) mColors.resize(index + 1, Color());
    mColors[index] = color;
    MarkDirty();
}

// A negative index is treated like one past the end.
Color Widget::GetColor(int index, const Color& fallback) {
    if (index < 0 || index >= static_cast<int>(mColors.size())) return fallback;
    return mColors[index];
}

const Color& Widget::GetColor(int index) {
    static const Color kBlack;
    if (index < 0 || index >= static_cast<int>(mColors.size())) return kBlack;
    return mColors[index];
}

void Widget::SetDisabled(bool disabled) {
    if (mDisabled == disabled) return;
    mDisabled = disabled;
    if (disabled && mWidgetManager != nullptr) mWidgetManager->DisableWidget(this);
    MarkDirty();
    if (!disabled && mWidgetManager != nullptr && Contains(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY))
        mWidgetManager->MousePosition(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY);
}

void Widget::ShowHandCursor(bool on) {
    if (mWidgetManager == nullptr) return;
    SetAppCursor(on ? CURSOR_HAND : CURSOR_POINTER);
}

void Widget::Resize(const Rect& rect) { Resize(rect.x, rect.y, rect.width, rect.height); }

void Widget::Resize(int x, int y, int width, int height) {
    if (mX == x && mY == y && mWidth == width && mHeight == height) return;
    MarkDirtyFull();
    mX = x;
    mY = y;
    mWidth = width;
    mHeight = height;
    MarkDirty();
    if (mWidgetManager != nullptr) mWidgetManager->RecheckMouseOver();
}

void Widget::Move(int x, int y) { Resize(x, y, mWidth, mHeight); }

bool Widget::WantsFocus() { return mWantsFocus; }

void Widget::DrawOverlay(Graphics* g, int priority) {
    (void)priority;
    DrawOverlay(g);
}

void Widget::DrawOverlay(Graphics* g) { (void)g; }

void Widget::GotFocus() { mHasFocus = true; }

void Widget::LostFocus() { mHasFocus = false; }

void Widget::KeyChar(char c) { (void)c; }

void Widget::KeyDown(int key) {
    if (key != 9 || mWidgetManager == nullptr) return;
    Widget* target = mWidgetManager->IsKeyDown(16) ? mTabPrev : mTabNext;
    if (target != nullptr) mWidgetManager->SetFocus(target);
}

void Widget::KeyUp(int key) { (void)key; }

void Widget::MouseEnter() {}

void Widget::MouseLeave() {}

void Widget::MouseMove(int x, int y) {
    (void)x;
    (void)y;
}

void Widget::MouseDown(int x, int y, int button, int clickCount) {
    (void)button;
    if (clickCount == 1) {
        mPressX = x;
        mPressY = y;
    }
}

void Widget::MouseDown(int x, int y, int signedClickCount) {
    if (signedClickCount == 3)
        MouseDown(x, y, 2, 1);
    else if (signedClickCount < 0)
        MouseDown(x, y, 1, -signedClickCount);
    else
        MouseDown(x, y, 0, signedClickCount);
}

void Widget::MouseUp(int x, int y, int button, int clickCount) {
    (void)x;
    (void)y;
    (void)button;
    (void)clickCount;
}

void Widget::MouseUp(int x, int y, int signedClickCount) {
    MouseUp(x, y);
    if (signedClickCount == 3)
        MouseUp(x, y, 2, 1);
    else if (signedClickCount < 0)
        MouseUp(x, y, 1, -signedClickCount);
    else
        MouseUp(x, y, 0, signedClickCount);
}

void Widget::MouseUp(int x, int y) {
    (void)x;
    (void)y;
}

void Widget::MouseDrag(int x, int y) {
    (void)x;
    (void)y;
}

void Widget::MouseWheel(int delta) { (void)delta; }

bool Widget::IsPointVisible(int x, int y) {
    (void)x;
    (void)y;
    return true;
}

Rect Widget::WriteCenteredLine(Graphics* g, int baselineY, const std::string& text) {
    Font* font = g->GetFont();
    int width = TextStringWidth(font, text);
    int x = (mWidth - width) / 2;
    TextDrawString(g, text, x, baselineY);
    return Rect(x, baselineY - TextAscent(font), width, TextHeight(font));
}

Rect Widget::WriteCenteredLine(Graphics* g, int baselineY, const std::string& text, Color color, Color shadowColor,
                               const Point& shadowOffset) {
    Font* font = g->GetFont();
    int width = TextStringWidth(font, text);
    int x = (mWidth - width) / 2;
    g->SetColor(shadowColor);
    TextDrawString(g, text, x + shadowOffset.x, baselineY + shadowOffset.y);
    g->SetColor(color);
    TextDrawString(g, text, x, baselineY);
    int dx = shadowOffset.x < 0 ? -shadowOffset.x : shadowOffset.x;
    int dy = shadowOffset.y < 0 ? -shadowOffset.y : shadowOffset.y;
    return Rect(x + std::min(shadowOffset.x, 0), baselineY + std::min(shadowOffset.y, 0) - TextAscent(font), width + dx,
                TextHeight(font) + dy);
}

int Widget::WriteString(Graphics* g, const std::string& text, int x, int y, int width, int justification, bool draw,
                        int offset, int length) {
    return TextWriteString(g, text, x, y, width, justification, draw, offset, length);
}

int Widget::WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing,
                             int justification) {
    return TextWriteWordWrapped(g, rect, text, lineSpacing, justification);
}

int Widget::GetWordWrappedHeight(Graphics* g, int width, const std::string& text, int lineSpacing) {
    return TextWordWrappedHeight(g->GetFont(), width, text, lineSpacing);
}

int Widget::GetNumDigits(int number) {
    int digits = 1;
    for (long long power = 10; number >= power; power *= 10) digits++;
    return digits;
}

void Widget::WriteNumberFromStrip(Graphics* g, int number, int x, int y, Image* strip, int spacing) {
    if (strip == nullptr) return;
    int cellWidth = strip->GetWidth() / 10;
    int digits = GetNumDigits(number);
    int divisor = 1;
    for (int i = 1; i < digits; i++) divisor *= 10;
    int offset = 0;
    for (int i = 0; i < digits; i++) {
        int digit = (number / divisor) % 10;
        if (digit < 0) digit = -digit;
        divisor /= 10;
        Graphics cell(*g);
        cell.ClipRect(x + offset, y, cellWidth, strip->GetHeight());
        cell.DrawImage(strip, x + offset - digit * cellWidth, y);
        offset += cellWidth + spacing;
    }
}

bool Widget::Contains(int x, int y) { return x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight; }

Rect Widget::GetInsetRect() {
    return Rect(mX + mMouseInsets.mLeft, mY + mMouseInsets.mTop, mWidth - mMouseInsets.mLeft - mMouseInsets.mRight,
                mHeight - mMouseInsets.mTop - mMouseInsets.mBottom);
}

void Widget::DeferOverlay(int priority) {
    if (mWidgetManager != nullptr) mWidgetManager->DeferOverlay(this, priority);
}

}  // namespace Velm
