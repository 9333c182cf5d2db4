#pragma once

#include <memory>

#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {

class GameApp;
class Image;
class UiDescription_t;
class Widget;
struct Point;

// The screen shown while the loading thread runs: "ui/title.txt" with a
// progress picture (IMAGE_TITLE_PROGRESS) that fills from the bottom up as the
// loading tasks are done. When the application reports the end of loading
// (OnLoadingDone) it releases the title pictures and switches to the main menu
// (code 13) by itself. Main thread.
class TitleScreen : public BaseDialogWidget {
public:
    explicit TitleScreen(GameApp* app);
    ~TitleScreen() override;

    void Update() override;
    void Draw(Graphics* g) override;
    using BaseDialogWidget::MouseDown;
    void MouseDown(int x, int y, int signedClickCount) override;
    void MouseDrag(int x, int y) override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;

    // Called by the application when the loading thread has finished.
    void OnLoadingDone();

    // The rows of a progress picture of that height shown at progress 0..1
    // (truncated toward zero, never outside 0 .. height).
    static int VisibleProgressRows(double progress, int height);

    GameApp* app;
    Widget* continueWidget = nullptr;
    std::unique_ptr<UiDescription_t> description;
    bool loaded = false;
    Point* slider = nullptr;
};

}  // namespace Velm
