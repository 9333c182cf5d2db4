#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/anim/FadingImage.h"
#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {

class GameApp;
class UiDescription_t;

// The first screen of a run: the splash pictures "branding/splash1.jpg" (or
// ".png"), "branding/splash2...", one after another on black, each fading in
// over 100 updates, standing 200, fading out over 100, then a gap of 50 (none
// after the last). A click ends the sequence after a quick fade-out. At the end
// it tells the application (GameApp::OnLogosFinished), which goes on with the
// start-up. Built and run on the main thread before anything else is loaded.
class LogosScreen : public BaseDialogWidget {
public:
    enum Phase { kFadingIn = 0, kStanding = 1, kFadingOut = 2, kGap = 3, kNotStarted = 4 };
    static constexpr int kDisplayTicks = 200;
    static constexpr int kGapTicks = 50;
    static constexpr int kSponsorLinkId = 777;

    struct SplashEntry {
        std::string fileName;
        int displayTicks = kDisplayTicks;
    };

    // app may be null (tests): the end of the sequence then only sets finished.
    explicit LogosScreen(GameApp* app);
    ~LogosScreen() override;

    // "branding/splash%d.jpg", else ".png", for n = 1, 2, ... up to the first n
    // with neither file.
    static std::vector<SplashEntry> BuildSplashList(const std::function<bool(const std::string&)>& fileExists);

    void Update() override;
    void Draw(Graphics* g) override;
    using BaseDialogWidget::MouseDown;
    void MouseDown(int x, int y, int signedClickCount) override;
    void ButtonDepress(int id) override;

    int ticks = 0;
    int phase = kNotStarted;
    int current = -1;
    std::vector<SplashEntry> splashes;
    FadingImage_t picture;
    std::unique_ptr<UiDescription_t> description;
    bool finished = false;

private:
    void NextSplash();
    void StartFadeOut(float step);

    GameApp* mApp;
};

}  // namespace Velm
