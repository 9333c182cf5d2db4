#include "game/shell/screens/LogosScreen.h"

#include "game/shell/TextTable.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UiHost.h"
#include "graphics/Graphics.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {
constexpr float kFadeStep = 2.55f;
}

LogosScreen::LogosScreen(GameApp* app) : BaseDialogWidget(1, false), mApp(app) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    splashes = BuildSplashList([](const std::string& path) { return GetUiHost().FileExists(path); });
    description = std::make_unique<UiDescription_t>("UI/logos.txt", this);
}

LogosScreen::~LogosScreen() {
    picture.ReleaseImage();
    description.reset();
}

std::vector<LogosScreen::SplashEntry> LogosScreen::BuildSplashList(
        const std::function<bool(const std::string&)>& fileExists) {
    std::vector<SplashEntry> list;
    for (int n = 1;; ++n) {
        std::string name = FormatString("branding/splash%d.jpg", n);
        if (!fileExists(name)) {
            name = FormatString("branding/splash%d.png", n);
            if (!fileExists(name)) {
                return list;
            }
        }
        list.push_back(SplashEntry{name, kDisplayTicks});
    }
}

void LogosScreen::NextSplash() {
    current += 1;
    if (current >= static_cast<int>(splashes.size())) {
        picture.ReleaseImage();
        if (!finished) {
            finished = true;
            if (mApp != nullptr) {
                mApp->OnLogosFinished();
            }
        }
        return;
    }
    picture.SetImage(splashes[static_cast<size_t>(current)].fileName);
    const int width = mApp != nullptr ? mApp->GetWidth() : mWidth;
    const int height = mApp != nullptr ? mApp->GetHeight() : mHeight;
    picture.centred = true;
    picture.x = static_cast<float>(width / 2);
    picture.y = static_cast<float>(height / 2);
    picture.alpha = 0;
    picture.targetAlpha = 255;
    picture.step = kFadeStep;
    phase = kFadingIn;
    ticks = 0;
}

void LogosScreen::StartFadeOut(float step) {
    picture.alpha = 255;
    picture.targetAlpha = 0;
    picture.step = step;
    phase = kFadingOut;
}

void LogosScreen::Update() {
    if (finished) {
        return;
    }
    if (phase == kNotStarted) {
        NextSplash();
        if (finished) {
            return;
        }
    }
    picture.Update();
    if (picture.alpha == picture.targetAlpha) {
        if (phase == kFadingIn) {
            phase = kStanding;
            ticks = 0;
        } else if (phase == kFadingOut) {
            phase = kGap;
            ticks = 0;
        }
    }
    if (phase == kStanding) {
        ticks += 1;
        if (current >= 0 && current < static_cast<int>(splashes.size()) &&
            ticks == splashes[static_cast<size_t>(current)].displayTicks) {
            StartFadeOut(-kFadeStep);
        }
    } else if (phase == kGap) {
        ticks += 1;
        if (ticks >= kGapTicks || current == static_cast<int>(splashes.size()) - 1) {
            NextSplash();
        }
    }
}

void LogosScreen::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0, 255));
    const int width = mApp != nullptr ? mApp->GetWidth() : mWidth;
    const int height = mApp != nullptr ? mApp->GetHeight() : mHeight;
    g->FillRect(0, 0, width, height);
    picture.Draw(g, 255.0f);
}

void LogosScreen::MouseDown(int x, int y, int signedClickCount) {
    (void)x;
    (void)y;
    (void)signedClickCount;
    if (phase == kFadingOut || finished) {
        return;
    }
    StartFadeOut(-2.0f * kFadeStep);
    current = static_cast<int>(splashes.size());
}

void LogosScreen::ButtonDepress(int id) {
    if (id == kSponsorLinkId && mApp != nullptr) {
        mApp->OpenURL(TextTable_t::Instance()->Lookup("SponsorLink"), false);
    }
}

}  // namespace Velm
