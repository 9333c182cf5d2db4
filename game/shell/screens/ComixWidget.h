#pragma once

#include <array>
#include <memory>

#include "engine/anim/FadingImage.h"
#include "game/shell/screens/StoryScreenLinks.h"
#include "game/shell/screens/ValueRamp.h"
#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {

class GameApp;
class Image;
class UiDescription_t;
class Widget;

// The comic that opens a new adventure ("UI/comix.txt", shown by switch 27 from the main
// menu): two comic pictures fade in one after the other, then a full-screen picture appears
// small at the point "Screen" and zooms to fill the screen, and the screen fades to black and
// leaves for the adventure map (switch 28). "Skip" (button 1) jumps to the fade to black.
// Time is update ticks of 10 ms. Built once by the loading thread; pictures exist only while
// the screen is shown. Main thread otherwise.
class ComixWidget : public BaseDialogWidget {
public:
    static constexpr const char* kUiFile = "UI/comix.txt";
    static constexpr int kSkipButton = 1;
    enum Step { kFirstPicture, kSecondPicture, kFinalFadeIn, kZoomSetUp, kZooming, kFadeToBlack, kSwitchedAway };

    explicit ComixWidget(GameApp* app);
    ComixWidget(const StoryScreenLinks& links, const std::string& uiFile);
    ~ComixWidget() override;

    void Update() override;
    void Draw(Graphics* g) override;
    using BaseDialogWidget::MouseDown;
    void MouseDown(int x, int y, int signedClickCount) override;
    void OnShown() override;
    void OnHidden() override;
    void ButtonDepress(int id) override;

    int GetStep() const { return step; }
    float GetBlackAlpha() const { return blackAlpha; }
    const ValueRamp& GetZoom() const { return zoom; }
    const ValueRamp& GetPosX() const { return posX; }
    const ValueRamp& GetPosY() const { return posY; }
    const ValueRamp& GetFinalAlpha() const { return finalAlpha; }
    Widget* GetSkipButton() const { return skipButton; }

private:
    void GoTo(int nextStep);

    StoryScreenLinks links;
    std::array<FadingImage_t, 5> pictures;
    float blackAlpha = 0.0f;
    int step = kFirstPicture;
    std::unique_ptr<UiDescription_t> description;
    Widget* skipButton = nullptr;
    std::unique_ptr<Image> finalImage;
    int screenX = 0;
    int screenY = 0;
    float zoomStart = 0.54f;
    ValueRamp finalAlpha;
    ValueRamp zoom;
    ValueRamp posX;
    ValueRamp posY;
    int ticks = 0;
};

}  // namespace Velm
