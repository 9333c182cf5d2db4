#pragma once

#include "game/shell/ui/TransitionCallback.h"
#include "widgets/CheckboxListener.h"
#include "widgets/Dialog.h"
#include "widgets/DialogListener.h"
#include "widgets/EditListener.h"
#include "widgets/ListListener.h"
#include "widgets/SliderListener.h"

namespace Velm {

// Base of every screen and dialog of the game: a frameless framework dialog
// that also listens to every kind of control, so that the controls its UI
// description builds (UiDescription_t) can report to it, plus the two hooks
// of the screen switch. Every listener operation is the interface's empty
// default, for subclasses to override. Main thread (built on the loading
// thread for the screens it makes, before they are shown).
class BaseDialogWidget : public Dialog,
                         public TransitionCallback,
                         public ListListener,
                         public CheckboxListener,
                         public SliderListener,
                         public EditListener,
                         public DialogListener {
public:
    // No frame or button images, empty texts, no framework buttons.
    BaseDialogWidget(int dialogId, bool modal);
    ~BaseDialogWidget() override;

    using Dialog::ButtonPress;
    using Dialog::MouseUp;

    // A hook kept for subclasses; nothing calls it.
    virtual void ReservedHook();
    // The screen switch calls it on the new screen once the ice cover is complete.
    virtual void OnShown();
    // The screen switch calls it on the screen being left when a switch starts.
    virtual void OnHidden();

    // The release of any button does nothing on a screen.
    void MouseUp(int x, int y) override;
    // Forwards to ButtonPress(id).
    void ButtonPress(int id, int clickCount) override;

    // Spare ints, 0 after construction. The first is the screen's show
    // argument: the screen switch sets it for some targets before showing the
    // screen, and the screen reads it in OnShown.
    int mShowArgument = 0;
    int mSpare2 = 0;
    int mSpare3 = 0;
    int mSpare4 = 0;
    int mSpare5 = 0;
    int mSpare6 = 0;
};

}  // namespace Velm
