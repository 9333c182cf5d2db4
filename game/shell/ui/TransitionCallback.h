#pragma once

// Told about a screen switch under the ice cover: when it starts (the screen
// to be shown is prepared), when the cover is complete and when it has gone.
// The code is the switch code. Every notification is empty by default; screens
// and the application object take the part for the switches they care about.
class TransitionCallback {
public:
    virtual ~TransitionCallback() = default;
    virtual void OnTransitionStarted(int code) { (void)code; }
    virtual void OnTransitionCovered(int code) { (void)code; }
    virtual void OnTransitionFinished(int code) { (void)code; }
};
