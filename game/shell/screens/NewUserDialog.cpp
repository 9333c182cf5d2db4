#include "game/shell/screens/NewUserDialog.h"

#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/PlayerList.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UserNameDialog.h"
#include "graphics/Point.h"
#include "widgets/EditWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"

namespace Velm {

namespace {

// The list's colours in its colour order: background, outline, text,
// highlighted text, selection bar, selected text.
const int kListColours[6][4] = {
        {255, 255, 255, 0}, {255, 0, 0, 255},  {90, 60, 40, 255},
        {55, 36, 23, 255},  {90, 60, 40, 127}, {90, 60, 40, 255},
};
constexpr int kScrollbarWidth = 25;

void Enable(Widget* widget, bool enabled) {
    if (widget != nullptr) {
        widget->SetDisabled(!enabled);
    }
}

}  // namespace

NewUserDialog::NewUserDialog(const std::string& fileName, GameApp* application)
        : FlyWidget_t(fileName, 0, true), app(application) {
    UiDescription_t* ui = GetDescription();
    deleteButton = ui->FindWidget("Delete");
    selectButton = ui->FindWidget("Select");
    cancelButton = ui->FindWidget("Cancel");

    list = std::make_unique<ListWidget>(0, FONT_DEFAULT, this);
    list->SetColorsRGBA(kListColours, 6);
    list->mDrawOutline = false;
    const Point* position = ui->FindPoint("LBPos");
    const Point* size = ui->FindPoint("LBSize");
    const int x = position != nullptr ? position->x : 0;
    const int y = position != nullptr ? position->y : 0;
    const int width = size != nullptr ? size->x : 0;
    const int height = size != nullptr ? size->y : 0;
    list->Resize(x, y, width, height);

    scrollbar = std::make_unique<ScrollbarWidget>(1, list.get());
    scrollbar->Resize(x + width, y, kScrollbarWidth, height);
    scrollbar->SetHideWhenNoScroll(true);
    list->mScrollbar = scrollbar.get();
    AddWidget(list.get());
    FillList();
}

NewUserDialog::~NewUserDialog() {
    RemoveWidget(scrollbar.get());
    RemoveWidget(list.get());
    list.reset();
    scrollbar.reset();
}

void NewUserDialog::UpdateButtons() {
    const bool onPlayer = PlayerList(*ProfileManager_t::Instance()).IsProfileLine(list->mSelectIdx);
    Enable(selectButton, onPlayer);
    Enable(deleteButton, onPlayer);
}

void NewUserDialog::SelectLine(int line) {
    list->SetSelect(line);
    UpdateButtons();
}

void NewUserDialog::FillList() {
    PlayerList players(*ProfileManager_t::Instance());
    list->RemoveAll();
    for (const std::string& line : players.Lines(TextTable_t::Instance()->Lookup("CreateNewUser"))) {
        list->AddLine(line, false);
    }
    SelectLine(players.CurrentLine());
}

void NewUserDialog::AskForName() {
    app->ShowUserNameDialog(kNameDialogId, 0);
    if (app->userNameDialog != nullptr) {
        app->userNameDialog->mDialogListener = this;
        app->userNameDialog->userValue = 0;
    }
}

void NewUserDialog::ListClicked(int listId, int line, int clickCount) {
    if (listId != 0) {
        return;
    }
    PlayerList players(*ProfileManager_t::Instance());
    if (clickCount == 1 && line == 0) {
        if (!players.CanCreate()) {
            app->ShowMessageBox(8);
        } else {
            AskForName();
        }
        return;
    }
    SelectLine(line);
    if (clickCount >= 2 && players.IsProfileLine(line)) {
        ButtonDepress(kSelectButton);
    }
}

void NewUserDialog::ButtonDepress(int id) {
    PlayerList players(*ProfileManager_t::Instance());
    if (id == kDeleteButton) {
        app->PlaySound("MouseDown", true);
        if (players.IsProfileLine(list->mSelectIdx) && app->ShowMessageBox(3)) {
            const int line = list->mSelectIdx;
            const int next = players.Delete(line);
            list->RemoveLine(line);
            SelectLine(next);
        }
    } else if (id == kSelectButton) {
        app->PlaySound("MouseDown", true);
        if (players.Select(list->mSelectIdx)) {
            FlyOut(id);
        }
    } else if (id == kCancelButton) {
        FlyWidget_t::ButtonDepress(id);
    }
}

void NewUserDialog::DialogButtonDepress(int dialogId, int result) {
    if (dialogId != kNameDialogId) {
        app->KillDialog(dialogId);
        return;
    }
    std::string name;
    if (app->userNameDialog != nullptr && app->userNameDialog->GetEdit() != nullptr) {
        name = app->userNameDialog->GetEdit()->mString;
    }
    app->KillDialog(dialogId);
    app->userNameDialog = nullptr;
    if (result != UserNameDialog::kConfirmButton || name.empty()) {
        return;
    }
    PlayerList players(*ProfileManager_t::Instance());
    if (players.Add(name, static_cast<float>(app->GetSfxVolume()), static_cast<float>(app->GetMusicVolume())) !=
        PlayerList::AddResult::Added) {
        app->ShowMessageBox(2);
        AskForName();
        return;
    }
    list->AddLine(name, false);
    SelectLine(list->GetLineCount() - 1);
}

}  // namespace Velm
