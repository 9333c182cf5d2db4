#include "game/shell/ui/RadioButton.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "widgets/CheckboxListener.h"
#include "widgets/WidgetText.h"

namespace Velm {

namespace {
// Label, label under the pointer, then the outline and fill shades of the toolkit.
const int kRadioColors[6][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};

// Draws the state's picture: the sheet cut by rect when rect is not empty,
// else the picture of its own; false when the state has neither.
bool DrawState(Graphics* g, Image* sheet, const Rect& rect, Image* own) {
    if (rect.width > 0 && rect.height > 0 && sheet != nullptr) {
        g->DrawImage(sheet, 0, 0, rect);
        return true;
    }
    if (own != nullptr) {
        g->DrawImage(own, 0, 0);
        return true;
    }
    return false;
}
}  // namespace

RadioButton::RadioButton(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener,
                         Image* overImage, Image* downImage, Image* disabledImage)
        : mListener(listener),
          mId(id),
          mUncheckedImage(uncheckedImage),
          mCheckedImage(checkedImage),
          mOverImage(overImage),
          mDownImage(downImage),
          mDisabledImage(disabledImage) {
    mDoFinger = true;
    SetColorsRGB(kRadioColors, 6);
}

RadioButton::~RadioButton() = default;

void RadioButton::SetChecked(bool checked, bool notify) {
    mChecked = checked;
    if (notify && mListener != nullptr) mListener->CheckboxChecked(mId, mChecked);
    MarkDirty();
}

bool RadioButton::IsChecked() { return mChecked; }

void RadioButton::SetFont(Font* font) { mFont.reset(font != nullptr ? font->Duplicate() : nullptr); }

void RadioButton::MouseDown(int x, int y, int button, int clickCount) { Widget::MouseDown(x, y, button, clickCount); }

void RadioButton::MouseUp(int x, int y, int button, int clickCount) {
    Widget::MouseUp(x, y, button, clickCount);
    mChecked = mIsOver;
    if (mListener != nullptr) mListener->CheckboxChecked(mId, mChecked);
    MarkDirty();
}

void RadioButton::MouseUp(int x, int y) {
    (void)x;
    (void)y;
}

void RadioButton::Draw(Graphics* g) {
    const bool pressed = mIsDown && mIsOver && !mDisabled;
    bool drawn = false;
    if (mDisabled)
        drawn = DrawState(g, mUncheckedImage, mDisabledRect, mDisabledImage);
    else if (pressed)
        drawn = DrawState(g, mUncheckedImage, mDownRect, mDownImage);
    else if (mIsOver && !mChecked)
        drawn = DrawState(g, mUncheckedImage, mOverRect, mOverImage);

    if (!drawn) {
        if (mCheckedRect.width == 0 && mCheckedImage != nullptr && mUncheckedImage != nullptr) {
            g->DrawImage(mChecked ? mCheckedImage : mUncheckedImage, 0, 0);
        } else if (mCheckedRect.width != 0 && mUncheckedImage != nullptr) {
            g->DrawImage(mUncheckedImage, 0, 0, mChecked ? mCheckedRect : mUncheckedRect);
        } else if (mUncheckedImage == nullptr && mCheckedImage == nullptr) {
            g->SetColor(mBorderColor);
            g->FillRect(0, 0, mWidth, mHeight);
            g->SetColor(mInsideColor);
            g->FillRect(1, 1, mWidth - 2, mHeight - 2);
            if (mChecked) {
                g->SetColor(mCrossColor);
                g->DrawLine(1, 1, mWidth - 2, mHeight - 2);
                g->DrawLine(mWidth - 1, 1, 1, mHeight - 2);
            }
        }
    }

    if (mLabel.empty() || !mFont) return;
    const int textWidth = TextStringWidth(mFont.get(), mLabel);
    int x = 0;
    if (mJustification == JUSTIFY_CENTER)
        x = (mWidth - textWidth) / 2;
    else if (mJustification == JUSTIFY_RIGHT)
        x = mWidth - textWidth;
    const int ascent = TextAscent(mFont.get());
    const int y = (mHeight + ascent - ascent / 6 - 1) / 2;
    const int shift = pressed ? 1 : 0;
    g->SetFont(mFont.get());
    g->SetColor(GetColor(mIsOver ? 1 : 0));
    TextDrawString(g, mLabel, x + shift, y + shift);
}

}  // namespace Velm
