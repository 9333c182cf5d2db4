#pragma once

// The tile sets: "tilesets/tilesets.set" and one set file with 50 group pictures per set.
// Group order (section names g00 .. g49 keep it, as the INI reader sorts sections):
//   0-8 dots, 9-17 bamboo, 18-26 characters (dealt four times each), 27-30 seasons (family 1),
//   31-34 winds, 35-38 flowers (family 2), 39-41 dragons; 42 the face-down picture; 43 the
//   collection face (type 6); 44-48 the tool and fixed faces (types 1 to 5); 49 the blank face.
// The last set is the logical-pairs set: its groups 0-41 are 21 pairs of related pictures
// (group 2k with 2k + 1), and its face-down and blank groups are kept out of type 0 so that
// only the 42 pair faces are dealt.

#include <string>
#include <vector>

namespace mkcontent {

class Studio;

constexpr int kTileGroupCount = 50;

struct TileGroupInfo {
    int group;  // matching family: 1 for seasons, 2 for flowers, else 0
    int type;   // 0 ordinary, 1-5 tools and fixed faces, 6 collection, 7 never dealt
};

// The group and type of each group index of the ordinary sets, or of the logic set.
TileGroupInfo GetTileGroupInfo(int index, bool logicSet);

// Paints every set and writes the set files; returns the set file paths in catalogue order.
std::vector<std::string> MakeTileSets(Studio& studio);

}  // namespace mkcontent
