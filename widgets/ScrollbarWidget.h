#pragma once

#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Velm {

class ScrollListener;
class ScrollbuttonWidget;

// A vertical or horizontal scroll bar: two arrow buttons (ids 0 and 1,
// owned children) at its ends and a track with a proportional thumb. The
// value stays in 0 .. max(0, maximum - page size); arrows move it by 1, the
// track by a page (repeating while held), the thumb by dragging. The bar
// and its buttons are disabled exactly when the page covers the maximum.
class ScrollbarWidget : public Widget, public ButtonListener {
public:
    ScrollbarWidget(int id, ScrollListener* listener);
    ~ScrollbarWidget() override;

    using ButtonListener::ButtonPress;
    using Widget::MouseDown;
    using Widget::MouseUp;

    virtual void SetHideWhenNoScroll(bool hide);
    virtual void SetMaxValue(double maxValue);
    virtual void SetPageSize(double pageSize);
    virtual void SetValue(double value);
    virtual void SetHorizontal(bool horizontal);
    // Resize plus square buttons at both ends; use it instead of Resize.
    virtual void ResizeScrollbar(int x, int y, int width, int height);
    virtual bool AtBottom();
    virtual void GoToBottom();
    virtual void DrawThumb(Graphics* g, int x, int y, int width, int height);
    virtual int GetTrackSize();
    virtual int GetThumbSize();
    virtual int GetThumbPosition();
    virtual void ClampValue();
    virtual void SetThumbPosition(int position);
    // -1 before the thumb, 1 after it, 0 on it.
    virtual int ThumbCompare(int x, int y);

    void Update() override;
    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    void ButtonPress(int id) override;
    void ButtonDownTick(int id) override;

    // Track press states.
    enum { TRACK_NONE = 0, TRACK_BEFORE = 1, TRACK_AFTER = 2 };

    ScrollbuttonWidget* mUpButton;
    ScrollbuttonWidget* mDownButton;
    bool mInvisIfNoScroll = false;
    int mId;
    double mValue = 0;
    double mMaxValue = 0;
    double mPageSize = 0;
    bool mHorizontal = false;
    bool mPressedOnThumb = false;
    int mMouseDownThumbPos = 0;
    int mMouseDownX = 0;
    int mMouseDownY = 0;
    int mUpdateMode = TRACK_NONE;
    int mUpdateAcc = 0;
    int mButtonAcc = 0;
    int mLastMouseX = 0;
    int mLastMouseY = 0;
    ScrollListener* mScrollListener;

private:
    void Scrolled();
    void ClampValueHelper(double previous);
};

}  // namespace Velm
