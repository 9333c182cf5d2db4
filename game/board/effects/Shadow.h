#pragma once

namespace Velm {
class Graphics;
}

// Full-screen black overlays that darken a screen while a window is open over it. Each is
// ticked by its owner once per update (10 ms) and drawn over everything else. Alpha is the
// overlay's darkness, 0..255. The covered area is (0, 0, width, height), the logical screen.
// Main thread only.

// The play screen's pause and message shadow (also under the ice transition): rises by step per
// tick to its maximum, stays there, and once closed falls by step to 0 and reports finished.
class Shadow {
public:
    Shadow() = default;
    virtual ~Shadow() = default;

    virtual void Draw(Velm::Graphics* g);
    virtual void Update();
    void Close() { closing = 1; }
    bool IsFinished() const { return finished; }

    float alpha = 0;
    bool finished = false;
    int closing = 0;  // 0 rising, 1 closing
    float maximum = 80;
    float step = 4;
    int width = 1024;
    int height = 768;
};

// The slower shadow around mini-games: rises by step to its target (done), or after
// StartFadeOut falls by one per tick to 0 (done).
class BackShadow {
public:
    BackShadow() = default;
    virtual ~BackShadow() = default;

    virtual void Draw(Velm::Graphics* g);
    virtual void Update();
    void StartFadeOut();
    bool IsDone() const { return done; }

    float alpha = 0;
    bool done = false;
    bool fadingOut = false;
    float target = 80;
    float step = 2;
    int counter = 0;  // only reset
    int width = 1024;
    int height = 768;
};
