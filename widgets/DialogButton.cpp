#include "widgets/DialogButton.h"

#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetText.h"

namespace Velm {

namespace {
const int kDialogButtonColors[ButtonWidget::NUM_COLORS][3] = {{255, 255, 255}, {255, 255, 255}, {0, 0, 0},
                                                              {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};
}  // namespace

DialogButton::DialogButton(Image* componentImage, int id, ButtonListener* listener)
        : ButtonWidget(id, listener), mComponentImage(componentImage) {
    mDoFinger = true;
    SetColorsRGB(kDialogButtonColors, NUM_COLORS);
}

void DialogButton::Draw(Graphics* g) {
    if (mBtnNoDraw) return;
    if (mComponentImage == nullptr) {
        ButtonWidget::Draw(g);
        return;
    }
    EnsureDefaultFont("Arial Unicode MS", 12, 1);
    const bool pressed = IsButtonDown();
    const Rect box(0, 0, mWidth, mHeight);
    bool translated = false;

    if (mNormalRect.width == 0) {
        if (pressed) {
            g->Translate(mTranslateX, mTranslateY);
            translated = true;
        }
        g->DrawImageBox(box, mComponentImage);
    } else {
        if (mDisabled && mDisabledRect.width > 0 && mDisabledRect.height > 0) {
            g->DrawImageBox(mDisabledRect, box, mComponentImage);
        } else if (pressed) {
            g->DrawImageBox(mDownRect, box, mComponentImage);
        } else if (mOverAlpha > 0) {
            if (mOverAlpha < 1) g->DrawImageBox(mNormalRect, box, mComponentImage);
            bool wasTinted = g->GetTintImages();
            Color before = g->GetColor();
            g->SetTintImages(true);
            g->SetColor(Color(255, 255, 255, static_cast<int>(mOverAlpha * 255)));
            g->DrawImageBox(mOverRect, box, mComponentImage);
            g->SetTintImages(wasTinted);
            g->SetColor(before);
        } else if (mIsOver) {
            g->DrawImageBox(mOverRect, box, mComponentImage);
        } else {
            g->DrawImageBox(mNormalRect, box, mComponentImage);
        }
        if (pressed) {
            g->Translate(mTranslateX, mTranslateY);
            translated = true;
        }
    }

    g->SetFont(mFont);
    g->SetColor(GetColor(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
    const int ascent = TextAscent(mFont);
    const int x = (mWidth - TextStringWidth(mFont, mLabel)) / 2 + mTextOffsetX;
    const int y = (mHeight - ascent / 6 - TextAscentPadding(mFont) + ascent - 1) / 2 + mTextOffsetY;
    TextDrawString(g, mLabel, x, y);
    if (translated) g->Translate(-mTranslateX, -mTranslateY);
}

}  // namespace Velm
