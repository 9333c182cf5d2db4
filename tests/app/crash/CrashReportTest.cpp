// The upload request and the report dialogue's states.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/crash/CrashReportDialog.h"
#include "app/http/HTTPTransfer.h"
#include "platform/ButtonBox.h"
#include "platform/MessageBox.h"
#include "platform/TcpSocket.h"
#include "tests/app/http/LocalHttpServer.h"

namespace {

Velm::CrashReportData SampleData() {
    Velm::CrashReportData data;
    data.title = "Exception at 0001:00000010";
    data.report = "Exception: Access Violation\r\nModule: game\r\n";
    data.submitHost = "reports.example:8080";
    data.appPresent = true;
    data.productName = "Prod";
    data.productVersion = "1.0";
    data.userText = "It broke.";
    data.extraFields["zeta"] = "last";
    data.extraFields["alpha"] = "first";
    return data;
}

TEST(CrashReportRequestTest, MultipartRequestBytes) {
    Velm::CrashReportData data = SampleData();
    data.attach = true;
    data.attachmentFile = "whatever.dmo";
    const std::vector<uint8_t> attachment = {0x00, 0xFF, 'x'};

    const std::string b = "-----------------------------7d3e1f30eec";  // "--" and the boundary
    std::string body;
    body += b + "\r\nContent-Disposition: form-data; name=\"alpha\"\r\n\r\nfirst\r\n";
    body += b + "\r\nContent-Disposition: form-data; name=\"zeta\"\r\n\r\nlast\r\n";
    body += b + "\r\nContent-Disposition: form-data; name=\"prod\"\r\n\r\nProd\r\n";
    body += b + "\r\nContent-Disposition: form-data; name=\"version\"\r\n\r\n1.0\r\n";
    body += b + "\r\nContent-Disposition: form-data; name=\"usertext\"\r\n\r\nIt broke.\r\n";
    body += b + "\r\nContent-Disposition: form-data; name=\"errortitle\"\r\n\r\nException at 0001:00000010\r\n";
    body += b +
            "\r\nContent-Disposition: form-data; name=\"errortext\"\r\n\r\nException: Access Violation\r\nModule: "
            "game\r\n\r\n";
    body += b + "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"quillon.dmo\"\r\n";
    body += "Content-Type: application/octet-stream\r\n\r\n";
    body += std::string("\x00\xFFx", 3) + "\r\n";
    body += b + "--\r\n";

    const std::string expected =
            "POST /redazu_error.php HTTP/1.1\r\n"
            "Content-Type: multipart/form-data; boundary=---------------------------7d3e1f30eec\r\n"
            "User-Agent: Mozilla/4.0 (compatible; quillon)\r\n"
            "Host: reports.example:8080\r\n"
            "Content-Length: " +
            std::to_string(body.size()) +
            "\r\n"
            "Connection: close\r\n"
            "\r\n" +
            body;
    EXPECT_EQ(Velm::BuildCrashReportRequest(data, attachment), expected);
}

TEST(CrashReportRequestTest, WithoutAttachFlagThereIsNoFilePartAndMissingFileSendsNoBytes) {
    Velm::CrashReportData data = SampleData();
    const std::string plain = Velm::BuildCrashReportRequest(data, {});
    EXPECT_EQ(plain.find("demofile"), std::string::npos);

    data.attach = true;
    const std::string empty = Velm::BuildCrashReportRequest(data, {});
    EXPECT_NE(empty.find("Content-Type: application/octet-stream\r\n\r\n\r\n"
                         "-----------------------------7d3e1f30eec--\r\n"),
              std::string::npos);
}

TEST(CrashReportDataTest, RoundTripsAndRefusesBrokenInput) {
    Velm::CrashReportData data = SampleData();
    data.report += std::string("\0binary\0", 8);
    data.attach = true;
    data.attachmentFile = "demo.dmo";
    const std::string bytes = Velm::EncodeCrashReportData(data);

    Velm::CrashReportData back;
    ASSERT_TRUE(Velm::DecodeCrashReportData(bytes, &back));
    EXPECT_EQ(back.title, data.title);
    EXPECT_EQ(back.report, data.report);
    EXPECT_EQ(back.submitHost, data.submitHost);
    EXPECT_EQ(back.appPresent, data.appPresent);
    EXPECT_EQ(back.productName, data.productName);
    EXPECT_EQ(back.productVersion, data.productVersion);
    EXPECT_EQ(back.userText, data.userText);
    EXPECT_EQ(back.attachmentFile, data.attachmentFile);
    EXPECT_EQ(back.attach, data.attach);
    EXPECT_EQ(back.extraFields, data.extraFields);

    // A record cut short is refused.
    Velm::CrashReportData partial;
    EXPECT_FALSE(Velm::DecodeCrashReportData(bytes.substr(0, bytes.size() - 1), &partial));
    Velm::CrashReportData junk;
    EXPECT_FALSE(Velm::DecodeCrashReportData(std::string("title\0"
                                                         "99999999999\0x",
                                                         19),
                                             &junk));
    EXPECT_FALSE(Velm::DecodeCrashReportData(std::string("unknown\0"
                                                         "1\0x",
                                                         11),
                                             &junk));
}

typedef Velm::CrashReportDialog Dialog;

std::string Describe(const std::vector<Dialog::Button>& buttons) {
    std::string text;
    for (const Dialog::Button& b : buttons) {
        text += b.label + "@" + std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.width) + "x" +
                std::to_string(b.height) + (b.enabled ? "" : " disabled") + ";";
    }
    return text;
}

