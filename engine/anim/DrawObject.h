#pragma once

namespace Velm {
class Graphics;
}

// Base of everything the game animates on screen for a while and then forgets: sprite
// animations, moving sprites, particle effects and the board's effects. The owner keeps a list
// of them, calls Update once per update tick (10 ms of game time), Advance with the fraction of
// ticks of its smooth update, one of the two draw operations every frame (chosen by
// drawLayer), and deletes an object once IsDone says so. Main thread only.
class DrawObject {
public:
    DrawObject() = default;
    virtual ~DrawObject() = default;

    // At the object's own position.
    virtual void Draw(Velm::Graphics* g) { (void)g; }
    // Through the object's own transform.
    virtual void DrawTransformed(Velm::Graphics* g) { (void)g; }
    // One update tick; true when the object has finished.
    virtual bool Update() { return false; }
    // A fractional number of update ticks.
    virtual void Advance(float ticks) { (void)ticks; }
    virtual bool IsDone() { return done; }

    bool done = false;
    // Two values an owner may set on an effect before adding it to its list; the base never
    // reads them.
    int mode = 0;
    float factor = 0;
    // 0: the owner calls Draw; 1: DrawTransformed; anything else is not drawn.
    int drawLayer = 0;
};
