#include "widgets/Slider.h"

#include <cmath>

#include "widgets/SliderListener.h"
#include "widgets/WidgetGraphics.h"

namespace Velm {

Slider::Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener)
        : mListener(listener), mId(id), mTrackImage(trackImage), mThumbImage(thumbImage) {}

bool Slider::ReturnsTrue() { return true; }

void Slider::SetValue(double value) {
    if (!std::isfinite(value)) return;
    if (value < 0) value = 0;
    if (value > 1) value = 1;
    mVal = value;
    MarkDirtyFull();
}

int Slider::Length() const { return mHorizontal ? mWidth : mHeight; }

int Slider::ThumbLength() const {
    if (mThumbImage == nullptr) return 0;
    return mHorizontal ? mThumbImage->GetWidth() : mThumbImage->GetHeight();
}

int Slider::ThumbPos() const { return static_cast<int>((Length() - ThumbLength()) * mVal); }

void Slider::Draw(Graphics* g) {
    if (mTrackImage != nullptr) {
        if (mHorizontal) {
            const int cw = mTrackImage->GetWidth() / 3;
            const int ch = mTrackImage->GetHeight();
            const int y = (mHeight - ch) / 2;
            g->DrawImage(mTrackImage, 0, y, Rect(0, 0, cw, ch));
            if (cw > 0) {
                Graphics middle(*g);
                middle.ClipRect(cw, y, mWidth - 2 * cw, ch);
                const int count = (mWidth - cw - 1) / cw;
                for (int i = 0; i < count; i++) middle.DrawImage(mTrackImage, cw + i * cw, y, Rect(cw, 0, cw, ch));
            }
            g->DrawImage(mTrackImage, mWidth - cw, y, Rect(2 * cw, 0, cw, ch));
        } else {
            const int cw = mTrackImage->GetWidth();
            const int ch = mTrackImage->GetHeight() / 3;
            g->DrawImage(mTrackImage, 0, 0, Rect(0, 0, cw, ch));
            if (ch > 0) {
                Graphics middle(*g);
                middle.ClipRect(0, ch, cw, mHeight - 2 * ch);
                const int count = (mHeight - ch - 1) / ch;
                for (int i = 0; i < count; i++) middle.DrawImage(mTrackImage, 0, ch + i * ch, Rect(0, ch, cw, ch));
            }
            g->DrawImage(mTrackImage, 0, mHeight - ch, Rect(0, 2 * ch, cw, ch));
        }
    }
    if (mThumbImage != nullptr) {
        if (mHorizontal)
            g->DrawImage(mThumbImage, static_cast<int>((mWidth - mThumbImage->GetWidth()) * mVal),
                         (mHeight - mThumbImage->GetHeight()) / 2);
        else
            g->DrawImage(mThumbImage, (mWidth - mThumbImage->GetWidth()) / 2,
                         static_cast<int>((mHeight - mThumbImage->GetHeight()) * mVal));
    }
}

void Slider::MouseDown(int x, int y, int signedClickCount) {
    (void)signedClickCount;
    const int coord = mHorizontal ? x : y;
    const int thumbPos = ThumbPos();
    if (coord >= thumbPos && coord < thumbPos + ThumbLength()) {
        SetAppCursor(CURSOR_DRAGGING);
        mRelX = x - (mHorizontal ? thumbPos : 0);
        mRelY = y - (mHorizontal ? 0 : thumbPos);
        mDragging = true;
    } else {
        SetValue(static_cast<double>(coord) / Length());
    }
}

// A thumb that fills the track cannot be dragged (the travel is 0).
void Slider::MouseDrag(int x, int y) {
    if (!mDragging) return;
    const int travel = Length() - ThumbLength();
    if (travel <= 0) return;
    const double old = mVal;
    const double value =
            mHorizontal ? static_cast<double>(x - mRelX) / travel : static_cast<double>(y - mRelY) / travel;
    SetValue(value);
    if (mVal != old) {
        if (mListener != nullptr) mListener->SliderValueChanged(mId, mVal);
        MarkDirtyFull();
    }
}

void Slider::MouseUp(int x, int y) {
    (void)x;
    (void)y;
    mDragging = false;
    SetAppCursor(CURSOR_POINTER);
    if (mListener != nullptr) mListener->SliderValueChanged(mId, mVal);
}

void Slider::MouseMove(int x, int y) {
    const int coord = mHorizontal ? x : y;
    const int thumbPos = ThumbPos();
    SetAppCursor(coord >= thumbPos && coord < thumbPos + ThumbLength() ? CURSOR_DRAGGING : CURSOR_POINTER);
}

void Slider::MouseLeave() {
    if (!mDragging) SetAppCursor(CURSOR_POINTER);
}

}  // namespace Velm
