#include "game/board/BoardVisuals.h"

namespace Velm {

namespace {

class NullTileSprite : public TileSprite {
public:
    void SetImage(Image*) override {}
    void SetCenter(float, float) override {}
    void SetTopLeft(float, float) override {}
    void ClearSourceSize() override {}
    void SetHidden(bool) override {}
    void Draw(Graphics*, int) override {}
};

// Counts frames from Start(); done after the last frame has been shown.
class CountingAnim : public BoardAnim {
public:
    explicit CountingAnim(int frameCount) : mFrameCount(frameCount) {}

    std::unique_ptr<BoardAnim> Clone() const override { return std::make_unique<CountingAnim>(*this); }
    int GetFrameIndex() const override { return mFrame; }
    int GetFrameCount() const override { return mFrameCount; }
    void Advance() override {
        if (mRunning && ++mFrame >= mFrameCount) mRunning = false;
    }
    bool IsDone() const override { return !mRunning; }
    void SetPosition(float, float) override {}
    void SetSpin(int) override {}
    void Start() override {
        mFrame = 0;
        mRunning = mFrameCount > 0;
    }
    void CopyPhaseFrom(const BoardAnim& other) override {
        if (mFrameCount > 0) mFrame = other.GetFrameIndex() % mFrameCount;
    }
    void Draw(Graphics*, int) override {}
    void DrawTransformed(Graphics*, int) override {}

private:
    int mFrameCount;
    int mFrame = 0;
    bool mRunning = false;
};

// Done after a fixed number of updates.
class CountingEffect : public TileEffect {
public:
    explicit CountingEffect(int ticks) : mTicksLeft(ticks) {}
    void Update() override {
        if (mTicksLeft > 0) --mTicksLeft;
    }
    bool IsDone() const override { return mTicksLeft <= 0; }
    void SetScale(float) override {}
    void Draw(Graphics*) override {}

private:
    int mTicksLeft;
};

}  // namespace

NullBoardVisuals& NullBoardVisuals::Instance() {
    static NullBoardVisuals instance;
    return instance;
}

std::unique_ptr<TileSprite> NullBoardVisuals::MakeTileSprite() { return std::make_unique<NullTileSprite>(); }

std::unique_ptr<BoardAnim> NullBoardVisuals::MakeShuffleAnim() {
    return std::make_unique<CountingAnim>(kNullAnimFrames);
}

std::unique_ptr<BoardAnim> NullBoardVisuals::MakeMarker(BoardMarker) {
    return std::make_unique<CountingAnim>(kNullAnimFrames);
}

std::unique_ptr<TileEffect> NullBoardVisuals::MakeComboHint(int, int, int cycles) {
    return std::make_unique<CountingEffect>(cycles * kNullHintTicksPerCycle);
}

}  // namespace Velm
