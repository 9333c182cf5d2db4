#include "resources/sound/SoundDecoder.h"

#include <algorithm>
#include <cstring>

#include "platform/Files.h"
#include "resources/base/StringUtils.h"
#include "resources/sound/MusicStream.h"

namespace Velm {
namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

}  // namespace

bool DecodeOggData(const uint8_t* data, size_t size, DecodedSound& out) {
    std::string error;
    const std::unique_ptr<MusicStream> stream = OpenOggStream(data, size, &error);
    return stream && DecodeWholeStream(*stream, out);
}

bool DecodeWavData(const uint8_t* data, size_t size, DecodedSound& out) {
    if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return false;
    bool haveFormat = false;
    const uint8_t* pcm = nullptr;
    size_t pcmBytes = 0;
    size_t pos = 12;
    while (pos + 8 <= size && !(haveFormat && pcm)) {
        const uint8_t* id = data + pos;
        const size_t length = Le32(data + pos + 4);
        const size_t body = pos + 8;
        if (std::memcmp(id, "fmt ", 4) == 0 && !haveFormat) {
            if (length < 16 || body + 16 > size) return false;
            if (Le16(data + body) != 1) return false;
            out.channels = Le16(data + body + 2);
            out.samplesPerSec = Le32(data + body + 4);
            out.bitsPerSample = Le16(data + body + 14);
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0 && !pcm) {
            pcm = data + body;
            pcmBytes = std::min(length, size - std::min(size, body));
        }
        pos = body + length + (length & 1);
    }
    if (!haveFormat || !pcm) return false;
    if ((out.channels != 1 && out.channels != 2) || (out.bitsPerSample != 8 && out.bitsPerSample != 16) ||
        out.samplesPerSec == 0) {
        return false;
    }
    pcmBytes -= pcmBytes % out.BlockAlign();
    out.data.assign(pcm, pcm + pcmBytes);
    return !out.data.empty();
}

bool DecodeSoundFile(const std::string& path, DecodedSound& out) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos) return false;
    const std::string extension = StringToLower(path.substr(dot + 1));
    if (extension == "mp3") {
        std::string error;
        auto stream = OpenMp3Stream(path, &error);
        return stream && DecodeWholeStream(*stream, out);
    }
    if (extension != "wav" && extension != "ogg") return false;  // no tracker modules
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(path, bytes)) return false;
    if (extension == "ogg") return DecodeOggData(bytes.data(), bytes.size(), out);
    return DecodeWavData(bytes.data(), bytes.size(), out);
}

}  // namespace Velm
