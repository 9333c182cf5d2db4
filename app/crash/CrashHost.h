#pragma once

#include <map>
#include <string>

namespace Velm {

// What the crash catcher asks of the application while a fault is reported. The
// application registers one with CrashCatcher::SetHost for as long as it exists; every
// call comes on the faulting thread.
class CrashHost {
public:
    virtual ~CrashHost() = default;

    // Silences the music, hides the window and stops painting before the report is built.
    virtual void PrepareForCrashReport() = 0;
    // The application's lines at the end of the report.
    virtual std::string GetProgramInfoText() = 0;
    virtual void CopyToClipboard(const std::string& text) = 0;
    // With a demo being recorded: ends it with the crash and saves it, *file is its name.
    // False when no demo is being recorded (*file left as it is).
    virtual bool SaveDemoForCrash(std::string* file) = 0;
    // A file of the program's own to attach to the report; empty for none.
    virtual std::string GetCrashReportFile() = 0;
    // Ends demo recording and playback for good.
    virtual void EndDemoForCrash() = 0;
    // Extra name/value pairs sent with the report.
    virtual void AddCrashReportFields(std::map<std::string, std::string>& fields) = 0;
    virtual std::string GetCompanyFolderName() = 0;
    virtual std::string GetProductName() = 0;
    virtual std::string GetProductVersion() = 0;
};

}  // namespace Velm
