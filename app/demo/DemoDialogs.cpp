#include "app/demo/DemoDialogs.h"

#include "app/demo/DemoDialogHost.h"
#include "app/demo/DemoDialogsInWindow.h"
#include "platform/ButtonBox.h"
#include "resources/base/StringUtils.h"

#include <cstdlib>

namespace Velm {

namespace {

// Shown in the window of the process's application; the button box where it has none.
DemoDialogsInWindow gInWindow;
DemoDialogs* gDialogs = nullptr;
DemoDialogHost* gHost = nullptr;

}  // namespace

DemoDialogs::~DemoDialogs() {}

int DemoDialogs::ChooseMarker(const std::vector<std::string>& lines) {
    std::vector<std::string> labels = lines;
    labels.push_back("Cancel");
    const int cancel = static_cast<int>(lines.size());
    DemoDialogHost* host = GetDemoDialogHost();
    if (host != nullptr) host->BeginPopup();
    const int chosen = plat::ShowButtonBox("", "Marker List", labels, cancel, cancel);
    if (host != nullptr) host->EndPopup();
    return chosen >= 0 && chosen < cancel ? chosen : -1;
}

bool DemoDialogs::EditJumpTime(std::string* text) {
    DemoDialogHost* host = GetDemoDialogHost();
    if (host != nullptr) host->BeginPopup();
    const bool ok = plat::ShowButtonBox(*text, "Jump To Time", {"Ok", "Cancel"}, 0, 1) == 0;
    if (host != nullptr) host->EndPopup();
    return ok;
}

DemoDialogs& GetDemoDialogs() { return gDialogs != nullptr ? *gDialogs : gInWindow; }

void SetDemoDialogs(DemoDialogs* dialogs) { gDialogs = dialogs; }

DemoDialogHost* GetDemoDialogHost() { return gHost; }

void SetDemoDialogHost(DemoDialogHost* host) { gHost = host; }

std::string FormatDemoMarkerLine(const std::string& name, int updatesToEnd, int frameTimeMs) {
    const long long seconds = static_cast<long long>(updatesToEnd) * frameTimeMs / 1000;
    return FormatString("%s (%02d:%02d:%02d)", name.c_str(), static_cast<int>(seconds / 3600),
                        static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
}

int ParseDemoJumpTime(const std::string& text) {
    long long total = 0;
    size_t start = 0;
    for (;;) {
        const size_t colon = text.find(':', start);
        const std::string part = text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        total = total * 60 + std::atoi(part.c_str());
        // Years of play, far beyond any demo; keeps the sum from overflowing.
        if (total > 0x7FFFFFF) total = 0x7FFFFFF;
        if (total < -0x7FFFFFF) total = -0x7FFFFFF;
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return static_cast<int>(total);
}

}  // namespace Velm