TEST(CrashReportDialogTest, ErrorWindowButtonsByHostAndApplication) {
    struct Case {
        bool host;
        bool app;
        const char* buttons;
    };
    const Case kCases[] = {
            {false, false, "Close Now@8,268 384x24;"},
            {false, true, "Close Now@8,268 384x24;"},
            {true, false, "Send Report@8,268 188x24 disabled;Close Now@204,268 188x24;"},
            {true, true, "Send Report@8,268 188x24;Close Now@204,268 188x24;"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string("host ") + (c.host ? "set" : "empty") + ", app " + (c.app ? "present" : "absent"));
        Dialog dialog(c.host, c.app);
        EXPECT_EQ(dialog.GetWindow(), Dialog::ERROR_WINDOW);
        EXPECT_EQ(Describe(dialog.GetButtons()), c.buttons);

        // A disabled or missing "Send Report" does nothing.
        dialog.Press("Send Report");
        EXPECT_EQ(dialog.GetWindow(), c.host && c.app ? Dialog::DETAILS_WINDOW : Dialog::ERROR_WINDOW);
    }
}

TEST(CrashReportDialogTest, DetailsWindowWithoutApplicationCannotContinue) {
    Dialog withApp(true, true);
    withApp.Press("Send Report");
    EXPECT_EQ(Describe(withApp.GetButtons()), "Continue@8,268 188x24;Abort@204,268 188x24;");
    // What a dialogue without an application would show there.
    Dialog noApp(true, false);
    noApp.Press("Send Report");
    EXPECT_EQ(noApp.GetWindow(), Dialog::ERROR_WINDOW);
}

TEST(CrashReportDialogTest, ClosingEndsTheDialogueExceptDuringTheUpload) {
    struct Case {
        const char* why;
        std::vector<std::string> presses;
        bool close;
        Dialog::Window end;
    };
    const Case kCases[] = {
            {"close now", {"Close Now"}, false, Dialog::DONE},
            {"close the error window", {}, true, Dialog::DONE},
            {"abort the details", {"Send Report", "Abort"}, false, Dialog::DONE},
            {"close the details", {"Send Report"}, true, Dialog::DONE},
            {"close the progress window", {"Send Report", "Continue"}, true, Dialog::PROGRESS_WINDOW},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Dialog dialog(true, true);
        for (const std::string& label : c.presses) dialog.Press(label);
        if (c.close) dialog.Close();
        EXPECT_EQ(dialog.GetWindow(), c.end);
    }
}

TEST(CrashReportDialogTest, UploadOutcomes) {
    Dialog dialog(true, true);
    dialog.Press("Send Report");
    dialog.SetUserText(std::string(9000, 'u'));
    EXPECT_EQ(dialog.GetUserText().size(), 8191u);
    dialog.Press("Continue");
    EXPECT_EQ(dialog.GetWindow(), Dialog::PROGRESS_WINDOW);
    EXPECT_EQ(Describe(dialog.GetButtons()), "Abort@72,36 96x22;");
    EXPECT_TRUE(dialog.TakeUploadRequest());
    EXPECT_FALSE(dialog.TakeUploadRequest());

    EXPECT_FALSE(dialog.TransferResult(Velm::HTTPTransfer::RESULT_NOT_COMPLETED));
    for (int i = 0; i < 5; ++i) dialog.SecondTick();
    EXPECT_EQ(dialog.GetStatusLine(), "Please Wait . . . . .");

    // A failure asks Retry or Cancel; Retry sends again and the ticks go on.
    EXPECT_TRUE(dialog.TransferResult(Velm::HTTPTransfer::RESULT_CONNECT_FAIL));
    dialog.AnswerRetry(true);
    EXPECT_TRUE(dialog.TakeUploadRequest());
    for (int i = 0; i < 5; ++i) dialog.SecondTick();
    EXPECT_EQ(dialog.GetStatusLine(), "Please Wait");

    dialog.Press("Abort");
    EXPECT_TRUE(dialog.TakeAbortRequest());
    EXPECT_FALSE(dialog.TransferResult(Velm::HTTPTransfer::RESULT_ABORTED));
    EXPECT_EQ(dialog.GetWindow(), Dialog::DONE);

    struct Case {
        int result;
        bool asks;
        Dialog::Window after;
    };
    const Case kCases[] = {
            {0, false, Dialog::DONE},
            {1, false, Dialog::PROGRESS_WINDOW},
            {2, false, Dialog::PROGRESS_WINDOW},
            {3, true, Dialog::PROGRESS_WINDOW},
            {4, true, Dialog::PROGRESS_WINDOW},
            {5, false, Dialog::DONE},
            {6, true, Dialog::PROGRESS_WINDOW},
            {9, true, Dialog::PROGRESS_WINDOW},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.result);
        Dialog d(true, true);
        d.Press("Send Report");
        d.Press("Continue");
        EXPECT_EQ(d.TransferResult(c.result), c.asks);
        EXPECT_EQ(d.GetWindow(), c.after);
        if (c.asks) {
            d.AnswerRetry(false);
            EXPECT_EQ(d.GetWindow(), Dialog::DONE);
        }
    }
}

