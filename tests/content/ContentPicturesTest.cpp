// Checks of the generated pictures that tell the game's places and pieces apart: every stage
// its own backgrounds, every adventure stage its own map with the markers on its places, the
// second tile set its own faces, the story panels their own pictures, and board markers that
// read over bright tiles.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/util/IniFile.h"
#include "game/shell/StageCatalogue.h"
#include "resources/ImageLib.h"
#include "tests/content/ContentTree.h"
#include "tools/mkcontent/AdventureMaps.h"

namespace {

using contenttest::LoadIni;

std::string ValueOf(IniFile_t& ini, const std::string& section, const char* key) {
    std::string value;
    ini.GetSection(section).GetString(key, "", value);
    return value;
}

struct Pixel {
    float r, g, b, a;
};

// A picture's pixels as floats; empty when it cannot be read.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;
    const Pixel& At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Picture Load(const std::string& name) {
    Picture picture;
    std::unique_ptr<ImageLib::Image> image(ImageLib::GetImage(name + ".png", false));
    if (!image) return picture;
    picture.width = image->mWidth;
    picture.height = image->mHeight;
    for (int i = 0; i < image->mWidth * image->mHeight; ++i) {
        const uint32_t argb = image->mBits[i];
        picture.pixels.push_back({static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
                                  static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
                                  static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f});
    }
    return picture;
}

// The share of pixels of the rectangle that differ by more than a tenth in any channel.
float DifferentShare(const Picture& a, const Picture& b, int x0, int y0, int w, int h) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 0;
    int different = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const Pixel &p = a.At(x, y), &q = b.At(x, y);
            if (std::fabs(p.r - q.r) > 0.1f || std::fabs(p.g - q.g) > 0.1f || std::fabs(p.b - q.b) > 0.1f ||
                std::fabs(p.a - q.a) > 0.1f)
                ++different;
        }
    return static_cast<float>(different) / static_cast<float>(w * h);
}

TEST(ContentPictures, EveryStageHasBackgroundsOfItsOwn) {
    struct Seen {
        std::string where, day, night;
    };
    std::vector<Seen> stages;
    for (const char* list : {"stages/stagessimple.txt", "stages/stages.txt"}) {
        StageCatalogue_t catalogue(list);
        for (int s = 0; s < catalogue.GetStageCount(); ++s) {
            const Stage_t* stage = catalogue.GetStage(s);
            stages.push_back({std::string(list) + " stage " + std::to_string(s), stage->day, stage->night});
        }
    }
    ASSERT_GE(stages.size(), 4u);
    for (size_t i = 0; i < stages.size(); ++i) {
        const Picture day = Load(stages[i].day), night = Load(stages[i].night);
        ASSERT_FALSE(day.pixels.empty()) << stages[i].where << " Day=" << stages[i].day;
        ASSERT_FALSE(night.pixels.empty()) << stages[i].where << " Night=" << stages[i].night;
        EXPECT_GT(DifferentShare(day, night, 0, 0, day.width, day.height), 0.3f) << stages[i].where;
        for (size_t j = 0; j < i; ++j) {
            // The middle is where the board stands; the scene shows round it.
            EXPECT_GT(DifferentShare(day, Load(stages[j].day), 0, 0, day.width, day.height), 0.1f)
                    << stages[i].where << " and " << stages[j].where << " share their day picture";
            EXPECT_GT(DifferentShare(night, Load(stages[j].night), 0, 0, night.width, night.height), 0.1f)
                    << stages[i].where << " and " << stages[j].where << " share their night picture";
        }
    }
}

