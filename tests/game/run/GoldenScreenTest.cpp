// Golden pictures of the simple game's main road: the kept demo of that road is played back
// in a real window on a virtual X server, once on the software drawing path and once on the
// 3D path (llvmpipe), and at five checkpoints (title, menu, board, level complete, level list)
// the screenshot facility saves the frame. Each frame, halved, must match its golden within a
// per-channel tolerance and a small share of differing pixels; and each must be the frame the
// window shows. Animations follow the demo's virtual clock and seeded randomness, so both
// paths see the same frames.
//
// The window tests run under the ctest entry test_game_golden_screens_xvfb (xvfb-run) and
// skip elsewhere. A failure writes <checkpoint>-<path>-actual.png and -diff.png (differing
// pixels in red over the dimmed golden) into golden-screens/ of the test's working folder
// (or VELM_GOLDEN_OUT). After a change that moves the road's pictures on purpose, or after the
// kept demo was recorded again, make the goldens again with
//   VELM_RECORD_GOLDENS=1 ctest -R test_game_golden_screens_xvfb
// look at each of them, and commit them.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/game/run/PlayerScripts.h"
#include "tests/game/run/RunSupport.h"
#include "tests/game/run/ScreenCompare.h"
#include "widgets/WidgetManager.h"

namespace {

using goldentest::Picture;
using runtest::PlayerRun;
using runtest::RunHome;

// A pixel may be 12 away from its golden in any channel, and 0.02% of the pixels (39 of the
// 196,608 of a halved frame) may be further away. The two paths round blends and bilinear
// samples differently: on llvmpipe the frames stay within 9 of the software path's but for
// about ten pixels of the menu's glow edges (up to 21). A word of text gone (the busiest
// 48 x 16 pixels of a frame made flat) moves 90 or more halved pixels beyond 12; a wrong screen
// or a black frame moves most of them.
const goldentest::Tolerance kTolerance{12, 0.0002};

const char* const kCheckpoints[] = {"title", "menu", "board", "level-complete", "list"};

#ifndef VELM_GOLDEN_FIXTURES
#define VELM_GOLDEN_FIXTURES ""
#endif

std::string GoldenFolder() { return VELM_GOLDEN_FIXTURES; }
std::string GoldenPath(const std::string& checkpoint) { return GoldenFolder() + "/" + checkpoint + ".png"; }
std::string KeptDemo() { return runtest::FixtureFolder() + "/simple.dmo"; }

bool Recording() { return std::getenv("VELM_RECORD_GOLDENS") != nullptr; }

bool UnderXvfb() {
    const char* flag = std::getenv("VELM_XVFB");
    return flag != nullptr && std::strcmp(flag, "1") == 0 && std::getenv("DISPLAY") != nullptr;
}

// The demo the goldens were made from is named by a checksum of its bytes (FNV-1a, 64 bits).
std::string DemoSum(const std::string& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;
    char text[32];
    std::snprintf(text, sizeof(text), "%016llx\n", static_cast<unsigned long long>(hash));
    return text;
}

// One frame taken at a checkpoint: the facility's screenshot and the window's pixels.
struct Shot {
    std::string checkpoint;
    int update = 0;
    Picture saved;
    Picture shown;
};

// The played road in a window on one drawing path, with the checkpoints' shots.
class GoldenRun : public PlayerRun {
public:
    explicit GoldenRun(bool use3D) : mUse3D(use3D) {
        afterLoading = runtest::ShortSimple;
        everyUpdate = [this](PlayerRun& run) {
            WatchCheckpoints();
            runtest::CloseLevelComplete(run);
        };
    }

    bool ProcessFrame(bool allowSleep) override {
        // The path is chosen at the first step of the loop, before the logos are drawn.
        if (!mPathChosen && mDDInterface != nullptr) {
            mPathChosen = true;
            SetPath();
        }
        const int drawsBefore = mDrawCount;
        const bool going = PlayerRun::ProcessFrame(allowSleep);
        // A shot asked for at an update is taken once the next frame is drawn and shown.
        if (!mWanted.empty() && mDrawCount != drawsBefore) {
            for (const std::string& checkpoint : mWanted) Take(checkpoint);
            mWanted.clear();
        }
        return going;
    }

    // The update that takes in the end of loading has not run yet: the title is still the
    // frame the update before it left.
    void LoadingThreadCompleted() override {
        if (!mTitleTaken) TakeTitle();
        PlayerRun::LoadingThreadCompleted();
    }

    std::string folder;  // the data folder, where the screenshots go
    std::vector<Shot> shots;
    bool pathSet = false;
    std::string pathProblem;

private:
    static constexpr int kShownNow = -1;

