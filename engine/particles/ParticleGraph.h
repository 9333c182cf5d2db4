#pragma once

#include <string>
#include <vector>

#include "graphics/Color.h"

// A keyframe graph of an emitter property over a normalised age x (0..1). The text form is
// "x,value;x,value;..." with the keys in file order; the first key is taken to lie at x = 0.
// Between keys the value is linear; x above 1 counts as 1, and at and beyond the last key the
// value is the last key's. No key gives 0, one key its value everywhere.
class ParticleGraph_t {
public:
    // Items that do not hold two numbers are left out.
    void Read(const std::string& text);
    // Appends a key (no sorting), emptying the keys first when asked.
    void AddKey(float x, float value, bool clearFirst);
    float Evaluate(float x) const;

    struct Key {
        float x;
        float value;
    };
    std::vector<Key> keys;
    std::vector<float> dx;  // x(i + 1) - x(i)
    std::vector<float> dv;  // value(i + 1) - value(i)

private:
    void RecomputeSegments();
};

// A colour keyframe graph: "x,colour;x,colour;..." with colour 0xAARRGGBB in decimal or with
// a "0x" prefix. Red, green and blue are interpolated (truncated toward zero); alpha is that of
// the key at the start of the segment. No key gives opaque black.
class ParticleColorGraph_t {
public:
    void Read(const std::string& text);
    Velm::Color Evaluate(float x) const;

    struct Key {
        float x;
        int red, green, blue, alpha;
    };
    std::vector<Key> keys;
    std::vector<float> dx;
};
