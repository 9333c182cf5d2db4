// The application object's part in a crash report.

#include "app/VelmAppBase.h"

namespace Velm {

void VelmAppBase::PrepareForCrashReport()
{
    SetMusicVolume(0.0);
    HideMainWindow();
    // From now on nothing is painted and input and cursor changes are ignored.
    mCrashed.store(true);
    EnforceCursor();
}

std::string VelmAppBase::GetProgramInfoText()
{
    std::string text;
    text += "Product: " + mProductName + "\r\n";
    text += "Version: " + mProductVersion + "\r\n";
    const uint32_t loadedSeconds = (Tick() - mLoadTick) / 1000;
    text += "Time Loaded: " + FormatString("%02d:%02d:%02d", static_cast<int>(loadedSeconds / 3600),
                                           static_cast<int>((loadedSeconds / 60) % 60),
                                           static_cast<int>(loadedSeconds % 60)) +
            "\r\n";
    text += std::string("Fullscreen: ") + (mIsWindowed ? "No" : "Yes") + "\r\n";
    text += "Primary ThreadId: " + FormatString("%X", mPrimaryThreadId) + "\r\n";
    return text;
}

void VelmAppBase::AddCrashReportFields(std::map<std::string, std::string>&) {}

std::string VelmAppBase::GetCrashReportFile() { return std::string(); }

} // namespace Velm
