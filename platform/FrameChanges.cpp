#include "platform/FrameChanges.h"

#include <algorithm>
#include <cstring>

#include "platform/Window.h"

namespace plat {

void FrameChanges::Take(const uint32_t* pixels, int width, int height, int pitchBytes,
                        std::vector<ScreenRect>* changed) {
    changed->clear();
    if (pixels == nullptr || width <= 0 || height <= 0) return;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    const auto row = [&](int y) {
        return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                 static_cast<size_t>(y) * pitchBytes);
    };
    if (!mValid || width != mWidth || height != mHeight) {
        mPixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) std::memcpy(&mPixels[static_cast<size_t>(y) * width], row(y), rowBytes);
        mWidth = width;
        mHeight = height;
        mValid = true;
        changed->push_back({0, 0, width, height});
        return;
    }
    // The band being gathered: rows top .. last changed row, columns left .. right - 1.
    int top = -1, last = -1, left = width, right = 0;
    const auto close = [&]() {
        if (top >= 0) changed->push_back({left, top, right - left, last + 1 - top});
        top = -1;
        left = width;
        right = 0;
    };
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = row(y);
        uint32_t* kept = &mPixels[static_cast<size_t>(y) * width];
        if (std::memcmp(in, kept, rowBytes) == 0) continue;
        int from = 0;
        while (in[from] == kept[from]) ++from;
        int to = width;
        while (in[to - 1] == kept[to - 1]) --to;
        std::memcpy(kept + from, in + from, static_cast<size_t>(to - from) * 4);
        if (top >= 0 && y - last > kJoinRows) close();
        if (top < 0) top = y;
        last = y;
        left = std::min(left, from);
        right = std::max(right, to);
    }
    close();
}

}  // namespace plat