    struct Watch {
        const char* checkpoint;
        std::function<bool(GoldenRun&)> reached;
        // Updates from reaching it to the shot, which is taken when the next frame has been
        // drawn; kShownNow: the frame shown when it is reached.
        int settle;
        int due = -1;
        bool done = false;
    };

    void SetPath() {
        Set3DAcceleration(mUse3D, true);
        // Chosen by the test, not by a player: nothing to keep in the settings.
        mUserChanged3D = false;
        pathSet = Is3DAccelerated() == mUse3D;
        if (!pathSet)
            pathProblem = mUse3D ? "the 3D path could not be set up" : "the software path could not be set up";
    }

    // The title shows while the loading thread runs and leaves for the menu at the update that
    // takes in its end; its loading bar follows the thread, not the clock. The one frame of it
    // that is the same in every run is the full bar at the update before the one at which the
    // demo took in the end of loading: drawn and shown here once both the thread and the demo
    // have come that far (the demo holds still there for a slower thread), just before the
    // application takes that end in.
    void TakeTitle() {
        mTitleTaken = true;
        if (GetTitleScreen() == nullptr || !GetTitleScreen()->mVisible) return;
        mWidgetManager->MarkAllDirty();
        mWidgetManager->DrawScreen();
        Redraw(nullptr);
        Take("title");
    }

    void WatchCheckpoints() {
        using Velm::GameScreenId;
        if (Shown(GameScreenId::Board)) mBoardSeen = true;
        for (Watch& watch : mWatches) {
            if (watch.done) continue;
            if (watch.due < 0 && watch.reached(*this)) {
                if (watch.settle == kShownNow) {
                    watch.done = true;
                    Take(watch.checkpoint);
                    continue;
                }
                watch.due = GetUpdateCount() + watch.settle;
            }
            if (watch.due >= 0 && GetUpdateCount() >= watch.due) {
                watch.done = true;
                mWanted.push_back(watch.checkpoint);
            }
        }
    }

    void Take(const std::string& checkpoint) {
        Shot shot;
        shot.checkpoint = checkpoint;
        shot.update = GetUpdateCount();
        TakeScreenshot();
        const std::string file = folder + "/_screenshots/image" + std::to_string(shots.size() + 1) + ".png";
        goldentest::ReadPng(file, &shot.saved);
        GetMainWindow()->ReadBack(&shot.shown.pixels, &shot.shown.width, &shot.shown.height);
        shots.push_back(std::move(shot));
    }

    static Velm::LevelCompleteWidget_t* LevelComplete(GoldenRun& run) {
        return dynamic_cast<Velm::LevelCompleteWidget_t*>(run.GetDialog(Velm::BoardDialogId::kLevelComplete));
    }

    bool mUse3D;
    bool mPathChosen = false;
    bool mTitleTaken = false;
    bool mBoardSeen = false;
    std::vector<std::string> mWanted;
    std::vector<Watch> mWatches = {
            {"menu", [](GoldenRun& run) { return run.Shown(Velm::GameScreenId::MainMenu); }, 60},
            // The board with its two tiles, as shown when the level starts (the level's name
            // window has flown out; the player's first click comes in the next frame).
            {"board",
             [](GoldenRun& run) {
                 auto* board = dynamic_cast<Velm::BoardWidjet_t*>(run.GetScreen(Velm::GameScreenId::Board));
                 return run.Shown(Velm::GameScreenId::Board) && board != nullptr &&
                        board->boardState == Velm::BoardWidjet_t::kStatePlaying;
             },
             kShownNow},
            // The window closes at the update its last value shows: the frame after it.
            {"level-complete",
             [](GoldenRun& run) {
                 Velm::LevelCompleteWidget_t* done = LevelComplete(run);
                 return done != nullptr && done->IsRevealed(3);
             },
             0},
            // The list after the level; the player goes back to the menu at once.
            {"list", [](GoldenRun& run) { return run.mBoardSeen && run.Shown(Velm::GameScreenId::SimpleList); }, 0},
    };
};

// Whether the saved frame is the one the window shows: the same pixels everywhere but in one
// area of the software cursor's size (64 x 64), which the display draws into the window's frame
// only, never into the drawing surface the screenshot reads. (The cursor thread moves it on
// its own, so where it is is read from the pictures.) Empty when they match; else what differs.
std::string DifferenceFromWindow(const Shot& shot) {
    const Picture& saved = shot.saved;
    const Picture& shown = shot.shown;
    if (saved.width != shown.width || saved.height != shown.height)
        return "the window is " + std::to_string(shown.width) + " x " + std::to_string(shown.height) +
               ", the screenshot " + std::to_string(saved.width) + " x " + std::to_string(saved.height);
    int left = saved.width, top = saved.height, right = -1, bottom = -1;
    size_t differing = 0;
    for (int y = 0; y < saved.height; ++y) {
        for (int x = 0; x < saved.width; ++x) {
            if (goldentest::ChannelDistance(saved.At(x, y), shown.At(x, y)) == 0) continue;
            ++differing;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    if (differing == 0 || (right - left < 64 && bottom - top < 64)) return std::string();
    return std::to_string(differing) + " pixels differ, from (" + std::to_string(left) + ", " + std::to_string(top) +
           ") to (" + std::to_string(right) + ", " + std::to_string(bottom) + ")";
}

std::string FailureFolder() {
    const char* chosen = std::getenv("VELM_GOLDEN_OUT");
    return chosen != nullptr ? chosen : (std::filesystem::current_path() / "golden-screens").string();
}

class GoldenScreensXvfb : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_game_golden_screens_xvfb)";
        if (!runtest::HaveContent()) GTEST_SKIP() << "no generated content in " << runtest::ContentFolder();
    }
    bool Use3D() const { return std::string(GetParam()) == "3d"; }
};

