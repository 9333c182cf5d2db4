#pragma once

#include <memory>

namespace Velm {

class Graphics;
class Image;

// The seam between the board model and its pictures. The model decides where a
// tile's picture stands, which face it shows and when it is hidden; the objects
// behind these interfaces (made by the play screen from the engine's still images
// and sprite animations) do the drawing. Screen positions are in pixels of the
// 1024 by 768 logical screen; time advances in update ticks of 10 ms.
//
// Without a BoardVisuals the layout uses NullBoardVisuals, so the rules, the deal
// and the shuffle run headless exactly as with pictures.

// The picture of one tile (one per tile slot, made on first use and reused).
class TileSprite {
public:
    virtual ~TileSprite() = default;
    virtual void SetImage(Image* image) = 0;
    // Centres the picture on this point.
    virtual void SetCenter(float x, float y) = 0;
    // Puts the picture's top-left corner on this point.
    virtual void SetTopLeft(float x, float y) = 0;
    // Forgets the source rectangle, so the whole image is shown.
    virtual void ClearSourceSize() = 0;
    virtual void SetHidden(bool hidden) = 0;
    // alpha: board tint 0 .. 255.
    virtual void Draw(Graphics* g, int alpha) = 0;
};

// A sprite animation run by update ticks: the selection and hover markers and the
// shuffle animations. Its frame counter is also the shuffle's clock: the faces are
// dealt again when the first running shuffle animation shows its middle frame
// (frame index == frame count / 2), so a test drives the shuffle with Advance().
class BoardAnim {
public:
    virtual ~BoardAnim() = default;
    virtual std::unique_ptr<BoardAnim> Clone() const = 0;
    virtual int GetFrameIndex() const = 0;
    virtual int GetFrameCount() const = 0;
    // One update tick.
    virtual void Advance() = 0;
    virtual bool IsDone() const = 0;
    virtual void SetPosition(float x, float y) = 0;
    // 1 turns the picture continuously, 0 keeps it still.
    virtual void SetSpin(int spin) = 0;
    // Starts from the first frame.
    virtual void Start() = 0;
    // Takes over the other animation's phase (frame position, timing and
    // colour), so a marker moved to another tile does not jump.
    virtual void CopyPhaseFrom(const BoardAnim& other) = 0;
    // alpha: board tint 0 .. 255, or kOwnColour to keep the animation's colour.
    virtual void Draw(Graphics* g, int alpha) = 0;
    // Draws through the animation's transform (its spin and scale).
    virtual void DrawTransformed(Graphics* g, int alpha) = 0;

    static constexpr int kOwnColour = -1;
};

// An effect drawn on one tile, such as the combo hint; owned by the tile and
// deleted when the tile leaves the board or the effect is done.
class TileEffect {
public:
    virtual ~TileEffect() = default;
    // One update tick.
    virtual void Update() = 0;
    virtual bool IsDone() const = 0;
    // Board alpha 0 .. 255.
    virtual void SetScale(float scale) = 0;
    virtual void Draw(Graphics* g) = 0;
};

// The animations a layout loads at set-up.
enum class BoardMarker {
    Selection,   // "data/over.anim", drawn on the selected tile
    Selection2,  // "data/selected2.anim", held but not drawn by the layout
    Hover,       // "data/over.anim" with the image "IMAGE_OVER"
    BridgeShine  // "data/BridgeShine.anim", held but not drawn by the layout
};

// Makes the pictures of a layout. Not owned by the layout; it must outlive it.
class BoardVisuals {
public:
    virtual ~BoardVisuals() = default;
    virtual std::unique_ptr<TileSprite> MakeTileSprite() = 0;
    // "data/Shuffle.anim" showing the image "IMAGE_SNOW".
    virtual std::unique_ptr<BoardAnim> MakeShuffleAnim() = 0;
    virtual std::unique_ptr<BoardAnim> MakeMarker(BoardMarker which) = 0;
    // The combo bonus hint on one tile: the image "IMAGE_BLINK_COLL" centred on
    // (x, y), blinking from the first tick with a period of 50 ticks per half
    // cycle, for the given number of cycles.
    virtual std::unique_ptr<TileEffect> MakeComboHint(int x, int y, int cycles) = 0;
};

// Pictures that draw nothing. Their animations count frames: kNullAnimFrames
// frames, one per tick, so the shuffle reaches its middle and its end headless.
// The combo hint lives kNullHintTicksPerCycle ticks per cycle, as the blinking
// picture does (51 ticks fading in, 51 fading out).
class NullBoardVisuals : public BoardVisuals {
public:
    static constexpr int kNullAnimFrames = 20;
    static constexpr int kNullHintTicksPerCycle = 102;
    static NullBoardVisuals& Instance();

    std::unique_ptr<TileSprite> MakeTileSprite() override;
    std::unique_ptr<BoardAnim> MakeShuffleAnim() override;
    std::unique_ptr<BoardAnim> MakeMarker(BoardMarker which) override;
    std::unique_ptr<TileEffect> MakeComboHint(int x, int y, int cycles) override;
};

}  // namespace Velm
