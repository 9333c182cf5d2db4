#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/board/BoardTileSet.h"

// One group of tiles of a tile set: a section of a tile-set file. The board's
// matching rules compare group and type; the faces come from the sprite
// picture.
struct TileGroup_t final : public Velm::BoardTileGroup {
    int group = 0;
    int type = 0;
    std::string sprite;  // picture file of the group's tiles
    std::string effect;  // picture file of the group's effect; "" for none
    // Loaded by TilesetCatalogue_t::SelectTileset and owned by the group (the
    // shared pointer carries the loader's deleter); null until loaded or when
    // the file cannot be loaded.
    std::shared_ptr<Velm::Image> spriteImage;
    std::shared_ptr<Velm::Image> effectImage;
    int effectType = -1;

    int GetGroupNumber() const override { return group; }
    int GetType() const override { return type; }
    Velm::Image* GetSpriteImage() const override { return spriteImage.get(); }
};

// A tile-set file: one section per group (the section name is not used), in
// the INI file's section order (case-insensitive names).
class Tileset_t final : public Velm::BoardTileSet {
public:
    // Appends the groups of the file; a missing file adds none. Pictures are
    // not loaded here.
    void Load(const std::string& path);
    int GetGroupCount() const override { return static_cast<int>(groups.size()); }
    // The group at index, or null outside the list.
    TileGroup_t* GetGroup(int index) const override;

    std::vector<std::unique_ptr<TileGroup_t>> groups;
};

// The tile sets the player can choose, from "tilesets/tilesets.set": section
// "Tilesets" with keys "0", "1", ... each naming a tile-set file. Tile set i
// is read from key "i" for i below the number of keys, so a gap in the
// numbering gives an empty tile set and a key above that count is not read.
//
// The board reads the selected tile set (and the last one, for logical pairs)
// through Velm::BoardTileSets. Main thread only.
class TilesetCatalogue_t final : public Velm::BoardTileSets {
public:
    // Loads a picture file, or returns null when it cannot. The application
    // sets it to its image loader; without one no picture is loaded.
    using ImageLoader = std::function<std::shared_ptr<Velm::Image>(const std::string& file)>;

    void Load(const std::string& path);
    int GetCount() const { return static_cast<int>(tilesets.size()); }
    // Makes the tile set current and (re)loads the pictures of every group of
    // every tile set. An index outside 0 .. count - 1 selects tile set 0.
    void SelectTileset(int index);
    // Deletes every tile set.
    void Clear();

    // The tile set at index, or null outside the list.
    Tileset_t* GetTileset(int index) const;
    // The selected tile set, or null when the catalogue is empty.
    const Tileset_t* GetCurrentTileSet() const override { return GetTileset(current); }
    // The last tile set (the logical-pairs set), or null when there is none.
    const Tileset_t* GetLastTileSet() const override { return GetTileset(GetCount() - 1); }

    void SetImageLoader(ImageLoader loader) { mImageLoader = std::move(loader); }

    int current = 0;
    std::vector<std::unique_ptr<Tileset_t>> tilesets;

private:
    ImageLoader mImageLoader;
};
