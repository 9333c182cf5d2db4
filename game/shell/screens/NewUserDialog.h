#pragma once

#include <memory>
#include <string>

#include "game/shell/ui/FlyWidget.h"

namespace Velm {

class GameApp;
class ListWidget;
class ScrollbarWidget;
class Widget;

// The player-selection fly-in ("UI/ChangeUser.txt"): a list whose first line
// creates a player (through the name dialog, dialog 101) and whose other lines
// are the profiles, with "Delete" (button 1), "Select" (2) and "Cancel" (3).
// At most six players exist. Deleting never changes who is current: the current
// player's line is selected afterwards, else the first player's line. Main thread.
class NewUserDialog : public FlyWidget_t {
public:
    enum { kDeleteButton = 1, kSelectButton = 2, kCancelButton = 3 };
    static constexpr int kNameDialogId = 101;

    NewUserDialog(const std::string& fileName, GameApp* app);
    ~NewUserDialog() override;

    void ListClicked(int listId, int line, int clickCount) override;
    void ButtonDepress(int id) override;
    void DialogButtonDepress(int dialogId, int result) override;
    // "Select" and "Delete" are enabled while a player's line is selected.
    void UpdateButtons();
    void FillList();

    GameApp* app;
    std::unique_ptr<ListWidget> list;
    Widget* deleteButton = nullptr;
    Widget* selectButton = nullptr;
    Widget* cancelButton = nullptr;
    std::unique_ptr<ScrollbarWidget> scrollbar;

private:
    void AskForName();
    void SelectLine(int line);
};

}  // namespace Velm
