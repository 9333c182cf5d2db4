#include "game/shell/ui/VornWidgets.h"

namespace Velm {

VornButtonWidget::VornButtonWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}
VornButtonWidget::~VornButtonWidget() = default;

VornDialogButton::VornDialogButton(Image* componentImage, int id, ButtonListener* listener)
        : DialogButton(componentImage, id, listener) {}
VornDialogButton::~VornDialogButton() = default;

VornCheckbox::VornCheckbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener)
        : Checkbox(uncheckedImage, checkedImage, id, listener) {}
VornCheckbox::~VornCheckbox() = default;

VornSlider::VornSlider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener)
        : Slider(trackImage, thumbImage, id, listener) {}
VornSlider::~VornSlider() = default;

}  // namespace Velm