TEST(ContentPictures, EveryAdventureStageHasItsOwnMapWithItsMarkersOnItsPlaces) {
    StageCatalogue_t catalogue("stages/stages.txt");
    ASSERT_EQ(catalogue.GetStageCount(), 2);
    std::vector<std::string> maps;
    for (int s = 0; s < catalogue.GetStageCount(); ++s) {
        const Stage_t* stage = catalogue.GetStage(s);
        SCOPED_TRACE("stage " + std::to_string(s));
        const std::array<mkcontent::MapPlace, 3>& places = mkcontent::GetMapPlaces(s + 1);
        ASSERT_EQ(stage->games0.size(), places.size()) << "a place on the map for every level";
        ASSERT_GE(stage->mapPoints.size(), places.size());
        for (size_t i = 0; i < places.size(); ++i) {
            EXPECT_EQ(stage->mapPoints[i].x, places[i].markerX) << "level " << i;
            EXPECT_EQ(stage->mapPoints[i].y, places[i].markerY) << "level " << i;
        }
        const Picture map = Load(stage->mapImage);
        ASSERT_EQ(map.width, 1024) << stage->mapImage;
        for (const std::string& other : maps)
            EXPECT_GT(DifferentShare(map, Load(other), 0, 0, map.width, map.height), 0.2f)
                    << stage->mapImage << " is the map of " << other;
        maps.push_back(stage->mapImage);
    }
}

TEST(ContentPictures, RedLacquerHasFacesOfItsOwn) {
    IniFile_t sets;
    ASSERT_TRUE(LoadIni("tilesets/tilesets.set", &sets));
    IniFile_t classic, lacquer;
    ASSERT_TRUE(LoadIni(ValueOf(sets, "Tilesets", "0"), &classic));
    ASSERT_TRUE(LoadIni(ValueOf(sets, "Tilesets", "1"), &lacquer));
    const int fx = 9, fy = 1, fw = 48, fh = 61;  // the face of a 58 x 68 tile picture
    for (int group = 0; group < 42; ++group) {
        char section[8];
        std::snprintf(section, sizeof section, "g%02d", group);
        const Picture a = Load(ValueOf(classic, section, "sprite"));
        const Picture b = Load(ValueOf(lacquer, section, "sprite"));
        ASSERT_FALSE(a.pixels.empty()) << section;
        EXPECT_GT(DifferentShare(a, b, fx, fy, fw, fh), 0.05f) << "group " << group << " wears the classic face";
    }
}

TEST(ContentPictures, StoryPanelsTellDifferentPictures) {
    std::vector<Picture> panels;
    for (int i = 1; i <= 3; ++i) panels.push_back(Load("images/loc/comix" + std::to_string(i)));
    for (size_t i = 0; i < panels.size(); ++i) {
        ASSERT_EQ(panels[i].width, 460) << "comix" << i + 1;
        for (size_t j = 0; j < i; ++j)  // the scene above the story lines: 420 x 200 at (20, 20)
            EXPECT_GT(DifferentShare(panels[i], panels[j], 20, 20, 420, 200), 0.2f)
                    << "comix" << i + 1 << " draws the scene of comix" << j + 1;
    }
}

// A marker is drawn over the tile's face: drawn as light it vanishes on a bright face, so it is
// drawn normally and carries both a dark edge and a band of strong colour.
TEST(ContentPictures, BoardMarkersReadOverBrightTiles) {
    for (const char* file : {"data/over.anim", "data/selected2.anim", "data/hint.anim"}) {
        SCOPED_TRACE(file);
        IniFile_t anim;
        ASSERT_TRUE(LoadIni(file, &anim));
        EXPECT_EQ(ValueOf(anim, "Main", "DrawAdditive"), "0");
        const std::string sheet = ValueOf(anim, "Sheet", "ImageFile");
        const Picture picture = Load(sheet);
        ASSERT_FALSE(picture.pixels.empty()) << sheet;
        int dark = 0, coloured = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < 64; ++x) {  // the first cel
                const Pixel& p = picture.At(x, y);
                const float high = std::max(p.r, std::max(p.g, p.b)), low = std::min(p.r, std::min(p.g, p.b));
                if (p.a > 0.8f && high < 0.2f) ++dark;
                if (p.a > 0.8f && high > 0.7f && high - low > 0.5f) ++coloured;
            }
        EXPECT_GT(dark, 250) << "dark edge";
        EXPECT_GT(coloured, 250) << "band of colour";
    }
    // The combo bonus's blinking pair keeps the face of its tiles clear.
    const Picture blink = Load("images/game/blinkcoll");
    ASSERT_EQ(blink.width, 58);
    for (int y = 12; y < 52; ++y)
        for (int x = 20; x < 46; ++x) ASSERT_LT(blink.At(x, y).a, 0.05f) << x << "," << y;
}

}  // namespace
