#pragma once

#include "game/shell/ui/UiImageOwner.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/DialogButton.h"
#include "widgets/Slider.h"

namespace Velm {

// The framework controls as UI descriptions create them: same behaviour, but
// they own the pictures their style loaded from files (UiImageOwner) and
// delete them with themselves.

class VornButtonWidget : public ButtonWidget, public UiImageOwner {
public:
    VornButtonWidget(int id, ButtonListener* listener);
    ~VornButtonWidget() override;
};

class VornDialogButton : public DialogButton, public UiImageOwner {
public:
    VornDialogButton(Image* componentImage, int id, ButtonListener* listener);
    ~VornDialogButton() override;
};

class VornCheckbox : public Checkbox, public UiImageOwner {
public:
    VornCheckbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener);
    ~VornCheckbox() override;
};

class VornSlider : public Slider, public UiImageOwner {
public:
    VornSlider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener);
    ~VornSlider() override;
};

}  // namespace Velm
