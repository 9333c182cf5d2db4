// One frame of the main menu in software 8888 on one core, updated and drawn: the
// night background, two wave layers and two cloud layers tiled across the screen, the
// description's title picture, the fire's current frame (additive) and the torch;
// "+flash" adds the lightning flash at half strength (additive, full screen), which
// shows for 30 updates of every 1030. Beside it pixman composites the same frame's recorded
// blits (PixmanReplay.h) onto an 8888 screen. ours/... draws into a memory image,
// ours/display/... on the display's 8888 drawing surface (the game's screen without 3D); both
// include the menu's update.
// Goals: the usual frame within 8 ms (inside one 10 ms update, so that a machine without 3D
// drawing keeps the menu at its 100 updates a second) and within 1.5 times pixman's time.
// Run with --benchmark_repetitions=N on a busy machine: the closing table takes the median run.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/FrameOnDisplay.h"
#include "bench/display/RepresentativeFrame.h"
#include "bench/game/ComparisonTable.h"
#include "bench/game/PixmanReplay.h"
#include "bench/game/SoftwareDisplay.h"
#include "engine/anim/EngineHooks.h"
#include "engine/anim/SpriteSheet.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/screens/MainScreen.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/DebugOutput.h"
#include "tests/game/shell/TestFiles.h"
#include "tests/game/shell/screens/MenuTestFiles.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"

namespace {

using benchframe::kHeight;
using benchframe::kWidth;
using Velm::MemoryImage;

using menutest::WriteText;

std::string ScrollAnim(const char* image, int tileW, int tileH, int areaH, const char* speed) {
    return std::string("[Main]\nSprite=Sheet\nFrames=0\nFrameDelay=1\nWidth=1024\nHeight=") + std::to_string(areaH) +
           "\nSpeedX=" + speed + "\nSpeedY=0\n[Sheet]\nImageFile=" + image + "\nRects=0,0," + std::to_string(tileW) +
           "," + std::to_string(tileH) + "\n";
}

// The pictures, by the names the menu's files give them.
struct Pictures {
    std::map<std::string, std::vector<uint32_t>> pixels;
    std::map<std::string, std::pair<int, int>> sizes;
    std::map<std::string, std::unique_ptr<MemoryImage>> shared;

    void Add(const std::string& name, std::vector<uint32_t> p, int w, int h) {
        pixels[name] = std::move(p);
        sizes[name] = {w, h};
        shared[name] = benchframe::Memory(pixels[name], w, h);
    }
    Velm::Image* NewCopy(const std::string& name) {
        auto it = pixels.find(name);
        if (it == pixels.end()) return nullptr;
        return benchframe::Memory(it->second, sizes[name].first, sizes[name].second).release();
    }
    Velm::Image* Shared(const std::string& name) {
        auto it = shared.find(name);
        return it != shared.end() ? it->second.get() : nullptr;
    }
};

struct Menu {
    TempDir dir;
    Pictures pictures;
    std::unique_ptr<screenstest::CurrentDir> here;
    std::unique_ptr<Velm::MainScreen> screen;
    MemoryImage target;
    plat::CapturedDebugOutput quiet;

