#pragma once

#include <memory>
#include <string>

#include "game/shell/GameIds.h"
#include "graphics/Matrix3.h"
#include "widgets/Dialog.h"

namespace Velm {

class UiDescription_t;
class Widget;

// Where a tip with an arrow goes when it points at (x, y): the tip's top-left corner, the
// arrow picture's top-left corner inside the tip, and whether the arrow is mirrored. The tip
// opens toward the middle of the screen: above the point on the lower half, below it on the
// upper half; to the left of it on the right half, to the right of it on the left half.
struct TipPlacement {
    int tipX = 0;
    int tipY = 0;
    int arrowX = 0;
    int arrowY = 0;
    bool mirrorX = false;
    bool mirrorY = false;
};

// Sizes in pixels: the screen, the tip, the arrow picture; arrowOffset is the arrow's
// distance from the tip's side edge.
TipPlacement PlaceTipWithArrow(int x, int y, int screenWidth, int screenHeight, int tipWidth, int tipHeight,
                               int arrowWidth, int arrowHeight, int arrowOffset);

// A balloon: a framework dialog drawn with the frame IMAGE_TIP, its text as the body, the
// "Ok" button of "ui/tip.txt" and optionally an arrow (IMAGE_TIP_ARROW) pointing at a spot on
// the screen. The board shows its tips with it (dialog id 1024, so the application can close
// the open tip); a story (History_t) uses it without text as the balloon behind each of its
// texts. The text is shown as it stands: it never goes through a format call.
//
// age counts updates since creation; the application closes only tips that have been up for
// a while. Main thread only.
class TipWidget : public Dialog {
public:
    static constexpr int kDialogId = BoardDialogId::kTip;
    static constexpr int kFixedWidth = 351;
    static constexpr int kFixedHeight = 243;
    static constexpr const char* kUiFile = "ui/tip.txt";

    // The board's tip: fixed size 351 x 243 with the text inside the balloon's insets.
    explicit TipWidget(const std::string& text);
    // A balloon of the given size without insets.
    TipWidget(const std::string& text, int width, int height);
    ~TipWidget() override;

    void Update() override;
    void Draw(Graphics* g) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Move(int x, int y) override;
    // Any button but -1 sets the result to its id and tells the dialog listener (1024, id).
    void ButtonDepress(int id) override;

    // Puts the tip next to (x, y): with the arrow as PlaceTipWithArrow says, without it with
    // its top-left corner there; then plays "tipwindow" when playSound is set.
    void PlaceAt(int x, int y);

    UiDescription_t* GetDescription() const { return description.get(); }

    std::unique_ptr<UiDescription_t> description;
    Widget* okButton = nullptr;
    int tipId = 0;
    int tipValue = 0;
    int arrowX = 0;
    int arrowY = 0;
    bool showArrow = true;
    int arrowOffset = 80;
    int age = 0;
    bool playSound = true;
    Matrix3 arrowMatrix;
    bool fixedSize = false;

private:
    void Construct();
};

}  // namespace Velm
