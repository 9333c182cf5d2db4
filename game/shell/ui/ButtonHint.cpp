#include "game/shell/ui/ButtonHint.h"

#include "graphics/Graphics.h"
#include "widgets/ButtonListener.h"

namespace Velm {

ButtonHint::ButtonHint(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}

void ButtonHint::MouseUp(int x, int y, int button, int clickCount) {
    const bool wasEnabled = !mDisabled;
    // The click reaches the listener first: disabling takes the pointer off the button, and
    // a button the pointer is not over reports no click.
    ButtonWidget::MouseUp(x, y, button, clickCount);
    if (wasEnabled) {
        SetDisabled(true);
        mRemaining = mCoolDown;
    }
}

void ButtonHint::Update() {
    if (mTimerOn && mDisabled && mRemaining > 0) {
        --mRemaining;
        if (mRemaining == 0) {
            if (mButtonListener != nullptr) mButtonListener->ButtonReenabled(mId);
            SetDisabled(false);
        }
        MarkDirty();
    }
    ButtonWidget::Update();
}

int ButtonHint::CoolDownSplit() const {
    if (mCoolDown <= 0 || mRemaining <= 0) return mWidth;
    if (mRemaining >= mCoolDown) return 0;
    const float done = 1.0f - static_cast<float>(mRemaining) / static_cast<float>(mCoolDown);
    return static_cast<int>(done * static_cast<float>(mWidth));
}

void ButtonHint::Draw(Graphics* g) {
    const bool splitLook = mDisabled && HaveButtonImage(mDisabledImage, mDisabledRect) && !mBtnNoDraw &&
                           (mButtonImage != nullptr || mDownImage != nullptr) && !mInverted;
    if (!splitLook) {
        ButtonWidget::Draw(g);
        return;
    }
    const int split = CoolDownSplit();
    // Right of the split: the disabled look, drawn by the button itself.
    g->PushState();
    g->ClipRect(split, 0, mWidth - split, mHeight);
    ButtonWidget::Draw(g);
    g->PopState();
    // Left of it: the normal look, as the button draws when it is enabled and
    // not under the pointer.
    g->PushState();
    g->ClipRect(0, 0, split, mHeight);
    const bool wasOver = mIsOver;
    const bool wasDown = mIsDown;
    mDisabled = false;
    mIsOver = false;
    mIsDown = false;
    ButtonWidget::Draw(g);
    mDisabled = true;
    mIsOver = wasOver;
    mIsDown = wasDown;
    g->PopState();
}

}  // namespace Velm
