#pragma once

#include <string>

#include "game/shell/ui/FlyWidget.h"

namespace Velm {

// The play screen's pause window: the space bar, a mouse release anywhere on it or a click on
// any of its buttons flies it out with result 1.
class PauseDialog : public FlyWidget_t {
public:
    explicit PauseDialog(const std::string& fileName);

    using FlyWidget_t::MouseUp;
    void KeyUp(int key) override;
    void MouseUp(int x, int y, int signedClickCount) override;
    void ButtonDepress(int id) override;
};

}  // namespace Velm
