#pragma once

// One full frame of the play screen without an application, shared by the board-frame
// golden test and the play-screen benchmark: the stage background, the classic board of 144
// tiles dealt from a seed, twenty fading tiles, the labels in a glyph font and the pause
// shadow, after a fixed number of update ticks. All pictures are made here from fixed
// patterns (no content files), so the frame is the same on every machine and with every
// content build. The scene changes process-wide state (the current folder, the usual layout,
// the profile list, the bound default font): one scene per process. Main thread.

#include <unistd.h>

#include <sys/stat.h>

#include <cstdint>
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
#include "game/shell/ResourceIds.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardTestSupport.h"
#include "tests/game/board/screen/RecordingHost.h"
#include "tests/graphics/FontTestSupport.h"
#include "widgets/WidgetFlags.h"

namespace boardframe {

constexpr int kWidth = benchframe::kWidth;    // 1024
constexpr int kHeight = benchframe::kHeight;  // 768

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

// The glyph font: every printable ASCII character a cell of kGlyphWidth x kGlyphHeight in one
// sheet, its own pattern of opaque and half-transparent white pixels inside a one-pixel margin.
constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 12;
constexpr int kFirstGlyph = 32;
constexpr int kLastGlyph = 126;

inline std::vector<uint32_t> GlyphSheetPixels() {
    const int count = kLastGlyph - kFirstGlyph + 1;
    const int width = count * kGlyphWidth;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * kGlyphHeight, 0);
    for (int c = kFirstGlyph + 1; c <= kLastGlyph; ++c) {
        for (int y = 1; y < kGlyphHeight - 1; ++y) {
            for (int x = 1; x < kGlyphWidth - 1; ++x) {
                const int pattern = (c * 31 + x * 7 + y * 13) % 5;
                const uint32_t alpha = pattern < 2 ? 0xFF : pattern == 2 ? 0x80 : 0;
                pixels[static_cast<size_t>(y) * width + (c - kFirstGlyph) * kGlyphWidth + x] = alpha << 24 | 0xFFFFFF;
            }
        }
    }
    return pixels;
}

// The font's descriptor over the sheet "glyphs.png" (a character in quotes as the font
// maker writes it: '\\' for the backslash, "'" for the quote).
inline std::string GlyphFontDescriptor() {
    std::string chars, rects, widths;
    for (int c = kFirstGlyph; c <= kLastGlyph; ++c) {
        const std::string ch(1, static_cast<char>(c));
        chars += c == '\\' ? "'\\\\' " : c == '\'' ? "\"'\" " : "'" + ch + "' ";
        rects += "(" + std::to_string((c - kFirstGlyph) * kGlyphWidth) + " 0 " + std::to_string(kGlyphWidth) + " " +
                 std::to_string(kGlyphHeight) + ") ";
        widths += std::to_string(kGlyphWidth) + " ";
    }
    return "Define Chars (" + chars + ");\nCreateLayer Main;\nLayerSetImage Main 'glyphs.png';\n" +
           "LayerSetAscent Main 10;\nLayerSetHeight Main 12;\nLayerSetImageMap Main Chars (" + rects +
           ");\nLayerSetCharWidths Main Chars (" + widths + ");\n";
}

// A label of the play screen in the glyph font, white with a dark shadow.
inline std::string LabelSection(const std::string& name, const std::string& position, int align) {
    return "[" + name + "]\r\nType=Link\r\nFont=FONT_DEFAULT_ADD\r\nColor=0xFFFFFFFF\r\nOverColor=0xFFFFFFFF\r\n" +
           "ShadowX=1\r\nShadowY=1\r\nShadowColor=0xC0000000\r\nAlign=" + std::to_string(align) +
           "\r\nDoFinger=0\r\nPosition=" + position + "\r\n";
}

