#pragma once

// A game application with stand-in screens that record what the application tells them, in a
// fresh content folder, without a window.

#include <memory>
#include <string>
#include <vector>

#include "game/shell/screens/GameApp.h"
#include "game/shell/ui/BaseDialogWidget.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "tests/platform/TempDir.h"

namespace gameapptest {

// Every call a screen gets, in order, shared by all stand-ins of one application.
using CallLog = std::vector<std::string>;

class RecordingScreen : public Velm::BaseDialogWidget {
public:
    RecordingScreen(std::string name, CallLog* log) : BaseDialogWidget(1, false), mName(std::move(name)), mLog(log) {}
    void OnShown() override { mLog->push_back(mName + " shown " + std::to_string(mShowArgument)); }
    void OnHidden() override { mLog->push_back(mName + " hidden"); }
    void OnTransitionStarted(int code) override { mLog->push_back(mName + " started " + std::to_string(code)); }

    std::string mName;
    CallLog* mLog;
};

// Builds recording screens; a screen named in `missing` is not built.
class RecordingFactory : public Velm::GameScreenFactory {
public:
    explicit RecordingFactory(CallLog* log, std::vector<Velm::GameScreenId> missing = {})
            : mLog(log), mMissing(std::move(missing)) {}

    std::unique_ptr<Velm::BaseDialogWidget> MakeLogos(Velm::GameApp&) override {
        return std::make_unique<RecordingScreen>("logos", mLog);
    }
    std::unique_ptr<Velm::BaseDialogWidget> MakeTitle(Velm::GameApp&) override {
        return std::make_unique<RecordingScreen>("title", mLog);
    }
    std::unique_ptr<Velm::BaseDialogWidget> MakeScreen(Velm::GameScreenId id, Velm::GameApp&) override {
        for (Velm::GameScreenId missing : mMissing) {
            if (missing == id) return nullptr;
        }
        return std::make_unique<RecordingScreen>(Name(id), mLog);
    }
    void OnLoadingDone(Velm::BaseDialogWidget&) override { mLog->push_back("loading done"); }
    void PauseBoardOnFocusLoss(Velm::BaseDialogWidget&, Velm::GameApp&) override { mLog->push_back("pause"); }
    bool ReadTipWindow(Velm::Dialog&, int*, int*) override { return false; }

    static std::string Name(Velm::GameScreenId id) {
        static const char* const kNames[] = {"main", "map", "board", "scores", "simple", "gameover", "comix"};
        return kNames[static_cast<int>(id)];
    }

private:
    CallLog* mLog;
    std::vector<Velm::GameScreenId> mMissing;
};

// The application with its screens built at once (as the loading thread would).
class TestGameApp : public Velm::GameApp {
public:
    explicit TestGameApp(CallLog* log, std::vector<Velm::GameScreenId> missing = {})
            : GameApp(std::make_unique<RecordingFactory>(log, std::move(missing))) {}
    using GameApp::BuildScreens;
    using GameApp::BuildTitleScreen;
};

// Points the application's content folder at a fresh temporary folder for one test.
class ContentFolderScope {
public:
    ContentFolderScope() : mPrevious(plat::CurrentDirectory()) { Velm::GameApp::SetContentFolder(mDir.Path() + "/"); }
    ~ContentFolderScope() {
        Velm::GameApp::SetContentFolder("");
        plat::SetCurrentFolder(mPrevious);
    }
    const velmtest::TempDir& Dir() const { return mDir; }

private:
    std::string mPrevious;
    velmtest::TempDir mDir;
};

}  // namespace gameapptest
