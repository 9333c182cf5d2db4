#pragma once

// Which parts of a frame differ from the frame shown before it, so that a window shows only
// what changed, and nothing when nothing did.
//
// It keeps its own copy of the last frame it was given (32-bit pixels; every bit counts).
// Take compares a new frame with that copy row by row, brings the copy up to date and tells
// the changed parts as bands: runs of rows that hold changes (short runs of unchanged rows
// between them joined in), each as wide as the changes in it. A frame of another size, or
// the first one after Invalidate, is changed everywhere.

#include <cstdint>
#include <vector>

namespace plat {

struct ScreenRect;

class FrameChanges {
public:
    // Unchanged rows between two changed runs shorter than this join them into one band.
    static constexpr int kJoinRows = 16;

    // Compares `pixels` (width x height, pitch in bytes) with the last frame and keeps it;
    // the changed bands in frame pixels go to *changed (empty when the frames are equal).
    void Take(const uint32_t* pixels, int width, int height, int pitchBytes, std::vector<ScreenRect>* changed);
    // The next frame counts as changed everywhere (what was shown is gone).
    void Invalidate() { mValid = false; }

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // The kept frame, width x height pixels without padding.
    const uint32_t* Pixels() const { return mPixels.data(); }

private:
    std::vector<uint32_t> mPixels;
    int mWidth = 0;
    int mHeight = 0;
    bool mValid = false;
};

}  // namespace plat
