#include "game/shell/screens/ComixWidget.h"

#include "game/shell/GameIds.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

namespace {
const char* const kPictureFiles[] = {"images/comix/back1", "images/loc/comix1", "images/loc/comix2",
                                     "images/comix/back2", "images/loc/comix3"};
constexpr int kFinalWidth = 1024;
constexpr int kFinalHeight = 768;
constexpr float kFadeStep = 2.55f;
constexpr int kZoomTicks = 150;
// The two pictures the comic shows, of the five it loads.
constexpr size_t kFirstShown = 3;
constexpr size_t kSecondShown = 4;

// A ramp at rest at value.
void Rest(ValueRamp& ramp, float value) {
    ramp.value = value;
    ramp.target = value;
    ramp.step = 0.0f;
    ramp.reached = true;
}
}  // namespace

ComixWidget::ComixWidget(GameApp* app) : ComixWidget(StoryScreenLinks::LinksOf(app), kUiFile) {}

ComixWidget::ComixWidget(const StoryScreenLinks& screenLinks, const std::string& uiFile)
        : BaseDialogWidget(1, false), links(screenLinks) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>(uiFile, this);
    skipButton = description->FindWidget("Skip");
}

ComixWidget::~ComixWidget() {
    for (FadingImage_t& picture : pictures) picture.ReleaseImage();
    description.reset();
}

void ComixWidget::OnShown() {
    ticks = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        FadingImage_t& picture = pictures[i];
        picture.SetImage(kPictureFiles[i]);
        const Point* at = description->FindPoint("Comix" + std::to_string(i + 1));
        picture.x = static_cast<float>(at != nullptr ? at->x : 0);
        picture.y = static_cast<float>(at != nullptr ? at->y : 0);
        picture.centred = false;
        picture.alpha = 0.0f;
        picture.targetAlpha = 255.0f;
        picture.step = kFadeStep;
    }
    finalImage.reset(links.loadImage ? links.loadImage("images/comix/image") : nullptr);
    const Point* screen = description->FindPoint("Screen");
    screenX = screen != nullptr ? screen->x : 0;
    screenY = screen != nullptr ? screen->y : 0;
    Rest(posX, static_cast<float>(screenX));
    Rest(posY, static_cast<float>(screenY));
    zoomStart = 0.54f;
    Rest(zoom, zoomStart);
    Rest(finalAlpha, 0.0f);
    ticks = 0;
    step = kFirstPicture;
    blackAlpha = 0.0f;
    if (skipButton != nullptr) skipButton->SetVisible(true);
}

void ComixWidget::OnHidden() {
    for (FadingImage_t& picture : pictures) picture.ReleaseImage();
    finalImage.reset();
}

void ComixWidget::GoTo(int nextStep) {
    step = nextStep;
    ticks = 0;
}

void ComixWidget::Update() {
    BaseDialogWidget::Update();
    switch (step) {
        case kFirstPicture:
        case kSecondPicture: {
            const bool first = step == kFirstPicture;
            if (pictures[first ? kFirstShown : kSecondShown].Update() && ++ticks >= (first ? 100 : 200)) {
                finalAlpha.Start(0.0f, 255.0f, kFadeStep);
                GoTo(first ? kSecondPicture : kFinalFadeIn);
            }
            break;
        }
        case kFinalFadeIn:
            if (finalAlpha.Step() && ++ticks >= 100) GoTo(kZoomSetUp);
            break;
        case kZoomSetUp: {
            const float perTick = 1.0f / static_cast<float>(kZoomTicks);
            zoom.Start(zoomStart, 1.0f, (1.0f - zoomStart) * perTick);
            posX.Start(static_cast<float>(screenX), 0.0f, -static_cast<float>(screenX) * perTick);
            posY.Start(static_cast<float>(screenY), 0.0f, -static_cast<float>(screenY) * perTick);
            GoTo(kZooming);
            break;
        }
        case kZooming:
            posX.Step();
            posY.Step();
            if (zoom.Step() && ++ticks >= 100) GoTo(kFadeToBlack);
            break;
        case kFadeToBlack:
            blackAlpha += 2.0f;
            if (blackAlpha > 255.0f) {
                blackAlpha = 255.0f;
                step = kSwitchedAway;
                links.SwitchScreen(ScreenSwitch::kComixToMap);
            }
            break;
        default: break;
    }
}

void ComixWidget::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0, 255));
    g->FillRect(0, 0, mWidth, mHeight);
    pictures[kFirstShown].Draw(g, 255.0f);
    if (step == kFirstPicture) return;
    pictures[kSecondShown].Draw(g, 255.0f);
    if (step >= kFinalFadeIn && finalImage) {
        g->PushState();
        g->SetTintImages(true);
        g->SetColor(Color(255, 255, 255, static_cast<int>(finalAlpha.value)));
        const Rect dest(static_cast<int>(posX.value), static_cast<int>(posY.value),
                        static_cast<int>(zoom.value * kFinalWidth), static_cast<int>(zoom.value * kFinalHeight));
        g->DrawImage(finalImage.get(), dest, Rect(0, 0, kFinalWidth, kFinalHeight));
        g->PopState();
    }
    if (step >= kFadeToBlack) {
        g->SetColor(Color(0, 0, 0, static_cast<int>(blackAlpha)));
        g->FillRect(0, 0, links.width, links.height);
    }
}

void ComixWidget::MouseDown(int x, int y, int signedClickCount) {
    (void)x;
    (void)y;
    (void)signedClickCount;
}

void ComixWidget::ButtonDepress(int id) {
    if (id != kSkipButton || step >= kFadeToBlack) return;
    if (skipButton != nullptr) skipButton->SetVisible(false);
    blackAlpha = 0.0f;
    GoTo(kFadeToBlack);
}

}  // namespace Velm
