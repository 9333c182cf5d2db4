#include "widgets/HyperlinkWidget.h"

#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetText.h"

namespace Velm {

HyperlinkWidget::HyperlinkWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener) { mDoFinger = true; }

void HyperlinkWidget::SetAlphaFade(float alpha, float targetAlpha, float step) {
    mLinkAlpha = alpha;
    mTargetAlpha = targetAlpha;
    mAlphaStep = step;
}

void HyperlinkWidget::Update() {
    ButtonWidget::Update();
    if (mAlphaStep == 0 || mLinkAlpha == mTargetAlpha) return;
    mLinkAlpha += mAlphaStep;
    if ((mAlphaStep > 0 && mLinkAlpha >= mTargetAlpha) || (mAlphaStep < 0 && mLinkAlpha <= mTargetAlpha))
        mLinkAlpha = mTargetAlpha;
}

void HyperlinkWidget::Draw(Graphics* g) {
    EnsureDefaultFont("SansSerif", 10, 0);
    g->SetFont(mFont);
    const int textWidth = TextStringWidth(mFont, mLabel);
    int x = 0;
    if (mLinkJustify == LINK_CENTER)
        x = (mWidth - textWidth) / 2;
    else if (mLinkJustify == LINK_RIGHT)
        x = mWidth - textWidth;
    int y;
    if (mWordWrap)
        y = (mHeight - TextWordWrappedHeight(mFont, mWidth, mLabel, -1)) / 2 - 1;
    else
        y = (TextAscent(mFont) + mHeight) / 2 - 1;

    const int alpha = static_cast<int>(mLinkAlpha);
    mShadowColor.alpha = alpha;
    mColor.alpha = alpha;
    mOverColor.alpha = alpha;

    if (mShadowOffsetX > 0 && mShadowOffsetY > 0) {
        g->SetColor(mShadowColor);
        if (mWordWrap)
            TextWriteWordWrapped(g, Rect(mShadowOffsetX, y + mShadowOffsetY, mWidth, mHeight), mLabel, -1,
                                 mLinkJustify - 1);
        else
            TextDrawString(g, mLabel, x + mShadowOffsetX, y + mShadowOffsetY);
    }
    g->SetColor(mIsOver ? mOverColor : mColor);
    if (mWordWrap)
        TextWriteWordWrapped(g, Rect(0, y, mWidth, mHeight), mLabel, -1, mLinkJustify - 1);
    else
        TextDrawString(g, mLabel, x, y);
    for (int i = 0; i < mUnderlineSize; i++) g->FillRect(x, y + mUnderlineOffset + i, textWidth, 1);
}

void HyperlinkWidget::MouseEnter() {
    ButtonWidget::MouseEnter();
    MarkDirtyFull();
}

void HyperlinkWidget::MouseLeave() {
    ButtonWidget::MouseLeave();
    MarkDirtyFull();
}

}  // namespace Velm
