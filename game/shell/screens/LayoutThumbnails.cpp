#include "game/shell/screens/LayoutThumbnails.h"

#include "game/board/Layout.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/MemoryImage.h"

namespace Velm {

namespace {

// A tile's picture placed by its centre, drawn whole.
class ImageTileSprite : public TileSprite {
public:
    void SetImage(Image* image) override { mImage = image; }
    void SetCenter(float x, float y) override {
        mCenterX = x;
        mCenterY = y;
        mCentred = true;
    }
    void SetTopLeft(float x, float y) override {
        mCenterX = x;
        mCenterY = y;
        mCentred = false;
    }
    void ClearSourceSize() override {}
    void SetHidden(bool hidden) override { mHidden = hidden; }
    void Draw(Graphics* g, int alpha) override {
        if (mHidden || mImage == nullptr || alpha <= 0) return;
        float x = mCenterX;
        float y = mCenterY;
        if (mCentred) {
            x -= static_cast<float>(mImage->width / 2);
            y -= static_cast<float>(mImage->height / 2);
        }
        if (alpha >= 255) {
            g->DrawImage(mImage, static_cast<int>(x), static_cast<int>(y));
            return;
        }
        g->PushState();
        g->tintImages = true;
        g->SetColor(Color(255, 255, 255, alpha));
        g->DrawImage(mImage, static_cast<int>(x), static_cast<int>(y));
        g->PopState();
    }

private:
    Image* mImage = nullptr;
    float mCenterX = 0;
    float mCenterY = 0;
    bool mCentred = true;
    bool mHidden = false;
};

}  // namespace

std::unique_ptr<TileSprite> LayoutThumbnails::Visuals::MakeTileSprite() { return std::make_unique<ImageTileSprite>(); }

LayoutThumbnails::LayoutThumbnails(const BoardTileSets* tileSets) : mLayout(std::make_unique<Layout_t>()) {
    mLayout->SetVisuals(&mVisuals);
    mLayout->SetTileSets(tileSets);
    mLayout->Init();
}

LayoutThumbnails::~LayoutThumbnails() = default;

void LayoutThumbnails::Acquire() {
    if (mScratch) return;
    mScratch = std::make_unique<MemoryImage>();
    mScratch->Create(kScratchWidth, kScratchHeight);
}

void LayoutThumbnails::Release() { mScratch.reset(); }

bool LayoutThumbnails::Render(const std::string& layoutName, MemoryImage& thumbnail) {
    const Rect whole(0, 0, thumbnail.width, thumbnail.height);
    thumbnail.ClearRect(whole);
    if (!mScratch) return false;
    const bool loaded = mLayout->Load(layoutName);
    mScratch->ClearRect(Rect(0, 0, kScratchWidth, kScratchHeight));
    if (loaded) {
        mLayout->ShowBlankFaces();
        Graphics scratchGraphics(mScratch.get());
        mLayout->Draw(&scratchGraphics);
        mLayout->ClearTiles();
        Graphics thumbnailGraphics(&thumbnail);
        // Nearest-pixel sampling, as the software screen draws scaled pictures:
        // the filtered stretch of the drawing layer darkens an opaque picture
        // and leaves it partly transparent.
        thumbnailGraphics.SetFastStretch(true);
        thumbnailGraphics.DrawImage(mScratch.get(), whole, Rect(0, 0, kScratchWidth, kScratchHeight));
    }
    return loaded;
}

}  // namespace Velm
