#include "game/shell/screens/ButtonColumn.h"

#include "widgets/Widget.h"

void ButtonColumn::Arrange(bool vertical, bool horizontal, bool noLeadingGap, bool centred) {
    if (widgets.empty()) {
        return;
    }
    const int count = static_cast<int>(widgets.size());
    if (vertical) {
        int sum = 0;
        for (Velm::Widget* w : widgets) {
            sum += w->mHeight;
        }
        const int gaps = noLeadingGap ? count : count + 1;
        const int gap = (height - sum) / gaps;
        int at = noLeadingGap ? y : y + gap;
        for (Velm::Widget* w : widgets) {
            w->Move(w->mX, at);
            at += w->mHeight + gap;
        }
    }
    if (horizontal) {
        int left = x;
        if (!centred) {
            int sum = 0;
            for (Velm::Widget* w : widgets) {
                sum += w->mWidth;
            }
            left = x + (width - sum) / (count + 1);
        }
        for (Velm::Widget* w : widgets) {
            w->Move(left + (width - w->mWidth) / 2, w->mY);
        }
    }
}
