#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {

BaseDialogWidget::BaseDialogWidget(int dialogId, bool modal)
        : Dialog(nullptr, nullptr, dialogId, modal, std::string(), std::string(), std::string(), BUTTONS_NONE) {}

BaseDialogWidget::~BaseDialogWidget() = default;

void BaseDialogWidget::ReservedHook() {}

void BaseDialogWidget::OnShown() {}

void BaseDialogWidget::OnHidden() {}

void BaseDialogWidget::MouseUp(int x, int y) {
    (void)x;
    (void)y;
}

void BaseDialogWidget::ButtonPress(int id, int clickCount) {
    (void)clickCount;
    ButtonPress(id);
}

}  // namespace Velm
