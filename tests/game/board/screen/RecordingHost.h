#pragma once

// A host for the play screen that records what the screen asks of the application: sounds,
// windows, screen switches and music. Shared by the screen tests and the screen benchmark.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/board/screen/BoardHost.h"
#include "game/shell/BonusSettings.h"
#include "game/shell/MusicPlaylist.h"
#include "game/shell/StageCatalogue.h"

namespace screentest {

struct OpenedDialog {
    Velm::BoardDialog kind;
    Velm::BoardDialogRequest request;
};

class RecordingHost : public Velm::BoardHost {
public:
    std::vector<std::string> sounds;
    std::vector<OpenedDialog> dialogs;
    std::vector<int> switches;
    std::vector<int> killed;
    std::vector<std::string> errors;
    std::vector<std::string> music;
    std::map<std::string, bool> flags;
    std::set<int> openIds;  // dialogs that count as registered
    bool adventure = false;
    bool openFails = false;
    bool debug = false;
    StageCatalogue_t* catalogue = nullptr;
    Velm::BonusSettings bonus;
    MusicPlaylist_t playlist;
    int openCount = 0;

    int PlaySound(const std::string& name) override {
        sounds.push_back(name);
        return 0;
    }
    void FadeOutSoundEffects() override {}
    void StopMusic() override { music.push_back("stop"); }
    void PlayMusicTrack(const std::string& file, void (*)()) override { music.push_back(file); }
    void SwitchScreen(int code) override { switches.push_back(code); }
    bool OpenDialog(const Velm::BoardDialogRequest& request, Velm::DialogListener*) override {
        if (openFails) return false;
        dialogs.push_back({request.kind, request});
        ++openCount;
        return true;
    }
    bool IsDialogOpen(int id) override { return openIds.count(id) != 0; }
    void KillDialog(int id) override { killed.push_back(id); }
    bool ReadDialogFlag(int, const std::string& name) override { return flags[name]; }
    void CloseTip(bool) override {}
    void ShowLevelError(const std::string& key, const std::string& detail) override {
        errors.push_back(key + ": " + detail);
    }
    int InsertHighScore(const std::string&, int, int, int) override { return -1; }
    void TellGameOverPlace(bool) override {}
    void SetFocus(Velm::Widget*) override {}
    void SetDefaultCursor() override {}
    int GetWidth() override { return 1024; }
    int GetHeight() override { return 768; }
    bool IsDebugMode() override { return debug; }
    bool IsControlDown() override { return false; }
    bool IsSmoothUpdating() override { return false; }
    bool IsAdventureMode() override { return adventure; }
    StageCatalogue_t* GetStageCatalogue() override { return catalogue; }
    const Velm::BonusSettings& GetBonusSettings() override { return bonus; }
    MusicPlaylist_t* GetMusicPlaylist() override { return &playlist; }
    Velm::Image* GetResourceImage(int) override { return nullptr; }

    int Count(const std::string& sound) const {
        int n = 0;
        for (const std::string& s : sounds) n += s == sound ? 1 : 0;
        return n;
    }
    bool Opened(Velm::BoardDialog kind) const {
        for (const OpenedDialog& d : dialogs) {
            if (d.kind == kind) return true;
        }
        return false;
    }
};

}  // namespace screentest
