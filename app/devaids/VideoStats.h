#pragma once

// The figures and the text of the video statistics box (VelmAppBase::ShowVideoStats).

#include <cstdint>
#include <string>

namespace Velm {

struct VideoStats {
    bool is3D = false;
    std::string support;  // "Recommended", "Supported" or "Unsupported"
    int numImages = 0;
    int numSounds = 0;
    int64_t videoMemoryTotal = 0;  // bytes
    int64_t videoMemoryFree = 0;
    int64_t textureBytes = 0;
    // By texture format: 0 A8R8G8B8 (code 1), 1 A4R4G4B4 (2), 2 R5G6B5 (4), 3 Palette8 (8).
    int formatImages[4] = {};
    int64_t formatBytes[4] = {};
};

// The support word of the video-card test: "Recommended" when a test ran and found neither
// failure nor warning, "Unsupported" when none ran or it found a failure, else "Supported".
std::string Support3DWord(bool testRan, bool failed, bool warned);

// Lines end in "\r\n"; kilobyte figures are whole, with thousands separators.
std::string VideoStatsText(const VideoStats& stats);

}  // namespace Velm