TEST_P(GoldenScreensXvfb, MainRoadMatchesTheGoldens) {
    const std::string failures = FailureFolder();
    const std::string demo = runtest::ReadBytes(KeptDemo());
    ASSERT_FALSE(demo.empty()) << KeptDemo() << " is missing";
    const bool record = Recording() && !Use3D();
    if (!record) {
        ASSERT_EQ(runtest::ReadBytes(GoldenFolder() + "/demo.sum"), DemoSum(demo))
                << "the goldens were made from another " << KeptDemo()
                << ": make them again with VELM_RECORD_GOLDENS=1 ctest -R test_game_golden_screens_xvfb";
    }

    std::vector<Shot> shots;
    {
        const RunHome home;
        runtest::Watchdog watchdog(300, "the golden road");
        GoldenRun run(Use3D());
        run.folder = home.DataFolder();
        ASSERT_EQ(run.Run("-play \"-demofile=" + KeptDemo() + "\"", 60 * 1000), 0);
        ASSERT_FALSE(run.timedOut) << "the demo did not play through in the window";
        ASSERT_TRUE(run.pathSet) << run.pathProblem;
        shots = run.shots;
    }
    std::string taken;
    for (const Shot& shot : shots) taken += " " + shot.checkpoint + " (update " + std::to_string(shot.update) + ")";
    ASSERT_EQ(shots.size(), std::size(kCheckpoints)) << "not every checkpoint was reached; taken:" << taken;

    if (record) {
        for (const Shot& shot : shots) {
            ASSERT_FALSE(shot.saved.Empty()) << shot.checkpoint << ": no screenshot was saved";
            std::filesystem::create_directories(GoldenFolder());
            ASSERT_TRUE(goldentest::WritePng(GoldenPath(shot.checkpoint), goldentest::Halved(shot.saved)));
        }
        runtest::WriteBytes(GoldenFolder() + "/demo.sum", DemoSum(demo));
    }

    for (const Shot& shot : shots) {
        SCOPED_TRACE(shot.checkpoint + " on the " + GetParam() + " path, update " + std::to_string(shot.update));
        ASSERT_FALSE(shot.saved.Empty()) << "no screenshot was saved";
        // The facility saved the frame the window shows, not an earlier or unfinished one.
        const std::string fromWindow = DifferenceFromWindow(shot);
        EXPECT_TRUE(fromWindow.empty()) << "the screenshot is not the frame the window shows: " << fromWindow;

        Picture golden;
        ASSERT_TRUE(goldentest::ReadPng(GoldenPath(shot.checkpoint), &golden))
                << GoldenPath(shot.checkpoint) << " is missing: make it with VELM_RECORD_GOLDENS=1";
        const Picture actual = goldentest::Halved(shot.saved);
        const goldentest::Comparison comparison = goldentest::Compare(golden, actual, kTolerance.perChannel);
        std::printf("%s on the %s path (update %d): %s\n", shot.checkpoint.c_str(), GetParam(), shot.update,
                    comparison.Describe().c_str());
        if (goldentest::Passes(comparison, kTolerance)) continue;
        const std::string stem = failures + "/" + shot.checkpoint + "-" + GetParam();
        std::filesystem::create_directories(failures);
        goldentest::WritePng(stem + "-actual.png", actual);
        goldentest::WritePng(stem + "-diff.png", goldentest::DiffPicture(golden, actual, kTolerance.perChannel));
        ADD_FAILURE() << "checkpoint '" << shot.checkpoint << "' differs from " << GoldenPath(shot.checkpoint) << ": "
                      << comparison.Describe() << "; see " << stem << "-actual.png and " << stem << "-diff.png";
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, GoldenScreensXvfb, ::testing::Values("software", "3d"));

// ---- The comparison itself, on the kept goldens (no window needed) ----

// The block of w x h pixels with the most detail (largest sum of differences to the right
// neighbour): where text is.
goldentest::Comparison WithBusiestBlockFlattened(const Picture& golden, int w, int h) {
    int bestX = 0, bestY = 0;
    long bestDetail = -1;
    for (int top = 0; top + h <= golden.height; top += 4) {
        for (int left = 0; left + w <= golden.width; left += 4) {
            long detail = 0;
            for (int y = top; y < top + h; ++y) {
                for (int x = left; x + 1 < left + w; ++x)
                    detail += goldentest::ChannelDistance(golden.At(x, y), golden.At(x + 1, y));
            }
            if (detail > bestDetail) {
                bestDetail = detail;
                bestX = left;
                bestY = top;
            }
        }
    }
    Picture broken = golden;
    const uint32_t flat = golden.At(bestX, bestY);
    for (int y = bestY; y < bestY + h; ++y) {
        for (int x = bestX; x < bestX + w; ++x) broken.pixels[static_cast<size_t>(y) * golden.width + x] = flat;
    }
    return goldentest::Compare(golden, broken, kTolerance.perChannel);
}

Picture Shifted(const Picture& golden, int amount) {
    Picture moved = golden;
    for (size_t i = 0; i < moved.pixels.size(); ++i) {
        uint32_t out = 0xFF000000u;
        const int signedAmount = (i % 2 == 0) ? amount : -amount;
        for (int shift : {0, 8, 16}) {
            const int value = std::clamp(goldentest::Channel(golden.pixels[i], shift) + signedAmount, 0, 255);
            out |= static_cast<uint32_t>(value) << shift;
        }
        moved.pixels[i] = out;
    }
    return moved;
}

TEST(GoldenComparison, PassesRoundingAndFailsABrokenScreen) {
    std::vector<Picture> goldens;
    for (const char* checkpoint : kCheckpoints) {
        Picture golden;
        ASSERT_TRUE(goldentest::ReadPng(GoldenPath(checkpoint), &golden)) << GoldenPath(checkpoint) << " is missing";
        ASSERT_EQ(golden.width, 512);
        ASSERT_EQ(golden.height, 384);
        goldens.push_back(golden);
    }
    for (size_t i = 0; i < goldens.size(); ++i) {
        SCOPED_TRACE(kCheckpoints[i]);
        const Picture& golden = goldens[i];
        Picture black = golden;
        for (uint32_t& pixel : black.pixels) pixel = 0xFF000000u;
        Picture speckled = golden;
        for (size_t p = 0; p < speckled.pixels.size(); p += 8000) speckled.pixels[p] ^= 0x00FFFFFFu;
        const Picture& other = goldens[(i + 1) % goldens.size()];

        struct Case {
            const char* what;
            goldentest::Comparison comparison;
            bool passes;
        };
        const Case cases[] = {
                {"the same picture", goldentest::Compare(golden, golden, kTolerance.perChannel), true},
                {"every channel moved by the tolerance",
                 goldentest::Compare(golden, Shifted(golden, kTolerance.perChannel), kTolerance.perChannel), true},
                {"a few scattered pixels wrong", goldentest::Compare(golden, speckled, kTolerance.perChannel), true},
                {"every channel moved beyond the tolerance",
                 goldentest::Compare(golden, Shifted(golden, 3 * kTolerance.perChannel), kTolerance.perChannel), false},
                {"a black frame", goldentest::Compare(golden, black, kTolerance.perChannel), false},
                {"the next checkpoint's picture", goldentest::Compare(golden, other, kTolerance.perChannel), false},
                // A word of text (about 48 x 16 pixels of the full frame) gone.
                {"a word missing", WithBusiestBlockFlattened(golden, 24, 8), false},
                {"a picture of another size", goldentest::Compare(golden, goldentest::Halved(golden), 0), false},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(goldentest::Passes(c.comparison, kTolerance), c.passes)
                    << c.what << ": " << c.comparison.Describe();
        }
    }
}

}  // namespace
