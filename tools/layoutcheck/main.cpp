// layoutcheck FILE...
// Reads each layout file as the board does (resource pack first, then the disk)
// and checks it whole: counts, tile lines, ranges and overlaps. Prints one line
// per file; the exit status is 1 when any file is refused, 2 on bad usage.

#include "game/board/LayoutFile.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: layoutcheck FILE...\n");
        return 2;
    }
    int refused = 0;
    for (int i = 1; i < argc; ++i) {
        Velm::LayoutFileData data;
        std::string error;
        if (Velm::LoadLayoutFile(argv[i], data, error)) {
            int ordinary = 0;
            for (const Velm::LayoutFileTile& tile : data.tiles) ordinary += tile.kind == 0 ? 1 : 0;
            std::printf("ok: %s \"%s\": %d tiles (%d ordinary), %d layers, %d rows, %d columns\n", argv[i],
                        data.name.c_str(), data.itemCount, ordinary, data.layerCount, data.rowCount, data.colCount);
        } else {
            std::printf("refused: %s\n", error.c_str());
            ++refused;
        }
    }
    return refused == 0 ? 0 : 1;
}
