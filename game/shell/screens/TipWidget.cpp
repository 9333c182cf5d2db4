#include "game/shell/screens/TipWidget.h"

#include "app/VelmAppBase.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/DialogListener.h"

namespace Velm {

namespace {

// The logical screen of the application, or the game's size without one (tests).
void ScreenSize(int& width, int& height) {
    VelmAppBase* app = VelmAppBase::GetApp();
    width = app != nullptr ? app->GetWidth() : 1024;
    height = app != nullptr ? app->GetHeight() : 768;
}

}  // namespace

TipPlacement PlaceTipWithArrow(int x, int y, int screenWidth, int screenHeight, int tipWidth, int tipHeight,
                               int arrowWidth, int arrowHeight, int arrowOffset) {
    TipPlacement p;
    const bool right = screenWidth - x < x;
    const bool lower = screenHeight - y < y;
    if (right) {
        p.arrowX = tipWidth - arrowOffset - arrowWidth;
        p.tipX = x + arrowOffset - tipWidth;
        p.mirrorX = true;
    } else {
        p.arrowX = arrowOffset;
        p.tipX = x - arrowOffset;
    }
    if (lower) {
        p.arrowY = tipHeight - 25;
        p.tipY = y - (arrowHeight + tipHeight);
    } else {
        p.arrowY = -23;
        p.tipY = y + arrowHeight;
        p.mirrorY = true;
    }
    return p;
}

TipWidget::TipWidget(const std::string& text)
        : Dialog(IMAGE_TIP, nullptr, kDialogId, false, "", text, "", BUTTONS_NONE) {
    fixedSize = true;
    mContentInsets = Insets{69, 54, 77, 57};
    Construct();
    Resize(0, 0, kFixedWidth, kFixedHeight);
}

TipWidget::TipWidget(const std::string& text, int width, int height)
        : Dialog(IMAGE_TIP, nullptr, kDialogId, false, "", text, "", BUTTONS_NONE) {
    mContentInsets = Insets{0, 0, 0, 0};
    Construct();
    Resize(0, 0, width, height);
}

void TipWidget::Construct() {
    SetHeaderFont(FONT_DEFAULT);
    SetLinesFont(FONT_DEFAULT);
    SetButtonFont(FONT_DEFAULT);
    description = std::make_unique<UiDescription_t>(kUiFile, this);
    okButton = description->FindWidget("Ok");
    if (Point* colour = description->FindPoint("TextColor")) SetColor(COLOR_LINES, Color(colour->x));
}

TipWidget::~TipWidget() { description.reset(); }

void TipWidget::Resize(int x, int y, int width, int height) {
    if (!fixedSize) {
        Dialog::Resize(x, y, width, height);
        return;
    }
    Dialog::Resize(x, y, kFixedWidth, kFixedHeight);
    if (okButton != nullptr) {
        okButton->Move((kFixedWidth - okButton->mWidth) / 2,
                       kFixedHeight - okButton->mHeight - mContentInsets.mBottom - mBackgroundInsets.mBottom + 7);
    }
}

void TipWidget::Move(int x, int y) { Resize(x, y, mWidth, mHeight); }

void TipWidget::Update() {
    Dialog::Update();
    ++age;
}

void TipWidget::Draw(Graphics* g) {
    Dialog::Draw(g);
    if (!showArrow || IMAGE_TIP_ARROW == nullptr) return;
    int width = 0;
    int height = 0;
    ScreenSize(width, height);
    g->PushState();
    // The arrow reaches outside the tip's own rectangle.
    g->SetClipRect(-mX, -mY, width, height);
    g->DrawImageMatrix(IMAGE_TIP_ARROW, arrowMatrix, 0.0f, 0.0f);
    g->PopState();
}

void TipWidget::ButtonDepress(int id) {
    if (id == -1) return;
    mResult = id;
    if (mDialogListener != nullptr) mDialogListener->DialogButtonDepress(kDialogId, id);
}

void TipWidget::PlaceAt(int x, int y) {
    if (showArrow) {
        int width = 0;
        int height = 0;
        ScreenSize(width, height);
        const int arrowWidth = IMAGE_TIP_ARROW != nullptr ? IMAGE_TIP_ARROW->GetWidth() : 0;
        const int arrowHeight = IMAGE_TIP_ARROW != nullptr ? IMAGE_TIP_ARROW->GetHeight() : 0;
        const TipPlacement p =
                PlaceTipWithArrow(x, y, width, height, mWidth, mHeight, arrowWidth, arrowHeight, arrowOffset);
        arrowX = p.arrowX;
        arrowY = p.arrowY;
        // The picture is drawn centred on the matrix's point, so its box starts at the arrow
        // position; a mirrored axis has the scale -1.
        arrowMatrix.LoadIdentity();
        arrowMatrix.m[0][0] = p.mirrorX ? -1.0f : 1.0f;
        arrowMatrix.m[1][1] = p.mirrorY ? -1.0f : 1.0f;
        arrowMatrix.m[0][2] = static_cast<float>(arrowX + arrowWidth / 2);
        arrowMatrix.m[1][2] = static_cast<float>(arrowY + arrowHeight / 2);
        Move(p.tipX, p.tipY);
    } else {
        Move(x, y);
    }
    if (playSound) PlayUiSound("tipwindow");
}

}  // namespace Velm
