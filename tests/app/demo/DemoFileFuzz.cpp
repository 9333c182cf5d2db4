// libFuzzer target: any bytes taken as a demo file are refused with one of the reader's
// messages or played to the end of their stream, data commands answered as their
// consumers would, without a crash.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/VelmAppBase.h"
#include "platform/MessageBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::SetMessageBoxHandlerForTests([](const std::string&, const std::string&, unsigned) { return 1; });
    Velm::VelmAppBase app;
    app.mProductVersion.clear();  // an empty version text is easy to hit
    app.mPlayingDemo = true;
    std::string error;
    if (!app.ReadDemoData(std::vector<uint8_t>(data, data + size), &error)) {
        if (error != "Invalid demo file." && error.rfind("This demo file appears to be for '", 0) != 0) std::abort();
        app.mPlayingDemo = false;
        return 0;
    }
    for (int guard = 0; guard < 1000000 && !app.IsShutdown() && !app.IsDemoStreamAtEnd(); ++guard) {
        app.PlayDemoCommands();
        app.PrepareDemoCommand(true);
        if (app.IsShutdown() || app.IsDemoStreamAtEnd()) break;
        Velm::Buffer buffer;
        std::string text;
        bool flag = false;
        if (!app.mDemoIsShortCmd && app.mDemoCmdNum == 15)
            app.ReadBufferFromFile("x", buffer);
        else if (!app.mDemoIsShortCmd && app.mDemoCmdNum == 14)
            app.FileExists("x");
        else if (!app.mDemoIsShortCmd && app.mDemoCmdNum == 18 && guard % 2 == 0)
            app.DemoSyncString(text);
        else if (!app.mDemoIsShortCmd && app.mDemoCmdNum == 18)
            app.DemoSyncBool(flag);
        else
            app.mUpdateCnt = app.mDemoNextUpdate;
    }
    if (!app.mDemoError.empty() && app.mDemoError != "Invalid demo file.") std::abort();
    app.mPlayingDemo = false;
    return 0;
}
