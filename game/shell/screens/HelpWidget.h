#pragma once

#include <memory>

#include "game/shell/GameIds.h"
#include "game/shell/screens/HelpPages.h"
#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {
class GameApp;
class UiDescription_t;
class Widget;
}  // namespace Velm

// The modal help dialog (dialog id 333): "UI/Help.txt" with the pages of
// "data/help.txt", turned with "Next" (button 1), "Prev" (3) or a click on the
// page, closed with "Close" (2) or Next on the last page. When it is to close it
// sets its result to 1000 and tells its dialog listener (333, 1 or 2); the
// listener removes it. In single-page mode (the board's hints) only "Close" is
// offered, a click on the page does nothing and Esc closes; the "DontShow" box sets
// the current record's don't-show-help flag.
// Main thread.
class HelpWidget_t : public Velm::BaseDialogWidget {
public:
    static constexpr int kDialogId = Velm::BoardDialogId::kHelp;
    static constexpr int kCloseResult = 1000;

    // app may be null (tests): sounds are then silent.
    HelpWidget_t(Velm::GameApp* app, bool showDontShow);
    ~HelpWidget_t() override;

    void Draw(Velm::Graphics* g) override;
    void KeyUp(int key) override;
    using Velm::BaseDialogWidget::MouseDown;
    void MouseDown(int x, int y, int signedClickCount) override;
    void MouseDrag(int x, int y) override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    void CheckboxChecked(int id, bool checked) override;

    void SetSinglePageMode(bool on);
    void AdvancePages(int count);
    void UpdateButtons();

    Velm::GameApp* app;
    bool singlePage = false;
    std::unique_ptr<Velm::UiDescription_t> description;
    HelpPages_t pages;
    Velm::Widget* prevButton = nullptr;
    Velm::Widget* nextButton = nullptr;
    Velm::Widget* closeButton = nullptr;

    // Sizes the dialog to IMAGE_HELP_BACK (0 x 0 without it) and centres it on the
    // application's screen.
    void PlaceCentred(const Velm::GameApp& application);

    // Adds a help dialog sized to IMAGE_HELP_BACK and centred on the screen, with
    // listener as its dialog listener, and gives it the keyboard focus.
    static HelpWidget_t* Open(Velm::GameApp* app, Velm::DialogListener* listener);

private:
    void Close(int result);
};
