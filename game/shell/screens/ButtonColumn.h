#pragma once

#include <vector>

namespace Velm {
class Widget;
}

// Spaces a list of buttons inside a rectangle of the screen: the main menu's six
// buttons and the game menu's five. The widgets are not owned; Arrange only moves
// them (their sizes stay). Main thread only.
class ButtonColumn {
public:
    ButtonColumn() = default;
    ButtonColumn(int areaX, int areaY, int areaWidth, int areaHeight)
            : x(areaX), y(areaY), width(areaWidth), height(areaHeight) {}

    void Add(Velm::Widget* widget) { widgets.push_back(widget); }

    // vertical: the widgets are stacked from the top in the order added with
    // equal gaps, gap = (height - sum of heights) / n truncated toward zero,
    // where n counts one more gap above the first widget unless noLeadingGap.
    // horizontal: each widget is centred in the width (centred), or all start
    // at x + (width - sum of widths) / (count + 1) (not centred).
    void Arrange(bool vertical, bool horizontal, bool noLeadingGap, bool centred);

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<Velm::Widget*> widgets;
};
