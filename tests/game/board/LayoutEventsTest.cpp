#include "game/board/Layout.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace boardtest;
using Velm::Layout_t;

namespace {

// An animation driven by the test: frameCount frames, one per Advance.
struct DrivenAnim : Velm::BoardAnim {
    int frameCount;
    int frame = 0;
    bool running = false;
    float x = 0.0f;
    float y = 0.0f;
    int spin = 0;
    explicit DrivenAnim(int frames) : frameCount(frames) {}
    std::unique_ptr<Velm::BoardAnim> Clone() const override { return std::make_unique<DrivenAnim>(*this); }
    int GetFrameIndex() const override { return frame; }
    int GetFrameCount() const override { return frameCount; }
    void Advance() override {
        if (running && ++frame >= frameCount) running = false;
    }
    bool IsDone() const override { return !running; }
    void SetPosition(float px, float py) override {
        x = px;
        y = py;
    }
    void SetSpin(int s) override { spin = s; }
    void Start() override {
        frame = 0;
        running = true;
    }
    void CopyPhaseFrom(const Velm::BoardAnim& other) override { frame = other.GetFrameIndex(); }
    void Draw(Velm::Graphics*, int) override {}
    void DrawTransformed(Velm::Graphics*, int) override {}
};

struct CountingSprite : Velm::TileSprite {
    float cx = 0.0f;
    float cy = 0.0f;
    void SetImage(Velm::Image*) override {}
    void SetCenter(float x, float y) override {
        cx = x;
        cy = y;
    }
    void SetTopLeft(float, float) override {}
    void ClearSourceSize() override {}
    void SetHidden(bool) override {}
    void Draw(Velm::Graphics*, int) override {}
};

struct DrivenVisuals : Velm::BoardVisuals {
    int frames;
    int spritesMade = 0;
    explicit DrivenVisuals(int shuffleFrames) : frames(shuffleFrames) {}
    std::unique_ptr<Velm::TileSprite> MakeTileSprite() override {
        ++spritesMade;
        return std::make_unique<CountingSprite>();
    }
    std::unique_ptr<Velm::BoardAnim> MakeShuffleAnim() override { return std::make_unique<DrivenAnim>(frames); }
    std::unique_ptr<Velm::BoardAnim> MakeMarker(Velm::BoardMarker) override { return std::make_unique<DrivenAnim>(1); }
    std::unique_ptr<Velm::TileEffect> MakeComboHint(int x, int y, int cycles) override {
        return Velm::NullBoardVisuals::Instance().MakeComboHint(x, y, cycles);
    }
};

std::unique_ptr<Layout_t> Make(Velm::BoardVisuals* visuals, Velm::LayoutListener* listener, const std::string& text) {
    auto layout = std::make_unique<Layout_t>();
    layout->SetVisuals(visuals);
    layout->SetListener(listener);
    layout->Init();
    EXPECT_TRUE(layout->LoadFromText(text, "events")) << layout->GetLoadError();
    return layout;
}

// Three free tiles in a row and one covered under the middle's neighbour.
std::string ShuffleLayout() {
    return LayoutText({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}, {0, 4, 4}, {1, 4, 4}, {0, 8, 0, 6}});
}

TEST(LayoutEvents, ShuffleDealsAtTheMiddleFrameAndFinishes) {
    DrivenVisuals visuals(6);
    RecordingListener listener;
    auto layout = Make(&visuals, &listener, ShuffleLayout());
    EXPECT_EQ(visuals.spritesMade, 6 + 1);  // one per tile and the blocked picture
    plat::CrtSrand(3);
    layout->Deal(true);

    layout->StartShuffle();
    EXPECT_EQ(layout->shuffleMode, Layout_t::kShuffleDeal);
    EXPECT_EQ(layout->shuffleAnims.size(), 5u);  // every active tile but the collection tile
    // Animations on the uncovered ordinary tiles only, placed beside the pivot.
    for (int i : {0, 1, 2, 4}) {
        ASSERT_NE(layout->Cell(i).shuffleAnim, nullptr) << i;
        auto* anim = static_cast<DrivenAnim*>(layout->Cell(i).shuffleAnim);
        EXPECT_FLOAT_EQ(anim->x, layout->Cell(i).x + 5.0f);
        EXPECT_FLOAT_EQ(anim->y, layout->Cell(i).y - 5.0f);
        EXPECT_EQ(anim->spin, 1);
    }
    EXPECT_EQ(layout->Cell(3).shuffleAnim, nullptr);
    EXPECT_EQ(layout->Cell(5).shuffleAnim, nullptr);

    // Frames 0, 1, 2 pass; at frame 3 (6 / 2) the faces are dealt again.
    for (int tick = 0; tick < 3; ++tick) layout->Update();
    EXPECT_TRUE(listener.events.empty());
    layout->Update();
    EXPECT_EQ(listener.events, (std::vector<std::string>{"ShuffleFacesChanged"}));
    EXPECT_TRUE(layout->shuffleMidpointDone);
    layout->Update();
    EXPECT_EQ(layout->shuffleMode, Layout_t::kShuffleDeal);
    layout->Update();
    EXPECT_EQ(listener.events, (std::vector<std::string>{"ShuffleFacesChanged", "ShuffleFinished"}));
    EXPECT_EQ(layout->shuffleMode, Layout_t::kShuffleNone);
    for (int i = 0; i < layout->itemCount; ++i) EXPECT_EQ(layout->Cell(i).shuffleAnim, nullptr);
    layout->Update();
    EXPECT_TRUE(layout->shuffleAnims.empty());
    EXPECT_EQ(listener.events.size(), 2u);
    EXPECT_EQ(layout->tickCount, 7);
}

