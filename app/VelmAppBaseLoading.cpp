// The loading thread: long start-up work beside the main loop.

#include "app/VelmAppBase.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/FaultHandler.h"

namespace Velm {

void VelmAppBase::StartLoadingThread() {
    if (mLoadingThreadStarted.load()) return;
    mLoadingThrottle.store(true);
    mLoadingThreadStarted.store(true);
    mLoadingThread = std::thread(&VelmAppBase::LoadingThreadMain, this);
}

void VelmAppBase::LoadingThreadMain(VelmAppBase* app) {
    plat::FaultStack faultStack;
    app->LoadingThreadProc();
    plat::DebugOutput(FormatString("Resource Loading Time: %d\r\n", static_cast<int>(Tick() - app->mLoadTick)));
    app->mLoadingThreadCompleted.store(true);
}

double VelmAppBase::GetLoadingThreadProgress() {
    if (mLoadingCompletionHandled) return 1.0;
    if (!mLoadingThreadStarted.load()) return 0.0;
    const int total = mNumLoadingThreadTasks.load();
    if (total == 0) return 0.0;
    const double progress = static_cast<double>(mCompletedLoadingThreadTasks.load()) / total;
    return progress > 1.0 ? 1.0 : progress;
}

void VelmAppBase::WaitForLoadingThread() {
    while (mLoadingThreadStarted.load() && !mLoadingThreadCompleted.load()) plat::SleepMs(20);
    if (mLoadingThread.joinable()) mLoadingThread.join();
}

}  // namespace Velm
