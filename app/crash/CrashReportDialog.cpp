#include "app/crash/CrashReportDialog.h"

#include "app/crash/CrashReportScreens.h"
#include "app/http/HTTPTransfer.h"
#include "platform/ButtonBox.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

namespace Velm {

namespace {

const char* const kBoundary = "---------------------------7d3e1f30eec";

void AddRecord(std::string* out, const std::string& name, const std::string& value) {
    *out += name;
    out->push_back('\0');
    *out += std::to_string(value.size());
    out->push_back('\0');
    *out += value;
}

bool ReadField(const std::string& bytes, size_t* pos, std::string* text) {
    const size_t end = bytes.find('\0', *pos);
    if (end == std::string::npos) return false;
    *text = bytes.substr(*pos, end - *pos);
    *pos = end + 1;
    return true;
}

bool ReadRecord(const std::string& bytes, size_t* pos, std::string* name, std::string* value) {
    std::string length;
    if (!ReadField(bytes, pos, name) || !ReadField(bytes, pos, &length) || length.empty() || length.size() > 10)
        return false;
    size_t size = 0;
    for (char c : length) {
        if (c < '0' || c > '9') return false;
        size = size * 10 + static_cast<size_t>(c - '0');
    }
    if (size > bytes.size() - *pos) return false;
    value->assign(bytes, *pos, size);
    *pos += size;
    return true;
}

void AddPart(std::string* body, const std::string& name, const std::string& value) {
    *body += "--";
    *body += kBoundary;
    *body += "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n";
    *body += "\r\n";
    *body += value;
    *body += "\r\n";
}

}  // namespace

const char kCrashReportErrorText[] = "An unexpected error has occured!";
const char kCrashReportDetailsText[] = "Please help out by providing as much information as you can about this crash.";
const char kCrashReportFailedText[] = "Failed to connect to server.";

std::string EncodeCrashReportData(const CrashReportData& data) {
    std::string out;
    AddRecord(&out, "title", data.title);
    AddRecord(&out, "report", data.report);
    AddRecord(&out, "host", data.submitHost);
    AddRecord(&out, "app", data.appPresent ? "1" : "0");
    AddRecord(&out, "prod", data.productName);
    AddRecord(&out, "version", data.productVersion);
    AddRecord(&out, "usertext", data.userText);
    AddRecord(&out, "attachment", data.attachmentFile);
    AddRecord(&out, "attach", data.attach ? "1" : "0");
    for (const std::pair<const std::string, std::string>& field : data.extraFields)
        AddRecord(&out, "field:" + field.first, field.second);
    return out;
}

bool DecodeCrashReportData(const std::string& bytes, CrashReportData* data) {
    CrashReportData result;
    size_t pos = 0;
    while (pos < bytes.size()) {
        std::string name;
        std::string value;
        if (!ReadRecord(bytes, &pos, &name, &value)) return false;
        if (name == "title")
            result.title = value;
        else if (name == "report")
            result.report = value;
        else if (name == "host")
            result.submitHost = value;
        else if (name == "app")
            result.appPresent = value == "1";
        else if (name == "prod")
            result.productName = value;
        else if (name == "version")
            result.productVersion = value;
        else if (name == "usertext")
            result.userText = value;
        else if (name == "attachment")
            result.attachmentFile = value;
        else if (name == "attach")
            result.attach = value == "1";
        else if (name.compare(0, 6, "field:") == 0)
            result.extraFields[name.substr(6)] = value;
        else
            return false;
    }
    *data = result;
    return true;
}

std::string BuildCrashReportRequest(const CrashReportData& data, const std::vector<uint8_t>& attachment) {
    std::string body;
    for (const std::pair<const std::string, std::string>& field : data.extraFields)
        AddPart(&body, field.first, field.second);
    AddPart(&body, "prod", data.productName);
    AddPart(&body, "version", data.productVersion);
    AddPart(&body, "usertext", data.userText);
    AddPart(&body, "errortitle", data.title);
    AddPart(&body, "errortext", data.report);
    if (data.attach) {
        body += "--";
        body += kBoundary;
        // The part keeps this file name whatever file was attached.
        body += "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"quillon.dmo\"\r\n";
        body += "Content-Type: application/octet-stream\r\n";
        body += "\r\n";
        body.append(attachment.begin(), attachment.end());
        body += "\r\n";
    }
    body += "--";
    body += kBoundary;
    body += "--\r\n";

    std::string request = "POST /redazu_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=";
    request += kBoundary;
    request += "\r\nUser-Agent: Mozilla/4.0 (compatible; quillon)\r\n";
    request += "Host: " + data.submitHost + "\r\n";
    request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    request += "Connection: close\r\n";
    request += "\r\n";
    request += body;
    return request;
}

CrashReportDialog::CrashReportDialog(bool sendingOffered, bool appPresent)
        : mSendingOffered(sendingOffered), mAppPresent(appPresent) {}

std::vector<CrashReportDialog::Button> CrashReportDialog::GetButtons() const {
    // Two buttons share the row: (400 - 8 - 8 - 8) / 2 = 188 each, the second from
    // 188 + 16; a lone button takes the whole row, 384.
    switch (mWindow) {
        case ERROR_WINDOW:
            if (!mSendingOffered) return {{"Close Now", 8, 268, 384, 24, true}};
            return {{"Send Report", 8, 268, 188, 24, mAppPresent}, {"Close Now", 204, 268, 188, 24, true}};
        case DETAILS_WINDOW: return {{"Continue", 8, 268, 188, 24, mAppPresent}, {"Abort", 204, 268, 188, 24, true}};
        case PROGRESS_WINDOW: return {{"Abort", 72, 36, 96, 22, true}};
        case DONE: break;
    }
    return {};
}

std::string CrashReportDialog::GetStatusLine() const {
    std::string line = "Please Wait";
    for (int i = 0; i < mTicks % 10; ++i) line += " .";
    return line;
}

bool CrashReportDialog::IsActive(const std::string& label) const {
    for (const Button& button : GetButtons()) {
        if (button.label == label) return button.enabled;
    }
    return false;
}

void CrashReportDialog::Press(const std::string& label) {
    if (!IsActive(label)) return;
    switch (mWindow) {
        case ERROR_WINDOW: mWindow = label == "Send Report" ? DETAILS_WINDOW : DONE; break;
        case DETAILS_WINDOW:
            if (label == "Continue") {
                mWindow = PROGRESS_WINDOW;
                mUploadRequested = true;
            } else {
                mWindow = DONE;
            }
            break;
        case PROGRESS_WINDOW: mAbortRequested = true; break;
        case DONE: break;
    }
}

void CrashReportDialog::Close() {
    if (mWindow == PROGRESS_WINDOW)
        mAbortRequested = true;  // the window stays until the transfer has ended
    else
        mWindow = DONE;
}

void CrashReportDialog::SetUserText(const std::string& text) {
    mUserText = text.size() > kMaxUserText ? text.substr(0, kMaxUserText) : text;
}

void CrashReportDialog::SecondTick() { ++mTicks; }

bool CrashReportDialog::TakeUploadRequest() {
    const bool requested = mUploadRequested;
    mUploadRequested = false;
    return requested;
}

bool CrashReportDialog::TakeAbortRequest() {
    const bool requested = mAbortRequested;
    mAbortRequested = false;
    return requested;
}

bool CrashReportDialog::TransferResult(int result) {
    if (mWindow != PROGRESS_WINDOW) return false;
    switch (result) {
        case HTTPTransfer::RESULT_NOT_STARTED:
        case HTTPTransfer::RESULT_NOT_COMPLETED: return false;
        case HTTPTransfer::RESULT_DONE:
        case HTTPTransfer::RESULT_ABORTED: mWindow = DONE; return false;
        default: return true;
    }
}

void CrashReportDialog::AnswerRetry(bool retry) {
    if (mWindow != PROGRESS_WINDOW) return;
    if (retry)
        mUploadRequested = true;
    else
        mWindow = DONE;
}

namespace {

// Shows one window as a box with its enabled buttons and returns the label pressed.
std::string AskWindow(const CrashReportDialog& dialog, const std::string& text, const std::string& caption,
                      const std::string& defaultLabel) {
    std::vector<std::string> labels;
    int defaultIndex = 0;
    for (const CrashReportDialog::Button& button : dialog.GetButtons()) {
        if (!button.enabled) continue;
        if (button.label == defaultLabel) defaultIndex = static_cast<int>(labels.size());
        labels.push_back(button.label);
    }
    const int pressed = plat::ShowButtonBox(text, caption, labels, defaultIndex, defaultIndex);
    return labels.empty() ? std::string() : labels[static_cast<size_t>(pressed)];
}

}  // namespace

void PollCrashReportUpload(CrashReportDialog& dialog, const CrashReportData& data, HTTPTransfer& transfer,
                           const std::function<bool()>& askRetry) {
    if (dialog.TakeUploadRequest()) {
        CrashReportData upload = data;
        upload.userText = dialog.GetUserText();
        std::vector<uint8_t> attachment;
        if (upload.attach) plat::ReadFile(upload.attachmentFile, attachment);
        transfer.SendRequestString(upload.submitHost, BuildCrashReportRequest(upload, attachment));
    }
    if (dialog.TakeAbortRequest()) transfer.Abort();
    transfer.UpdateStatus();
    if (dialog.TransferResult(transfer.GetResult())) {
        transfer.Reset();
        dialog.AnswerRetry(askRetry());
    }
}

bool AskCrashReportRetry() {
    const int answer = plat::ShowMessageBox(kCrashReportFailedText, "Connection Failed",
                                            plat::kMbRetryCancel | plat::kMbDefButton2);
    return answer == plat::kIdRetry;
}

void RunCrashReportBoxes(CrashReportDialog& dialog, const CrashReportData& data, HTTPTransfer& transfer) {
    int polls = 0;
    while (dialog.GetWindow() != CrashReportDialog::DONE) {
        switch (dialog.GetWindow()) {
            case CrashReportDialog::ERROR_WINDOW: {
                const std::string label =
                        AskWindow(dialog, std::string(kCrashReportErrorText) + "\r\n\r\n" + data.report, "Fatal Error!",
                                  "Close Now");
                if (label.empty())
                    dialog.Close();
                else
                    dialog.Press(label);
                break;
            }
            case CrashReportDialog::DETAILS_WINDOW: {
                const std::string label = AskWindow(dialog, kCrashReportDetailsText, "Error Details", "Abort");
                if (label.empty())
                    dialog.Close();
                else
                    dialog.Press(label);
                break;
            }
            case CrashReportDialog::PROGRESS_WINDOW:
                plat::SleepMs(20);
                if (++polls % 50 == 0) dialog.SecondTick();
                PollCrashReportUpload(dialog, data, transfer, AskCrashReportRetry);
                break;
            case CrashReportDialog::DONE: break;
        }
    }
}

void RunCrashReportDialog(const CrashReportData& data, HTTPTransfer& transfer) {
    CrashReportDialog dialog(!data.submitHost.empty(), data.appPresent);
    // The windows need a user who can see them; without one (or without a window) the
    // message boxes carry on, and they fall back to stderr themselves.
    if (plat::CanShowButtonBox() && RunCrashReportWindows(dialog, data, transfer)) return;
    RunCrashReportBoxes(dialog, data, transfer);
}

}  // namespace Velm
