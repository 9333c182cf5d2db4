#pragma once

namespace Velm {

// Told about the buttons of a Dialog: button ids 1000 (first) and 1001 (second).
class DialogListener {
public:
    virtual ~DialogListener() = default;
    virtual void DialogButtonPress(int dialogId, int buttonId) {
        (void)dialogId;
        (void)buttonId;
    }
    virtual void DialogButtonDepress(int dialogId, int buttonId) {
        (void)dialogId;
        (void)buttonId;
    }
};

}  // namespace Velm
