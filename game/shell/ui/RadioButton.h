#pragma once

#include <memory>
#include <string>

#include "game/shell/ui/UiImageOwner.h"
#include "graphics/Color.h"
#include "graphics/Rect.h"
#include "widgets/Widget.h"

namespace Velm {

class CheckboxListener;
class Font;

// A check-box-like control with a label, drawn from pictures (separate ones
// or rectangles of one sheet) or as a small framed square with a cross. A
// release over it checks it; a press dragged off before release unchecks it.
// Tells its listener CheckboxChecked(id, checked). Pictures are not owned
// (except those a style adopted through UiImageOwner); the font is an owned
// duplicate. Main thread.
class RadioButton : public Widget, public UiImageOwner {
public:
    // Label justification.
    enum { JUSTIFY_CENTER = 0, JUSTIFY_RIGHT = 1 };  // any other value: left

    RadioButton(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener,
                Image* overImage = nullptr, Image* downImage = nullptr, Image* disabledImage = nullptr);
    ~RadioButton() override;

    using Widget::MouseDown;
    using Widget::MouseUp;

    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    // The release of any button does nothing beyond the four-argument form.
    void MouseUp(int x, int y) override;

    virtual void SetChecked(bool checked, bool notify);
    virtual bool IsChecked();
    // Replaces the font with a duplicate of font (null clears it).
    void SetFont(Font* font);

    CheckboxListener* mListener;
    int mId;
    std::string mLabel;
    int mJustification = JUSTIFY_CENTER;
    std::unique_ptr<Font> mFont;
    bool mChecked = false;
    // The unchecked picture is also the sheet the rectangles cut from.
    Image* mUncheckedImage;
    Image* mCheckedImage;
    Image* mOverImage;
    Image* mDownImage;
    Image* mDisabledImage;
    Rect mCheckedRect;
    Rect mUncheckedRect;
    Rect mOverRect;
    Rect mDownRect;
    Rect mDisabledRect;
    Color mBorderColor = Color(255, 255, 255, 255);
    Color mInsideColor = Color(80, 80, 80);
    Color mCrossColor = Color(255, 255, 0);
};

}  // namespace Velm
