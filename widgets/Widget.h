#pragma once

#include <string>
#include <vector>

#include "widgets/WidgetContainer.h"

namespace Velm {

class Font;
class Image;
class WidgetApp;

// Insets shrink the area the hit test accepts.
struct Insets {
    int mLeft = 0;
    int mTop = 0;
    int mRight = 0;
    int mBottom = 0;
};

// A visible node of the widget tree: visibility, mouse and focus state, an
// indexed colour table, insets, tab neighbours and the input and drawing
// hooks that controls override. Coordinates passed to the hooks are the
// widget's own (0, 0 at its top-left) unless said otherwise. Mouse buttons:
// 0 left, 1 right, 2 middle; the signed click count of the manager is 1, 2
// left, -1, -2 right, 3 middle.
class Widget : public WidgetContainer {
public:
    Widget();
    ~Widget() override;

    using WidgetContainer::MarkDirty;
    using WidgetContainer::MarkDirtyFull;

    virtual void OrderInManagerChanged();
    virtual void SetVisible(bool visible);
    virtual void SetColorsRGBA(const int (*table)[4], int count);
    virtual void SetColorsRGB(const int (*table)[3], int count);
    virtual void SetColor(int index, const Color& color);
    virtual Color GetColor(int index, const Color& fallback);
    virtual const Color& GetColor(int index);
    virtual void SetDisabled(bool disabled);
    virtual void ShowHandCursor(bool on);
    virtual void Resize(const Rect& rect);
    virtual void Resize(int x, int y, int width, int height);
    virtual void Move(int x, int y);
    virtual bool WantsFocus();
    virtual void DrawOverlay(Graphics* g, int priority);
    virtual void DrawOverlay(Graphics* g);
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void KeyChar(char c);
    virtual void KeyDown(int key);
    virtual void KeyUp(int key);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMove(int x, int y);
    virtual void MouseDown(int x, int y, int button, int clickCount);
    virtual void MouseDown(int x, int y, int signedClickCount);
    virtual void MouseUp(int x, int y, int button, int clickCount);
    virtual void MouseUp(int x, int y, int signedClickCount);
    virtual void MouseUp(int x, int y);
    virtual void MouseDrag(int x, int y);
    virtual void MouseWheel(int delta);
    virtual bool IsPointVisible(int x, int y);
    // Draws the current font's string centred in the widget's width at the
    // baseline, first in the shadow colour at the offset; returns the union.
    virtual Rect WriteCenteredLine(Graphics* g, int baselineY, const std::string& text, Color color, Color shadowColor,
                                   const Point& shadowOffset);
    virtual Rect WriteCenteredLine(Graphics* g, int baselineY, const std::string& text);
    // Text with colour codes; returns the advance width.
    virtual int WriteString(Graphics* g, const std::string& text, int x, int y, int width = -1, int justification = -1,
                            bool draw = true, int offset = 0, int length = -1);
    // Word-wrapped text inside rect.width; returns the height used.
    virtual int WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing,
                                 int justification);
    virtual int GetWordWrappedHeight(Graphics* g, int width, const std::string& text, int lineSpacing);
    virtual int GetNumDigits(int number);
    // Draws n with the digit cells of a strip image (ten cells 0..9 side by side).
    virtual void WriteNumberFromStrip(Graphics* g, int number, int x, int y, Image* strip, int spacing);
    // Parent coordinates.
    virtual bool Contains(int x, int y);
    virtual Rect GetInsetRect();

    // Appends this widget to the manager's deferred overlays; call from Draw.
    void DeferOverlay(int priority = 0);
    // The manager's application, else the process-wide one; may be null.
    WidgetApp* GetApp();
    void SetAppCursor(int cursorNum);

    bool mVisible = true;
    // False lets the hit test pass through the widget itself.
    bool mMouseVisible = true;
    bool mDisabled = false;
    bool mHasFocus = false;
    bool mIsDown = false;
    bool mIsOver = false;
    bool mHasTransparencies = false;
    std::vector<Color> mColors;
    Insets mMouseInsets;
    // Ask for the hand cursor while the pointer is over the widget.
    bool mDoFinger = false;
    bool mWantsFocus = false;
    Widget* mTabPrev = nullptr;
    Widget* mTabNext = nullptr;
    // Where the last single click went down, widget coordinates.
    int mPressX = 0;
    int mPressY = 0;
};

}  // namespace Velm
