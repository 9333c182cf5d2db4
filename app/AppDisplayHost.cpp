#include "app/AppDisplayHost.h"

#include "app/VelmAppBase.h"
#include "platform/Window.h"

namespace Velm {

int AppDisplayHost::GetLogicalWidth() { return mApp->mWidth; }

int AppDisplayHost::GetLogicalHeight() { return mApp->mHeight; }

int AppDisplayHost::GetColorDepth() { return mApp->mColorDepth; }

AspectRatio AppDisplayHost::GetAspect() { return AspectRatio(mApp->mAspect.mNumerator, mApp->mAspect.mDenominator); }

bool AppDisplayHost::WaitForVSync() { return mApp->mWaitForVSync; }

bool AppDisplayHost::SoftVSync() { return mApp->mSoftVSyncWait; }

bool AppDisplayHost::IsPopupOpen() { return mApp->mPopupOpen; }

// The page-flip option is the display option that a Tablet PC turns off.
bool AppDisplayHost::UsePageFlip() { return mApp->mTabletOption; }

int AppDisplayHost::MinVideoMemory3D() { return mApp->mMinVidMemory3D; }

int AppDisplayHost::RecommendedVideoMemory3D() { return mApp->mRecommendedVidMemory3D; }

// The whole desktop (not its work area): full screen letterboxes against it.
bool AppDisplayHost::GetDesktopSize(int* width, int* height) { return plat::GetDesktopSize(width, height); }

void AppDisplayHost::SetVSyncBroken() { mApp->mVSyncBroken = true; }

void AppDisplayHost::Notify3DTestRun() { mApp->Notify3DTestRun(); }

ImageHost* AppDisplayHost::GetImageHost() { return mApp; }

CriticalSection* AppDisplayHost::GetDisplayLock() { return &mApp->GetDisplayLock(); }

}  // namespace Velm
