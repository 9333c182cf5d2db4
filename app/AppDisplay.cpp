#include "app/AppDisplay.h"

#include "app/App3DLayer.h"
#include "app/AppDisplayHost.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/Window.h"

namespace Velm {

App3DLayer::~App3DLayer() = default;

AppDisplay::AppDisplay(VelmAppBase* app, const std::string& cardListFolder)
        : mHost(std::make_unique<AppDisplayHost>(app)), mDisplay(std::make_unique<DDInterface>(mHost.get())) {
    m3D = MakeApp3DLayer(app, mDisplay.get(), cardListFolder);
}

AppDisplay::~AppDisplay() {
    // The device goes first: it owns the 3D layer, which calls its host until the end.
    mDisplay.reset();
    m3D.reset();
}

int AppDisplay::Init(plat::Window* window, bool windowed) {
    mWindow = window;
    return mDisplay->Init(window, windowed);
}

bool AppDisplay::Redraw(const Rect* clip) { return mDisplay->Redraw(clip); }

MemoryImage* AppDisplay::GetScreenImage() { return mDisplay->GetScreenImage(); }

int AppDisplay::GetDrawWidth() { return mDisplay->mWidth; }

int AppDisplay::GetDrawHeight() { return mDisplay->mHeight; }

Rect AppDisplay::GetPresentationRect() {
    // The device places the drawing buffer inside its primary surface (letterboxed in a wide
    // full-screen mode); the window then shows the primary scaled to fit its client area.
    // Mouse positions come in client pixels, so the two placements are composed.
    const Rect inPrimary = mDisplay->mPresentationRect;
    const int frameWidth = mDisplay->mDisplayWidth;
    const int frameHeight = mDisplay->mDisplayHeight;
    if (mWindow == nullptr || frameWidth <= 0 || frameHeight <= 0) return inPrimary;
    const plat::ScreenRect place = mWindow->PresentationRect(frameWidth, frameHeight);
    if (place.width <= 0 || place.height <= 0) return inPrimary;
    return Rect(place.x + inPrimary.x * place.width / frameWidth, place.y + inPrimary.y * place.height / frameHeight,
                inPrimary.width * place.width / frameWidth, inPrimary.height * place.height / frameHeight);
}

std::string AppDisplay::LastError() { return mDisplay->LastError(); }

bool AppDisplay::Is3D() { return mDisplay->Is3D(); }

void AppDisplay::Set3D(bool on) { mDisplay->mIs3D = on; }

void AppDisplay::SetTest3D(bool test, bool autoEnable) {
    mHost->mTest3D = test;
    mHost->mAutoEnable3D = autoEnable;
}

bool AppDisplay::Test3DRan() { return mDisplay->CardTestRan(); }

bool AppDisplay::Test3DFailed() { return mDisplay->CardTestRan() && mDisplay->GetCardTestOutcome().hasFailure; }

bool AppDisplay::Test3DWarned() { return mDisplay->CardTestRan() && mDisplay->GetCardTestOutcome().hasWarning; }

bool AppDisplay::Test3DResultChanged() { return mDisplay->CardTestRan() && mDisplay->GetCardTestOutcome().fresh; }

bool AppDisplay::Has3DDrawFailure() { return m3D != nullptr && m3D->DrawingFailed(); }

void AppDisplay::Clear3DDrawFailure() {
    if (m3D != nullptr) m3D->ClearDrawingFailure();
}

void AppDisplay::SetDrawInVideoMemory(bool on) { mDisplay->SetDrawInVideoMemory(on); }

int AppDisplay::GetRefreshRate() { return static_cast<int>(mDisplay->mRefreshRate); }

int AppDisplay::GetMillisecondsPerRefresh() { return mDisplay->mMillisecondsPerFrame; }

MemoryImage* AppDisplay::NewImage() { return new DDImage(mDisplay.get()); }

void AppDisplay::FreeImageTexture(MemoryImage* image) { mDisplay->FreeImageTexture(image); }

const NativePixelFormat* AppDisplay::GetNativeFormat() {
    // Published by the first successful set-up; before it there is no format to convert to.
    return mDisplay->mRGBBits != 0 ? &mDisplay->GetNativeFormat() : nullptr;
}

bool AppDisplay::ReadBackTexture(MemoryImage* image, uint32_t* out) {
    return m3D != nullptr && m3D->ReadBackTexture(image, out);
}

bool AppDisplay::SetCursorImage(MemoryImage* image) { return mDisplay->SetCursorImage(image); }

void AppDisplay::SetCursorPos(int x, int y) { mDisplay->SetCursorPos(x, y); }

void AppDisplay::SetNextCursorPos(int x, int y) { mDisplay->SetNextCursorPos(x, y); }

void AppDisplay::GetCursorPos(int* x, int* y) { mDisplay->GetCursorPos(x, y); }

}  // namespace Velm
