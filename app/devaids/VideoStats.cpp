#include "app/devaids/VideoStats.h"

#include "app/devaids/ImageDump.h"
#include "resources/base/StringUtils.h"

namespace Velm {

std::string Support3DWord(bool testRan, bool failed, bool warned) {
    if (!testRan || failed) return "Unsupported";
    return warned ? "Supported" : "Recommended";
}

std::string VideoStatsText(const VideoStats& stats) {
    const char* const kNames[4] = {"A8R8G8B8", "A4R4G4B4", "R5G6B5", "Palette8"};
    std::string text = FormatString("3D-Mode is %s (3D is %s on this system)\r\n\r\n", stats.is3D ? "On" : "Off",
                                    stats.support.c_str());
    text += FormatString("Num Images: %d\r\n", stats.numImages);
    text += FormatString("Num Sounds: %d\r\n", stats.numSounds);
    text += FormatString("Video Memory: %s/%s KB\r\n",
                         FormatThousands64((stats.videoMemoryTotal - stats.videoMemoryFree) / 1024).c_str(),
                         FormatThousands64(stats.videoMemoryTotal / 1024).c_str());
    text += FormatString("Texture Memory: %s KB\r\n", FormatThousands64(stats.textureBytes / 1024).c_str());
    for (int i = 0; i < 4; ++i)
        text += FormatString("%s: %d - %s KB\r\n", kNames[i], stats.formatImages[i],
                             FormatThousands64(stats.formatBytes[i] / 1024).c_str());
    return text;
}

}  // namespace Velm
