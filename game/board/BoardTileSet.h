#pragma once

namespace Velm {

class Image;

// What the board reads of one face group of a tile set: its matching family, its
// type (the tile kind it serves as a fixed face) and the picture its tiles show.
// The game shell's tile-set catalogue implements these interfaces; the board model
// only reads through them, so it needs neither the catalogue nor image code.
class BoardTileGroup {
public:
    // Matching family: faces of group number 1 all match each other, so do faces
    // of group number 2; a face of any other group number matches only itself.
    virtual int GetGroupNumber() const = 0;
    // The tile kind this face stands for (1 swap, 2 change, 4 remover, 5 hint,
    // 6 collection, 7 and up linked tiles); 0 for the dealt faces.
    virtual int GetType() const = 0;
    // The picture of the group's tiles, handed to the tile's sprite; may be null.
    virtual Image* GetSpriteImage() const = 0;

protected:
    ~BoardTileGroup() = default;
};

// One tile set: its groups in file order. Face number n shows group n - 1.
class BoardTileSet {
public:
    virtual int GetGroupCount() const = 0;
    // The group at that index, or null outside 0 .. GetGroupCount() - 1.
    virtual const BoardTileGroup* GetGroup(int index) const = 0;

protected:
    ~BoardTileSet() = default;
};

// The tile-set catalogue as the board sees it. The usual game and most modes show
// the player's current tile set; the logical-pairs mode always uses the last one.
// Either may be null (no catalogue loaded): the board then matches equal faces only
// and gives its tiles no picture.
class BoardTileSets {
public:
    virtual const BoardTileSet* GetCurrentTileSet() const = 0;
    virtual const BoardTileSet* GetLastTileSet() const = 0;

protected:
    ~BoardTileSets() = default;
};

}  // namespace Velm
