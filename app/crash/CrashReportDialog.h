#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Velm {

class HTTPTransfer;

// What the report windows need from the crashed process. It travels to the report
// program on its standard input (EncodeCrashReportData), so that nothing is drawn by
// the damaged process.
struct CrashReportData {
    std::string title;
    std::string report;
    std::string submitHost;   // empty: sending is not offered
    bool appPresent = false;  // an application object existed at the crash
    std::string productName;
    std::string productVersion;
    std::string userText;  // what the user wrote in the details window
    std::string attachmentFile;
    bool attach = false;
    // Extra form fields from the application, sent in key order before the fixed ones.
    std::map<std::string, std::string> extraFields;
};

// Records of name, length and bytes; Decode refuses anything malformed or truncated.
std::string EncodeCrashReportData(const CrashReportData& data);
bool DecodeCrashReportData(const std::string& bytes, CrashReportData* data);

// The upload: "POST /redazu_error.php" with a multipart form of the extra fields,
// "prod", "version", "usertext", "errortitle", "errortext" and, when attach is set, the
// attachment's bytes as "demofile" (empty when the file could not be read).
std::string BuildCrashReportRequest(const CrashReportData& data, const std::vector<uint8_t>& attachment);

// The crash dialogue's states and controls, as the windows show them: the error window
// (report, "Send Report" while a report host is set, "Close Now"), the details window
// ("Continue", "Abort") and the progress window (status line, "Abort"). Positions are
// client coordinates of each window. Without an application object "Send Report" and
// "Continue" are shown disabled.
class CrashReportDialog {
public:
    enum Window { ERROR_WINDOW, DETAILS_WINDOW, PROGRESS_WINDOW, DONE };
    struct Button {
        std::string label;
        int x, y, width, height;
        bool enabled;
    };
    // The user text is cut to what the details window's 8,192-byte buffer holds.
    static const size_t kMaxUserText = 8191;

    CrashReportDialog(bool sendingOffered, bool appPresent);

    Window GetWindow() const { return mWindow; }
    std::vector<Button> GetButtons() const;
    std::string GetStatusLine() const;
    const std::string& GetUserText() const { return mUserText; }

    // Buttons by label; a button that is not shown or not enabled does nothing.
    void Press(const std::string& label);
    // The window's close box.
    void Close();
    void SetUserText(const std::string& text);
    // Timer 1 of the progress window.
    void SecondTick();

    // One-shot requests to the front end.
    bool TakeUploadRequest();
    bool TakeAbortRequest();

    // Timer 0: the transfer's result. True when the front end must reset the transfer
    // and ask Retry or Cancel (AnswerRetry).
    bool TransferResult(int result);
    void AnswerRetry(bool retry);

private:
    bool IsActive(const std::string& label) const;

    bool mSendingOffered;
    bool mAppPresent;
    Window mWindow = ERROR_WINDOW;
    int mTicks = 0;
    std::string mUserText;
    bool mUploadRequested = false;
    bool mAbortRequested = false;
};

// The windows' fixed texts.
extern const char kCrashReportErrorText[];    // "An unexpected error has occured!"
extern const char kCrashReportDetailsText[];  // "Please help out by providing ..."
extern const char kCrashReportFailedText[];   // "Failed to connect to server."

// One poll of the upload while the progress window is shown (every 20 ms): sends the
// request the dialogue asked for (the user text from the dialogue, the attachment read from
// its file), passes an abort on to the transfer, updates the transfer and hands its result
// to the dialogue. After a failure the transfer is reset and askRetry asked (true: send
// again, false: the dialogue ends).
void PollCrashReportUpload(CrashReportDialog& dialog, const CrashReportData& data, HTTPTransfer& transfer,
                           const std::function<bool()>& askRetry);

// The Retry / Cancel question after a failed upload, as a message box; true for Retry.
bool AskCrashReportRetry();

// Runs the dialogue, from its current window on, with message boxes (or, headless, on
// stderr). Returns when the dialogue is over.
void RunCrashReportBoxes(CrashReportDialog& dialog, const CrashReportData& data, HTTPTransfer& transfer);

// Runs the whole dialogue and uploads through `transfer`: in windows of our toolkit when a
// user can see them, else (or when no window can be made) with message boxes, else on
// stderr. Returns when the dialogue is over.
void RunCrashReportDialog(const CrashReportData& data, HTTPTransfer& transfer);

}  // namespace Velm
