#pragma once

#include "widgets/Widget.h"

namespace Velm {

class SliderListener;

// A horizontal or vertical track with a draggable thumb holding a value
// 0 .. 1. A press on the track jumps the value there; the listener hears
// the value during a thumb drag and once at every release.
class Slider : public Widget {
public:
    Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener);

    using Widget::MouseDown;
    using Widget::MouseUp;

    // Clamped to 0 .. 1; a value that is not finite changes nothing. Does not
    // tell the listener.
    virtual void SetValue(double value);
    virtual bool ReturnsTrue();

    void Draw(Graphics* g) override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int signedClickCount) override;
    void MouseUp(int x, int y) override;
    void MouseDrag(int x, int y) override;

    SliderListener* mListener;
    double mVal = 0;
    int mId;
    Image* mTrackImage;
    Image* mThumbImage;
    bool mDragging = false;
    // Where inside the thumb it was grabbed.
    int mRelX = 0;
    int mRelY = 0;
    bool mHorizontal = true;

private:
    int Length() const;
    int ThumbLength() const;
    int ThumbPos() const;
};

}  // namespace Velm
