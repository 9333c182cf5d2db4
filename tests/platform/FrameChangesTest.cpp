#include "platform/FrameChanges.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/Window.h"

namespace {

using plat::FrameChanges;
using plat::ScreenRect;

constexpr int kWidth = 64;
constexpr int kHeight = 120;

// A frame of distinct pixels, with a padded pitch of kWidth + 3 words.
struct Frame {
    static constexpr int kPitchWords = kWidth + 3;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(static_cast<size_t>(kPitchWords) * kHeight, 0xDEADBEEF);
    Frame() {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) At(x, y) = static_cast<uint32_t>(y * 1000 + x);
    }
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * kPitchWords + x]; }
    std::vector<ScreenRect> TakeInto(FrameChanges* changes) const {
        std::vector<ScreenRect> changed;
        changes->Take(pixels.data(), kWidth, kHeight, kPitchWords * 4, &changed);
        return changed;
    }
};

bool Same(const ScreenRect& a, const ScreenRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::string Describe(const std::vector<ScreenRect>& rects) {
    std::string text;
    for (const ScreenRect& r : rects)
        text += "(" + std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
                std::to_string(r.height) + ")";
    return text;
}

TEST(FrameChanges, TellsTheChangedBandsOfAFrame) {
    struct Case {
        const char* why;
        std::vector<std::pair<int, int>> changedPixels;  // (x, y)
        std::vector<ScreenRect> expected;
    };
    const Case cases[] = {
            {"nothing changed", {}, {}},
            {"one pixel", {{7, 9}}, {{7, 9, 1, 1}}},
            {"the first and last pixel of a row", {{0, 5}, {kWidth - 1, 5}}, {{0, 5, kWidth, 1}}},
            {"the frame's corners",
             {{0, 0}, {kWidth - 1, kHeight - 1}},
             {{0, 0, 1, 1}, {kWidth - 1, kHeight - 1, 1, 1}}},
            // Fewer unchanged rows between them than the join length: one band as wide as both.
            {"two changes close together", {{3, 10}, {40, 10 + FrameChanges::kJoinRows}}, {{3, 10, 38, 17}}},
            {"two changes far apart",
             {{3, 10}, {40, 11 + FrameChanges::kJoinRows}},
             {{3, 10, 1, 1}, {40, 11 + FrameChanges::kJoinRows, 1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FrameChanges changes;
        Frame frame;
        const std::vector<ScreenRect> first = frame.TakeInto(&changes);
        ASSERT_EQ(first.size(), 1u);
        EXPECT_TRUE(Same(first[0], {0, 0, kWidth, kHeight}));
        for (const auto& [x, y] : c.changedPixels) frame.At(x, y) ^= 0x00FF00FF;
        const std::vector<ScreenRect> changed = frame.TakeInto(&changes);
        ASSERT_EQ(changed.size(), c.expected.size()) << Describe(changed);
        for (size_t i = 0; i < changed.size(); ++i) EXPECT_TRUE(Same(changed[i], c.expected[i])) << Describe(changed);
        // The kept frame is the new one: the same frame again changes nothing.
        EXPECT_TRUE(frame.TakeInto(&changes).empty());
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) ASSERT_EQ(changes.Pixels()[y * kWidth + x], frame.At(x, y));
    }
}

TEST(FrameChanges, AFrameOfAnotherSizeOrAfterInvalidateIsChangedEverywhere) {
    FrameChanges changes;
    Frame frame;
    frame.TakeInto(&changes);
    changes.Invalidate();
    std::vector<ScreenRect> changed = frame.TakeInto(&changes);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_TRUE(Same(changed[0], {0, 0, kWidth, kHeight}));

    // The same pixels read as a narrower frame.
    changes.Take(frame.pixels.data(), kWidth / 2, kHeight, Frame::kPitchWords * 4, &changed);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_TRUE(Same(changed[0], {0, 0, kWidth / 2, kHeight}));
    EXPECT_EQ(changes.Width(), kWidth / 2);

    // No pixels: nothing to tell, and the kept frame stays.
    changes.Take(nullptr, kWidth, kHeight, kWidth * 4, &changed);
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(changes.Width(), kWidth / 2);
}

}  // namespace
