#pragma once

// A value moving toward a target by a fixed step per update tick: the fades of
// the comic pages and of the level-complete dialog. Restart it by setting
// value, target and step and clearing reached. With step 0 and a value that
// differs from the target it never arrives.
struct ValueRamp {
    float value = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    bool reached = true;

    void Start(float from, float to, float perTick) {
        value = from;
        target = to;
        step = perTick;
        reached = false;
    }

    // One tick; true once the target is reached (then nothing changes any more).
    bool Step() {
        if (reached) return true;
        value += step;
        if ((step > 0.0f && value >= target) || (step < 0.0f && value <= target)) value = target;
        reached = value == target;
        return reached;
    }
};
