#include "widgets/WidgetManager.h"

#include <algorithm>

#include "graphics/DDImage.h"
#include "widgets/Widget.h"
#include "widgets/WidgetApp.h"
#include "widgets/WidgetGraphics.h"

namespace Velm {

WidgetManager::WidgetManager(WidgetApp* app) : mApp(app) {
    mWidgetManager = this;
    mDefaultBelowModalFlagsMod.removeFlags = WIDGETFLAGS_ALLOW_MOUSE | WIDGETFLAGS_ALLOW_FOCUS;
}

WidgetManager::~WidgetManager() = default;

int WidgetManager::ButtonBit(int signedClickCount) {
    if (signedClickCount < 0) return 2;
    if (signedClickCount == 3) return 4;
    return 1;
}

bool WidgetManager::IsKeyDown(int key) const { return key >= 0 && key < kNumKeys && mKeyDown[key]; }

void WidgetManager::InitModalFlags(ModalFlags* flags) {
    int f = mWidgetFlags;
    if (!mHasFocus) f = GetModFlags(f, mLostFocusFlagsMod);
    flags->overFlags = f;
    flags->underFlags = GetModFlags(f, mBelowModalFlagsMod);
    flags->isOver = mBaseModalWidget == nullptr;
}

void WidgetManager::SetRemapRects(const Rect& dest, const Rect& src) {
    mMouseDestRect = dest;
    mMouseSourceRect = src;
    mWidth = dest.width + 2 * dest.x;
    mHeight = dest.height + 2 * dest.y;
}

void WidgetManager::RemapMouse(int& x, int& y) {
    if (mMouseSourceRect.width != 0)
        x = (x - mMouseSourceRect.x) * mMouseDestRect.width / mMouseSourceRect.width + mMouseDestRect.x;
    if (mMouseSourceRect.height != 0)
        y = (y - mMouseSourceRect.y) * mMouseDestRect.height / mMouseSourceRect.height + mMouseDestRect.y;
}

bool WidgetManager::UpdateFrame() {
    ModalFlags flags;
    InitModalFlags(&flags);
    mUpdateCnt++;
    mLastWMUpdateCount = mUpdateCnt;
    UpdateAll(&flags);
    return mDirty;
}

bool WidgetManager::UpdateFrameF(float fraction) {
    ModalFlags flags;
    InitModalFlags(&flags);
    UpdateFAll(&flags, fraction);
    return mDirty;
}

bool WidgetManager::DrawScreen() {
    ModalFlags flags;
    InitModalFlags(&flags);
    int dirtyCount = 0;
    for (Widget* widget : mWidgets)
        if (widget->mDirty) dirtyCount++;

    mMinDeferredOverlayPriority = kNoPriority;
    mDeferredOverlayWidgets.clear();

    Graphics g(mImage);
    mCurG = &g;
    // A screen image on a display surface stays locked for the whole frame, so that the
    // widgets' surface routines do not lock and unlock it for every call.
    DDImage* surfaceImage = dynamic_cast<DDImage*>(mImage);
    const bool surfaceLocked = surfaceImage != nullptr && surfaceImage->LockSurface();
    bool drewStuff = false;
    if (dirtyCount > 0) {
        Graphics base(g);
        base.Translate(-mMouseDestRect.x, -mMouseDestRect.y);
        bool is3D = mApp != nullptr && mApp->Is3DAccelerated();
        // Iterate over a snapshot position by position: drawing does not change
        // the tree.
        for (Widget* widget : mWidgets) {
            if (widget == mBaseModalWidget) flags.isOver = true;
            if (widget->mDirty && widget->mVisible) {
                Graphics copy(base);
                copy.SetFastStretch(!is3D);
                copy.SetLinearFilter(is3D);
                copy.Translate(widget->mX, widget->mY);
                widget->DrawAll(&flags, &copy);
                widget->mDirty = false;
                drewStuff = true;
            }
        }
    }
    FlushDeferredOverlays(kNoPriority);
    if (surfaceLocked) surfaceImage->UnlockSurface();
    mCurG = nullptr;
    mDirty = false;
    return drewStuff;
}

void WidgetManager::DeferOverlay(Widget* widget, int priority) {
    mDeferredOverlayWidgets.push_back({widget, priority});
    if (priority < mMinDeferredOverlayPriority) mMinDeferredOverlayPriority = priority;
}

void WidgetManager::FlushDeferredOverlays(int priority) {
    for (;;) {
        int nextMin = kNoPriority;
        for (size_t i = 0; i < mDeferredOverlayWidgets.size(); i++) {
            DeferredOverlay& entry = mDeferredOverlayWidgets[i];
            if (entry.widget == nullptr) continue;
            if (entry.priority == mMinDeferredOverlayPriority) {
                Widget* widget = entry.widget;
                entry.widget = nullptr;
                // Outside DrawScreen there is no current context: draw on
                // the screen image directly.
                Graphics screen(mImage);
                Graphics copy(mCurG != nullptr ? *mCurG : screen);
                copy.Translate(-mMouseDestRect.x, -mMouseDestRect.y);
                copy.Translate(widget->mX, widget->mY);
                copy.SetFastStretch(!copy.is3D);
                copy.SetLinearFilter(copy.is3D);
                widget->DrawOverlay(&copy, entry.priority);
            } else if (entry.priority < nextMin) {
                nextMin = entry.priority;
            }
        }
        mMinDeferredOverlayPriority = nextMin;
        if (nextMin == kNoPriority) {
            mDeferredOverlayWidgets.clear();
            return;
        }
        if (nextMin >= priority) return;
    }
}

void WidgetManager::AppGotFocus() {
    if (mHasFocus) return;
    mHasFocus = true;
    if (mFocusWidget != nullptr) mFocusWidget->GotFocus();
}

void WidgetManager::AppLostFocus() {
    if (!mHasFocus) return;
    mActualDownButtons = 0;
    for (int key = 0; key < kNumKeys; key++) {
        if (!mKeyDown[key]) continue;
        mKeyDown[key] = false;
        mLastInputUpdateCnt = mUpdateCnt;
        if (key == 9 && mKeyDown[17]) continue;
        if (mFocusWidget != nullptr) mFocusWidget->KeyUp(key);
    }
    mHasFocus = false;
    if (mFocusWidget != nullptr) mFocusWidget->LostFocus();
}

void WidgetManager::ReleaseCapture() {
    if (mLastDownWidget != nullptr && mDownButtons != 0) {
        Widget* widget = mLastDownWidget;
        int buttons = mDownButtons;
        mDownButtons = 0;
        mLastDownWidget = nullptr;
        ReleaseHeldButtons(widget, buttons);
    }
    mDownButtons = 0;
    mLastDownWidget = nullptr;
}

// ---------------------------------------------------------------------------
// Hover, capture and focus

void WidgetManager::EnterWidget(Widget* widget) {
    widget->mIsOver = true;
    widget->MouseEnter();
    if (widget->mDoFinger) widget->ShowHandCursor(true);
}

void WidgetManager::LeaveWidget(Widget* widget) {
    widget->mIsOver = false;
    widget->MouseLeave();
    if (widget->mDoFinger) widget->ShowHandCursor(false);
}

void WidgetManager::MousePosition(int x, int y) {
    int lastX = mLastMouseX;
    int lastY = mLastMouseY;
    mLastMouseX = x;
    mLastMouseY = y;
    int localX = 0;
    int localY = 0;
    Widget* widget = GetWidgetAt(x, y, &localX, &localY);
    if (widget == mOverWidget) {
        if (widget != nullptr && (lastX != x || lastY != y)) widget->MouseMove(localX, localY);
        return;
    }
    Widget* old = mOverWidget;
    mOverWidget = nullptr;
    if (old != nullptr) LeaveWidget(old);
    mOverWidget = widget;
    if (widget != nullptr) {
        EnterWidget(widget);
        widget->MouseMove(localX, localY);
    }
}

void WidgetManager::RecheckMouseOver() {
    if (mLastDownWidget != nullptr) {
        if (mOverWidget != nullptr) {
            int localX = 0;
            int localY = 0;
            if (GetWidgetAt(mLastMouseX, mLastMouseY, &localX, &localY) != mLastDownWidget) {
                Widget* old = mOverWidget;
                mOverWidget = nullptr;
                LeaveWidget(old);
            }
        }
    } else if (mMouseIn) {
        MousePosition(mLastMouseX, mLastMouseY);
    }
}

// The pending releases are given in the widget's own coordinates (its
// absolute position), as the presses and drags were.
void WidgetManager::ReleaseHeldButtons(Widget* widget, int buttonMask) {
    static const int kBits[3] = {1, 2, 4};
    static const int kCounts[3] = {1, -1, 3};
    for (int i = 0; i < 3; i++) {
        if ((buttonMask & kBits[i]) == 0) continue;
        Point abs = widget->GetAbsPos();
        widget->mIsDown = false;
        widget->MouseUp(mLastMouseX - abs.x, mLastMouseY - abs.y, kCounts[i]);
    }
}

void WidgetManager::SetFocus(Widget* widget) {
    if (widget == mFocusWidget) return;
    Widget* old = mFocusWidget;
    mFocusWidget = nullptr;
    if (old != nullptr) old->LostFocus();
    if (widget != nullptr && widget->mWidgetManager == this) {
        mFocusWidget = widget;
        if (mHasFocus) widget->GotFocus();
    }
}

void WidgetManager::DisableWidget(Widget* widget) {
    if (widget == nullptr) return;
    if (mOverWidget == widget) {
        mOverWidget = nullptr;
        LeaveWidget(widget);
    }
    if (mLastDownWidget == widget) {
        int buttons = mDownButtons;
        mLastDownWidget = nullptr;
        mDownButtons = 0;
        ReleaseHeldButtons(widget, buttons);
    }
    if (mFocusWidget == widget) {
        mFocusWidget = nullptr;
        widget->LostFocus();
    }
    if (mBaseModalWidget == widget) mBaseModalWidget = nullptr;
}

// ---------------------------------------------------------------------------
// Hit test

Widget* WidgetManager::HitTest(WidgetContainer* node, int x, int y, int flags, int* localX, int* localY) {
    flags = GetModFlags(flags, node->mWidgetFlagsMod);
    bool below = false;
    for (auto it = node->mWidgets.rbegin(); it != node->mWidgets.rend(); ++it) {
        Widget* child = *it;
        int childFlags = GetModFlags(flags, child->mWidgetFlagsMod);
        if (below) childFlags = GetModFlags(childFlags, mBelowModalFlagsMod);
        if ((childFlags & WIDGETFLAGS_ALLOW_MOUSE) && child->mVisible) {
            // The child's subtree is searched with the child's own modifier
            // applied once more inside (as the node's modifier): harmless, since
            // modifiers are idempotent.
            Widget* hit = HitTest(child, x - child->mX, y - child->mY, childFlags, localX, localY);
            if (hit != nullptr) return hit;
            if (child->mMouseVisible && child->GetInsetRect().Contains(x, y) &&
                child->IsPointVisible(x - child->mX, y - child->mY)) {
                *localX = x - child->mX;
                *localY = y - child->mY;
                return child;
            }
        }
        below = below || child == mBaseModalWidget;
    }
    return nullptr;
}

Widget* WidgetManager::GetWidgetAt(int x, int y, int* localX, int* localY) {
    int flags = mWidgetFlags;
    if (!mHasFocus) flags = GetModFlags(flags, mLostFocusFlagsMod);
    int lx = 0;
    int ly = 0;
    Widget* widget = HitTest(this, x, y, flags, &lx, &ly);
    if (widget != nullptr && widget->mDisabled) widget = nullptr;
    if (localX != nullptr) *localX = lx;
    if (localY != nullptr) *localY = ly;
    return widget;
}

// ---------------------------------------------------------------------------
// Input

bool WidgetManager::MouseMove(int x, int y) {
    mLastInputUpdateCnt = mUpdateCnt;
    // A button held anywhere (also on empty space) makes moves drags.
    if (mDownButtons != 0 || mActualDownButtons != 0) return MouseDrag(x, y);
    mMouseIn = true;
    MousePosition(x, y);
    return true;
}

bool WidgetManager::MouseDrag(int x, int y) {
    mLastInputUpdateCnt = mUpdateCnt;
    mMouseIn = true;
    mLastMouseX = x;
    mLastMouseY = y;
    if (mOverWidget != nullptr && mOverWidget != mLastDownWidget) {
        Widget* old = mOverWidget;
        mOverWidget = nullptr;
        LeaveWidget(old);
    }
    if (mLastDownWidget != nullptr) {
        Widget* captured = mLastDownWidget;
        Point abs = captured->GetAbsPos();
        captured->MouseDrag(x - abs.x, y - abs.y);
        // The drag hook may have released or removed the widget.
        if (mLastDownWidget != captured) return true;
        Widget* hit = GetWidgetAt(x, y, nullptr, nullptr);
        if (hit == captured) {
            if (mOverWidget == nullptr) {
                mOverWidget = captured;
                EnterWidget(captured);
            }
        } else if (mOverWidget != nullptr) {
            Widget* old = mOverWidget;
            mOverWidget = nullptr;
            LeaveWidget(old);
        }
    }
    return true;
}

bool WidgetManager::MouseDown(int x, int y, int signedClickCount) {
    mLastInputUpdateCnt = mUpdateCnt;
    const int bit = ButtonBit(signedClickCount);
    mActualDownButtons |= bit;
    MousePosition(x, y);

    if (mPopupCommandWidget != nullptr && !mPopupCommandWidget->Contains(x, y)) {
        Widget* popup = mPopupCommandWidget;
        mPopupCommandWidget = nullptr;
        RemoveWidget(popup);
    }

    int localX = 0;
    int localY = 0;
    Widget* widget = GetWidgetAt(x, y, &localX, &localY);
    if (mLastDownWidget != nullptr) {
        widget = mLastDownWidget;
        Point abs = widget->GetAbsPos();
        localX = x - abs.x;
        localY = y - abs.y;
    }

    mLastDownButtonId = signedClickCount < 0 ? -1 : (signedClickCount == 3 ? 2 : 1);
    mLastDownWidget = widget;
    if (widget == nullptr) return true;
    // Only a press that reached a widget counts as held on it, so a release
    // never reaches a widget that did not see the press.
    mDownButtons |= bit;
    if (widget->WantsFocus()) SetFocus(widget);
    widget->mIsDown = true;
    widget->MouseDown(localX, localY, signedClickCount);
    return true;
}

bool WidgetManager::MouseUp(int x, int y, int signedClickCount) {
    mLastInputUpdateCnt = mUpdateCnt;
    const int bit = ButtonBit(signedClickCount);
    mActualDownButtons &= ~bit;
    if (mLastDownWidget != nullptr && (mDownButtons & bit) != 0) {
        Widget* widget = mLastDownWidget;
        mDownButtons &= ~bit;
        if (mDownButtons == 0) mLastDownWidget = nullptr;
        widget->mIsDown = false;
        // Widget coordinates from the absolute position, as for press and drag.
        Point abs = widget->GetAbsPos();
        widget->MouseUp(x - abs.x, y - abs.y, signedClickCount);
    } else {
        mDownButtons &= ~bit;
    }
    MousePosition(x, y);
    return true;
}

bool WidgetManager::MouseExit(int x, int y) {
    (void)x;
    (void)y;
    mLastInputUpdateCnt = mUpdateCnt;
    mMouseIn = false;
    if (mOverWidget != nullptr) {
        Widget* old = mOverWidget;
        mOverWidget = nullptr;
        LeaveWidget(old);
    }
    return true;
}

void WidgetManager::MouseWheel(int delta) {
    mLastInputUpdateCnt = mUpdateCnt;
    if (mFocusWidget != nullptr) mFocusWidget->MouseWheel(delta);
}

bool WidgetManager::KeyChar(char c) {
    mLastInputUpdateCnt = mUpdateCnt;
    if (c == 9 && mKeyDown[17]) {
        if (mDefaultTab != nullptr) mDefaultTab->KeyChar(9);
        return true;
    }
    if (mFocusWidget != nullptr) mFocusWidget->KeyChar(c);
    return true;
}

bool WidgetManager::KeyDown(int key) {
    mLastInputUpdateCnt = mUpdateCnt;
    if (key >= 0 && key < kNumKeys) mKeyDown[key] = true;
    if (mFocusWidget != nullptr) mFocusWidget->KeyDown(key);
    return true;
}

bool WidgetManager::KeyUp(int key) {
    mLastInputUpdateCnt = mUpdateCnt;
    if (key >= 0 && key < kNumKeys) mKeyDown[key] = false;
    if (key == 9 && mKeyDown[17]) return true;
    if (mFocusWidget != nullptr) mFocusWidget->KeyUp(key);
    return true;
}

// ---------------------------------------------------------------------------
// Modality

void WidgetManager::SetBaseModal(Widget* widget, const FlagsMod& belowFlagsMod) {
    mBaseModalWidget = widget;
    mBelowModalFlagsMod = belowFlagsMod;
    if (belowFlagsMod.removeFlags & WIDGETFLAGS_ALLOW_MOUSE) {
        if (mOverWidget != nullptr && IsBelow(mOverWidget, widget)) {
            Widget* old = mOverWidget;
            mOverWidget = nullptr;
            LeaveWidget(old);
        }
        if (mLastDownWidget != nullptr && IsBelow(mLastDownWidget, widget)) {
            Widget* captured = mLastDownWidget;
            int buttons = mDownButtons;
            mLastDownWidget = nullptr;
            mDownButtons = 0;
            ReleaseHeldButtons(captured, buttons);
        }
    }
    if ((belowFlagsMod.removeFlags & WIDGETFLAGS_ALLOW_FOCUS) && mFocusWidget != nullptr &&
        IsBelow(mFocusWidget, widget)) {
        Widget* old = mFocusWidget;
        mFocusWidget = nullptr;
        old->LostFocus();
    }
}

void WidgetManager::AddBaseModal(Widget* widget, const FlagsMod& belowFlagsMod) {
    mPreModalInfoList.push_back({widget, mBaseModalWidget, mFocusWidget, mBelowModalFlagsMod});
    SetBaseModal(widget, belowFlagsMod);
}

void WidgetManager::AddBaseModal(Widget* widget) { AddBaseModal(widget, mDefaultBelowModalFlagsMod); }

void WidgetManager::RemoveBaseModal(Widget* widget) {
    if (mPreModalInfoList.empty() || mPreModalInfoList.back().baseModalWidget != widget) return;
    while (!mPreModalInfoList.empty()) {
        PreModalInfo info = mPreModalInfoList.back();
        SetBaseModal(info.prevBaseModalWidget, info.prevBelowModalFlagsMod);
        if (mFocusWidget == nullptr && info.prevFocusWidget != nullptr) {
            mFocusWidget = info.prevFocusWidget;
            mFocusWidget->GotFocus();
        }
        mPreModalInfoList.pop_back();
        if (info.prevBaseModalWidget != nullptr) break;
    }
}

}  // namespace Velm
