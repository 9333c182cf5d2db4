#pragma once

// For tests that run a program on a virtual X server: finding tools on PATH, reading files the
// run left, and the X server's screen as Xvfb keeps it in a file (-fbdir, XWD format).

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ChildProcess.h"

namespace velmtest {

inline std::optional<std::string> FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && plat::IsExecutableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

// A 24-bit X screen as XRGB pixels.
struct Screen {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline uint32_t BigEndian32(const std::string& bytes, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(bytes[offset + i]);
    return v;
}

// Reads an XWD dump of a 32-bit-per-pixel, least-significant-byte-first screen (what Xvfb
// writes for depth 24); a clear message in *error otherwise.
inline std::optional<Screen> ReadXwd(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 100) {
        *error = path + ": no XWD header";
        return std::nullopt;
    }
    // The header is 25 big-endian 32-bit fields, then the window name, then the colour map.
    const uint32_t headerSize = BigEndian32(bytes, 0);
    Screen screen;
    screen.width = static_cast<int>(BigEndian32(bytes, 16));
    screen.height = static_cast<int>(BigEndian32(bytes, 20));
    const uint32_t byteOrder = BigEndian32(bytes, 28);
    const uint32_t bitsPerPixel = BigEndian32(bytes, 44);
    const uint32_t bytesPerLine = BigEndian32(bytes, 48);
    const uint32_t colours = BigEndian32(bytes, 76);
    const size_t start = headerSize + static_cast<size_t>(colours) * 12;
    if (bitsPerPixel != 32 || byteOrder != 0 || bytesPerLine < static_cast<uint32_t>(screen.width) * 4 ||
        start + static_cast<size_t>(bytesPerLine) * screen.height > bytes.size()) {
        *error = path + ": not a whole 32-bit LSB-first XWD screen";
        return std::nullopt;
    }
    screen.pixels.resize(static_cast<size_t>(screen.width) * screen.height);
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            const size_t at = start + static_cast<size_t>(y) * bytesPerLine + static_cast<size_t>(x) * 4;
            uint32_t v = 0;
            for (size_t i = 0; i < 3; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
            screen.pixels[static_cast<size_t>(y) * screen.width + x] = v;
        }
    }
    return screen;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The smallest box around every pixel that is not black: the window on the black root.
inline Box DrawnBox(const Screen& screen) {
    Box box{screen.width, screen.height, 0, 0};
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            if (screen.At(x, y) == 0) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    if (box.right <= box.left) box = Box{};
    return box;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace velmtest
