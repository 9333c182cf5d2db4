#pragma once

#include <vector>

#include "widgets/WidgetContainer.h"

namespace Velm {

class Image;
class WidgetApp;

// The root of the widget tree and the only way input reaches widgets. The
// application feeds it every mouse and key event (mouse positions already
// remapped to manager coordinates with RemapMouse), ticks it once per fixed
// update step and asks it once per frame to redraw what changed. It decides
// which widget is under the pointer (hit test, front to back, with a modal
// barrier), which one holds the mouse while a button is held (capture),
// which one receives keys (focus), which one is modal, and in which order
// deferred overlays are painted. Its manager link points to itself.
//
// Mouse operations take a signed click count: 1 or 2 left (single or
// double), -1 or -2 right, 3 middle; button bits 1 left, 2 right, 4 middle.
class WidgetManager : public WidgetContainer {
public:
    explicit WidgetManager(WidgetApp* app);
    ~WidgetManager() override;

    using WidgetContainer::MarkDirty;
    using WidgetContainer::MarkDirtyFull;

    void DisableWidget(Widget* widget) override;
    void SetFocus(Widget* widget) override;

    WidgetApp* GetApp() const { return mApp; }

    void SetRemapRects(const Rect& dest, const Rect& src);
    void RemapMouse(int& x, int& y);

    bool UpdateFrame();
    bool UpdateFrameF(float fraction);
    bool DrawScreen();
    void AppGotFocus();
    void AppLostFocus();
    void ReleaseCapture();

    bool MouseMove(int x, int y);
    bool MouseDrag(int x, int y);
    bool MouseDown(int x, int y, int signedClickCount);
    bool MouseUp(int x, int y, int signedClickCount);
    bool MouseExit(int x, int y);
    void MouseWheel(int delta);
    bool KeyChar(char c);
    bool KeyDown(int key);
    bool KeyUp(int key);

    void EnterWidget(Widget* widget);
    void LeaveWidget(Widget* widget);
    void MousePosition(int x, int y);
    void RecheckMouseOver();
    void ReleaseHeldButtons(Widget* widget, int buttonMask);
    Widget* GetWidgetAt(int x, int y, int* localX, int* localY);

    void SetBaseModal(Widget* widget, const FlagsMod& belowFlagsMod);
    void AddBaseModal(Widget* widget, const FlagsMod& belowFlagsMod);
    void AddBaseModal(Widget* widget);
    void RemoveBaseModal(Widget* widget);

    void FlushDeferredOverlays(int priority);
    // Widget::DeferOverlay lands here.
    void DeferOverlay(Widget* widget, int priority);

    // True while the key with this virtual-key code (0 .. 254) is held.
    bool IsKeyDown(int key) const;

    struct DeferredOverlay {
        Widget* widget;
        int priority;
    };
    struct PreModalInfo {
        Widget* baseModalWidget;
        Widget* prevBaseModalWidget;
        Widget* prevFocusWidget;
        FlagsMod prevBelowModalFlagsMod;
    };

    static constexpr int kNumKeys = 255;
    static constexpr int kNoPriority = 2147483647;

    // Receives the Tab character while Ctrl is held.
    Widget* mDefaultTab = nullptr;
    Graphics* mCurG = nullptr;
    WidgetApp* mApp;
    Image* mImage = nullptr;
    // A transient widget removed by a press outside it.
    Widget* mPopupCommandWidget = nullptr;
    std::vector<DeferredOverlay> mDeferredOverlayWidgets;
    int mMinDeferredOverlayPriority = kNoPriority;
    bool mHasFocus = true;
    Widget* mFocusWidget = nullptr;
    Widget* mLastDownWidget = nullptr;
    Widget* mOverWidget = nullptr;
    Widget* mBaseModalWidget = nullptr;
    FlagsMod mLostFocusFlagsMod;
    FlagsMod mBelowModalFlagsMod;
    FlagsMod mDefaultBelowModalFlagsMod;
    std::vector<PreModalInfo> mPreModalInfoList;
    Rect mMouseDestRect;
    Rect mMouseSourceRect;
    bool mMouseIn = false;
    int mLastMouseX = 0;
    int mLastMouseY = 0;
    // Buttons held on the captured widget (bits 1 left, 2 right, 4 middle).
    int mDownButtons = 0;
    // Buttons physically held.
    int mActualDownButtons = 0;
    int mLastInputUpdateCnt = 0;
    bool mKeyDown[kNumKeys] = {};
    // Button of the latest press: 1 left, -1 right, 2 middle.
    int mLastDownButtonId = 0;
    int mWidgetFlags = WIDGETFLAGS_DEFAULT;

private:
    void InitModalFlags(ModalFlags* flags);
    Widget* GetWidgetAtHelper(int x, int y, int flags, bool* found, int* localX, int* localY);
    Widget* HitTest(WidgetContainer* node, int x, int y, int flags, int* localX, int* localY);
    static int ButtonBit(int signedClickCount);
};

}  // namespace Velm