TEST(LayoutEvents, ShuffleIsDeterministicForASeed) {
    std::vector<int> faces[2];
    for (std::vector<int>& result : faces) {
        auto layout = Make(nullptr, nullptr, ClassicLayoutText());
        plat::CrtSrand(99);
        layout->Deal(true);
        layout->StartShuffle();
        for (int tick = 0; tick < Velm::NullBoardVisuals::kNullAnimFrames + 2; ++tick) layout->Update();
        EXPECT_EQ(layout->shuffleMode, Layout_t::kShuffleNone);
        for (int i = 0; i < layout->itemCount; ++i) result.push_back(layout->Cell(i).face);
    }
    EXPECT_EQ(faces[0], faces[1]);
}

TEST(LayoutEvents, RebalanceWithEvenClassesStartsNothing) {
    auto layout = Make(nullptr, nullptr, LayoutText({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}, {0, 0, 12}}));
    for (int i = 0; i < 4; ++i) layout->SetTileFace(i, i < 2 ? 5 : 9);
    EXPECT_FALSE(layout->StartRebalance());
    EXPECT_EQ(layout->shuffleMode, Layout_t::kShuffleNone);
    EXPECT_TRUE(layout->shuffleAnims.empty());
}

TEST(LayoutEvents, RebalanceGivesOddClassesACommonFace) {
    DrivenVisuals visuals(4);
    RecordingListener listener;
    auto layout = Make(&visuals, &listener,
                       LayoutText({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}, {0, 0, 12}, {0, 0, 16}, {0, 0, 20}}));
    const int faces[] = {5, 5, 5, 9, 9, 9};
    for (int i = 0; i < 6; ++i) layout->SetTileFace(i, faces[i]);
    layout->history.push_back({});  // a move to join the new faces to
    plat::CrtSrand(8);
    ASSERT_TRUE(layout->StartRebalance());
    EXPECT_EQ(layout->rebalanceList, (std::vector<int>{0, 3}));
    EXPECT_EQ(layout->shuffleMode, Layout_t::kShuffleRebalance);
    for (int tick = 0; tick < 4; ++tick) layout->Update();
    EXPECT_EQ(listener.events, (std::vector<std::string>{"PairReshuffled", "ShuffleFacesChanged", "ShuffleFinished"}));
    EXPECT_EQ(listener.reshuffled, (std::vector<std::pair<int, int>>{{0, 3}}));
    EXPECT_EQ(layout->Cell(0).face, layout->Cell(3).face);
    ASSERT_EQ(layout->history.back().size(), 2u);
    EXPECT_EQ(layout->history.back()[0].tile, 0);
    EXPECT_EQ(layout->history.back()[0].face, 5);
    EXPECT_EQ(layout->history.back()[1].face, 9);
    EXPECT_EQ(layout->currentMove.size(), 2u);
    EXPECT_TRUE(layout->rebalanceList.empty());
}

TEST(LayoutEvents, ReshuffleWithoutHistoryChangesNothing) {
    auto layout = Make(nullptr, nullptr, LayoutText({{0, 0, 0}, {0, 0, 4}}));
    layout->SetTileFace(0, 3);
    layout->SetTileFace(1, 4);
    layout->rebalanceList = {0, 1};
    layout->ReshufflePairs();
    EXPECT_EQ(layout->Cell(0).face, 3);
    EXPECT_EQ(layout->Cell(1).face, 4);
    EXPECT_EQ(layout->rebalanceList.size(), 2u);
}

