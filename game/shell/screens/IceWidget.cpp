#include "game/shell/screens/IceWidget.h"

#include "platform/CrtRand.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

namespace {
// The overlay pass order of the cover: after every ordinary overlay.
constexpr int kOverlayPriority = 2;
}  // namespace

IceWidget::IceWidget(IceWidgetListener* listener) : mListener(listener) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
}

void IceWidget::Start() {
    mShadow.target = 255.0f;
    mShadow.step = static_cast<float>(kAlphaStep);
    mShadow.done = false;
    // A shadow left fading out by the last switch would never report the cover complete.
    mShadow.fadingOut = false;
    mPhase = 0;
    mFinished = false;
    // A point on the screen that the cover does not use; drawn all the same, so the
    // runtime generator's sequence advances as it always has at a switch.
    (void)plat::CrtRand();
    (void)plat::CrtRand();
}

void IceWidget::Update() {
    if (mFinished) return;
    ++mTicks;
    mShadow.Update();
    if (mPhase == 0) {
        if (mShadow.IsDone()) {
            mPhase = 1;
            mShadow.StartFadeOut();
            mShadow.step = -static_cast<float>(kAlphaStep);
            if (mListener != nullptr) mListener->OnIceCovered();
        }
    } else if (mShadow.IsDone()) {
        mFinished = true;
        if (mListener != nullptr) mListener->OnIceCleared();
    }
}

void IceWidget::Draw(Graphics* g) {
    (void)g;
    DeferOverlay(kOverlayPriority);
}

void IceWidget::DrawOverlay(Graphics* g) {
    if (mFinished) return;
    mShadow.width = mWidth;
    mShadow.height = mHeight;
    mShadow.Draw(g);
}

}  // namespace Velm
