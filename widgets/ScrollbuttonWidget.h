#pragma once

#include "widgets/ButtonWidget.h"

namespace Velm {

// The bevelled arrow buttons at the ends of a ScrollbarWidget. Id 0 points
// up (or left), id 1 down (or right), unless an arrow direction is set.
class ScrollbuttonWidget : public ButtonWidget {
public:
    enum ArrowDirection { ARROW_BY_ID = 0, ARROW_UP = 1, ARROW_DOWN = 2, ARROW_LEFT = 3, ARROW_RIGHT = 4 };

    ScrollbuttonWidget(int id, ButtonListener* listener);

    void Draw(Graphics* g) override;

    bool mHorizontal = false;
    int mType = ARROW_BY_ID;
};

}  // namespace Velm
