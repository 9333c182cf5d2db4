// The developer keys of the application object and the diagnostic overlays DrawFrame shows in
// the lower right corner of the screen: frames per second or the pointer position, and the
// remaining demo time during playback.

#include <memory>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "app/devaids/DebugKeys.h"
#include "app/devaids/FrameRateCounter.h"
#include "app/devaids/Profiler.h"
#include "graphics/Color.h"
#include "graphics/DDImage.h"
#include "graphics/Graphics.h"
#include "graphics/SysFont.h"
#include "platform/WindowMessages.h"
#include "resources/base/StringUtils.h"
#include "widgets/WidgetManager.h"

// Last: it defines the tuning-value macros.
#include "app/devaids/ModVal.h"

namespace Velm {

namespace {

const int kOverlayWidth = 50;

// The overlays' state. The images live on the application's display and are deleted with the
// application (DeleteOverlayImages); the fonts, one per overlay routine, go with them.
struct OverlayState {
    FrameRateCounter frameRate;
    MemoryImage* overlayImage = nullptr;  // frames per second or pointer position
    MemoryImage* demoTimeImage = nullptr;
    std::unique_ptr<Font> fpsFont;
    std::unique_ptr<Font> pointerFont;
    std::unique_ptr<Font> demoTimeFont;
    uint32_t lastDemoTimeUpdate = 0;
};

OverlayState& Overlays() {
    static OverlayState state;
    return state;
}

Font* OverlayFont(std::unique_ptr<Font>& font) {
    if (!font) font.reset(new SysFont("Tahoma", 8, false, false, false));
    return font.get();
}

// A 50 pixel wide opaque image as high as the font plus 4, made on the display; where the
// display keeps images on surfaces, it lives on its surface only.
MemoryImage* MakeOverlayImage(DisplaySetup* display, Font* font) {
    MemoryImage* image = display->NewImage();
    if (image == nullptr) return nullptr;
    image->Create(kOverlayWidth, font->GetHeight() + 4);
    image->ForceAlphaFlags(false, false);
    image->SetVolatile(true);
    image->purgeBits = false;
    if (DDImage* surfaceImage = dynamic_cast<DDImage*>(image)) {
        surfaceImage->mWantDDSurface = true;
        surfaceImage->DiscardBits();
    }
    return image;
}

// Black background, white text at x 2 on the font's ascent; the change count tells a texture
// copy to refresh.
void WriteOverlayText(MemoryImage* image, Font* font, const std::string& text) {
    Graphics g(image);
    g.SetFont(font);
    g.SetColor(Color(0, 0, 0, 255));
    g.FillRect(0, 0, image->width, image->height);
    g.SetColor(Color(255, 255, 255, 255));
    g.DrawString(text, 2, font->GetAscent());
    ++image->changeCount;
}

}  // namespace

bool VelmAppBase::DebugKeyDown(int key) {
    const bool shift = mWidgetManager->IsKeyDown(plat::VK_SHIFT);
    const bool ctrl = mWidgetManager->IsKeyDown(plat::VK_CONTROL);
    const bool alt = mWidgetManager->IsKeyDown(plat::VK_MENU);
    const DebugKeyEntry entry = LookupDebugKey(key, shift, ctrl, alt);

    switch (entry.action) {
        case DebugKeyAction::None: break;
        case DebugKeyAction::ReparseModValues:
            // No confirmation sound exists here; a reparse that found nothing new, or failed,
            // forgets the held keys, since its message box took the key-ups.
            if (!ReparseModValues()) {
                for (int i = 0; i < WidgetManager::kNumKeys; ++i) mWidgetManager->mKeyDown[i] = false;
            }
            break;
        case DebugKeyAction::ToggleProfiler:
            if (!ProfilerIsRunning()) {
                mUpdateFTimeAcc = 0;
                mLastTimeCheck = Tick();
                ProfilerStart(false);
            } else {
                ProfilerStop();
                MsgBox(ProfilerGetResults(), std::string("Perf Results"), 0);
                mUpdateFTimeAcc = 0;
                mLastTimeCheck = Tick();
            }
            break;
        case DebugKeyAction::StepOverlayMode:
        case DebugKeyAction::ToggleOverlay:
            if (entry.action == DebugKeyAction::StepOverlayMode) {
                mShowFPS = true;
                mShowFPSMode = mShowFPSMode == 0 ? 1 : 0;
            } else {
                mShowFPS = !mShowFPS;
            }
            mWidgetManager->MarkAllDirty();
            if (mShowFPS) Overlays().frameRate.Restart();
            break;
        case DebugKeyAction::Toggle3D: {
            Set3DAcceleration(!(mDDInterface != nullptr && mDDInterface->Is3D()), true);
            // The flag as it came out: a 3D set-up that failed has fallen back to software.
            const bool is3D = mDDInterface != nullptr && mDDInterface->Is3D();
            MsgBox(FormatString("3D-Mode: %s", is3D ? "ON" : "OFF"), std::string("Mode Switch"), 0);
            mLastTimeCheck = Tick();
            break;
        }
        case DebugKeyAction::ShowVideoStats: ShowVideoStats(); break;
        case DebugKeyAction::ToggleSlowMotion: mSpeedFactor = mSpeedFactor == 0.25 ? 1.0 : 0.25; break;
        case DebugKeyAction::RunSteps:
            mStepMode = 0;
            mUpdateFTimeAcc = 0;
            mLastTimeCheck = Tick();
            break;
        case DebugKeyAction::SingleStep: mStepMode = 1; break;
        case DebugKeyAction::DumpImageList: DumpImageList(); break;
        case DebugKeyAction::TakeScreenshot: TakeScreenshot(); break;
    }
    return entry.usedUp;
}

void VelmAppBase::DrawFPS() {
    OverlayState& state = Overlays();
    if (!state.frameRate.CountFrame() || mDDInterface == nullptr) return;
    Font* font = OverlayFont(state.fpsFont);
    if (state.overlayImage == nullptr) state.overlayImage = MakeOverlayImage(mDDInterface, font);
    if (state.overlayImage != nullptr)
        WriteOverlayText(state.overlayImage, font, FormatString("FPS: %d", state.frameRate.GetFramesPerSecond()));
}

void VelmAppBase::DrawMousePosition(int x, int y) {
    OverlayState& state = Overlays();
    if (mDDInterface == nullptr) return;
    Font* font = OverlayFont(state.pointerFont);
    if (state.overlayImage == nullptr) state.overlayImage = MakeOverlayImage(mDDInterface, font);
    if (state.overlayImage != nullptr) WriteOverlayText(state.overlayImage, font, FormatString("%d,%d", x, y));
}

void VelmAppBase::DrawDemoTime() {
    OverlayState& state = Overlays();
    if (mDDInterface == nullptr || mSpeedFactor <= 0) return;
    const uint32_t now = Tick();
    // Once per game second: 500 ms of real time at double speed.
    if (state.demoTimeImage != nullptr && now - state.lastDemoTimeUpdate < 1000.0 / mSpeedFactor) return;
    state.lastDemoTimeUpdate = now;
    Font* font = OverlayFont(state.demoTimeFont);
    if (state.demoTimeImage == nullptr) state.demoTimeImage = MakeOverlayImage(mDDInterface, font);
    if (state.demoTimeImage != nullptr)
        WriteOverlayText(state.demoTimeImage, font, FormatDemoTime(mDemoTotalUpdates - mUpdateCnt, mFrameTime));
}

void VelmAppBase::PrepareOverlays() {
    if (!mShowFPS) return;
    if (mShowFPSMode == 0)
        DrawFPS();
    else
        DrawMousePosition(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY);
    if (mPlayingDemo) DrawDemoTime();
}

void VelmAppBase::DrawOverlays() {
    OverlayState& state = Overlays();
    if (!mShowFPS || mDDInterface == nullptr || state.overlayImage == nullptr) return;
    MemoryImage* screen = mDDInterface->GetScreenImage();
    if (screen == nullptr) return;
    Graphics g(screen);
    MemoryImage* overlay = state.overlayImage;
    g.DrawImage(overlay, mWidth - overlay->width - 10, mHeight - overlay->height - 10);
    if (mPlayingDemo && state.demoTimeImage != nullptr) {
        MemoryImage* demo = state.demoTimeImage;
        g.DrawImage(demo, mWidth - demo->width - 10, mHeight - overlay->height - demo->height - 15);
    }
}

void VelmAppBase::DeleteOverlayImages() {
    OverlayState& state = Overlays();
    delete state.overlayImage;
    state.overlayImage = nullptr;
    delete state.demoTimeImage;
    state.demoTimeImage = nullptr;
    state.fpsFont.reset();
    state.pointerFont.reset();
    state.demoTimeFont.reset();
}

}  // namespace Velm
