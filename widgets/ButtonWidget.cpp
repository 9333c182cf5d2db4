#include "widgets/ButtonWidget.h"

#include "widgets/ButtonListener.h"
#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace Velm {

namespace {
const int kButtonColors[ButtonWidget::NUM_COLORS][3] = {{0, 0, 0},       {0, 0, 0},       {0, 0, 0},
                                                        {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};
}  // namespace

ButtonWidget::ButtonWidget(int id, ButtonListener* listener) : mId(id), mButtonListener(listener) {
    mHasAlpha = true;
    SetColorsRGB(kButtonColors, NUM_COLORS);
}

ButtonWidget::~ButtonWidget() { TextDeleteFont(mFont); }

void ButtonWidget::SetFont(Font* font) {
    TextDeleteFont(mFont);
    mFont = TextDuplicateFont(font);
}

void ButtonWidget::EnsureDefaultFont(const std::string& face, int pointSize, int charSet) {
    if (mFont == nullptr) mFont = TextCreateSysFont(face, pointSize, charSet);
}

bool ButtonWidget::IsButtonDown() { return mIsDown && mIsOver && !mDisabled; }

bool ButtonWidget::HaveButtonImage(Image* image, const Rect& rect) const { return image != nullptr || rect.width != 0; }

void ButtonWidget::DrawButtonImage(Graphics* g, Image* image, const Rect& rect, int x, int y) {
    if (rect.width != 0)
        g->DrawImage(mButtonImage, x, y, rect);
    else if (image != nullptr)
        g->DrawImage(image, x, y);
}

Color ButtonWidget::LabelColor(int index) {
    Color c = GetColor(index);
    c.alpha = mAlpha;
    return c;
}

void ButtonWidget::Draw(Graphics* g) {
    if (mBtnNoDraw) return;
    if (!mLabel.empty()) EnsureDefaultFont("Arial Unicode MS", 10, 0);

    const bool pressed = IsButtonDown() != mInverted;
    const int textWidth = TextStringWidth(mFont, mLabel);
    int x;
    if (mLabelJustify == BUTTON_LABEL_CENTER)
        x = (mWidth - textWidth) / 2;
    else if (mLabelJustify == BUTTON_LABEL_RIGHT)
        x = mWidth - textWidth;
    else
        x = 0;
    const int ascent = TextAscent(mFont);
    const int y = mFont != nullptr ? (mHeight + ascent - ascent / 6 - 1) / 2 : 0;
    g->SetFont(mFont);

    const bool haveNormal = HaveButtonImage(mButtonImage, mNormalRect);
    const bool haveOver = HaveButtonImage(mOverImage, mOverRect);
    const bool haveDown = HaveButtonImage(mDownImage, mDownRect);
    const bool haveDisabled = HaveButtonImage(mDisabledImage, mDisabledRect);

    if (mButtonImage != nullptr || mDownImage != nullptr) {
        if (mAlpha < 255) {
            g->SetTintImages(true);
            g->SetColor(Color(255, 255, 255, mAlpha));
        }
        if (!pressed) {
            if (mDisabled && haveDisabled) {
                DrawButtonImage(g, mDisabledImage, mDisabledRect, 0, 0);
            } else if (mOverAlpha > 0 && haveOver) {
                if (haveNormal && mOverAlpha < 1) DrawButtonImage(g, mButtonImage, mNormalRect, 0, 0);
                bool wasTinted = g->GetTintImages();
                Color before = g->GetColor();
                g->SetTintImages(true);
                g->SetColor(Color(255, 255, 255, static_cast<int>(mOverAlpha * 255)));
                DrawButtonImage(g, mOverImage, mOverRect, 0, 0);
                g->SetTintImages(false);
                if (wasTinted) {
                    g->SetTintImages(true);
                    g->SetColor(before);
                }
            } else if ((mIsOver || mIsDown) && haveOver) {
                DrawButtonImage(g, mOverImage, mOverRect, 0, 0);
            } else if (haveNormal) {
                DrawButtonImage(g, mButtonImage, mNormalRect, 0, 0);
            }
            g->SetColor(LabelColor(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
            TextDrawString(g, mLabel, x, y);
        } else {
            if (haveDown)
                DrawButtonImage(g, mDownImage, mDownRect, 0, 0);
            else if (haveOver)
                DrawButtonImage(g, mOverImage, mOverRect, 1, 1);
            else
                DrawButtonImage(g, mButtonImage, mNormalRect, 1, 1);
            g->SetColor(LabelColor(COLOR_LABEL_HILITE));
            TextDrawString(g, mLabel, x + 1, y + 1);
        }
        if (mAlpha < 255) g->SetTintImages(false);
        return;
    }

    // Default bevelled look.
    if (!mFrameNoDraw) {
        g->SetColor(GetColor(COLOR_BKG));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    if (pressed) {
        if (!mFrameNoDraw) {
            g->SetColor(GetColor(COLOR_DARK_OUTLINE));
            g->FillRect(0, 0, mWidth - 1, 1);
            g->FillRect(0, 0, 1, mHeight - 1);
            g->SetColor(GetColor(COLOR_LIGHT_OUTLINE));
            g->FillRect(0, mHeight - 1, mWidth, 1);
            g->FillRect(mWidth - 1, 0, 1, mHeight);
            g->SetColor(GetColor(COLOR_MEDIUM_OUTLINE));
            g->FillRect(1, 1, mWidth - 3, 1);
            g->FillRect(1, 1, 1, mHeight - 3);
        }
        g->SetColor(GetColor(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
        TextDrawString(g, mLabel, x + 1, y + 1);
    } else {
        if (!mFrameNoDraw) {
            g->SetColor(GetColor(COLOR_LIGHT_OUTLINE));
            g->FillRect(0, 0, mWidth - 1, 1);
            g->FillRect(0, 0, 1, mHeight - 1);
            g->SetColor(GetColor(COLOR_DARK_OUTLINE));
            g->FillRect(0, mHeight - 1, mWidth, 1);
            g->FillRect(mWidth - 1, 0, 1, mHeight);
            g->SetColor(GetColor(COLOR_MEDIUM_OUTLINE));
            g->FillRect(1, mHeight - 2, mWidth - 2, 1);
            g->FillRect(mWidth - 2, 1, 1, mHeight - 2);
        }
        g->SetColor(GetColor(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
        TextDrawString(g, mLabel, x, y);
    }
}

void ButtonWidget::SetDisabled(bool disabled) {
    Widget::SetDisabled(disabled);
    if (HaveButtonImage(mDisabledImage, mDisabledRect)) MarkDirty();
}

bool ButtonWidget::HoverChangesLook() {
    return mIsDown || HaveButtonImage(mOverImage, mOverRect) || GetColor(COLOR_LABEL) != GetColor(COLOR_LABEL_HILITE);
}

void ButtonWidget::MouseEnter() {
    if (mOverAlphaFadeInSpeed == 0 && mOverAlpha > 0) mOverAlpha = 0;
    if (HoverChangesLook()) MarkDirty();
    if (mButtonListener != nullptr) mButtonListener->ButtonMouseEnter(mId);
}

void ButtonWidget::MouseLeave() {
    if (mOverAlphaSpeed == 0 && mOverAlpha > 0)
        mOverAlpha = 0;
    else if (mOverAlphaSpeed > 0 && mOverAlpha == 0)
        mOverAlpha = 1;
    if (HoverChangesLook()) MarkDirty();
    if (mButtonListener != nullptr) mButtonListener->ButtonMouseLeave(mId);
}

void ButtonWidget::MouseMove(int x, int y) {
    if (mButtonListener != nullptr) mButtonListener->ButtonMouseMove(mId, x, y);
}

void ButtonWidget::MouseDown(int x, int y, int button, int clickCount) {
    Widget::MouseDown(x, y, button, clickCount);
    if (mButtonListener != nullptr) mButtonListener->ButtonPress(mId, clickCount);
    MarkDirty();
}

void ButtonWidget::MouseUp(int x, int y, int button, int clickCount) {
    Widget::MouseUp(x, y, button, clickCount);
    bool appHasFocus = mWidgetManager == nullptr || mWidgetManager->mHasFocus;
    if (mIsOver && appHasFocus && mButtonListener != nullptr) mButtonListener->ButtonDepress(mId);
    MarkDirty();
}

void ButtonWidget::Update() {
    Widget::Update();
    if (mIsDown && mIsOver && mButtonListener != nullptr) mButtonListener->ButtonDownTick(mId);

    if (!mIsDown && !mIsOver) {
        if (mOverAlpha > 0) {
            if (mOverAlphaSpeed > 0) {
                mOverAlpha -= mOverAlphaSpeed;
                if (mOverAlpha < 0) mOverAlpha = 0;
            } else {
                mOverAlpha = 0;
            }
            MarkDirty();
        }
    } else if (mIsOver) {
        if (mOverAlphaFadeInSpeed > 0 && mOverAlpha < 1) {
            mOverAlpha += mOverAlphaFadeInSpeed;
            if (mOverAlpha > 1) mOverAlpha = 1;
            MarkDirty();
        }
    }
}

}  // namespace Velm
