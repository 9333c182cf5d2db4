#pragma once

#include <string>

#include "widgets/Widget.h"

namespace Velm {

class ButtonListener;

// A push button: a label over four image states (or states packed in one
// image through source rectangles) or a default bevelled look, an optional
// hover cross-fade, and ButtonListener calls for press, click, hold, enter,
// leave and move. The click (ButtonDepress) comes at the release, only when
// the pointer is still over the button and the application has the focus.
// Images are not owned; the font is an owned duplicate.
class ButtonWidget : public Widget {
public:
    // Label justification.
    enum Justification { BUTTON_LABEL_CENTER = 0, BUTTON_LABEL_RIGHT = 1, BUTTON_LABEL_LEFT = -1 };
    // Colour table indices.
    enum {
        COLOR_LABEL = 0,
        COLOR_LABEL_HILITE = 1,
        COLOR_DARK_OUTLINE = 2,
        COLOR_LIGHT_OUTLINE = 3,
        COLOR_MEDIUM_OUTLINE = 4,
        COLOR_BKG = 5,
        NUM_COLORS = 6
    };

    ButtonWidget(int id, ButtonListener* listener);
    ~ButtonWidget() override;

    using Widget::DrawOverlay;
    using Widget::GetColor;
    using Widget::MouseDown;
    using Widget::MouseUp;
    using Widget::Resize;
    using Widget::WriteCenteredLine;

    virtual void DrawButtonImage(Graphics* g, Image* image, const Rect& rect, int x, int y);
    virtual void SetFont(Font* font);
    virtual bool IsButtonDown();

    bool HaveButtonImage(Image* image, const Rect& rect) const;

    void Update() override;
    void Draw(Graphics* g) override;
    void SetDisabled(bool disabled) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;

    int mId;
    std::string mLabel;
    int mLabelJustify = BUTTON_LABEL_CENTER;
    Font* mFont = nullptr;
    Image* mButtonImage = nullptr;
    Image* mOverImage = nullptr;
    Image* mDownImage = nullptr;
    Image* mDisabledImage = nullptr;
    Rect mNormalRect;
    Rect mOverRect;
    Rect mDownRect;
    Rect mDisabledRect;
    // Draws the pressed look at rest and the normal look when pressed.
    bool mInverted = false;
    bool mBtnNoDraw = false;
    bool mFrameNoDraw = false;
    ButtonListener* mButtonListener;
    // Strength 0 .. 1 of the hover image during a cross-fade.
    double mOverAlpha = 0;
    // Per update; 0 means no fade.
    double mOverAlphaSpeed = 0;
    double mOverAlphaFadeInSpeed = 0;
    // Below 255 images are tinted white at this alpha and the label drawn with it.
    int mAlpha = 255;

protected:
    // True when hovering changes what is drawn.
    bool HoverChangesLook();
    void EnsureDefaultFont(const std::string& face, int pointSize, int charSet);
    Color LabelColor(int index);
};

}  // namespace Velm
