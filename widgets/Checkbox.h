#pragma once

#include "widgets/Widget.h"

namespace Velm {

class CheckboxListener;

// A two-state box drawn from two images, from source rectangles of the
// unchecked image, or as a plain square with a cross. Any press toggles it.
class Checkbox : public Widget {
public:
    Checkbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener);

    using Widget::MouseDown;

    virtual void SetChecked(bool checked, bool tellListener = true);
    virtual bool IsChecked();

    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int button, int clickCount) override;

    CheckboxListener* mListener;
    int mId;
    bool mChecked = false;
    Image* mUncheckedImage;
    Image* mCheckedImage;
    Rect mCheckedRect;
    Rect mUncheckedRect;
    Color mOutlineColor = Color(255, 255, 255, 255);
    Color mBkgColor = Color(80, 80, 80);
    Color mCheckColor = Color(255, 255, 0);
};

}  // namespace Velm
