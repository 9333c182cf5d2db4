// The 3D layer of builds with the GL device: the display draws through D3DInterface when
// 3D is on, and this object is the layer's window onto the application.

#include "app/App3DLayer.h"

#include "app/VelmAppBase.h"
#include "graphics/D3DHost.h"
#include "graphics/D3DInterface.h"
#include "graphics/MemoryImage.h"
#include "graphics/TextureData.h"
#include "platform/DdDevice.h"
#include "platform/Window.h"
#include "resources/base/Paths.h"

namespace Velm {

namespace {

// The "Test3D" values live in the application's settings store under its key, like the
// application's own settings. They go to the store directly, never through the demo
// branches of the application's registry operations: the test is skipped during playback
// (its outcome travels through the demo instead) and a run-time error depends on the
// machine, so neither may add commands to a recorded stream.
std::string SettingsKeyOf(VelmAppBase* app) {
    const std::string key = StripTrailingSlash(app->mRegKey);
    return key.empty() ? std::string("SOFTWARE") : "SOFTWARE\\" + key;
}

class AppD3DLayer : public App3DLayer, public D3DHost {
public:
    AppD3DLayer(VelmAppBase* app, DDInterface* display, const std::string& cardListFolder)
            : D3DHost(&app->GetSettingsStore(), SettingsKeyOf(app)), mApp(app) {
        std::unique_ptr<D3DInterface> layer = std::make_unique<D3DInterface>(this);
        layer->mCardListFolder = cardListFolder;
        display->Set3DLayer(std::move(layer));
    }

    // App3DLayer
    bool ReadBackTexture(MemoryImage* image, uint32_t* out) override {
        return image->textureData != nullptr && image->textureData->CopyToImage(image, out);
    }
    bool DrawingFailed() override { return gD3DDrawingFailed; }
    void ClearDrawingFailure() override { gD3DDrawingFailed = false; }

    // D3DHost
    bool IsMinimized() override {
        plat::Window* window = mApp->GetMainWindow();
        return mApp->mMinimized || (window != nullptr && window->IsMinimized());
    }
    bool IsPlayingDemo() override { return mApp->mPlayingDemo; }
    void DemoSyncString(std::string* text) override { mApp->DemoSyncString(*text); }
    void DemoSyncBool(bool* value) override { mApp->DemoSyncBool(*value); }
    void GetDesktop(int* width, int* height, int* bitsPerPixel) override {
        if (!plat::GetDesktopSize(width, height)) {
            *width = mApp->mWidth;
            *height = mApp->mHeight;
        }
        *bitsPerPixel = plat::dd::GetDisplayConfig().desktopBitsPerPixel;
    }

private:
    VelmAppBase* mApp;
};

}  // namespace

std::unique_ptr<App3DLayer> MakeApp3DLayer(VelmAppBase* app, DDInterface* display, const std::string& cardListFolder) {
    return std::make_unique<AppD3DLayer>(app, display, cardListFolder);
}

}  // namespace Velm
