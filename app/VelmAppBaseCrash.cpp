// The application object's part in a crash report.

#include "app/VelmAppBase.h"

#include "app/crash/CrashHost.h"

namespace Velm {

void VelmAppBase::PrepareForCrashReport() {
    SetMusicVolume(0.0);
    HideMainWindow();
    // From now on nothing is painted and input and cursor changes are ignored.
    mCrashed.store(true);
    EnforceCursor();
}

std::string VelmAppBase::GetProgramInfoText() {
    std::string text;
    text += "Product: " + mProductName + "\r\n";
    text += "Version: " + mProductVersion + "\r\n";
    const uint32_t loadedSeconds = (Tick() - mLoadTick) / 1000;
    text += "Time Loaded: " +
            FormatString("%02d:%02d:%02d", static_cast<int>(loadedSeconds / 3600),
                         static_cast<int>((loadedSeconds / 60) % 60), static_cast<int>(loadedSeconds % 60)) +
            "\r\n";
    text += std::string("Fullscreen: ") + (mIsWindowed ? "No" : "Yes") + "\r\n";
    text += "Primary ThreadId: " + FormatString("%X", mPrimaryThreadId) + "\r\n";
    return text;
}

void VelmAppBase::AddCrashReportFields(std::map<std::string, std::string>&) {}

std::string VelmAppBase::GetCrashReportFile() { return std::string(); }

namespace {

// The crash catcher's view of this application.
class AppCrashHost : public CrashHost {
public:
    explicit AppCrashHost(VelmAppBase* app) : mApp(app) {}

    void PrepareForCrashReport() override { mApp->PrepareForCrashReport(); }
    std::string GetProgramInfoText() override { return mApp->GetProgramInfoText(); }
    void CopyToClipboard(const std::string& text) override { mApp->CopyToClipboard(text); }

    bool SaveDemoForCrash(std::string* file) override {
        if (!mApp->mRecordingDemo) return false;
        // The demo ends with the crash: its timing block and the filler command.
        mApp->WriteDemoTimingBlock();
        mApp->mDemoBuffer.WriteNumBits(0, 1);
        mApp->mDemoBuffer.WriteNumBits(31, 5);
        mApp->WriteDemoFile();
        *file = mApp->mDemoFileName;
        return true;
    }

    std::string GetCrashReportFile() override { return mApp->GetCrashReportFile(); }

    void EndDemoForCrash() override {
        mApp->mRecordingDemo = false;
        mApp->mPlayingDemo = false;
    }

    void AddCrashReportFields(std::map<std::string, std::string>& fields) override {
        mApp->AddCrashReportFields(fields);
    }
    std::string GetCompanyFolderName() override { return mApp->mCompanyFolderName; }
    std::string GetProductName() override { return mApp->mProductName; }
    std::string GetProductVersion() override { return mApp->mProductVersion; }

private:
    VelmAppBase* mApp;
};

}  // namespace

std::unique_ptr<CrashHost> VelmAppBase::MakeCrashHost() { return std::unique_ptr<CrashHost>(new AppCrashHost(this)); }

}  // namespace Velm
