#pragma once

#include <memory>
#include <string>

#include "game/board/BoardVisuals.h"

namespace Velm {

// The board's pictures over the engine: tiles are still images, the markers and the shuffle
// are sprite animations of their ".anim" files (sheets from the engine's sprite-sheet cache),
// and the combo hint is a blinking picture. Animation files are read relative to the current
// (content) folder when an object is made. Pictures named by a resource id (IMAGE_OVER,
// IMAGE_SNOW, IMAGE_BLINK_COLL) are looked up when drawn, so a marker made before group
// "Game" is bound shows its picture once it is. Nothing here owns an image; the objects may
// be deleted after the engine's caches are gone. Main thread.
class EngineBoardVisuals : public BoardVisuals {
public:
    // Ticks per half cycle of the combo hint: fading in, then fading out.
    static constexpr int kHintHalfCycleTicks = 51;

    std::unique_ptr<TileSprite> MakeTileSprite() override;
    std::unique_ptr<BoardAnim> MakeShuffleAnim() override;
    std::unique_ptr<BoardAnim> MakeMarker(BoardMarker which) override;
    std::unique_ptr<TileEffect> MakeComboHint(int x, int y, int cycles) override;

    // An animation of the file; imageResource (may be empty) names the bound picture the
    // animation shows instead of its sheet's own.
    static std::unique_ptr<BoardAnim> MakeAnim(const std::string& file, const std::string& imageResource);
};

}  // namespace Velm
