#include "widgets/ScrollbarWidget.h"

#include <cmath>

#include "widgets/ScrollListener.h"
#include "widgets/ScrollbuttonWidget.h"
#include "widgets/WidgetGraphics.h"

namespace Velm {

ScrollbarWidget::ScrollbarWidget(int id, ScrollListener* listener) : mId(id), mScrollListener(listener) {
    mDisabled = true;
    mUpButton = new ScrollbuttonWidget(0, this);
    mUpButton->SetDisabled(true);
    mDownButton = new ScrollbuttonWidget(1, this);
    mDownButton->SetDisabled(true);
    AddWidget(mUpButton);
    AddWidget(mDownButton);
}

ScrollbarWidget::~ScrollbarWidget() { RemoveAllWidgets(true); }

void ScrollbarWidget::Scrolled() {
    if (mScrollListener != nullptr) mScrollListener->ScrollPosition(mId, mValue);
}

void ScrollbarWidget::ResizeScrollbar(int x, int y, int width, int height) {
    Resize(x, y, width, height);
    if (mHorizontal) {
        mUpButton->Resize(0, 0, height, height);
        mDownButton->Resize(width - height, 0, height, height);
    } else {
        mUpButton->Resize(0, 0, width, width);
        mDownButton->Resize(0, height - width, width, width);
    }
}

void ScrollbarWidget::SetHorizontal(bool horizontal) {
    mHorizontal = horizontal;
    mUpButton->mHorizontal = horizontal;
    mDownButton->mHorizontal = horizontal;
}

void ScrollbarWidget::SetHideWhenNoScroll(bool hide) {
    mInvisIfNoScroll = hide;
    if (hide) {
        SetVisible(false);
        mUpButton->SetVisible(false);
        mDownButton->SetVisible(false);
    }
}

void ScrollbarWidget::SetMaxValue(double maxValue) {
    mMaxValue = maxValue;
    ClampValue();
    MarkDirty();
}

void ScrollbarWidget::SetPageSize(double pageSize) {
    mPageSize = pageSize;
    ClampValue();
    MarkDirty();
}

void ScrollbarWidget::SetValue(double value) {
    // The clamp's report counts against the value before this call, so a
    // value clamped back to where it was is heard once.
    const double previous = mValue;
    mValue = value;
    ClampValueHelper(previous);
    Scrolled();
    MarkDirty();
}

bool ScrollbarWidget::AtBottom() { return mMaxValue - mPageSize - mValue <= 1; }

void ScrollbarWidget::GoToBottom() {
    mValue = mMaxValue - mPageSize;
    ClampValue();
    SetValue(mValue);
}

int ScrollbarWidget::GetTrackSize() { return (mHorizontal ? mWidth : mHeight) - 2 * mUpButton->mWidth; }

// With the page covering the whole range there is no thumb to show (size 0,
// at the track's start).
int ScrollbarWidget::GetThumbSize() {
    if (mPageSize >= mMaxValue) return 0;
    int size = static_cast<int>(GetTrackSize() * mPageSize / mMaxValue + 0.5);
    return size < 8 ? 8 : size;
}

int ScrollbarWidget::GetThumbPosition() {
    if (mPageSize >= mMaxValue) return mUpButton->mWidth;
    return static_cast<int>((GetTrackSize() - GetThumbSize()) * mValue / (mMaxValue - mPageSize) + 0.5) +
           mUpButton->mWidth;
}

// A thumb that fills the track has no travel: the drag changes nothing.
void ScrollbarWidget::SetThumbPosition(int position) {
    const int travel = GetTrackSize() - GetThumbSize();
    if (travel <= 0) return;
    const double value = (mMaxValue - mPageSize) * (position - mUpButton->mWidth) / travel;
    if (!std::isfinite(value)) return;
    SetValue(value);
}

int ScrollbarWidget::ThumbCompare(int x, int y) {
    const int c = mHorizontal ? x : y;
    const int position = GetThumbPosition();
    if (c < position) return -1;
    if (c >= position + GetThumbSize()) return 1;
    return 0;
}

void ScrollbarWidget::ClampValue() { ClampValueHelper(mValue); }

void ScrollbarWidget::ClampValueHelper(double previous) {
    const double old = mValue;
    if (mValue > mMaxValue - mPageSize) mValue = mMaxValue - mPageSize;
    if (mValue < 0) mValue = 0;
    const bool scrollable = mPageSize < mMaxValue;
    SetDisabled(!scrollable);
    mUpButton->SetDisabled(!scrollable);
    mDownButton->SetDisabled(!scrollable);
    if (mInvisIfNoScroll) {
        SetVisible(scrollable);
        mUpButton->SetVisible(scrollable);
        mDownButton->SetVisible(scrollable);
    }
    if (mValue != old && mValue != previous) Scrolled();
}

void ScrollbarWidget::DrawThumb(Graphics* g, int x, int y, int width, int height) {
    g->SetColor(Color(212, 212, 212));
    g->FillRect(x, y, width, height);
    g->SetColor(Color(255, 255, 255));
    g->FillRect(x + 1, y + 1, width - 2, 1);
    g->FillRect(x + 1, y + 1, 1, height - 2);
    g->SetColor(Color(0, 0, 0));
    g->FillRect(x, y + height - 1, width, 1);
    g->FillRect(x + width - 1, y, 1, height);
    g->SetColor(Color(132, 132, 132));
    g->FillRect(x + 1, y + height - 2, width - 2, 1);
    g->FillRect(x + width - 2, y + 1, 1, height - 2);
}

void ScrollbarWidget::Draw(Graphics* g) {
    const int size = GetThumbSize();
    const int position = GetThumbPosition();
    const int before = mUpdateMode == TRACK_BEFORE ? 48 : 232;
    const int after = mUpdateMode == TRACK_AFTER ? 48 : 232;
    if (mHorizontal) {
        g->SetColor(Color(before, before, before));
        g->FillRect(0, 0, position, mHeight);
        if (size > 0) DrawThumb(g, position, 0, size, mHeight);
        g->SetColor(Color(after, after, after));
        g->FillRect(position + size, 0, mWidth - position - size, mHeight);
    } else {
        g->SetColor(Color(before, before, before));
        g->FillRect(0, 0, mWidth, position);
        if (size > 0) DrawThumb(g, 0, position, mWidth, size);
        g->SetColor(Color(after, after, after));
        g->FillRect(0, position + size, mWidth, mHeight - position - size);
    }
}

void ScrollbarWidget::MouseDown(int x, int y, int button, int clickCount) {
    Widget::MouseDown(x, y, button, clickCount);
    mLastMouseX = x;
    mLastMouseY = y;
    if (mDisabled) return;
    switch (ThumbCompare(x, y)) {
        case 0:
            mPressedOnThumb = true;
            mMouseDownThumbPos = GetThumbPosition();
            mMouseDownX = x;
            mMouseDownY = y;
            break;
        case -1:
            SetValue(mValue - mPageSize);
            mUpdateMode = TRACK_BEFORE;
            mUpdateAcc = 0;
            break;
        default:
            SetValue(mValue + mPageSize);
            mUpdateMode = TRACK_AFTER;
            mUpdateAcc = 0;
            break;
    }
}

void ScrollbarWidget::MouseDrag(int x, int y) {
    if (mPressedOnThumb) {
        if (mHorizontal)
            SetThumbPosition(mMouseDownThumbPos + x - mMouseDownX);
        else
            SetThumbPosition(mMouseDownThumbPos + y - mMouseDownY);
    }
    mLastMouseX = x;
    mLastMouseY = y;
}

void ScrollbarWidget::MouseUp(int x, int y, int button, int clickCount) {
    Widget::MouseUp(x, y, button, clickCount);
    mUpdateMode = TRACK_NONE;
    mPressedOnThumb = false;
    MarkDirty();
}

// The first track repeat comes 25 ticks after the press, further ones every
// 5 ticks, until the thumb reaches the pointer.
void ScrollbarWidget::Update() {
    Widget::Update();
    if (mUpdateMode == TRACK_NONE) return;
    const int wanted = mUpdateMode == TRACK_BEFORE ? -1 : 1;
    if (ThumbCompare(mLastMouseX, mLastMouseY) == wanted) {
        if (++mUpdateAcc >= 25) {
            SetValue(mValue + wanted * mPageSize);
            mUpdateAcc = 20;
        }
    } else {
        mUpdateMode = TRACK_NONE;
        MarkDirty();
    }
}

void ScrollbarWidget::ButtonPress(int id) {
    mButtonAcc = 0;
    SetValue(id == 0 ? mValue - 1 : mValue + 1);
}

void ScrollbarWidget::ButtonDownTick(int id) {
    if (++mButtonAcc >= 25) {
        SetValue(id == 0 ? mValue - 1 : mValue + 1);
        mButtonAcc = 24;
    }
}

}  // namespace Velm