// Presses the buttons named in `answers`, one per box in order, and keeps what was shown.
class ScriptedBoxes {
public:
    explicit ScriptedBoxes(std::vector<std::string> answers) : mAnswers(std::move(answers)) {
        plat::SetButtonBoxHandlerForTests(
                [this](const std::string&, const std::string& caption, const std::vector<std::string>& labels) {
                    std::string shown = caption + ":";
                    for (const std::string& label : labels) shown += " [" + label + "]";
                    mShown.push_back(shown);
                    const std::string answer = mNext < mAnswers.size() ? mAnswers[mNext++] : std::string();
                    for (size_t i = 0; i < labels.size(); ++i) {
                        if (labels[i] == answer) return static_cast<int>(i);
                    }
                    return -1;
                });
        plat::SetMessageBoxHandlerForTests([this](const std::string& text, const std::string& caption, unsigned) {
            mShown.push_back(caption + ": " + text);
            return mRetries-- > 0 ? plat::kIdRetry : plat::kIdCancel;
        });
    }
    ~ScriptedBoxes() {
        plat::SetButtonBoxHandlerForTests(nullptr);
        plat::SetMessageBoxHandlerForTests(nullptr);
    }
    std::vector<std::string> mShown;
    int mRetries = 0;

private:
    std::vector<std::string> mAnswers;
    size_t mNext = 0;
};

TEST(CrashReportDialogRunTest, SendsTheReportToTheHost) {
    velmtest::OneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK");
    ASSERT_TRUE(server.Listening());
    Velm::CrashReportData data = SampleData();
    data.submitHost = "127.0.0.1:" + std::to_string(server.Port());
    data.userText.clear();

    ScriptedBoxes boxes({"Send Report", "Continue"});
    Velm::HTTPTransfer transfer;
    Velm::RunCrashReportDialog(data, transfer);

    EXPECT_EQ(server.Request(), Velm::BuildCrashReportRequest(data, {}));
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_DONE);
    const std::vector<std::string> expected = {"Fatal Error!: [Send Report] [Close Now]",
                                               "Error Details: [Continue] [Abort]"};
    EXPECT_EQ(boxes.mShown, expected);
}

TEST(CrashReportDialogRunTest, FailedUploadAsksRetryUntilCancelled) {
    int port = 0;
    ASSERT_TRUE(velmtest::ClosedPort(port));
    Velm::CrashReportData data = SampleData();
    data.submitHost = "127.0.0.1:" + std::to_string(port);

    ScriptedBoxes boxes({"Send Report", "Continue"});
    boxes.mRetries = 1;
    Velm::HTTPTransfer transfer;
    Velm::RunCrashReportDialog(data, transfer);

    const std::vector<std::string> expected = {
            "Fatal Error!: [Send Report] [Close Now]", "Error Details: [Continue] [Abort]",
            "Connection Failed: Failed to connect to server.", "Connection Failed: Failed to connect to server."};
    EXPECT_EQ(boxes.mShown, expected);
}

TEST(CrashReportDialogRunTest, WithoutHostOrApplicationOnlyClosing) {
    struct Case {
        const char* why;
        const char* host;
        bool app;
        const char* shown;
    };
    const Case kCases[] = {
            {"no host", "", true, "Fatal Error!: [Close Now]"},
            // "Send Report" is disabled without an application, so the box leaves it out.
            {"no application", "127.0.0.1:9", false, "Fatal Error!: [Close Now]"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Velm::CrashReportData data = SampleData();
        data.submitHost = c.host;
        data.appPresent = c.app;
        // Asking for the missing "Send Report" answers like closing the box.
        ScriptedBoxes boxes({"Send Report"});
        Velm::HTTPTransfer transfer;
        Velm::RunCrashReportDialog(data, transfer);
        ASSERT_EQ(boxes.mShown.size(), 1u);
        EXPECT_EQ(boxes.mShown[0], c.shown);
        EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_STARTED);
    }
}

}  // namespace
