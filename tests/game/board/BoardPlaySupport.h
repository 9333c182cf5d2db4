#pragma once

// Recording fakes for the board's play tests: pictures that write what they draw
// into a log, a listener that writes every notification into an event log, and a
// small script runner that plays mouse input into a layout the way the play
// screen does.

#include "game/board/BoardVisuals.h"
#include "game/board/Layout.h"
#include "game/board/LayoutListener.h"
#include "tests/game/board/BoardTestSupport.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace boardtest {

using Log = std::vector<std::string>;

inline std::string TileName(const Velm::LayoutCell_t* tile) {
    return tile != nullptr ? std::to_string(tile->tileIndex) : "-";
}

inline std::string TileList(const std::vector<Velm::LayoutCell_t*>* tiles) {
    std::string text;
    if (tiles == nullptr) return text;
    for (const Velm::LayoutCell_t* tile : *tiles) text += (text.empty() ? "" : " ") + TileName(tile);
    return text;
}

// --- Recording pictures ----------------------------------------------------------

struct RecSprite : Velm::TileSprite {
    Log* log;
    std::string name;
    bool hidden = false;
    bool topLeft = false;
    float cx = 0.0f;
    float cy = 0.0f;
    RecSprite(Log* l, std::string n) : log(l), name(std::move(n)) {}
    void SetImage(Velm::Image*) override {}
    void SetCenter(float x, float y) override {
        cx = x;
        cy = y;
        topLeft = false;
    }
    // Placed by its corner rather than centred (the memory mode's face-down
    // picture); drawn as "name#x,y".
    void SetTopLeft(float x, float y) override {
        cx = x;
        cy = y;
        topLeft = true;
    }
    void ClearSourceSize() override {}
    void SetHidden(bool h) override { hidden = h; }
    void Draw(Velm::Graphics*, int alpha) override {
        if (hidden) return;  // a hidden picture draws nothing
        std::ostringstream out;
        out << name;
        if (name == "blocked") out << "@" << cx << "," << cy;
        if (topLeft) out << "#" << cx << "," << cy;
        out << " a=" << alpha;
        log->push_back(out.str());
    }
};

struct RecAnim : Velm::BoardAnim {
    Log* log;
    std::string name;
    int frameCount;
    int frame = 0;
    bool running = false;
    int advances = 0;
    float x = 0.0f;
    float y = 0.0f;
    RecAnim(Log* l, std::string n, int frames) : log(l), name(std::move(n)), frameCount(frames) {}
    std::unique_ptr<Velm::BoardAnim> Clone() const override { return std::make_unique<RecAnim>(*this); }
    int GetFrameIndex() const override { return frame; }
    int GetFrameCount() const override { return frameCount; }
    void Advance() override {
        ++advances;
        if (running && ++frame >= frameCount) running = false;
    }
    bool IsDone() const override { return !running; }
    void SetPosition(float px, float py) override {
        x = px;
        y = py;
    }
    void SetSpin(int) override {}
    void Start() override {
        frame = 0;
        running = frameCount > 0;
    }
    void CopyPhaseFrom(const Velm::BoardAnim& other) override { frame = other.GetFrameIndex(); }
    void Draw(Velm::Graphics*, int alpha) override { Record("", alpha); }
    void DrawTransformed(Velm::Graphics*, int alpha) override { Record("*", alpha); }
    void Record(const char* mark, int alpha) {
        std::ostringstream out;
        out << name << mark << "@" << x << "," << y << " a=";
        if (alpha == kOwnColour)
            out << "own";
        else
            out << alpha;
        log->push_back(out.str());
    }
};

struct RecEffect : Velm::TileEffect {
    Log* log;
    std::string name;
    int ticksLeft;
    float scale = -1.0f;
    RecEffect(Log* l, std::string n, int ticks) : log(l), name(std::move(n)), ticksLeft(ticks) {}
    ~RecEffect() override { log->push_back(name + " deleted"); }
    void Update() override {
        if (ticksLeft > 0) --ticksLeft;
    }
    bool IsDone() const override { return ticksLeft <= 0; }
    void SetScale(float s) override { scale = s; }
    void Draw(Velm::Graphics*) override {
        std::ostringstream out;
        out << name << " s=" << scale;
        log->push_back(out.str());
    }
};

// Pictures that write into one log. Tile sprites are named by the test
// (NameSprites) once the layout is loaded; the combo hint is named after the
// point it was made at and lives ticksPerCycle ticks per cycle.
struct RecVisuals : Velm::BoardVisuals {
    Log log;
    int shuffleFrames = 6;
    int ticksPerCycle = 2;
    std::vector<std::string> hintsMade;
    std::unique_ptr<Velm::TileSprite> MakeTileSprite() override { return std::make_unique<RecSprite>(&log, "sprite"); }
    std::unique_ptr<Velm::BoardAnim> MakeShuffleAnim() override {
        return std::make_unique<RecAnim>(&log, "shuffle", shuffleFrames);
    }
    std::unique_ptr<Velm::BoardAnim> MakeMarker(Velm::BoardMarker which) override {
        static const char* const names[] = {"select", "select2", "hover", "shine"};
        return std::make_unique<RecAnim>(&log, names[static_cast<int>(which)], 10);
    }
    std::unique_ptr<Velm::TileEffect> MakeComboHint(int x, int y, int cycles) override {
        const std::string name = "hint@" + std::to_string(x) + "," + std::to_string(y) + "x" + std::to_string(cycles);
        hintsMade.push_back(name);
        return std::make_unique<RecEffect>(&log, name, cycles * ticksPerCycle);
    }
};

