// The dialog registry, deferred widget deletion and system message boxes.

#include "app/VelmAppBase.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

namespace Velm {

Dialog* VelmAppBase::NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                               const std::string& footer, int buttonMode) {
    return new Dialog(nullptr, nullptr, id, modal, header, lines, footer, buttonMode);
}

Dialog* VelmAppBase::DoDialog(int id, bool modal, const std::string& header, const std::string& lines,
                              const std::string& footer, int buttonMode) {
    KillDialog(id);
    Dialog* dialog = NewDialog(id, modal, header, lines, footer, buttonMode);
    if (dialog != nullptr) AddDialog(id, dialog);
    return dialog;
}

void VelmAppBase::AddDialog(Dialog* dialog) { AddDialog(dialog->mId, dialog); }

void VelmAppBase::AddDialog(int id, Dialog* dialog) {
    KillDialog(id);
    if (dialog->mWidth == 0) {
        const int width = mWidth / 2;
        const int height = dialog->GetPreferredHeight(width);
        dialog->Resize((mWidth - width) / 2, mHeight / 5, width, height);
    }
    mDialogMap[id] = dialog;
    mDialogList.push_back(dialog);
    mWidgetManager->AddWidget(dialog);
    if (dialog->IsModal()) {
        mWidgetManager->AddBaseModal(dialog);
        ModalOpen();
    }
}

bool VelmAppBase::KillDialog(Dialog* dialog) { return KillDialog(dialog->mId); }

bool VelmAppBase::KillDialog(int id) { return KillDialog(id, true, true); }

bool VelmAppBase::KillDialog(int id, bool removeWidget, bool deleteWidget) {
    std::map<int, Dialog*>::iterator it = mDialogMap.find(id);
    if (it == mDialogMap.end()) return false;
    Dialog* dialog = it->second;
    // A loop waiting for the dialog's answer ends with "no".
    if (dialog->mResult == kNoDialogResult) dialog->mResult = 0;
    mDialogList.remove(dialog);
    mDialogMap.erase(it);
    if (removeWidget || deleteWidget) mWidgetManager->RemoveWidget(dialog);
    if (dialog->IsModal()) {
        ModalClose();
        mWidgetManager->RemoveBaseModal(dialog);
    }
    if (deleteWidget) SafeDeleteWidget(dialog);
    return true;
}

Dialog* VelmAppBase::GetDialog(int id) {
    std::map<int, Dialog*>::iterator it = mDialogMap.find(id);
    return it == mDialogMap.end() ? nullptr : it->second;
}

int VelmAppBase::GetDialogCount() { return static_cast<int>(mDialogMap.size()); }

void VelmAppBase::DialogButtonPress(int dialogId, int buttonId) {
    if (buttonId == 1000)
        ButtonPress(dialogId + 2000);
    else if (buttonId == 1001)
        ButtonPress(dialogId + 3000);
}

void VelmAppBase::DialogButtonDepress(int dialogId, int buttonId) {
    if (buttonId == 1000)
        ButtonDepress(dialogId + 2000);
    else if (buttonId == 1001)
        ButtonDepress(dialogId + 3000);
}

void VelmAppBase::SafeDeleteWidget(Widget* widget) {
    mSafeDeleteList.push_back(std::make_pair(mUpdateAppDepth, widget));
}

void VelmAppBase::ProcessSafeDeleteList() {
    // Only what was queued at this loop depth or deeper goes: a widget queued
    // by an outer step that is still inside its callback stays alive.
    std::list<std::pair<int, Widget*>>::iterator it = mSafeDeleteList.begin();
    while (it != mSafeDeleteList.end()) {
        if (it->first >= mUpdateAppDepth) {
            Widget* widget = it->second;
            it = mSafeDeleteList.erase(it);
            delete widget;
        } else {
            ++it;
        }
    }
}

void VelmAppBase::BeginPopup() {
    if (!mIsWindowed) mPopupOpen = true;
}

void VelmAppBase::EndPopup() {
    if (!mIsWindowed) mPopupOpen = false;
    mUpdateFTimeAcc = 0;
    mLastTimeCheck = Tick();
    for (bool& down : mWidgetManager->mKeyDown) down = false;
    mCtrlDown = false;
    mAltDown = false;
    if (mWidgetManager->mDownButtons != 0) mWidgetManager->ReleaseCapture();
}

int VelmAppBase::MsgBox(const std::string& text, const std::string& caption, int type) {
    if (mIsScreenSaver) {
        LogScreenSaverError(text);
        return plat::kIdOk;
    }
    BeginPopup();
    const int answer = plat::ShowMessageBox(text, caption, static_cast<unsigned>(type));
    EndPopup();
    return answer;
}

int VelmAppBase::MsgBox(const std::wstring& text, const std::wstring& caption, int type) {
    return MsgBox(WideStringToString(text), WideStringToString(caption), type);
}

void VelmAppBase::Popup(const std::string& text) {
    if (mIsScreenSaver) {
        LogScreenSaverError(text);
        return;
    }
    BeginPopup();
    if (!mShutdown.load())
        plat::ShowMessageBox(text, GetStringWithDefault("FATAL_ERROR", "FATAL ERROR"), plat::kMbIconError);
    EndPopup();
}

void VelmAppBase::Popup(const std::wstring& text) { Popup(WideStringToString(text)); }

}  // namespace Velm
