#pragma once

namespace Velm {

// Told about a button's press, click, hold, hover and moves; every call
// carries the button's id so one listener can serve many buttons. Every
// operation is empty by default.
class ButtonListener {
public:
    virtual ~ButtonListener() = default;

    // The mouse went down on the button; the default forwards to ButtonPress(id).
    virtual void ButtonPress(int id, int clickCount) {
        (void)clickCount;
        ButtonPress(id);
    }
    virtual void ButtonPress(int id) { (void)id; }
    // The button was clicked: released over it while the application has the focus.
    virtual void ButtonDepress(int id) { (void)id; }
    // Every update tick while the button is held with the pointer over it.
    virtual void ButtonDownTick(int id) { (void)id; }
    virtual void ButtonMouseEnter(int id) { (void)id; }
    virtual void ButtonMouseLeave(int id) { (void)id; }
    // The pointer moved over the button (button coordinates), no button held.
    virtual void ButtonMouseMove(int id, int x, int y) {
        (void)id;
        (void)x;
        (void)y;
    }
    // A timed button finished its disabled period (game buttons only).
    virtual void ButtonReenabled(int id) { (void)id; }
};

}  // namespace Velm