inline void NameSprites(Velm::Layout_t& layout) {
    for (int i = 0; i < layout.itemCount; ++i) {
        if (auto* sprite = dynamic_cast<RecSprite*>(layout.Cell(i).sprite.get()))
            sprite->name = "tile" + std::to_string(i);
    }
    if (auto* sprite = dynamic_cast<RecSprite*>(layout.blockedPicture.get())) sprite->name = "blocked";
}

inline RecSprite* SpriteOf(Velm::Layout_t& layout, int tile) {
    return dynamic_cast<RecSprite*>(layout.Cell(tile).sprite.get());
}

// --- Event log ---------------------------------------------------------------------

struct EventLog : Velm::LayoutListener {
    Log events;
    Log* drawLog = nullptr;  // draw notifications go here when set
    bool logHover = true;

    void Add(const std::string& event) { events.push_back(event); }
    void OnPairRemoved(Velm::LayoutCell_t* t) override { Add("pair(" + TileName(t) + ")"); }
    void OnClickRejected() override { Add("rejected"); }
    void OnSelectionChanged(Velm::LayoutCell_t* t) override { Add("select(" + TileName(t) + ")"); }
    void OnHoverChanged(Velm::LayoutCell_t* t) override {
        if (logHover) Add("hover(" + TileName(t) + ")");
    }
    void OnPairReshuffled(Velm::LayoutCell_t* a, Velm::LayoutCell_t* b) override {
        Add("reshuffled(" + TileName(a) + "," + TileName(b) + ")");
    }
    void OnNoMoreMoves() override { Add("noMoreMoves"); }
    void OnInvalidClick() override { Add("invalid"); }
    void OnLinkedTilesRemoved() override { Add("links"); }
    void OnBoardChanged() override { Add("changed"); }
    void OnLevelComplete() override { Add("levelComplete"); }
    void OnSwapBonusUsed(Velm::LayoutCell_t* a, Velm::LayoutCell_t* b, Velm::LayoutCell_t* tool) override {
        Add("swapUsed(" + TileName(a) + "," + TileName(b) + ";" + TileName(tool) + ")");
    }
    void OnRemoverBonusUsed(const std::vector<Velm::LayoutCell_t*>* targets, Velm::LayoutCell_t* tool) override {
        Add("removerUsed(" + TileList(targets) + ";" + TileName(tool) + ")");
    }
    void OnChangeBonusUsed(const std::vector<Velm::LayoutCell_t*>* tiles, Velm::LayoutCell_t* tool) override {
        Add("changeUsed(" + TileList(tiles) + ";" + TileName(tool) + ")");
    }
    void OnSwapTargetChosen() override { Add("swapTarget"); }
    void OnChangeTargetChosen() override { Add("changeTarget"); }
    void OnShuffleFacesChanged() override { Add("shuffleFaces"); }
    void OnSwapApplied() override { Add("swapApplied"); }
    void OnChangeApplied() override { Add("changeApplied"); }
    void OnRemoverApplied() override { Add("removerApplied"); }
    void OnShuffleFinished() override { Add("shuffleFinished"); }
    void OnBonusTileActivated(int tool, Velm::LayoutCell_t* t) override {
        Add("tool(" + std::to_string(tool) + "," + TileName(t) + ")");
    }
    void OnBonusModeEnded(int tool, Velm::LayoutCell_t* t) override {
        Add("toolEnd(" + std::to_string(tool) + "," + TileName(t) + ")");
    }
    void OnDrawLayer(int layer, Velm::Graphics*) override {
        if (drawLog) drawLog->push_back("layer(" + std::to_string(layer) + ")");
    }
    void OnDrawTileEffects(Velm::Graphics*, Velm::LayoutCell_t* t) override {
        if (drawLog) drawLog->push_back("effects(" + TileName(t) + ")");
    }
    void OnCombo(int count, Velm::LayoutCell_t* t) override {
        Add("combo(" + std::to_string(count) + "," + TileName(t) + ")");
    }
    void OnComboBonus(Velm::LayoutCell_t* t) override { Add("comboBonus(" + TileName(t) + ")"); }
    void OnGroupRemoved(const std::vector<Velm::LayoutCell_t*>* tiles, int) override {
        Add("groupRemoved(" + TileList(tiles) + ")");
    }
    void OnGroupFacesChanged(const std::vector<Velm::LayoutCell_t*>* tiles) override {
        Add("groupFaces(" + TileList(tiles) + ")");
    }
    void OnLayerTilesRemoved(const std::vector<Velm::LayoutCell_t*>* others,
                             const std::vector<Velm::LayoutCell_t*>*) override {
        Add("layerRemoved(" + TileList(others) + ")");
    }
    void OnTilesMoved(const std::vector<Velm::LayoutFlight_t>* flights) override {
        Add("tilesMoved(" + std::to_string(flights ? flights->size() : 0) + ")");
    }
};

