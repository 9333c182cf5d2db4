// mkfont: makes a bitmap font (descriptor and glyph sheet) from a TrueType font.
//
//   mkfont <font.ttf> <point size> <descriptor path> [sheet file name]
//
// The sheet is written beside the descriptor, named after it with ".png" unless a name is
// given.

#include <cstdio>
#include <string>

#include "resources/base/Paths.h"
#include "resources/base/StringUtils.h"
#include "tools/mkfont/FontMaker.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: mkfont <font.ttf> <point size> <descriptor path> [sheet file name]\n");
        return 2;
    }
    mkfont::Options options;
    options.fontPath = argv[1];
    if (!Velm::StringToInt(argv[2], &options.pointSize) || options.pointSize <= 0 || options.pointSize > 500) {
        std::fprintf(stderr, "mkfont: bad point size %s\n", argv[2]);
        return 2;
    }
    options.descriptorPath = argv[3];
    options.imageName = argc == 5 ? argv[4] : Velm::GetFileName(options.descriptorPath, true) + ".png";
    std::string error;
    if (!mkfont::MakeFont(options, &error)) {
        std::fprintf(stderr, "mkfont: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
