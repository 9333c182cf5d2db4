#include "game/shell/screens/ProgramEntry.h"

#include <memory>

#include "engine/logwindow/ProcessLogWindowHost.h"
#include "game/shell/screens/GameApp.h"
#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "resources/base/Paths.h"

namespace Velm {

std::string FindContentFolder(const std::string& programFolder) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::string content = folder + "content/";
    if (plat::IsDirectory(content)) return content;
    return folder;
}

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string line = "\"";
    line += argc > 0 && argv[0] != nullptr ? argv[0] : "tiles";
    line += "\"";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] != nullptr ? argv[i] : "";
        line += ' ';
        if (argument.empty() || argument.find(' ') != std::string::npos) {
            line += '"' + argument + '"';
        } else {
            line += argument;
        }
    }
    return line;
}

int RunGameApp(GameApp& app, const std::string& commandLine) {
    app.mCommandLine = commandLine;
    app.Init();
    app.Start();
    return app.IsLoadingFailed() ? 1 : 0;
}

int RunGame(int argc, const char* const* argv) {
    // Logger windows are ready from the start, as the engine's loggers expect; the game's own
    // loggers write to no window, so none opens.
    InstallProcessLogWindows();
    const std::string content = FindContentFolder(plat::ExecutableFolder());
    GameApp::SetContentFolder(content);
    plat::SetCurrentFolder(content);

    auto app = std::make_unique<GameApp>();
    // Window handles, run statistics and debug lines go to the log in the data folder, not to
    // the player's terminal.
    const std::string dataFolder = plat::AppDataFolder(app->mCompanyFolderName, app->mProductName);
    if (!dataFolder.empty()) MakeFolders(dataFolder);
    plat::DebugOutputFile log(dataFolder.empty() ? std::string() : dataFolder + kLogFileName);
    const int exitCode = RunGameApp(*app, JoinCommandLine(argc, argv));
    // The destructor saves the players and the score table.
    app.reset();
    return exitCode;
}

}  // namespace Velm