// --- Input -------------------------------------------------------------------------

// A screen point that hits the tile (HitTest gives it back); -1, -1 when every
// point of its hit rectangle belongs to a tile in front of it.
inline std::pair<int, int> PointOn(const Velm::Layout_t& layout, int tile) {
    const Velm::LayoutCell_t& cell = layout.Cell(tile);
    const int* rect = layout.positions[cell.layer][cell.row][cell.column];
    const int px = static_cast<int>(cell.x);
    const int py = static_cast<int>(cell.y);
    if (layout.HitTest(px, py) == tile) return {px, py};
    for (int dy = 1; dy < Velm::Layout_t::kHitHeight; dy += 3) {
        for (int dx = 1; dx < Velm::Layout_t::kHitWidth; dx += 3) {
            if (layout.HitTest(rect[0] + dx, rect[1] + dy) == tile) return {rect[0] + dx, rect[1] + dy};
        }
    }
    return {-1, -1};
}

// A point where no tile lies (below the board's lowest row).
constexpr int kAwayX = 1010;
constexpr int kAwayY = 760;

// Plays a script into the layout, writing the results of clicks, undos and drops
// into the listener's log. Steps, separated by ';':
//   hover N          mouse move onto tile N
//   away             mouse move onto empty space
//   click            left click ("->used" or "->unused")
//   pair A B         hover A, click, hover B, click
//   tick N           N update ticks
//   apply            the play screen's swap animation ends (ApplySwap)
//   remove-targets   the play screen's remover takes its targets, then ends
//   undo             Undo ("undo->true" or "undo->false")
//   drop             right click (DropTool, "drop->true" or "drop->false")
//   take N           tile N leaves the board outside any move
//   shuffle          StartShuffle
inline void RunScript(Velm::Layout_t& layout, EventLog& log, const std::string& script) {
    std::istringstream steps(script);
    std::string step;
    auto hover = [&](int tile) {
        const std::pair<int, int> point = PointOn(layout, tile);
        layout.HandleMouseMove(point.first, point.second);
    };
    auto click = [&] { log.Add(layout.HandleClick(0, 0) ? "->used" : "->unused"); };
    while (std::getline(steps, step, ';')) {
        std::istringstream words(step);
        std::string verb;
        if (!(words >> verb)) continue;
        if (verb == "hover") {
            int tile = -1;
            words >> tile;
            hover(tile);
        } else if (verb == "away") {
            layout.HandleMouseMove(kAwayX, kAwayY);
        } else if (verb == "click") {
            click();
        } else if (verb == "pair") {
            int a = -1;
            int b = -1;
            words >> a >> b;
            hover(a);
            click();
            hover(b);
            click();
        } else if (verb == "tick") {
            int n = 0;
            words >> n;
            for (int k = 0; k < n; ++k) layout.Update();
        } else if (verb == "apply") {
            layout.ApplySwap();
        } else if (verb == "remove-targets") {
            const std::vector<int> targets = layout.removerTargets;
            for (int t : targets) layout.RemoveTile(t, 0, true, true);
            layout.FinishRemoverBonus();
        } else if (verb == "undo") {
            log.Add(layout.Undo() ? "undo->true" : "undo->false");
        } else if (verb == "drop") {
            log.Add(layout.DropTool() ? "drop->true" : "drop->false");
        } else if (verb == "take") {
            int tile = -1;
            words >> tile;
            layout.RemoveTile(tile, 0, false, true);
        } else if (verb == "shuffle") {
            layout.StartShuffle();
        } else {
            log.Add("unknown step " + verb);
        }
    }
}

// The play state in one line: selection, hover, tool, tool tile, history size,
// pending operation and the used tiles that are off the board.
inline std::string DescribeState(const Velm::Layout_t& layout) {
    std::ostringstream out;
    out << "sel=" << layout.selected << " hov=" << layout.hovered << " tool=" << layout.toolMode
        << " bonus=" << layout.bonusTile << " hist=" << layout.history.size() << " pending=" << layout.pendingOperation
        << " gone=";
    bool first = true;
    for (int i = 0; i < layout.itemCount; ++i) {
        if (layout.Cell(i).active) continue;
        out << (first ? "" : ",") << i;
        first = false;
    }
    return out.str();
}

// The standard tile set (tool faces 44 swap, 45 change, 46 remover, 47 hint,
// 48 collection, 49 fixed) with two more groups for the linked kinds: 7 shows
// face 51, 8 face 52.
constexpr int kSwapFace = 44;
constexpr int kLinkEndFace = 51;
constexpr int kLinkFace = 52;

inline FakeTileSets PlayTileSets() {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    sets.sets[0].groups.resize(52);
    sets.sets[0].groups[50].type = 7;
    sets.sets[0].groups[51].type = 8;
    return sets;
}

}  // namespace boardtest