class BoardFrameScene {
public:
    // seed: the deal; ticks: the updates after the level starts.
    explicit BoardFrameScene(unsigned seed = 3, int ticks = 40) {
        char pattern[] = "/tmp/velm-board-frame-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr || chdir(made) != 0) return;
        folder = made;
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        mkdir("ui", 0755);
        mkdir("Layouts", 0755);
        std::ofstream("Layouts/Classic", std::ios::binary) << boardtest::ClassicLayoutText();
        std::ofstream("ui/board.txt", std::ios::binary)
                << LabelSection("LevelNameLbl", "10,10,300,24", 0) + LabelSection("TimeLbl", "884,10,120,32", 2) +
                           LabelSection("MatchesLbl", "160,708,240,24", 0) +
                           LabelSection("TilesRemainingLbl", "600,708,240,24", 0);
        LoadFont();

        Velm::Image* background = Keep(benchframe::BackgroundPixels(), kWidth, kHeight);
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
        plat::CrtSrand(seed);

        auto* stage = new Stage_t;
        stage->day = "day";
        auto level = std::make_unique<StageLevel_t>();
        level->layout = "Classic";
        stage->games0.push_back(std::move(level));
        catalogue.stages.emplace_back(stage);
        ProfileManager_t* profiles = ProfileManager_t::Instance();
        auto profile = std::make_unique<Profile_t>("Frame", 0.5f, 0.4f);
        profile->fileRead = true;
        profiles->AddProfile(std::move(profile));
        profiles->SetCurrentIndex(profiles->GetProfileCount() - 1);

        auto recording = std::make_unique<screentest::RecordingHost>();
        recording->catalogue = &catalogue;
        board = std::make_unique<Velm::BoardWidjet_t>(std::move(recording), "ui/board.txt");
        board->Resize(0, 0, kWidth, kHeight);
        board->StartLevel(true);
        board->boardState = Velm::BoardWidjet_t::kStatePlaying;
        for (int i = 0; i < 20; ++i) {
            const Velm::LayoutCell_t& tile = layout.Cell(i * 7);
            board->listA.AddObject(new SimpleEffect2(static_cast<int>(tile.x), static_cast<int>(tile.y),
                                                     sets.set.groups[static_cast<size_t>(i)].image, &tile, 0, 200));
        }
        board->ShowShadow(140);
        for (int i = 0; i < ticks; ++i) board->Update();
    }
    ~BoardFrameScene() {
        board.reset();
        if (Velm::FONT_DEFAULT_ADD == font.get()) Velm::FONT_DEFAULT_ADD = nullptr;
        SetEngineHooks(EngineHooks_t());
    }
    BoardFrameScene(const BoardFrameScene&) = delete;
    BoardFrameScene& operator=(const BoardFrameScene&) = delete;

    // The whole frame as the widget manager draws it: the screen, its labels, its overlay.
    void Draw(Velm::Graphics* g) {
        Velm::ModalFlags flags;
        flags.overFlags = Velm::WIDGETFLAGS_DEFAULT;
        flags.underFlags = Velm::WIDGETFLAGS_DEFAULT;
        {
            Velm::Graphics copy(*g);
            board->DrawAll(&flags, &copy);
        }
        board->DrawOverlay(g);
    }

    // The frame drawn into a new 8888 memory image, as 0x00RRGGBB pixels.
    std::vector<uint32_t> DrawnPixels() {
        Velm::MemoryImage screen(nullptr);
        screen.Create(kWidth, kHeight);
        Velm::Graphics g(&screen);
        Draw(&g);
        const uint32_t* bits = screen.GetBits();
        std::vector<uint32_t> out(bits, bits + static_cast<size_t>(kWidth) * kHeight);
        for (uint32_t& p : out) p &= 0xFFFFFF;
        return out;
    }

    bool Ready() const { return board != nullptr; }
    int ActiveTiles() const { return Velm::gLayoutUsual.CountActiveTiles(); }
    // Every picture the frame draws from (the background's copy made by the screen aside).
    const std::vector<std::unique_ptr<Velm::MemoryImage>>& Pictures() const { return images; }

    // The screen; the destructor ends it before the pictures and the font it draws with.
    std::unique_ptr<Velm::BoardWidjet_t> board;

private:
    Velm::Image* Keep(std::vector<uint32_t> p, int w, int h) {
        pixels.push_back(std::move(p));
        images.push_back(benchframe::Memory(pixels.back(), w, h));
        return images.back().get();
    }

    void LoadFont() {
        const std::vector<uint32_t> sheet = GlyphSheetPixels();
        auto* glyphs = new Velm::MemoryImage(nullptr);
        glyphs->SetBits(sheet.data(), (kLastGlyph - kFirstGlyph + 1) * kGlyphWidth, kGlyphHeight, true);
        fontHost.AddImage(folder + "/glyphs.png", glyphs);
        std::ofstream(folder + "/glyphs.txt", std::ios::binary) << GlyphFontDescriptor();
        font = std::make_unique<Velm::ImageFont>(&fontHost, folder + "/glyphs.txt");
        Velm::FONT_DEFAULT_ADD = font.get();
    }

    std::string folder;
    std::vector<std::vector<uint32_t>> pixels;
    std::vector<std::unique_ptr<Velm::MemoryImage>> images;
    Velm::test::RecordingFontHost fontHost;
    std::unique_ptr<Velm::ImageFont> font;
    PictureSets sets;
    PictureVisuals visuals;
    StageCatalogue_t catalogue;
};

}  // namespace boardframe
