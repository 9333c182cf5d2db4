#include "game/shell/ui/MessageDialog.h"

#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "widgets/ButtonWidget.h"
#include "widgets/HyperlinkWidget.h"

namespace Velm {

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyEsc = 27;
constexpr int kMessageLineSpacing = 20;
constexpr int kCentred = 0;

void SetLabel(Widget* widget, const std::string& text) {
    if (auto* button = dynamic_cast<ButtonWidget*>(widget)) button->mLabel = text;
}

}  // namespace

MessageDialog::MessageDialog(const std::string& fileName, const std::string& caption, const std::string& message,
                             int dialogId)
        : FlyWidget_t(fileName, dialogId, true) {
    UiDescription_t* description = GetDescription();
    mMessage = description->FindWidget("Message");
    SetLabel(description->FindWidget("Caption"), caption);
    SetLabel(mMessage, message);
    if (mMessage != nullptr) mMessage->SetVisible(false);
}

void MessageDialog::Draw(Graphics* g) {
    FlyWidget_t::Draw(g);
    auto* message = dynamic_cast<ButtonWidget*>(mMessage);
    if (message == nullptr) return;
    g->PushState();
    if (message->mFont != nullptr) g->SetFont(message->mFont);
    if (auto* link = dynamic_cast<HyperlinkWidget*>(message)) {
        g->SetColor(link->mColor);
    } else {
        g->SetColor(message->GetColor(0, Color(255, 255, 255)));
    }
    // The element's position is already relative to the box, as this drawing is.
    const Rect rect(message->mX, message->mY, message->mWidth, message->mHeight);
    WriteWordWrapped(g, rect, message->mLabel, kMessageLineSpacing, kCentred);
    g->PopState();
}

void MessageDialog::KeyUp(int key) {
    UiDescription_t* description = GetDescription();
    if (key == kKeyEsc && description->FindWidget("Cancel") != nullptr) {
        mResult = kEscResult;
        FlyOut(kCancelled);
    } else if (key == kKeyEnter && description->FindWidget("Ok") != nullptr) {
        mResult = kEnterResult;
        FlyOut(kConfirmed);
    } else {
        FlyWidget_t::KeyUp(key);
    }
}

}  // namespace Velm
