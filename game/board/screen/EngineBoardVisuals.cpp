#include "game/board/screen/EngineBoardVisuals.h"

#include "engine/anim/AnimObject2.h"
#include "engine/anim/EngineHooks.h"
#include "engine/anim/SpriteSheet.h"
#include "engine/anim/StillImage.h"
#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/Transform.h"

namespace Velm {

namespace {

class EngineTileSprite : public TileSprite {
public:
    void SetImage(Image* image) override { mPicture.SetImagePtr(image); }
    void SetCenter(float x, float y) override {
        mPicture.centred = true;
        mPicture.x = x;
        mPicture.y = y;
    }
    void SetTopLeft(float x, float y) override {
        mPicture.centred = false;
        mPicture.x = x;
        mPicture.y = y;
    }
    void ClearSourceSize() override { mPicture.srcRect = Rect(); }
    void SetHidden(bool hidden) override { mPicture.visible = !hidden; }
    void Draw(Graphics* g, int alpha) override {
        // A board alpha below 255 tints the tile white at that alpha.
        mPicture.colour = Color(255, 255, 255, alpha < 255 ? alpha : 255);
        mPicture.Draw(g, 255.0f);
    }

private:
    StillImage_t mPicture;
};

class EngineBoardAnim : public BoardAnim {
public:
    EngineBoardAnim(const std::string& file, const std::string& imageResource) : mImageResource(imageResource) {
        mAnim.LoadFile(file);
        // A picture of its own: the sheet is copied so the shared cached sheet keeps its image.
        if (!mImageResource.empty() && mAnim.sheet != nullptr) mAnim.SetSpriteCopy(mAnim.sheet);
    }
    EngineBoardAnim(const EngineBoardAnim& other)
            : BoardAnim(), mAnim(other.mAnim), mImageResource(other.mImageResource) {
        if (other.mAnim.sheetOwned && other.mAnim.sheet != nullptr) {
            mAnim.sheet = nullptr;
            mAnim.sheetOwned = false;
            mAnim.SetSpriteCopy(other.mAnim.sheet);
        }
    }

    std::unique_ptr<BoardAnim> Clone() const override { return std::make_unique<EngineBoardAnim>(*this); }
    int GetFrameIndex() const override { return mAnim.frameIndex; }
    int GetFrameCount() const override { return static_cast<int>(mAnim.frameCount); }
    void Advance() override { mAnim.Update(); }
    bool IsDone() const override { return mAnim.done; }
    void SetPosition(float x, float y) override { mAnim.SetPositionF(x, y); }
    void SetSpin(int spin) override { mAnim.spin = spin; }
    void Start() override { mAnim.Start(); }
    void CopyPhaseFrom(const BoardAnim& other) override {
        const auto* source = dynamic_cast<const EngineBoardAnim*>(&other);
        if (source == nullptr) return;
        mAnim.frameIndex = source->mAnim.frameIndex;
        mAnim.frameTick = source->mAnim.frameTick;
        mAnim.age = source->mAnim.age;
        mAnim.angle = source->mAnim.angle;
        mAnim.currentColour = source->mAnim.currentColour;
        mAnim.UpdateTransform();
    }
    void Draw(Graphics* g, int alpha) override { DrawWith(g, alpha, false); }
    void DrawTransformed(Graphics* g, int alpha) override { DrawWith(g, alpha, true); }

    const AnimObject2& GetAnim() const { return mAnim; }

private:
    void DrawWith(Graphics* g, int alpha, bool transformed) {
        if (!mImageResource.empty() && mAnim.sheet != nullptr && mAnim.sheetOwned)
            mAnim.sheet->image = EngineHooks::GetResourceImage(mImageResource);
        const Color own = mAnim.currentColour;
        if (alpha != kOwnColour) mAnim.currentColour = Color(255, 255, 255, alpha);
        if (transformed) {
            mAnim.DrawTransformed(g);
        } else {
            mAnim.Draw(g);
        }
        mAnim.currentColour = own;
    }

    AnimObject2 mAnim;
    std::string mImageResource;
};

// The combo hint: the picture, centred on the tile, fades in and out for the given number of
// cycles, its alpha times the board's alpha (a board fading out takes the hint with it).
class EngineComboHint : public TileEffect {
public:
    EngineComboHint(int x, int y, int cycles) : mX(x), mY(y), mTicksLeft(cycles * 2 * kHalf) {}
    void Update() override {
        if (mTicksLeft > 0) --mTicksLeft;
        ++mTick;
    }
    bool IsDone() const override { return mTicksLeft <= 0; }
    void SetScale(float boardAlpha) override { mBoardAlpha = boardAlpha; }
    int GetAlpha() const {
        const int phase = mTick % (2 * kHalf);
        const int rising = phase < kHalf ? phase : 2 * kHalf - 1 - phase;
        return static_cast<int>(static_cast<float>(rising * 255 / (kHalf - 1)) * mBoardAlpha / 255.0f);
    }
    void Draw(Graphics* g) override {
        Image* image = EngineHooks::GetResourceImage("IMAGE_BLINK_COLL");
        if (image == nullptr || IsDone()) return;
        const bool wasTinting = g->GetTintImages();
        g->SetTintImages(true);
        g->SetColor(Color(255, 255, 255, GetAlpha()));
        g->DrawImageTransform(image, Transform(), static_cast<float>(mX), static_cast<float>(mY));
        g->SetTintImages(wasTinting);
    }

private:
    static constexpr int kHalf = EngineBoardVisuals::kHintHalfCycleTicks;
    int mX;
    int mY;
    int mTicksLeft;
    int mTick = 0;
    float mBoardAlpha = 255.0f;
};

}  // namespace

std::unique_ptr<BoardAnim> EngineBoardVisuals::MakeAnim(const std::string& file, const std::string& imageResource) {
    return std::make_unique<EngineBoardAnim>(file, imageResource);
}

std::unique_ptr<TileSprite> EngineBoardVisuals::MakeTileSprite() { return std::make_unique<EngineTileSprite>(); }

std::unique_ptr<BoardAnim> EngineBoardVisuals::MakeShuffleAnim() { return MakeAnim("data/Shuffle.anim", "IMAGE_SNOW"); }

std::unique_ptr<BoardAnim> EngineBoardVisuals::MakeMarker(BoardMarker which) {
    switch (which) {
        case BoardMarker::Selection: return MakeAnim("data/over.anim", "");
        case BoardMarker::Selection2: return MakeAnim("data/selected2.anim", "");
        case BoardMarker::Hover: return MakeAnim("data/over.anim", "IMAGE_OVER");
        case BoardMarker::BridgeShine: return MakeAnim("data/BridgeShine.anim", "");
    }
    return MakeAnim("", "");
}

std::unique_ptr<TileEffect> EngineBoardVisuals::MakeComboHint(int x, int y, int cycles) {
    return std::make_unique<EngineComboHint>(x, y, cycles);
}

}  // namespace Velm
