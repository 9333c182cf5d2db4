#pragma once

// Fixtures of the adventure-screen tests: INI text with CR LF line ends, the texts the screens
// look up, and links that record the switches and answer the confirmation box.

#include <string>
#include <vector>

#include "engine/util/IniFile.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/StoryScreenLinks.h"

namespace storytest {

// Lines joined with CR LF, as the game's data files are written.
inline std::string CrLf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

inline IniFile_t Ini(const std::string& origin, std::initializer_list<const char*> lines) {
    const std::string text = CrLf(lines);
    IniFile_t file;
    file.Parse(text.data(), text.size(), true, origin);
    return file;
}

inline void LoadTerms() {
    TextTable_t::Destroy();
    TextTable_t::Instance()->Load(
            Ini("termins.txt", {"[Story]", "Title=The end", "Hello=Well done, %s!", "Odd=Only 5%d left",
                                "Percent=100%% done", "Forty=abcdefghijabcdefghijabcdefghijabcdefghij", "HelpNext=Next",
                                "HelpDone=Done", "User0=Luna", "User9=Nox"}));
}

// Links that record every switch code and answer the confirmation box with `confirm`.
struct RecordingLinks {
    std::vector<int> switches;
    std::vector<int> boxes;
    bool confirm = true;
    Velm::BaseDialogWidget* scores = nullptr;

    Velm::StoryScreenLinks Make() {
        Velm::StoryScreenLinks links;
        links.switchScreen = [this](int code) { switches.push_back(code); };
        links.askMessageBox = [this](int type) {
            boxes.push_back(type);
            return confirm;
        };
        links.scoreTable = [this]() { return scores; };
        return links;
    }
};

}  // namespace storytest
