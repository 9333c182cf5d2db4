#pragma once

#include <string>

namespace Velm {
class Font;
class Image;
}

// The fonts and pictures the board's effects draw with, and the way they play sounds. The play
// screen fills this in once at construction from the game's bound resources (FONT_NUMBERS,
// FONT_DEFAULT, IMAGE_SPARKLE, IMAGE_LIGHTNING, IMAGE_RING_*); tests fill it with their own
// images. Nothing here is owned. A missing picture or font makes its effect draw nothing.
// Main thread only.
struct BoardEffectResources {
    Velm::Font* numbersFont = nullptr;  // score numbers
    Velm::Font* defaultFont = nullptr;  // the time bonus text
    Velm::Image* sparkle = nullptr;     // swap flight sparks
    Velm::Image* lightning = nullptr;   // remover sparks
    // IMAGE_RING_BLUE, IMAGE_RING_GREEN, IMAGE_RING_PURPLE, IMAGE_RING_YELLOW, IMAGE_RING_RED.
    Velm::Image* rings[5] = {};
};

BoardEffectResources& GetBoardEffectResources();

// How the board and its effects play sounds by description name. The default goes to the
// engine's sound API; the play screen's tests put a recorder in its place.
class BoardSoundPlayer {
public:
    virtual ~BoardSoundPlayer() = default;
    // A handle, 0 when nothing plays.
    virtual int Play(const std::string& name) = 0;
    virtual bool IsPlaying(int handle) = 0;
};

// The player in use (never null); null restores the engine's.
BoardSoundPlayer& GetBoardSoundPlayer();
void SetBoardSoundPlayer(BoardSoundPlayer* player);
