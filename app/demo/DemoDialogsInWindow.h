#pragma once

#include <string>
#include <vector>

#include "app/demo/DemoDialogs.h"
#include "widgets/Dialog.h"
#include "widgets/EditListener.h"
#include "widgets/ListListener.h"

namespace Velm {

class EditWidget;
class Font;
class ListWidget;
class ScrollbarWidget;
class DemoDialogHost;

// "Marker List": the lines in a scrolling list above a "Cancel" button. The first line
// starts selected; Up and Down move the selection, Enter picks it, a click picks the
// line under the pointer, Esc or "Cancel" ends with none.
class DemoMarkerListDialog : public Dialog, public ListListener {
public:
    // mResult once a line is picked; "Cancel" gives ID_FOOTER.
    enum { RESULT_PICKED = 1 };

    DemoMarkerListDialog(int id, const std::vector<std::string>& lines);
    ~DemoMarkerListDialog() override;

    using Dialog::Resize;

    void Resize(int x, int y, int width, int height) override;
    bool WantsFocus() override;
    void KeyDown(int key) override;
    void ListClicked(int listId, int lineIndex, int clickCount) override;

    // The line picked, -1 for none.
    int mChosen = -1;
    ListWidget* mList;
    ScrollbarWidget* mScrollbar;
    Font* mListFont;

private:
    void Pick(int index);
    void MoveSelection(int delta);
};

// "Jump To Time": an edit field holding the time, selected, above "Ok" and "Cancel".
// Enter in the field counts as "Ok", Esc as "Cancel".
class DemoJumpTimeDialog : public Dialog, public EditListener {
public:
    DemoJumpTimeDialog(int id, const std::string& text);
    ~DemoJumpTimeDialog() override;

    using Dialog::Resize;

    void Resize(int x, int y, int width, int height) override;
    void EditWidgetText(int id, const std::string& text) override;
    bool AllowKey(int id, int key) override;

    EditWidget* mEdit;
};

// The demo playback windows drawn with our own widgets inside the game window: a modal
// Dialog holding the marker lines in a list (a click or Enter picks a line, "Cancel"
// or Esc picks none), and a modal Dialog with an edit field holding the stored jump time
// ("Ok" or Enter keeps the edited text, "Cancel" or Esc drops it). Both are registered
// with the application (AddDialog) and waited for by stepping its loop.
//
// When the application cannot show them there (see ShowsInWindow), the system's button
// box of the base class asks instead. Main thread only.
class DemoDialogsInWindow : public DemoDialogs {
public:
    // Ids in the application's dialog registry.
    enum { MARKER_LIST_DIALOG_ID = 7100, JUMP_TO_TIME_DIALOG_ID = 7101 };

    // `host` null: the host of the process's application at each call (GetDemoDialogHost).
    explicit DemoDialogsInWindow(DemoDialogHost* host = nullptr);

    int ChooseMarker(const std::vector<std::string>& lines) override;
    bool EditJumpTime(std::string* text) override;

    // True when the application has a widget manager and a main window whose live mouse
    // and key input reaches the widgets: not while a system popup holds the input (full
    // screen), and not while a demo plays, since the loop then feeds the widgets from the
    // demo and a dialog in the window could never be answered.
    bool ShowsInWindow();

private:
    DemoDialogHost* Host();

    DemoDialogHost* mHost;
};

}  // namespace Velm
