#include "game/shell/ui/UserNameDialog.h"

#include "game/shell/ui/UiDescription.h"
#include "resources/base/StringUtils.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetManager.h"

namespace Velm {

UserNameDialog::UserNameDialog(const std::string& fileName, int dialogId) : FlyWidget_t(fileName, dialogId, true) {
    mEdit = dynamic_cast<EditWidget*>(GetDescription()->FindWidget("Edit"));
    if (mEdit != nullptr) mEdit->mMaxChars = kMaxNameChars;
    mRule = dynamic_cast<HyperlinkWidget*>(GetDescription()->FindWidget("Rule"));
    if (mRule != nullptr) mRuleColour = mRule->mColor;
}

void UserNameDialog::Update() {
    if (mFocusPending && mEdit != nullptr && mWidgetManager != nullptr) {
        mWidgetManager->SetFocus(mEdit);
        mFocusPending = false;
    }
    if (mRefusalTicks > 0 && --mRefusalTicks == 0) ShowRuleColour(mRuleColour);
    FlyWidget_t::Update();
}

void UserNameDialog::ShowRuleColour(const Color& colour) {
    if (mRule == nullptr) return;
    mRule->mColor = colour;
    mRule->mOverColor = colour;
    mRule->MarkDirty();
}

void UserNameDialog::EditWidgetCharRefused(int id, char c) {
    (void)id;
    (void)c;
    mRefusalTicks = kRefusalShowTicks;
    ShowRuleColour(kRefusalColor);
}

void UserNameDialog::Draw(Graphics* g) {
    FlyWidget_t::Draw(g);
    GetDescription()->DrawImages(g, 0);
}

bool UserNameDialog::AllowChar(int id, char c) {
    (void)id;
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

void UserNameDialog::EditWidgetText(int id, const std::string& text) {
    (void)id;
    (void)text;
    ButtonDepress(kConfirmButton);
}

void UserNameDialog::ButtonDepress(int id) {
    if (mEdit != nullptr) {
        const std::string trimmed = TrimString(mEdit->mString);
        mEdit->SetText(trimmed);
        if (id == kConfirmButton && trimmed.empty()) return;
    }
    FlyWidget_t::ButtonDepress(id);
}

}  // namespace Velm
