#include "app/demo/DemoDialogsInWindow.h"

#include <algorithm>

#include "app/demo/DemoDialogHost.h"
#include "platform/WindowMessages.h"
#include "widgets/DialogButton.h"
#include "widgets/EditWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace Velm {

namespace {

// The font of the list and the edit field; DejaVu stands in for it where it is missing.
const char kFieldFace[] = "Tahoma";
const int kFieldPointSize = 11;
const int kScrollbarWidth = 16;
// Gap between the list or field and the buttons.
const int kGap = 8;
// A time is a few numbers; the stored value holds at most 1000 bytes.
const int kMaxJumpTimeChars = 1000;

// Top of the area under the caption, in dialog coordinates.
int ContentTop(Dialog* dialog) {
    dialog->EnsureFonts();
    return dialog->mBackgroundInsets.mTop + dialog->mContentInsets.mTop + TextHeight(dialog->mHeaderFont) -
           TextAscentPadding(dialog->mHeaderFont) + dialog->mSpaceAfterHeader;
}

// Top of the button row, in dialog coordinates (that of Dialog::Resize).
int ButtonTop(Dialog* dialog) {
    return dialog->mHeight - dialog->mContentInsets.mBottom - dialog->mBackgroundInsets.mBottom - dialog->mButtonHeight;
}

}  // namespace

// ---------------------------------------------------------------------------
// Marker list

DemoMarkerListDialog::DemoMarkerListDialog(int id, const std::vector<std::string>& lines)
        : Dialog(nullptr, nullptr, id, true, "Marker List", "", "Cancel", BUTTONS_FOOTER) {
    mListFont = TextCreateSysFont(kFieldFace, kFieldPointSize, 0);
    mList = new ListWidget(0, mListFont, this);
    mScrollbar = new ScrollbarWidget(0, mList);
    mList->mScrollbar = mScrollbar;
    for (const std::string& line : lines) mList->AddLine(line, false);
    if (!lines.empty()) mList->SetSelect(0);
    AddWidget(mList);
    AddWidget(mScrollbar);
}

DemoMarkerListDialog::~DemoMarkerListDialog() {
    RemoveWidget(mScrollbar);
    RemoveWidget(mList);
    delete mScrollbar;
    delete mList;
    TextDeleteFont(mListFont);
}

void DemoMarkerListDialog::Resize(int x, int y, int width, int height) {
    Dialog::Resize(x, y, width, height);
    const int left = mBackgroundInsets.mLeft + mContentInsets.mLeft;
    const int right = width - mBackgroundInsets.mRight - mContentInsets.mRight;
    const int top = ContentTop(this);
    const int listHeight = std::max(0, ButtonTop(this) - kGap - top);
    const int listWidth = std::max(0, right - left - kScrollbarWidth);
    mList->Resize(left, top, listWidth, listHeight);
    mScrollbar->ResizeScrollbar(left + listWidth, top, kScrollbarWidth, listHeight);
}

bool DemoMarkerListDialog::WantsFocus() { return true; }

void DemoMarkerListDialog::KeyDown(int key) {
    if (key == plat::VK_ESCAPE) {
        mChosen = -1;
        mResult = ID_FOOTER;
    } else if (key == plat::VK_RETURN) {
        if (mList->mSelectIdx >= 0) Pick(mList->mSelectIdx);
    } else if (key == plat::VK_UP) {
        MoveSelection(-1);
    } else if (key == plat::VK_DOWN) {
        MoveSelection(1);
    } else {
        Dialog::KeyDown(key);
    }
}

void DemoMarkerListDialog::ListClicked(int listId, int lineIndex, int clickCount) {
    (void)listId;
    (void)clickCount;
    Pick(lineIndex);
}

void DemoMarkerListDialog::Pick(int index) {
    if (index < 0 || index >= mList->GetLineCount()) return;
    mChosen = index;
    mResult = RESULT_PICKED;
}

void DemoMarkerListDialog::MoveSelection(int delta) {
    const int count = mList->GetLineCount();
    if (count == 0) return;
    const int index = std::max(0, std::min(count - 1, mList->mSelectIdx + delta));
    mList->SetSelect(index);
    // Keep the selected line on the page.
    const int page = std::max(1, static_cast<int>(mList->mPageSize));
    double position = mList->mPosition;
    if (index < position)
        position = index;
    else if (index >= position + page)
        position = index - page + 1;
    if (position != mList->mPosition) mScrollbar->SetValue(position);
}

