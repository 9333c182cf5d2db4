#pragma once

#include "widgets/ButtonWidget.h"

namespace Velm {

// A text link: a label with underline, optional shadow, optional word wrap
// and a fading alpha. Hovering repaints what lies behind it.
class HyperlinkWidget : public ButtonWidget {
public:
    enum Justification { LINK_LEFT = 0, LINK_CENTER = 1, LINK_RIGHT = 2 };

    HyperlinkWidget(int id, ButtonListener* listener);

    void SetAlphaFade(float alpha, float targetAlpha, float step);

    void Update() override;
    void Draw(Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;

    Color mColor = Color(255, 255, 255);
    Color mOverColor = Color(255, 255, 255);
    Color mShadowColor = Color(0, 0, 0, 255);
    // A shadow is drawn only when both are positive.
    int mShadowOffsetX = 0;
    int mShadowOffsetY = 0;
    // Number of 1-pixel rows.
    int mUnderlineSize = 1;
    // Below the text's top line.
    int mUnderlineOffset = 3;
    int mLinkJustify = LINK_CENTER;
    bool mWordWrap = false;
    float mLinkAlpha = 255;
    float mTargetAlpha = 255;
    float mAlphaStep = 0;
};

}  // namespace Velm
