#pragma once

#include <string>

#include "game/shell/ui/FlyWidget.h"
#include "graphics/Color.h"

namespace Velm {

class EditWidget;
class Graphics;
class HyperlinkWidget;

// The player-name entry: an edit field ("Edit", at most 12 letters and digits), a label
// saying which characters a name may hold ("Rule") and the file's buttons. Button 1 (or
// Enter in the field) confirms a non-empty trimmed name; any other button flies the dialog
// out with its id. The creator reads the name from the field in its listener. The field
// takes the keyboard focus on the first update. A typed character the field does not take
// turns the rule to the warning colour for a moment.
class UserNameDialog : public FlyWidget_t {
public:
    static constexpr int kMaxNameChars = 12;
    static constexpr int kConfirmButton = 1;
    // How long (updates) the rule shows a refused character.
    static constexpr int kRefusalShowTicks = 100;
    static constexpr Color kRefusalColor{255, 96, 64};

    // dialogId: the id to register under unless the file names one.
    explicit UserNameDialog(const std::string& fileName, int dialogId = 0);

    void Update() override;
    void Draw(Graphics* g) override;
    void ButtonDepress(int id) override;
    void EditWidgetText(int id, const std::string& text) override;
    bool AllowChar(int id, char c) override;
    void EditWidgetCharRefused(int id, char c) override;

    // The "Edit" element, or null when the file has none.
    EditWidget* GetEdit() const { return mEdit; }
    // The "Rule" element, or null when the file has none.
    HyperlinkWidget* GetRule() const { return mRule; }
    // The mode value the creator attaches (the player dialog's reason for asking).
    int mode = 0;

private:
    bool mFocusPending = true;
    void ShowRuleColour(const Color& colour);

    EditWidget* mEdit = nullptr;
    HyperlinkWidget* mRule = nullptr;
    Color mRuleColour;
    int mRefusalTicks = 0;
};

}  // namespace Velm
