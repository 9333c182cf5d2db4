#pragma once

#include "widgets/ButtonWidget.h"

namespace Velm {

// A button drawn by boxing one component image (nine-part, tiled) over its
// rectangle; the buttons of Dialog. The pressed look moves by the press
// offset.
class DialogButton : public ButtonWidget {
public:
    DialogButton(Image* componentImage, int id, ButtonListener* listener);

    void Draw(Graphics* g) override;

    Image* mComponentImage;
    int mTranslateX = 1;
    int mTranslateY = 1;
    int mTextOffsetX = 0;
    int mTextOffsetY = 0;
};

}  // namespace Velm
