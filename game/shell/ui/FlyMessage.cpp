#include "game/shell/ui/FlyMessage.h"

#include "game/shell/ui/UiDescription.h"
#include "widgets/ButtonWidget.h"

FlyMessage::FlyMessage(const std::string& fileName, const std::string& text)
        : Velm::FlyWidget_t(fileName, kDialogId, true) {
    if (auto* label = dynamic_cast<Velm::ButtonWidget*>(GetDescription()->FindWidget("Label"))) label->mLabel = text;
    mIsModal = true;
}

void FlyMessage::Update() {
    Velm::FlyWidget_t::Update();
    if (flyState == kResting) {
        ++tickCount;
        if (tickCount >= displayTime) flyState = kFlyingOut;
    } else if (flyState == kOut) {
        mResult = kDoneResult;
    }
}