TEST(LayoutEvents, MergePutsTheOtherLayoutUnderneath) {
    RecordingListener listener;
    auto layout = Make(nullptr, &listener, LayoutText({{0, 0, 0}, {0, 0, 10}}));
    auto other = Make(nullptr, nullptr, LayoutText({{0, 0, 10}, {1, 0, 10}}));
    other->SetTileFace(0, 7);
    other->SetTileFace(1, 7);
    layout->selected = 1;
    ASSERT_TRUE(layout->MergeLayout(*other));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"SelectionChanged(null)", "HoverChanged(null)"}));
    EXPECT_EQ(layout->itemCount, 4);
    EXPECT_EQ(layout->selected, -1);
    // Lifted by two layers: the free tile settles back to its own layer, the
    // other rests on the incoming stack.
    EXPECT_EQ(layout->Cell(0).layer, 0);
    EXPECT_EQ(layout->Cell(1).layer, 2);
    EXPECT_EQ(layout->tiles[1].cells[3].layer, 2);
    EXPECT_EQ(layout->Cell(2).layer, 0);
    EXPECT_EQ(layout->Cell(3).layer, 1);
    EXPECT_EQ(layout->Cell(3).face, 7);
    EXPECT_TRUE(layout->Cell(3).active);
    EXPECT_EQ(layout->layerCount, 3);
    EXPECT_EQ(layout->activeTileCount, 4);
    EXPECT_TRUE(layout->IsOccupied(2, 1, 11));
    EXPECT_FALSE(layout->IsTileFree(3));
    EXPECT_EQ(layout->drawLists.size(), 3u);
}

TEST(LayoutEvents, MergeBeyondTheLimitsIsRefused) {
    std::vector<TileLine> full;
    for (int layer = 0; layer < 2; ++layer) {
        for (int r = 0; r < 12; ++r) {
            for (int c = 0; c < 20; ++c) full.push_back({layer, 2 * r, 2 * c});
        }
    }
    auto big = Make(nullptr, nullptr, LayoutText(full));
    std::vector<TileLine> row;
    for (int c = 0; c < 20; ++c) row.push_back({0, 0, 2 * c});
    row.push_back({0, 2, 0});
    auto extra = Make(nullptr, nullptr, LayoutText(row));
    EXPECT_FALSE(big->MergeLayout(*extra));  // 480 + 21 tiles
    EXPECT_EQ(big->itemCount, 480);
    EXPECT_EQ(big->Cell(0).layer, 0);

    auto high = Make(nullptr, nullptr, LayoutText({{8, 0, 0}}));
    auto twoLayers = Make(nullptr, nullptr, LayoutText({{0, 0, 0}, {1, 0, 0}}));
    EXPECT_FALSE(high->MergeLayout(*twoLayers));  // layer 8 lifted by 2
    EXPECT_EQ(high->Cell(0).layer, 8);
    EXPECT_EQ(high->itemCount, 1);
}

TEST(LayoutEvents, EveryNotificationIsSafeWithoutAListener) {
    auto layout = Make(nullptr, nullptr, LayoutText({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}}));
    auto other = Make(nullptr, nullptr, LayoutText({{0, 4, 0}}));
    EXPECT_TRUE(layout->MergeLayout(*other));
    layout->Deal(true);
    layout->StartShuffle();
    for (int tick = 0; tick < 30; ++tick) layout->Update();
    layout->history.push_back({});
    layout->SetTileFace(0, 1);
    layout->SetTileFace(1, 2);
    layout->SetTileFace(2, 3);
    layout->SetTileFace(3, 3);
    layout->rebalanceList = {0, 1};
    layout->ReshufflePairs();
    EXPECT_EQ(layout->Cell(0).face, layout->Cell(1).face);

    // A listener that overrides nothing takes every call without effect.
    Velm::LayoutListener quiet;
    layout->SetListener(&quiet);
    layout->StartShuffle();
    for (int tick = 0; tick < 30; ++tick) layout->Update();
    EXPECT_EQ(layout->shuffleMode, Layout_t::kShuffleNone);
}

TEST(LayoutEvents, SpritesArePlacedAndReused) {
    DrivenVisuals visuals(4);
    auto layout = Make(&visuals, nullptr, LayoutText({{0, 0, 0}, {3, 10, 20}}));
    auto* sprite = static_cast<CountingSprite*>(layout->Cell(1).sprite.get());
    EXPECT_FLOAT_EQ(sprite->cx, 541.0f);
    EXPECT_FLOAT_EQ(sprite->cy, 414.0f);
    const int made = visuals.spritesMade;
    ASSERT_TRUE(layout->LoadFromText(LayoutText({{0, 0, 0}, {0, 0, 4}}), "again"));
    EXPECT_EQ(visuals.spritesMade, made);  // tile slots keep their sprites across levels
    EXPECT_EQ(layout->Cell(1).sprite.get(), sprite);
    EXPECT_FLOAT_EQ(sprite->cx, 14.0f + 96.0f + 29.0f);
}

}  // namespace
