#pragma once

#include "widgets/WidgetApp.h"

namespace Velm {

class VelmAppBase;

// What the widget toolkit asks of the application, answered by the
// application object. Owned by the application; main thread only.
class AppWidgetBridge : public WidgetApp {
public:
    explicit AppWidgetBridge(VelmAppBase* app) : mApp(app) {}

    void SetCursor(int cursorNum) override;
    void CopyToClipboard(const std::string& text) override;
    std::string GetClipboardText() override;
    bool Is3DAccelerated() override;
    bool IsTabletPC() override;
    int GetWidth() override;
    int GetHeight() override;
    bool UpdateAppStep() override;
    void KillDialog(int dialogId) override;
    void SafeDeleteWidget(Widget* widget) override;
    DialogListener* GetDialogListener() override;
    Font* CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                        bool underline) override;

private:
    VelmAppBase* mApp;
};

}  // namespace Velm
