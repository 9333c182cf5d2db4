#include "game/shell/ui/PauseDialog.h"

namespace Velm {

namespace {
constexpr int kKeySpace = 32;
constexpr int kResumed = 1;
}  // namespace

PauseDialog::PauseDialog(const std::string& fileName) : FlyWidget_t(fileName, 0, true) {}

void PauseDialog::KeyUp(int key) {
    if (key == kKeySpace) {
        FlyOut(kResumed);
    } else {
        FlyWidget_t::KeyUp(key);
    }
}

void PauseDialog::MouseUp(int x, int y, int signedClickCount) {
    (void)x;
    (void)y;
    (void)signedClickCount;
    FlyOut(kResumed);
}

void PauseDialog::ButtonDepress(int id) {
    (void)id;
    FlyOut(kResumed);
}

}  // namespace Velm
