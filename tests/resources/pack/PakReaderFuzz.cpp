// Fuzz target: arbitrary bytes as a pack file, then every entry read through
// each operation. A pack must either be refused or read within its mapping.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "resources/pack/PakInterface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "fuzz_input.pak";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    PakInterface pack;
    if (!pack.AddPakFile(path)) return 0;
    PakFindResult found;
    PakFindData* find = pack.FindFirstFile("*", &found);
    while (find != nullptr) {
        const std::string name = found.fileName;
        PakFileHandle* file = pack.FOpen(name.c_str(), "rb");
        if (file != nullptr) {
            char buffer[64];
            while (pack.FRead(buffer, 3, 7, file) > 0) {
            }
            pack.FSeek(file, -5, SEEK_END);
            while (pack.FGetC(file) != -1) pack.UnGetC(-1, file);
            pack.FSeek(file, 0, SEEK_SET);
            while (pack.FGetS(buffer, sizeof buffer, file) != nullptr) {
            }
            pack.FClose(file);
        }
        if (!pack.FindNextFile(find, &found)) {
            pack.FindClose(find);
            find = nullptr;
        }
    }
    return 0;
}
