#pragma once

#include <string>

#include "game/shell/ui/FlyWidget.h"

namespace Velm {

class EditWidget;
class Graphics;

// The player-name entry: an edit field ("Edit", at most 12 letters and digits) and the
// file's buttons. Button 1 (or Enter in the field) confirms a non-empty trimmed name; any
// other button flies the dialog out with its id. The creator reads the name from the field
// in its listener. The field takes the keyboard focus on the first update.
class UserNameDialog : public FlyWidget_t {
public:
    static constexpr int kMaxNameChars = 12;
    static constexpr int kConfirmButton = 1;

    // dialogId: the id to register under unless the file names one.
    explicit UserNameDialog(const std::string& fileName, int dialogId = 0);

    void Update() override;
    void Draw(Graphics* g) override;
    void ButtonDepress(int id) override;
    void EditWidgetText(int id, const std::string& text) override;
    bool AllowChar(int id, char c) override;

    // The "Edit" element, or null when the file has none.
    EditWidget* GetEdit() const { return mEdit; }
    // The mode value the creator attaches (the player dialog's reason for asking).
    int mode = 0;

private:
    bool mFocusPending = true;
    EditWidget* mEdit = nullptr;
};

}  // namespace Velm
