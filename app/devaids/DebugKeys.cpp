#include "app/devaids/DebugKeys.h"

namespace Velm {

namespace {
const int kKeyR = 'R';
const int kKeyF2 = 0x71;
const int kKeyF3 = 0x72;
const int kKeyF8 = 0x77;
const int kKeyF10 = 0x79;
const int kKeyF11 = 0x7A;
}  // namespace

DebugKeyEntry LookupDebugKey(int key, bool shift, bool ctrl, bool alt) {
    switch (key) {
        case kKeyR: return {alt ? DebugKeyAction::ReparseModValues : DebugKeyAction::None, false};
        case kKeyF2: return {DebugKeyAction::ToggleProfiler, false};
        case kKeyF3: return {shift ? DebugKeyAction::StepOverlayMode : DebugKeyAction::ToggleOverlay, false};
        case kKeyF8: return {shift ? DebugKeyAction::Toggle3D : DebugKeyAction::ShowVideoStats, true};
        case kKeyF10:
            if (ctrl) return {DebugKeyAction::ToggleSlowMotion, true};
            return {shift ? DebugKeyAction::RunSteps : DebugKeyAction::SingleStep, true};
        case kKeyF11: return {shift ? DebugKeyAction::DumpImageList : DebugKeyAction::TakeScreenshot, true};
        default: return {DebugKeyAction::None, false};
    }
}

}  // namespace Velm
