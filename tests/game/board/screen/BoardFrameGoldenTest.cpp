// The full play-screen frame (BoardFrameScene.h: background, the 144-tile classic board dealt
// from a seed, fading tiles, labels, the pause shadow) drawn off screen in software into a
// 1024 x 768 8888 image, checked on chosen pixels against the golden list in
// data/board_frame_golden.txt; and the same frame drawn through the 3D device (Mesa's
// software GL here) against the software frame, where a GL context can be made.
//
// The golden list is one pixel a line, "x y RRGGBB". After a deliberate change to the frame,
// VELM_WRITE_GOLDEN=1 writes a new list from the current frame (check the picture first).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "graphics/Graphics.h"
#include "tests/game/board/screen/BoardFrameScene.h"

#ifdef VELM_HAVE_3D
#include "graphics/D3DHost.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/D3D7.h"
#include "platform/DdDevice.h"
#include "platform/DdPresenter.h"
#include "platform/DdSurface.h"
#include "platform/DebugOutput.h"
#include "platform/Settings.h"
#include "tests/platform/TempDir.h"
#endif

namespace {

using boardframe::kHeight;
using boardframe::kWidth;

constexpr unsigned kSeed = 3;
constexpr int kTicks = 40;
// Largest difference of one colour channel from the golden: the blend loops may round a
// half differently on other machines' instruction sets.
constexpr int kGoldenTolerance = 2;

const char* const kGoldenFile = VELM_TEST_DATA_DIR "/board_frame_golden.txt";

boardframe::BoardFrameScene& Scene() {
    static boardframe::BoardFrameScene scene(kSeed, kTicks);
    return scene;
}

// The software frame as XRGB, drawn once.
const std::vector<uint32_t>& SoftwareFrame() {
    static const std::vector<uint32_t> frame = Scene().DrawnPixels();
    return frame;
}

int ChannelDistance(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        most = std::max(most, d < 0 ? -d : d);
    }
    return most;
}

struct Pixel {
    int x, y;
    uint32_t rgb;
};

// The chosen pixels: a grid over the whole frame, and two rows through each label's box.
std::vector<std::pair<int, int>> ChosenPoints() {
    std::vector<std::pair<int, int>> points;
    for (int y = 32; y < kHeight; y += 64)
        for (int x = 32; x < kWidth; x += 64) points.emplace_back(x, y);
    struct Box {
        int x, y, w, h;
    };
    const Box labels[] = {{10, 10, 300, 24}, {884, 10, 120, 32}, {160, 708, 240, 24}, {600, 708, 240, 24}};
    for (const Box& b : labels)
        for (int y : {b.y + b.h / 2 - 2, b.y + b.h / 2 + 1})
            for (int x = b.x; x < b.x + b.w; x += 6) points.emplace_back(x, y);
    return points;
}

std::vector<Pixel> ReadGolden(const std::string& path) {
    std::vector<Pixel> golden;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Pixel p{};
        std::string hex;
        if (fields >> p.x >> p.y >> hex) {
            p.rgb = static_cast<uint32_t>(std::stoul(hex, nullptr, 16));
            golden.push_back(p);
        }
    }
    return golden;
}

void WriteGolden(const std::string& path, const std::vector<uint32_t>& frame) {
    std::ofstream out(path);
    out << "# The board frame (seed " << kSeed << ", " << kTicks << " ticks): x y RRGGBB\n";
    char hex[8];
    for (const auto& point : ChosenPoints()) {
        std::snprintf(hex, sizeof hex, "%06X", frame[static_cast<size_t>(point.second) * kWidth + point.first]);
        out << point.first << ' ' << point.second << ' ' << hex << '\n';
    }
}

TEST(BoardFrame, TheFrameHasTheWholeBoardAndManyColours) {
    ASSERT_TRUE(Scene().Ready());
    EXPECT_EQ(Scene().ActiveTiles(), 144);
    const std::vector<uint32_t>& frame = SoftwareFrame();
    const std::unordered_set<uint32_t> colours(frame.begin(), frame.end());
    EXPECT_GT(colours.size(), 5000u);
}

