#pragma once

#include <memory>
#include <string>

#include "game/board/BoardTileSet.h"
#include "game/board/BoardVisuals.h"

namespace Velm {

class Layout_t;
class MemoryImage;

// Pictures of tile layouts for the simple-mode level list: a board model of
// its own (never played, no listener) loads a level's layout, shows every tile
// with the blank face of the current tile set (group 49), draws it into a
// full-screen scratch image of 1024 x 768 and shrinks that into the thumbnail.
// The model is emptied again after each picture.
//
// The scratch image exists only between Acquire and Release (the list makes
// it when it is shown and drops it when it is hidden). Main thread only.
class LayoutThumbnails {
public:
    static constexpr int kThumbnailWidth = 207;
    static constexpr int kThumbnailHeight = 125;
    static constexpr int kScratchWidth = 1024;
    static constexpr int kScratchHeight = 768;

    // Sets the board model up once (Init). The tile sets are not owned and may
    // be null (tiles without pictures).
    explicit LayoutThumbnails(const BoardTileSets* tileSets);
    ~LayoutThumbnails();
    LayoutThumbnails(const LayoutThumbnails&) = delete;
    LayoutThumbnails& operator=(const LayoutThumbnails&) = delete;

    void Acquire();
    void Release();
    bool HasScratch() const { return mScratch != nullptr; }

    // Draws the layout "Layouts/" + layoutName into the thumbnail, which must
    // already have its size (the whole scratch image is scaled into it). A
    // layout that does not load leaves the thumbnail cleared and returns false;
    // so does a call without the scratch image.
    bool Render(const std::string& layoutName, MemoryImage& thumbnail);

    Layout_t& GetLayout() { return *mLayout; }

private:
    // Tile pictures that draw the group's sprite image; everything else of
    // the board's visuals draws nothing.
    class Visuals : public NullBoardVisuals {
    public:
        std::unique_ptr<TileSprite> MakeTileSprite() override;
    };

    Visuals mVisuals;
    std::unique_ptr<Layout_t> mLayout;
    std::unique_ptr<MemoryImage> mScratch;
};

}  // namespace Velm