    Menu() {
        pictures.Add("back", benchframe::BackgroundPixels(), kWidth, kHeight);
        pictures.Add("title", benchframe::TilePixels(600, 150, 3), 600, 150);
        pictures.Add("images/main/clouds", benchframe::BlobPixels(256, 0xC0C8D8), 256, 256);
        pictures.Add("images/main/waves", benchframe::TilePixels(256, 96, 7), 256, 96);
        pictures.Add("images/main/fire0", benchframe::BlobPixels(160, 0xFF8020), 160, 160);
        pictures.Add("images/main/fire1", benchframe::BlobPixels(160, 0xFFA040), 160, 160);
        pictures.Add("images/main/fakel", benchframe::TilePixels(60, 180, 11), 60, 180);
        pictures.Add("images/main/lightning", benchframe::BlobPixels(1024, 0x8090FF), 1024, 768);
        Velm::IMAGE_GAME_BACK = pictures.Shared("back");
        Velm::IMAGE_MAIN_TITLE = pictures.Shared("title");
        Velm::IMAGE_MAIN_CLOUDS1 = pictures.Shared("images/main/clouds");
        Velm::IMAGE_MAIN_CLOUDS2 = pictures.Shared("images/main/clouds");

        EngineHooks_t hooks;
        hooks.getImage = [this](const std::string& path) { return pictures.NewCopy(path); };
        hooks.getImagePtr = [this](const std::string& id) { return pictures.Shared(id); };
        hooks.addSpriteImage = [](const std::string&, const std::string&, const std::string&) { return true; };
        SetEngineHooks(hooks);

        const std::string d = dir.Path();
        WriteText(d + "/ui/main.txt",
                  "[Back]\nType=Image\nImage=IMAGE_GAME_BACK\nLevel=0\nPosition=0,0,1024,768\n"
                  "[Title]\nType=Image\nImage=IMAGE_MAIN_TITLE\nLevel=1\nPosition=212,40,600,150\n"
                  "[NameLbl]\nType=Link\nPosition=10,10,200,30\n"
                  "[ButtonsXY]\nType=Point\nX=400\nY=250\n[ButtonsWH]\nType=Point\nX=220\nY=400\n");
        WriteText(d + "/data/clouds1.anim", ScrollAnim("images/main/clouds", 256, 256, 300, "0.3"));
        WriteText(d + "/data/clouds2.anim", ScrollAnim("images/main/clouds", 256, 256, 260, "0.5"));
        WriteText(d + "/data/waves.anim", ScrollAnim("images/main/waves", 256, 96, 768, "0.7"));
        WriteText(d + "/data/waves2.anim", ScrollAnim("images/main/waves", 256, 96, 768, "-0.4"));
        WriteText(d + "/data/fire.xml",
                  "<anims><fire time=\"0.1\" x=\"20\" y=\"520\" additive=\"1\"><item name=\"images/main/fire0\"/>"
                  "<item name=\"images/main/fire1\"/></fire></anims>");
        here = std::make_unique<screenstest::CurrentDir>(d);
        screen = std::make_unique<Velm::MainScreen>(nullptr);
        screen->Resize(0, 0, kWidth, kHeight);
        screen->askForPlayer = false;
        target.Create(kWidth, kHeight);
    }
    ~Menu() {
        screen.reset();
        ClearSpriteSheetCache();  // its sheets point to this run's pictures
        SetEngineHooks(EngineHooks_t());
    }
};

void Ours(benchmark::State& state, bool flash) {
    Menu menu;
    menu.screen->lightning.SetAlpha(flash ? 128.0f : 0.0f);
    for (auto _ : state) {
        menu.screen->Update();
        Velm::Graphics g(&menu.target);
        menu.screen->Draw(&g);
        benchmark::DoNotOptimize(menu.target.GetBits());
    }
    state.SetItemsProcessed(state.iterations());
}

// The same on the display's 8888 drawing surface, the game's screen without 3D.
void OursDisplay(benchmark::State& state, bool flash) {
    benchgame::SoftwareDisplay display(32);
    if (!display.Error().empty()) {
        state.SkipWithError(display.Error().c_str());
        return;
    }
    Menu menu;
    menu.screen->lightning.SetAlpha(flash ? 128.0f : 0.0f);
    Velm::DDImage* screen = display.Screen();
    for (auto _ : state) {
        menu.screen->Update();
        screen->LockSurface();
        Velm::Graphics g(screen);
        menu.screen->Draw(&g);
        screen->UnlockSurface();
        benchmark::ClobberMemory();
    }
}

// One frame, after as many updates as a short run of ours makes, recorded and replayed.
void Pixman(benchmark::State& state, bool flash) {
    Menu menu;
    menu.screen->lightning.SetAlpha(flash ? 128.0f : 0.0f);
    for (int i = 0; i < 100; ++i) menu.screen->Update();
    benchgame::RecordingImage recorder;
    recorder.Create(kWidth, kHeight);
    {
        Velm::Graphics g(&recorder);
        menu.screen->Draw(&g);
    }
    benchgame::PixmanReplay replay(recorder.calls, PIXMAN_x8r8g8b8, kWidth, kHeight);
    for (auto _ : state) {
        replay.Draw();
        benchmark::ClobberMemory();
    }
    state.counters["composites"] = replay.Composites();
    state.counters["not_replayed"] = recorder.unreplayed;
    // The recorder drew the frame itself: how much of pixman's picture is the same (within 8
    // in every channel).
    const uint32_t* ours = recorder.GetBits();
    state.counters["same_picture_pct"] = benchgame::SamePicturePercent(
            kWidth, kHeight, [ours](int x, int y) { return ours[static_cast<size_t>(y) * kWidth + x]; },
            [&replay](int x, int y) { return replay.Pixel32(x, y); });
}

}  // namespace

int main(int argc, char** argv) {
    for (bool flash : {false, true}) {
        const std::string frame = flash ? "menu+flash" : "menu";
        benchmark::RegisterBenchmark(("ours/" + frame).c_str(), [flash](benchmark::State& s) {
            Ours(s, flash);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ours/display/" + frame).c_str(), [flash](benchmark::State& s) {
            OursDisplay(s, flash);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("pixman/" + frame).c_str(), [flash](benchmark::State& s) {
            Pixman(s, flash);
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchframe::MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchgame::PrintComparison(reporter, {{"ours/menu", "pixman/menu", 8.0, 1.5},
                                          {"ours/display/menu", "pixman/menu", 8.0, 1.5},
                                          {"ours/menu+flash", "pixman/menu+flash", 8.0, 1.5},
                                          {"ours/display/menu+flash", "pixman/menu+flash", 8.0, 1.5}});
    benchmark::Shutdown();
    return 0;
}
