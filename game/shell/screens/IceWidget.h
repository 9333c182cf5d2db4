#pragma once

#include "game/board/effects/Shadow.h"
#include "widgets/Widget.h"

namespace Velm {

class Graphics;

// Told by the ice cover when the screen is fully black and when it is clear again.
class IceWidgetListener {
public:
    virtual ~IceWidgetListener() = default;
    virtual void OnIceCovered() = 0;
    virtual void OnIceCleared() = 0;
};

// The full-screen cover of a screen switch: darkens its rectangle (the whole logical
// screen) to black, tells the listener that the screen is covered, lightens back and tells
// the listener that it is clear. One instance is built by the loading thread and restarted
// for every switch. 3 alpha units per update tick: 85 ticks to black, 85 back.
// The cover is drawn in the overlay pass (priority 2), above every other widget.
// Main thread.
class IceWidget : public Widget {
public:
    static constexpr int kAlphaStep = 3;

    // listener: not owned, may be null.
    explicit IceWidget(IceWidgetListener* listener);

    // Starts darkening from where the last transition left the shadow (alpha 0).
    void Start();

    void Update() override;
    void Draw(Graphics* g) override;
    using Widget::DrawOverlay;
    void DrawOverlay(Graphics* g) override;

    bool IsFinished() const { return mFinished; }
    int GetPhase() const { return mPhase; }
    int GetTicks() const { return mTicks; }
    int GetAlpha() const { return static_cast<int>(mShadow.alpha); }

private:
    IceWidgetListener* mListener;
    bool mFinished = false;
    int mPhase = 0;
    int mTicks = 0;
    BackShadow mShadow;
};

}  // namespace Velm