TEST(BoardFrame, SoftwareFrameMatchesTheGoldenPixels) {
    const std::vector<uint32_t>& frame = SoftwareFrame();
    const char* write = std::getenv("VELM_WRITE_GOLDEN");
    if (write != nullptr && std::string(write) == "1") WriteGolden(kGoldenFile, frame);
    const std::vector<Pixel> golden = ReadGolden(kGoldenFile);
    ASSERT_EQ(golden.size(), ChosenPoints().size()) << kGoldenFile << " is missing or incomplete";
    int wrong = 0;
    for (const Pixel& p : golden) {
        ASSERT_TRUE(p.x >= 0 && p.x < kWidth && p.y >= 0 && p.y < kHeight);
        const uint32_t got = frame[static_cast<size_t>(p.y) * kWidth + p.x];
        if (ChannelDistance(got, p.rgb) > kGoldenTolerance && ++wrong <= 10) {
            ADD_FAILURE() << "pixel " << p.x << "," << p.y << ": " << std::hex << got << " instead of " << p.rgb;
        }
    }
    EXPECT_EQ(wrong, 0);
}

// The same seed and ticks give the same frame: a second scene is not possible in one process
// (the scene owns process-wide state), so the frame is drawn twice from the same screen.
TEST(BoardFrame, DrawingTwiceGivesTheSameFrame) {
    const std::vector<uint32_t> second = Scene().DrawnPixels();
    const std::vector<uint32_t>& first = SoftwareFrame();
    int differences = 0;
    for (size_t i = 0; i < first.size(); ++i) differences += second[i] != first[i];
    EXPECT_EQ(differences, 0);
}

#ifdef VELM_HAVE_3D

// Largest difference of one colour channel between the 3D frame and the software frame.
// The device blends in its own arithmetic and rounds otherwise than the software loops (3 at
// most on llvmpipe).
constexpr int k3DTolerance = 4;

struct FrameHost : Velm::DisplayHost {
    int GetLogicalWidth() override { return kWidth; }
    int GetLogicalHeight() override { return kHeight; }
    Velm::ImageHost* GetImageHost() override { return nullptr; }
};

TEST(BoardFrame, ThreeDFrameMatchesTheSoftwareFrame) {
    std::string why;
    if (!plat::d3d7::IsAvailable(&why)) GTEST_SKIP() << "no GL context for the 3D device: " << why;
    const std::vector<uint32_t>& software = SoftwareFrame();

    plat::dd::DisplayConfig config;
    config.desktopBitsPerPixel = 32;
    plat::dd::SetDisplayConfig(config);
    velmtest::TempDir dir;
    plat::Settings settings(dir / "registry.txt");
    Velm::D3DHost d3dHost(&settings, "SOFTWARE\\Test\\BoardFrame");
    FrameHost frameHost;
    std::vector<uint32_t> hardware;
    {
        Velm::DDInterface display(&frameHost);
        display.Set3DLayer(std::make_unique<Velm::D3DInterface>(&d3dHost));
        display.mIs3D = true;
        plat::CapturedDebugOutput quiet;
        ASSERT_EQ(display.Init(nullptr, true), 0) << display.LastError();
        ASSERT_TRUE(display.mIs3D);
        {
            Velm::Graphics g(display.GetScreenImage());
            Scene().Draw(&g);
        }
        ASSERT_TRUE(display.Redraw()) << Velm::gD3DError;
        ASSERT_TRUE(display.mIs3D) << "the device gave up: " << Velm::gD3DError;
        const plat::dd::Surface* surface = display.GetDrawSurface();
        ASSERT_EQ(surface->Width(), kWidth);
        ASSERT_EQ(surface->Height(), kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                hardware.push_back(plat::dd::ToXrgb(surface->PixelAt(x, y), surface->Format()) & 0xFFFFFF);
    }

    int farApart = 0;
    int largest = 0;
    std::string examples;
    for (size_t i = 0; i < software.size(); ++i) {
        const int d = ChannelDistance(hardware[i], software[i]);
        largest = std::max(largest, d);
        if (d <= k3DTolerance) continue;
        if (++farApart <= 10) {
            char line[96];
            std::snprintf(line, sizeof line, "  %d,%d: 3D %06X, software %06X\n", static_cast<int>(i % kWidth),
                          static_cast<int>(i / kWidth), hardware[i], software[i]);
            examples += line;
        }
    }
    EXPECT_EQ(farApart, 0) << "pixels more than " << k3DTolerance << " apart in a channel (largest " << largest
                           << "):\n"
                           << examples;
    RecordProperty("largest_channel_difference", largest);
}

#endif

}  // namespace
