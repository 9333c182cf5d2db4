// mkpak: packs a folder into a resource pack.
//
//   mkpak <folder> <pack file>
//
// Every file below the folder becomes an entry named by its path relative to
// the folder, with '\' separators and letter case kept, so the game finds it
// under any spelling of that path. The pack is written whole or not at all.

#include <cstdio>
#include <string>

#include "resources/pack/PakWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkpak <folder> <pack file>\n");
        return 2;
    }
    std::string error;
    if (!WritePakFromFolder(argv[1], argv[2], &error)) {
        std::fprintf(stderr, "mkpak: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
