// The command line: demo recording and playback, screen-saver mode, the
// working folder and the crash test.

#include "app/VelmAppBase.h"
#include "resources/base/Paths.h"

namespace Velm {

void VelmAppBase::ReadCommandLine() {
    mCmdLineParsed = true;
    const std::string& line = mCommandLine;
    size_t nameEnd;
    if (!line.empty() && line[0] == '"') {
        nameEnd = line.find('"', 1);
        if (nameEnd == std::string::npos) return;
    } else {
        nameEnd = 0;
    }
    const size_t space = line.find(' ', nameEnd);
    if (space == std::string::npos) return;
    ParseCommandLine(line.substr(space + 1));
}

void VelmAppBase::ParseCommandLine(const std::string& text) {
    std::string name;
    std::string value;
    bool valueMode = false;
    bool inQuotes = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        bool endOfParam = false;
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ' ' && !inQuotes) {
            endOfParam = true;
        } else if (c == '=') {
            valueMode = true;
        } else if (valueMode) {
            value += c;
        } else {
            name += c;
        }
        if (endOfParam || i + 1 == text.size()) {
            if (!name.empty()) HandleCmdLineParam(name, value);
            name.clear();
            value.clear();
            valueMode = false;
        }
    }
}

void VelmAppBase::HandleCmdLineParam(const std::string& name, const std::string& value) {
    int number = 0;
    if (name == "-play") {
        mPlayingDemo = true;
        mRecordingDemo = false;
    } else if (name == "-recnum") {
        StringToInt(value, &number);
        const int keep = number > 0 ? number : 5;
        const int n = FindNumberedDemoFiles(mDemoPrefix, keep, true);
        mDemoFileName = DemoPathOf(FormatString("%s%d.dmo", mDemoPrefix.c_str(), n + 1));
        mRecordingDemo = true;
        mPlayingDemo = false;
    } else if (name == "-playnum") {
        StringToInt(value, &number);
        const int back = number - 1 > 0 ? number - 1 : 0;
        const int n = FindNumberedDemoFiles(mDemoPrefix, back, false);
        mDemoFileName = DemoPathOf(FormatString("%s%d.dmo", mDemoPrefix.c_str(), n - back));
        mPlayingDemo = true;
        mRecordingDemo = false;
    } else if (name == "-record") {
        mRecordingDemo = true;
        mPlayingDemo = false;
    } else if (name == "-demofile") {
        mDemoFileName = DemoPathOf(value);
    } else if (name == "-crash") {
        RequestCrashReport();
    } else if (name == "-screensaver") {
        mIsScreenSaver = true;
    } else if (name == "-changedir") {
        mChangeDirTo = value;
    } else {
        Popup(GetStringWithDefault("INVALID_COMMANDLINE_PARAM", "Invalid command line parameter: ") + name);
        RestoreDisplayAndExit(1);
    }
}

}  // namespace Velm
