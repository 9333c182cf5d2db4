#pragma once

#include <memory>
#include <vector>

#include "engine/anim/FadingImage.h"

namespace Velm {
class Graphics;
class Layout_t;
}

// Told when the level-start effect has shown every tile.
class BoardAppearEffectListener {
public:
    virtual ~BoardAppearEffectListener() = default;
    virtual void OnAppearFinished() = 0;
};

// The same for the second form of the effect, which the play screen uses.
class BoardAppearEffect2Listener {
public:
    virtual ~BoardAppearEffect2Listener() = default;
    virtual void OnAppear2Finished() = 0;
};

// The deal fading in at level start: every visible ordinary tile's picture fades in from 0 over
// 25 updates after its own random delay of 0 to 200 updates (the C runtime generator), with the
// sound "collappear" as each one starts (not while the last one still plays). Built from the
// layout's draw lists in drawing order; tiles of other kinds appear when the layout is drawn.
// Owned by the play screen; the layout and the listener are not owned. Main thread only.
class BoardAppearEffect2 : public AlphaStaticImageListener {
public:
    BoardAppearEffect2(Velm::Layout_t* layout, BoardAppearEffect2Listener* listener);
    ~BoardAppearEffect2() override;

    // One update tick. When every picture is shown the listener is told, once; the listener may
    // delete the effect from inside that call.
    void Update();
    void Draw(Velm::Graphics* g);
    bool AllDone() const;
    void OnFadeStarted() override;

    Velm::Layout_t* layout = nullptr;
    BoardAppearEffect2Listener* listener = nullptr;
    std::vector<std::unique_ptr<FadingImage_t>> pictures;
    int soundHandle = 0;
    bool reported = false;
};
