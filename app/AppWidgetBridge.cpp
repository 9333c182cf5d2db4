#include "app/AppWidgetBridge.h"

#include "app/VelmAppBase.h"
#include "graphics/FontHost.h"
#include "graphics/SysFont.h"

namespace Velm {

void AppWidgetBridge::SetCursor(int cursorNum) {
    mApp->mCursorNum = cursorNum;
    mApp->EnforceCursor();
}

void AppWidgetBridge::CopyToClipboard(const std::string& text) { mApp->CopyToClipboard(text); }

std::string AppWidgetBridge::GetClipboardText() { return mApp->GetClipboardText(); }

bool AppWidgetBridge::Is3DAccelerated() { return mApp->Is3DAccelerated(); }

bool AppWidgetBridge::IsTabletPC() { return mApp->mTabletPC; }

int AppWidgetBridge::GetWidth() { return mApp->GetWidth(); }

int AppWidgetBridge::GetHeight() { return mApp->GetHeight(); }

bool AppWidgetBridge::UpdateAppStep() { return mApp->UpdateAppStep(nullptr); }

void AppWidgetBridge::KillDialog(int dialogId) { mApp->KillDialog(dialogId); }

void AppWidgetBridge::SafeDeleteWidget(Widget* widget) { mApp->SafeDeleteWidget(widget); }

DialogListener* AppWidgetBridge::GetDialogListener() { return mApp; }

Font* AppWidgetBridge::CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                                     bool underline) {
    return new SysFont(GetFontHost(), face, pointSize, charSet, bold, italic, underline);
}

}  // namespace Velm
