#pragma once

// An application Init'ed with the real display device in a window of SDL's in-memory driver,
// with one widget that paints a fixed scene (two fills and an opaque image), and a fixture
// that answers message boxes from a script.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/Window.h"
#include "tests/platform/TempDir.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace displaytest {

inline std::string UniqueProduct() {
    static const unsigned tag = std::random_device()();
    static int counter = 0;
    return "VelmDisplayTest" + std::to_string(tag) + "_" + std::to_string(++counter);
}

// Opaque pixels of a fixed pseudo-random pattern.
inline std::vector<uint32_t> Pattern(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    uint32_t seed = 2024;
    for (uint32_t& p : pixels) {
        seed = seed * 1103515245u + 12345u;
        p = 0xFF000000u | (seed >> 8 & 0xFFFFFF);
    }
    return pixels;
}

const Velm::Color kBackground(40, 90, 160);
const Velm::Color kPanel(250, 200, 10);
const int kImageX = 100;
const int kImageY = 60;
const int kImageWidth = 37;
const int kImageHeight = 23;

class SceneWidget : public Velm::Widget {
public:
    void Draw(Velm::Graphics* g) override {
        g->SetColor(kBackground);
        g->FillRect(0, 0, mWidth, mHeight);
        g->SetColor(kPanel);
        g->FillRect(20, 30, 50, 40);
        if (mPicture != nullptr) g->DrawImage(mPicture, kImageX, kImageY);
    }
    Velm::Image* mPicture = nullptr;
};

class DisplayApp : public Velm::VelmAppBase {
public:
    // folder: where the program "runs from" (the video-card test's lists are read there).
    DisplayApp(plat::Settings* settings, const std::string& folder) {
        mProductName = UniqueProduct();
        SetSettingsStore(settings);
        mRegKey = "VelmTest\\" + mProductName;
        mWidth = 320;
        mHeight = 240;
        mChangeDirTo = folder;
        mAutoStartLoadingThread = false;
    }
    ~DisplayApp() override {
        if (mScene.mParent != nullptr) mWidgetManager->RemoveWidget(&mScene);
        delete mPicture;
    }

    // The process keeps its folder in tests.
    bool ChangeDirHook(const std::string&) override { return true; }

    std::string Key() const { return "SOFTWARE\\" + mRegKey; }

    // The scene widget over the whole screen, with the opaque image made on the display.
    void ShowScene() {
        const std::vector<uint32_t> pixels = Pattern(kImageWidth, kImageHeight);
        mPicture = GetDisplay()->NewImage();
        mPicture->SetBits(pixels.data(), kImageWidth, kImageHeight);
        // Opaque images otherwise go to 16-bit textures in 3D.
        mPicture->flags |= Velm::ImageFlag_UseA8R8G8B8;
        mScene.mPicture = mPicture;
        mScene.Resize(0, 0, mWidth, mHeight);
        mWidgetManager->AddWidget(&mScene);
    }

    // Draws the whole screen and presents it; the window's pixels, or empty when the
    // window cannot be read back here.
    std::vector<uint32_t> DrawAndReadBack() {
        mWidgetManager->MarkAllDirty();
        const int presents = mPresentCount.load();
        DrawFrame();
        EXPECT_EQ(mPresentCount.load(), presents + 1) << "the frame was not presented";
        std::vector<uint32_t> shown;
        int width = 0;
        int height = 0;
        if (!GetMainWindow()->ReadBack(&shown, &width, &height) || width != mWidth || height != mHeight) return {};
        return shown;
    }

    using VelmAppBase::ChooseScreenMode;

    SceneWidget mScene;
    Velm::MemoryImage* mPicture = nullptr;
};

// The largest difference of one colour channel between two XRGB pixels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        most = std::max(most, d < 0 ? -d : d);
    }
    return most;
}

inline uint32_t Rgb(const Velm::Color& c) {
    return static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | static_cast<uint32_t>(c.blue);
}

// Pixels of the opaque image's place in a frame that differ from the image.
inline int ImageDifferences(const std::vector<uint32_t>& shown, int width) {
    const std::vector<uint32_t> pixels = Pattern(kImageWidth, kImageHeight);
    int differences = 0;
    for (int y = 0; y < kImageHeight; ++y)
        for (int x = 0; x < kImageWidth; ++x)
            differences +=
                    (shown[(kImageY + y) * width + kImageX + x] & 0xFFFFFF) != (pixels[y * kImageWidth + x] & 0xFFFFFF);
    return differences;
}

// Compares a frame (XRGB) with the scene. The image is copied exactly; the fills are allowed
// one step a channel (the 3D device's fills go through its own colour path).
inline void ExpectScene(const std::vector<uint32_t>& shown, int width) {
    EXPECT_LE(ChannelDistance(shown[5 * width + 5], Rgb(kBackground)), 1);
    EXPECT_LE(ChannelDistance(shown[35 * width + 25], Rgb(kPanel)), 1);
    EXPECT_LE(ChannelDistance(shown[69 * width + 69], Rgb(kPanel)), 1);
    EXPECT_LE(ChannelDistance(shown[70 * width + 70], Rgb(kBackground)), 1);
    EXPECT_EQ(ImageDifferences(shown, width), 0);
}

class DisplayAppTest : public ::testing::Test {
protected:
    DisplayAppTest() : mClock(100000), mScope(mClock), mSettings(mDir.Path("registry.txt")) {
        plat::SetMessageBoxHandlerForTests([this](const std::string& text, const std::string& caption, unsigned type) {
            mBoxes.push_back(caption + ": " + text);
            mBoxTypes.push_back(type);
            if (mAnswers.empty()) return plat::kIdNo;
            const int answer = mAnswers.front();
            mAnswers.pop_front();
            return answer;
        });
    }
    ~DisplayAppTest() override { plat::SetMessageBoxHandlerForTests(nullptr); }

    velmtest::TempDir mDir;
    plat::VirtualClock mClock;
    plat::ScopedClock mScope;
    plat::Settings mSettings;
    std::vector<std::string> mBoxes;
    std::vector<unsigned> mBoxTypes;
    std::deque<int> mAnswers;
    // The display's set-up lines and the run statistics.
    plat::CapturedDebugOutput mLog;
};

}  // namespace displaytest
