#include "widgets/ScrollbuttonWidget.h"

#include "widgets/WidgetGraphics.h"

namespace Velm {

ScrollbuttonWidget::ScrollbuttonWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}

void ScrollbuttonWidget::Draw(Graphics* g) {
    g->SetColor(Color(212, 212, 212));
    g->FillRect(0, 0, mWidth, mHeight);
    int offset;
    if (IsButtonDown()) {
        g->SetColor(Color(132, 132, 132));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
        offset = 1;
    } else {
        g->SetColor(Color(255, 255, 255));
        g->FillRect(1, 1, mWidth - 2, 1);
        g->FillRect(1, 1, 1, mHeight - 2);
        g->SetColor(Color(0, 0, 0));
        g->FillRect(0, mHeight - 1, mWidth, 1);
        g->FillRect(mWidth - 1, 0, 1, mHeight);
        g->SetColor(Color(132, 132, 132));
        g->FillRect(1, mHeight - 2, mWidth - 2, 1);
        g->FillRect(mWidth - 2, 1, 1, mHeight - 2);
        offset = 0;
    }

    g->SetColor(mDisabled ? Color(132, 132, 132) : Color(0, 0, 0));
    if (mHorizontal || mType == ARROW_LEFT || mType == ARROW_RIGHT) {
        const bool right = mId != 0 && mType != ARROW_LEFT;
        for (int i = 0; i < 4; i++) {
            int x = right ? (mWidth - 4) / 2 + offset - i + 3 : (mWidth - 4) / 2 + offset + i;
            g->FillRect(x, mHeight / 2 - i - (1 - offset), 1, 2 * i + 1);
        }
    } else {
        const bool down = mId != 0 && mType != ARROW_UP;
        for (int i = 0; i < 4; i++) {
            int y = down ? (mHeight - 4) / 2 + offset - i + 3 : (mHeight - 4) / 2 + offset + i;
            g->FillRect(mWidth / 2 - i - (1 - offset), y, 2 * i + 1, 1);
        }
    }
}

}  // namespace Velm
