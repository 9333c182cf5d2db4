#pragma once

// The table of the developer keys (VelmAppBase::DebugKeyDown): which action a key down
// starts with the modifiers held, and whether the key is used up there or also reaches the
// widget manager. Keys are virtual-key codes.

namespace Velm {

enum class DebugKeyAction {
    None,
    ReparseModValues,  // Alt+R
    ToggleProfiler,    // F2
    StepOverlayMode,   // Shift+F3: overlay on, frames per second <-> pointer position
    ToggleOverlay,     // F3
    Toggle3D,          // Shift+F8
    ShowVideoStats,    // F8
    ToggleSlowMotion,  // Ctrl+F10: speed 0.25 <-> 1.0
    RunSteps,          // Shift+F10: leave single-step mode
    SingleStep,        // F10: one update, then hold
    DumpImageList,     // Shift+F11
    TakeScreenshot,    // F11
};

struct DebugKeyEntry {
    DebugKeyAction action;
    bool usedUp;  // true: the key goes no further
};

DebugKeyEntry LookupDebugKey(int key, bool shift, bool ctrl, bool alt);

}  // namespace Velm
