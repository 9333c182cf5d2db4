#pragma once

#include <string>

namespace Velm {

class DialogListener;
class Font;
class Widget;

// What the widget toolkit needs of the application object: cursors, the
// clipboard, a few application flags, the dialog registry, deferred deletion
// and stepping the main loop. The application implements it; tests fake it.
// Widgets reach it through their manager (WidgetManager::GetApp) or, when
// they are not in a tree yet, through the process-wide pointer below.
// Main thread only.
class WidgetApp {
public:
    virtual ~WidgetApp() = default;

    // CursorNum values (WidgetFlags.h).
    virtual void SetCursor(int cursorNum) = 0;
    virtual void CopyToClipboard(const std::string& text) = 0;
    virtual std::string GetClipboardText() = 0;

    // Drawing goes through the 3D device (selects filtering in DrawScreen).
    virtual bool Is3DAccelerated() { return false; }
    // Characters 128 .. 255 may be typed into edit fields.
    virtual bool Allows8BitChars() { return true; }
    // On a pen tablet a focused edit field shows the system caret so that the
    // input panel can follow it; positions are in logical screen pixels.
    virtual bool IsTabletPC() { return false; }
    virtual void ShowSystemCaret(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual void MoveSystemCaret(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual void HideSystemCaret() {}
    // Logical screen size (1024 x 768 for the game).
    virtual int GetWidth() { return 0; }
    virtual int GetHeight() { return 0; }

    // Runs one step of the main loop (input, updates, drawing); false once the
    // application shuts down. Dialog::WaitForResult loops on it.
    virtual bool UpdateAppStep() = 0;
    // Removes the registered dialog with this id from the tree and deletes it
    // after the current loop step.
    virtual void KillDialog(int dialogId) = 0;
    // Deletes the widget after the step of the loop level that queued it.
    virtual void SafeDeleteWidget(Widget* widget) = 0;
    // The listener new dialogs report to (the application object), or null.
    virtual DialogListener* GetDialogListener() { return nullptr; }

    // Creates a system font (face, size in points, character set code, style),
    // owned by the caller; null when system fonts are not available. Widgets
    // use it for their default fonts.
    virtual Font* CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                                bool underline) {
        (void)face;
        (void)pointSize;
        (void)charSet;
        (void)bold;
        (void)italic;
        (void)underline;
        return nullptr;
    }

    // The process-wide application, null when there is none.
    static WidgetApp* Get();
    static void Set(WidgetApp* app);
};

}  // namespace Velm
