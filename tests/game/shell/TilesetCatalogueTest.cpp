#include "game/shell/TilesetCatalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/shell/MusicPlaylist.h"
#include "tests/game/shell/TestFiles.h"

namespace {

// Counts loads per file and hands out a fresh fake picture for every one
// (never dereferenced; the deleter only counts).
struct FakeImageLoader {
    std::map<std::string, int> loads;
    int released = 0;

    TilesetCatalogue_t::ImageLoader Loader() {
        return [this](const std::string& file) -> std::shared_ptr<Velm::Image> {
            ++loads[file];
            if (file == "broken.png") return nullptr;
            return std::shared_ptr<Velm::Image>(reinterpret_cast<Velm::Image*>(0x1000 + 16 * loads.size()),
                                                [this](Velm::Image*) { ++released; });
        };
    }
};

TEST(TilesetCatalogue, TileSetsAreNumberedByTheirKeys) {
    TempDir dir;
    const std::string a = dir.Path("a.set");
    const std::string c = dir.Path("c.set");
    WriteIni(a, {"[g1]", "group=1", "type=0", "sprite=a1.png", "[g2]", "group=2", "sprite=a2.png", "effect=fx.png",
                 "EffectType=3"});
    WriteIni(c, {"[only]", "sprite=c.png"});
    const std::string list = dir.Path("tilesets.set");
    const std::string k0 = "0=" + a;
    const std::string k2 = "2=" + c;
    WriteIni(list, {"[Tilesets]", k0.c_str(), k2.c_str()});

    TilesetCatalogue_t catalogue;
    catalogue.Load(list);
    // Two keys: tile set 0 from key "0", tile set 1 from the missing key "1".
    ASSERT_EQ(catalogue.GetCount(), 2);
    EXPECT_EQ(catalogue.GetTileset(0)->GetGroupCount(), 2);
    EXPECT_EQ(catalogue.GetTileset(1)->GetGroupCount(), 0);
    EXPECT_EQ(catalogue.GetTileset(2), nullptr);

    const TileGroup_t* first = catalogue.GetTileset(0)->GetGroup(0);
    EXPECT_EQ(first->group, 1);
    EXPECT_EQ(first->sprite, "a1.png");
    EXPECT_EQ(first->effect, "");
    EXPECT_EQ(first->effectType, -1);
    const TileGroup_t* second = catalogue.GetTileset(0)->GetGroup(1);
    EXPECT_EQ(second->group, 2);
    EXPECT_EQ(second->type, 0);
    EXPECT_EQ(second->effect, "fx.png");
    EXPECT_EQ(second->effectType, 3);
    EXPECT_EQ(catalogue.GetTileset(0)->GetGroup(2), nullptr);
    EXPECT_EQ(catalogue.GetTileset(0)->GetGroup(-1), nullptr);

    catalogue.Clear();
    EXPECT_EQ(catalogue.GetCount(), 0);
    EXPECT_EQ(catalogue.GetCurrentTileSet(), nullptr);
    EXPECT_EQ(catalogue.GetLastTileSet(), nullptr);
}

TEST(TilesetCatalogue, GroupsFollowSectionOrder) {
    TempDir dir;
    const std::string path = dir.Path("t.set");
    WriteIni(path, {"[b]", "group=2", "[C]", "group=3", "[a]", "group=1", "[_x]", "group=9"});
    Tileset_t tileset;
    tileset.Load(path);
    std::vector<int> groups;
    for (const auto& group : tileset.groups) groups.push_back(group->group);
    // Case-insensitive order; '_' sorts before every letter.
    EXPECT_EQ(groups, (std::vector<int>{9, 1, 2, 3}));

    Tileset_t missing;
    missing.Load(dir.Path("none.set"));
    EXPECT_EQ(missing.GetGroupCount(), 0);
}

TEST(TilesetCatalogue, SelectingLoadsThePicturesOfEveryTileSet) {
    TempDir dir;
    WriteIni(dir.Path("0.set"), {"[g]", "group=1", "type=4", "sprite=zero.png", "effect=fx.png"});
    WriteIni(dir.Path("1.set"), {"[g]", "sprite=one.png"});
    WriteIni(dir.Path("2.set"), {"[g]", "sprite=broken.png", "[h]", "sprite=two.png"});
    const std::string k0 = "0=" + dir.Path("0.set");
    const std::string k1 = "1=" + dir.Path("1.set");
    const std::string k2 = "2=" + dir.Path("2.set");
    WriteIni(dir.Path("list.set"), {"[Tilesets]", k0.c_str(), k1.c_str(), k2.c_str()});

    FakeImageLoader images;
    TilesetCatalogue_t catalogue;
    catalogue.SetImageLoader(images.Loader());
    catalogue.Load(dir.Path("list.set"));
    catalogue.SelectTileset(1);
    EXPECT_EQ(catalogue.current, 1);
    EXPECT_EQ(images.loads,
              (std::map<std::string, int>{
                      {"zero.png", 1}, {"fx.png", 1}, {"one.png", 1}, {"broken.png", 1}, {"two.png", 1}}));
    EXPECT_EQ(catalogue.GetTileset(2)->GetGroup(0)->spriteImage, nullptr);
    EXPECT_NE(catalogue.GetTileset(2)->GetGroup(1)->spriteImage, nullptr);
    EXPECT_EQ(catalogue.GetTileset(1)->GetGroup(0)->effectImage, nullptr);

    // Selecting again releases the held pictures before loading anew.
    catalogue.SelectTileset(0);
    EXPECT_EQ(images.released, 4);
    EXPECT_EQ(images.loads["zero.png"], 2);

    // What the board reads.
    const Velm::BoardTileSets& board = catalogue;
    ASSERT_NE(board.GetCurrentTileSet(), nullptr);
    const Velm::BoardTileGroup* group = board.GetCurrentTileSet()->GetGroup(0);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetGroupNumber(), 1);
    EXPECT_EQ(group->GetType(), 4);
    EXPECT_EQ(group->GetSpriteImage(), catalogue.GetTileset(0)->GetGroup(0)->spriteImage.get());
    EXPECT_EQ(board.GetLastTileSet(), catalogue.GetTileset(2));