// ---------------------------------------------------------------------------
// Jump to time

DemoJumpTimeDialog::DemoJumpTimeDialog(int id, const std::string& text)
        : Dialog(nullptr, nullptr, id, true, "Jump To Time", "", "", BUTTONS_OK_CANCEL) {
    mYesButton->mLabel = "Ok";
    mNoButton->mLabel = "Cancel";
    mEdit = new EditWidget(0, this);
    Font* font = TextCreateSysFont(kFieldFace, kFieldPointSize, 0);
    mEdit->SetFont(font);
    TextDeleteFont(font);
    mEdit->mMaxChars = kMaxJumpTimeChars;
    mEdit->SetText(text.substr(0, kMaxJumpTimeChars));
    AddWidget(mEdit);
}

DemoJumpTimeDialog::~DemoJumpTimeDialog() {
    RemoveWidget(mEdit);
    delete mEdit;
}

void DemoJumpTimeDialog::Resize(int x, int y, int width, int height) {
    Dialog::Resize(x, y, width, height);
    const int left = mBackgroundInsets.mLeft + mContentInsets.mLeft;
    const int right = width - mBackgroundInsets.mRight - mContentInsets.mRight;
    const int top = ContentTop(this);
    mEdit->Resize(left, top, std::max(0, right - left), std::max(0, ButtonTop(this) - kGap - top));
}

void DemoJumpTimeDialog::EditWidgetText(int id, const std::string& text) {
    (void)id;
    (void)text;
    mResult = ID_OK;
}

bool DemoJumpTimeDialog::AllowKey(int id, int key) {
    (void)id;
    if (key != plat::VK_ESCAPE) return true;
    mResult = ID_CANCEL;
    return false;
}

// ---------------------------------------------------------------------------
// The dialogs in use

DemoDialogsInWindow::DemoDialogsInWindow(DemoDialogHost* host) : mHost(host) {}

DemoDialogHost* DemoDialogsInWindow::Host() { return mHost != nullptr ? mHost : GetDemoDialogHost(); }

bool DemoDialogsInWindow::ShowsInWindow() {
    DemoDialogHost* host = Host();
    return host != nullptr && host->GetWidgetManager() != nullptr && host->HasMainWindow() && !host->IsPopupOpen() &&
           host->GetWidth() > 0 && host->GetHeight() > 0;
}

int DemoDialogsInWindow::ChooseMarker(const std::vector<std::string>& lines) {
    if (!ShowsInWindow()) return DemoDialogs::ChooseMarker(lines);
    DemoDialogHost* host = Host();
    DemoMarkerListDialog* dialog = new DemoMarkerListDialog(MARKER_LIST_DIALOG_ID, lines);
    // Near the top left corner, as large as the screen allows up to 400 by 440.
    dialog->Resize(10, 10, std::min(400, host->GetWidth() - 20), std::min(440, host->GetHeight() - 20));
    host->AddDialog(MARKER_LIST_DIALOG_ID, dialog);
    host->GetWidgetManager()->SetFocus(dialog);
    // The registry stays the owner: it deletes the dialog after the loop step that
    // kills it, so the answer is read before.
    const int result = dialog->WaitForResult(false);
    const int chosen = result == DemoMarkerListDialog::RESULT_PICKED ? dialog->mChosen : -1;
    host->KillDialog(MARKER_LIST_DIALOG_ID);
    return chosen;
}

bool DemoDialogsInWindow::EditJumpTime(std::string* text) {
    if (!ShowsInWindow()) return DemoDialogs::EditJumpTime(text);
    DemoDialogHost* host = Host();
    DemoJumpTimeDialog* dialog = new DemoJumpTimeDialog(JUMP_TO_TIME_DIALOG_ID, *text);
    const int width = std::min(320, host->GetWidth() - 20);
    const int fieldHeight = TextHeight(dialog->mEdit->mFont) + 8;
    dialog->Resize(10, 10, width, dialog->GetPreferredHeight(width) + fieldHeight + kGap);
    host->AddDialog(JUMP_TO_TIME_DIALOG_ID, dialog);
    host->GetWidgetManager()->SetFocus(dialog->mEdit);
    const int result = dialog->WaitForResult(false);
    const bool ok = result == Dialog::ID_OK;
    if (ok) *text = dialog->mEdit->mString;
    host->KillDialog(JUMP_TO_TIME_DIALOG_ID);
    return ok;
}

}  // namespace Velm
