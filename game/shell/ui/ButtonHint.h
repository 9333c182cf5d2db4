#pragma once

#include "widgets/ButtonWidget.h"

namespace Velm {

// A push button that, once clicked, stays disabled for a cool-down and shows
// its progress: while disabled (with a disabled image) the normal look grows
// from the left as the cool-down runs out. Tells its listener
// ButtonReenabled(id) when the cool-down ends. The board's timed tool buttons.
// Times are in updates (10 ms). Main thread.
class ButtonHint : public ButtonWidget {
public:
    ButtonHint(int id, ButtonListener* listener);

    using ButtonWidget::MouseUp;

    void Update() override;
    void Draw(Graphics* g) override;
    void MouseUp(int x, int y, int button, int clickCount) override;

    // Width in pixels of the left part that shows the normal image while the
    // cool-down runs: (1 - remaining / coolDown) x width, truncated.
    int CoolDownSplit() const;

    // The cool-down counts only while this is set.
    bool mTimerOn = true;
    // Updates left of the running cool-down.
    int mRemaining = 6000;
    // Length of a cool-down in updates (60 seconds).
    int mCoolDown = 6000;
};

}  // namespace Velm
