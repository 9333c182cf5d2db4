#pragma once

#include "graphics/DDInterface.h"

namespace Velm {

class VelmAppBase;

// What the display device reads from and writes to the application object: the logical
// size and depth, the VSync and page-flip settings, the 3D test options, the desktop, the
// display lock and the image host. The application owns the fields; this object only passes
// them across. Main thread.
class AppDisplayHost : public DisplayHost {
public:
    explicit AppDisplayHost(VelmAppBase* app) : mApp(app) {}

    int GetLogicalWidth() override;
    int GetLogicalHeight() override;
    int GetColorDepth() override;
    AspectRatio GetAspect() override;
    bool WaitForVSync() override;
    bool SoftVSync() override;
    bool IsPopupOpen() override;
    bool UsePageFlip() override;
    bool AutoEnable3D() override { return mAutoEnable3D; }
    bool Test3D() override { return mTest3D; }
    int MinVideoMemory3D() override;
    int RecommendedVideoMemory3D() override;
    bool GetDesktopSize(int* width, int* height) override;
    void SetVSyncBroken() override;
    void Notify3DTestRun() override;
    ImageHost* GetImageHost() override;
    CriticalSection* GetDisplayLock() override;

    // The two test options as the application's display set-up hands them over.
    bool mAutoEnable3D = false;
    bool mTest3D = false;

private:
    VelmAppBase* mApp;
};

}  // namespace Velm
