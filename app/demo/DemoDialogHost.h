#pragma once

namespace Velm {

class Dialog;
class WidgetManager;

// What the demo playback dialogs need of the application: its popup state, its screen
// size, its widget tree and its dialog registry. The application registers one with
// SetDemoDialogHost for as long as it exists. Main thread only.
class DemoDialogHost {
public:
    virtual ~DemoDialogHost() = default;

    // Around a system button box, which holds the input while it is open.
    virtual void BeginPopup() = 0;
    virtual void EndPopup() = 0;
    virtual bool IsPopupOpen() = 0;
    virtual bool HasMainWindow() = 0;
    // Null before the widget tree exists.
    virtual WidgetManager* GetWidgetManager() = 0;
    // The logical screen size in pixels.
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    // The registry owns the dialog from AddDialog on and deletes it after KillDialog.
    virtual void AddDialog(int id, Dialog* dialog) = 0;
    virtual void KillDialog(int id) = 0;
};

// The host of the process's application; null while none exists. The object set is not
// owned.
DemoDialogHost* GetDemoDialogHost();
void SetDemoDialogHost(DemoDialogHost* host);

}  // namespace Velm
