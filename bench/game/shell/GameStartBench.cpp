// Start-up of the game on the content the build generates: the work from the program's start
// to the title screen (construction, framework start, the steps after the logos: manifest,
// "Init" and "TitleScreen" groups, tile sets, title, profiles) and the loading thread's
// total (groups "Game", "Direvir", the sprite-sheet pictures and every screen). The logo
// splashes' own display time is not counted. Headless (SDL dummy drivers).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "game/shell/screens/GameApp.h"
#include "platform/Files.h"
#include "platform/Folders.h"

namespace {

const std::string kContent = VELM_BUILD_CONTENT;

class BenchGame : public Velm::GameApp {
public:
    BenchGame() { mOnlyAllowOneCopyToRun = false; }
};

struct StartTimes {
    double toTitle = 0;
    double loading = 0;
};

StartTimes RunStart() {
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    auto game = std::make_unique<BenchGame>();
    game->mCommandLine = "\"tiles\"";
    game->mIsWindowed = true;
    game->Init();
    game->OnLogosFinished();
    const auto t1 = Clock::now();
    game->WaitForLoadingThread();
    const auto t2 = Clock::now();
    game.reset();
    return {std::chrono::duration<double>(t1 - t0).count(), std::chrono::duration<double>(t2 - t1).count()};
}

bool Prepare(benchmark::State& state) {
    if (!std::filesystem::exists(kContent + "/properties/resources.xml")) {
        state.SkipWithError("no generated content (build the target velm_content)");
        return false;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("VELM_NONINTERACTIVE", "1", 0);
    static const std::string home = std::filesystem::temp_directory_path() / "velm-bench-start";
    std::filesystem::remove_all(home);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    Velm::GameApp::SetContentFolder(kContent + "/");
    return true;
}

void BM_StartToTitle(benchmark::State& state) {
    if (!Prepare(state)) return;
    const std::string previous = plat::CurrentDirectory();
    for (auto _ : state) state.SetIterationTime(RunStart().toTitle);
    plat::SetCurrentFolder(previous);
}
BENCHMARK(BM_StartToTitle)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadingThread(benchmark::State& state) {
    if (!Prepare(state)) return;
    const std::string previous = plat::CurrentDirectory();
    for (auto _ : state) state.SetIterationTime(RunStart().loading);
    plat::SetCurrentFolder(previous);
}
BENCHMARK(BM_LoadingThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
