// The full play-screen frame on the software path: the stage background, the classic board of
// 144 tiles with pictures, twenty fading tiles, the bars and the pause shadow, drawn into a
// 1024 x 768 image of 8888 pixels. No display and no application: the screen runs on a
// recording host.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/RepresentativeFrame.h"
#include "engine/anim/EngineHooks.h"
#include "game/board/GlobalLayouts.h"
#include "game/board/Layout.h"
#include "game/board/effects/SimpleEffect2.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/ProfileManager.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardTestSupport.h"
#include "tests/game/board/screen/RecordingHost.h"

namespace {

// Tile faces with pictures: 50 groups shaped like the game's tile set.
struct PictureGroup final : Velm::BoardTileGroup {
    int number = 0;
    int type = 0;
    Velm::Image* image = nullptr;
    int GetGroupNumber() const override { return number; }
    int GetType() const override { return type; }
    Velm::Image* GetSpriteImage() const override { return image; }
};

struct PictureSet final : Velm::BoardTileSet {
    std::vector<PictureGroup> groups;
    int GetGroupCount() const override { return static_cast<int>(groups.size()); }
    const Velm::BoardTileGroup* GetGroup(int i) const override {
        return i >= 0 && i < GetGroupCount() ? &groups[static_cast<size_t>(i)] : nullptr;
    }
};

struct PictureSets final : Velm::BoardTileSets {
    PictureSet set;
    const Velm::BoardTileSet* GetCurrentTileSet() const override { return &set; }
    const Velm::BoardTileSet* GetLastTileSet() const override { return &set; }
};

// Tiles drawn as their pictures, centred on their place, in the board's fade.
class PictureSprite : public Velm::TileSprite {
public:
    void SetImage(Velm::Image* newImage) override { image = newImage; }
    void SetCenter(float px, float py) override {
        x = px - (image != nullptr ? image->GetWidth() / 2 : 0);
        y = py - (image != nullptr ? image->GetHeight() / 2 : 0);
    }
    void SetTopLeft(float px, float py) override {
        x = px;
        y = py;
    }
    void ClearSourceSize() override {}
    void SetHidden(bool isHidden) override { hidden = isHidden; }
    void Draw(Velm::Graphics* g, int alpha) override {
        if (hidden || image == nullptr) return;
        g->SetTintImages(alpha < 255);
        g->SetColor(Velm::Color(255, 255, 255, alpha));
        g->DrawImage(image, static_cast<int>(x), static_cast<int>(y));
        g->SetTintImages(false);
    }

private:
    Velm::Image* image = nullptr;
    float x = 0;
    float y = 0;
    bool hidden = false;
};

class PictureVisuals : public Velm::NullBoardVisuals {
public:
    std::unique_ptr<Velm::TileSprite> MakeTileSprite() override { return std::make_unique<PictureSprite>(); }
};

struct Scene {
    std::vector<std::vector<uint32_t>> pixels;
    std::vector<std::unique_ptr<Velm::MemoryImage>> images;
    PictureSets sets;
    PictureVisuals visuals;
    StageCatalogue_t catalogue;
    std::unique_ptr<Velm::BoardWidjet_t> board;
    Velm::MemoryImage screen{nullptr};

    Velm::Image* Keep(std::vector<uint32_t> p, int w, int h) {
        pixels.push_back(std::move(p));
        images.push_back(benchframe::Memory(pixels.back(), w, h));
        return images.back().get();
    }

    Scene() {
        char pattern[] = "/tmp/velm-play-bench-XXXXXX";
        const char* dir = mkdtemp(pattern);
        if (dir == nullptr || chdir(dir) != 0) return;
        mkdir("ui", 0755);
        mkdir("Layouts", 0755);
        std::ofstream("Layouts/Classic", std::ios::binary) << boardtest::ClassicLayoutText();
        std::ofstream("ui/board.txt", std::ios::binary) << "[TimeLbl]\r\nType=Link\r\nPosition=10,50,200,20\r\n";

        Velm::Image* background = Keep(benchframe::BackgroundPixels(), benchframe::kWidth, benchframe::kHeight);
        EngineHooks_t hooks;
        hooks.getImage = [this, background](const std::string& name) -> Velm::Image* {
            // The stage background is the one full-screen picture; the copy is owned by its caller.
            if (name != "day") return nullptr;
            auto* copy = new Velm::MemoryImage(nullptr);
            copy->SetBits(pixels.front().data(), background->GetWidth(), background->GetHeight(), true);
            return copy;
        };
        SetEngineHooks(hooks);

        sets.set.groups.resize(50);
        for (int i = 0; i < 50; ++i) {
            sets.set.groups[static_cast<size_t>(i)].image =
                    Keep(benchframe::TilePixels(51, 64, static_cast<uint32_t>(i)), 51, 64);
        }
        Velm::Layout_t& layout = Velm::gLayoutUsual;
        layout.SetTileSets(&sets);
        layout.SetVisuals(&visuals);
        layout.Init();
        plat::CrtSrand(3);

        auto* stage = new Stage_t;
        stage->day = "day";
        auto level = std::make_unique<StageLevel_t>();
        level->layout = "Classic";
        stage->games0.push_back(std::move(level));
        catalogue.stages.emplace_back(stage);
        ProfileManager_t* profiles = ProfileManager_t::Instance();
        auto profile = std::make_unique<Profile_t>("Bench", 0.5f, 0.4f);
        profile->fileRead = true;
        profiles->AddProfile(std::move(profile));
        profiles->SetCurrentIndex(profiles->GetProfileCount() - 1);

        auto host = std::make_unique<screentest::RecordingHost>();
        host->catalogue = &catalogue;
        board = std::make_unique<Velm::BoardWidjet_t>(std::move(host), "ui/board.txt");
        board->StartLevel(true);
        board->boardState = Velm::BoardWidjet_t::kStatePlaying;
        for (int i = 0; i < 20; ++i) {
            const Velm::LayoutCell_t& tile = layout.Cell(i * 7);
            board->listA.AddObject(new SimpleEffect2(static_cast<int>(tile.x), static_cast<int>(tile.y),
                                                     sets.set.groups[static_cast<size_t>(i)].image, &tile, 0, 200));
        }
        board->ShowShadow(140);
        for (int i = 0; i < 40; ++i) board->Update();
        screen.Create(benchframe::kWidth, benchframe::kHeight);
    }
};

void BM_PlayScreenFrame(benchmark::State& state) {
    static Scene scene;
    Velm::Graphics g(&scene.screen);
    for (auto _ : state) {
        scene.board->Draw(&g);
        scene.board->DrawOverlay(&g);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["tiles"] = Velm::gLayoutUsual.CountActiveTiles();
}
BENCHMARK(BM_PlayScreenFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