    catalogue.Clear();
    EXPECT_EQ(images.released, 8);
}

TEST(TilesetCatalogue, IndexOutsideTheCatalogueSelectsTheFirstTileSet) {
    // The index comes from a profile file; the board must never get a tile set
    // that does not exist.
    TempDir dir;
    WriteIni(dir.Path("0.set"), {"[g]", "sprite=zero.png"});
    const std::string k0 = "0=" + dir.Path("0.set");
    const std::string k1 = "1=" + dir.Path("0.set");
    WriteIni(dir.Path("list.set"), {"[Tilesets]", k0.c_str(), k1.c_str()});
    TilesetCatalogue_t catalogue;
    catalogue.Load(dir.Path("list.set"));
    for (int index : {2, 100, -1, -2147483647 - 1}) {
        SCOPED_TRACE(index);
        catalogue.SelectTileset(1);
        catalogue.SelectTileset(index);
        EXPECT_EQ(catalogue.current, 0);
        EXPECT_EQ(catalogue.GetCurrentTileSet(), catalogue.GetTileset(0));
    }
    TilesetCatalogue_t empty;
    empty.SelectTileset(3);
    EXPECT_EQ(empty.current, 0);
    EXPECT_EQ(empty.GetCurrentTileSet(), nullptr);
}

TEST(MusicPlaylist, EveryKeyIsOneEntrySplitAtCommas) {
    TempDir dir;
    const std::string path = dir.Path("music.txt");
    WriteIni(path, {"[Zeta]", "z=last.ogg", "[Alpha]", "b=", "a = one.ogg , two.ogg,", "[beta]", "x=,, ,"});
    MusicPlaylist_t playlist;
    playlist.Load(path);
    const std::vector<std::vector<std::string>> kExpected = {{"one.ogg", "two.ogg"}, {}, {}, {"last.ogg"}};
    EXPECT_EQ(playlist.entries, kExpected);

    // A second file appends; a missing file adds nothing.
    playlist.Load(path);
    playlist.Load(dir.Path("none.txt"));
    EXPECT_EQ(playlist.entries.size(), 8u);
}

}  // namespace
