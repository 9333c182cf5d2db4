#pragma once

// Flag bits that the widget walks (update, draw, hit test) consult, the
// per-node modifiers applied to them, and the cursor numbers widgets ask the
// application for.

namespace Velm {

// Bit set held in an int.
enum WidgetFlags {
    WIDGETFLAGS_UPDATE = 0x01,       // UpdateAll calls Update, UpdateFAll calls UpdateF
    WIDGETFLAGS_MARK_DIRTY = 0x02,   // UpdateAll marks the widget dirty every tick
    WIDGETFLAGS_DRAW = 0x04,         // DrawAll calls Draw
    WIDGETFLAGS_CLIP = 0x08,         // DrawAll clips to the widget's rectangle
    WIDGETFLAGS_ALLOW_MOUSE = 0x10,  // the hit test may return the widget
    WIDGETFLAGS_ALLOW_FOCUS = 0x20,  // the widget may keep the keyboard focus
    WIDGETFLAGS_DEFAULT = 0x3D       // everything but MarkDirty
};

// Applied as flags := (flags | addFlags) & ~removeFlags: removal wins.
struct FlagsMod {
    int addFlags = 0;
    int removeFlags = 0;
};

inline int GetModFlags(int flags, const FlagsMod& mod) { return (flags | mod.addFlags) & ~mod.removeFlags; }

// The flags in force during a walk: overFlags from the base modal widget on
// (isOver), underFlags for everything behind it.
struct ModalFlags {
    int overFlags = 0;
    int underFlags = 0;
    bool isOver = false;

    int GetFlags() const { return isOver ? overFlags : underFlags; }
    void ModFlags(const FlagsMod& mod) {
        overFlags = GetModFlags(overFlags, mod);
        underFlags = GetModFlags(underFlags, mod);
    }
};

// Saves both flag sets on entry to a node and writes them back on exit, also
// when a hook throws.
class ModalFlagsGuard {
public:
    explicit ModalFlagsGuard(ModalFlags* flags) : mFlags(flags), mOver(flags->overFlags), mUnder(flags->underFlags) {}
    ~ModalFlagsGuard() {
        mFlags->overFlags = mOver;
        mFlags->underFlags = mUnder;
    }
    ModalFlagsGuard(const ModalFlagsGuard&) = delete;
    ModalFlagsGuard& operator=(const ModalFlagsGuard&) = delete;

private:
    ModalFlags* mFlags;
    int mOver;
    int mUnder;
};

// Cursor numbers passed to WidgetApp::SetCursor.
enum CursorNum {
    CURSOR_POINTER = 0,
    CURSOR_HAND = 1,
    CURSOR_DRAGGING = 2,
    CURSOR_TEXT = 3,
    CURSOR_NO = 4,
    CURSOR_SIZEALL = 5,
    CURSOR_SIZENESW = 6,
    CURSOR_SIZENS = 7,
    CURSOR_SIZENWSE = 8,
    CURSOR_SIZEWE = 9,
    CURSOR_WAIT = 10,
    CURSOR_NONE = 11,
    CURSOR_CUSTOM = 12
};

}  // namespace Velm
