#pragma once

#include <memory>
#include <string>

#include "app/DisplaySetup.h"

namespace Velm {

class App3DLayer;
class AppDisplayHost;
class DDInterface;

// The application's display: the display device (DDInterface) behind the application's
// display seam, with the 3D layer installed when this build has one. Every call maps straight
// onto the device; what the device reads from the application goes through AppDisplayHost.
//
// The application makes one on its first MakeWindow and keeps it to the end (main thread);
// the cursor calls come from the cursor thread and take the display lock, which is the
// application's own (VelmAppBase::GetDisplayLock).
class AppDisplay : public DisplaySetup {
public:
    // cardListFolder: where the video-card test looks for "vhwb.dat" and "vhw.dat" (the
    // folder the program runs from).
    AppDisplay(VelmAppBase* app, const std::string& cardListFolder);
    ~AppDisplay() override;
    AppDisplay(const AppDisplay&) = delete;
    AppDisplay& operator=(const AppDisplay&) = delete;

    int Init(plat::Window* window, bool windowed) override;
    bool Redraw(const Rect* clip) override;
    MemoryImage* GetScreenImage() override;
    int GetDrawWidth() override;
    int GetDrawHeight() override;
    Rect GetPresentationRect() override;
    std::string LastError() override;

    bool Is3D() override;
    void Set3D(bool on) override;
    void SetTest3D(bool test, bool autoEnable) override;
    bool Test3DRan() override;
    bool Test3DFailed() override;
    bool Test3DWarned() override;
    bool Test3DResultChanged() override;
    bool Has3DDrawFailure() override;
    void Clear3DDrawFailure() override;
    void SetDrawInVideoMemory(bool on) override;
    int GetRefreshRate() override;
    int GetMillisecondsPerRefresh() override;

    MemoryImage* NewImage() override;
    void FreeImageTexture(MemoryImage* image) override;
    const NativePixelFormat* GetNativeFormat() override;
    bool ReadBackTexture(MemoryImage* image, uint32_t* out) override;

    bool SetCursorImage(MemoryImage* image) override;
    void SetCursorPos(int x, int y) override;
    void SetNextCursorPos(int x, int y) override;
    void GetCursorPos(int* x, int* y) override;

    DDInterface& GetDDInterface() { return *mDisplay; }
    // False when this build has no 3D layer (software drawing only).
    bool Has3DLayer() const { return m3D != nullptr; }

private:
    plat::Window* mWindow = nullptr;
    std::unique_ptr<AppDisplayHost> mHost;
    // The 3D layer's host outlives the device, which owns the layer.
    std::unique_ptr<App3DLayer> m3D;
    std::unique_ptr<DDInterface> mDisplay;
};

}  // namespace Velm
