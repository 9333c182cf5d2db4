#include "resources/sound/SoundDecoder.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstring>

#include "platform/Files.h"
#include "resources/base/StringUtils.h"
#include "resources/sound/MusicStream.h"

namespace Velm {
namespace {

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

size_t ReadMem(void* ptr, size_t size, size_t count, void* source) {
    auto* r = static_cast<MemoryReader*>(source);
    if (size == 0) return 0;
    const size_t items = std::min(count, (r->size - r->pos) / size);
    std::memcpy(ptr, r->data + r->pos, items * size);
    r->pos += items * size;
    return items;
}

int SeekMem(void* source, ogg_int64_t offset, int origin) {
    auto* r = static_cast<MemoryReader*>(source);
    ogg_int64_t base = 0;
    if (origin == SEEK_CUR) {
        base = ogg_int64_t(r->pos);
    } else if (origin == SEEK_END) {
        base = ogg_int64_t(r->size);
    } else if (origin != SEEK_SET) {
        return -1;
    }
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > ogg_int64_t(r->size)) return -1;
    r->pos = size_t(to);
    return 0;
}

int CloseMem(void*) { return 0; }

long TellMem(void* source) { return long(static_cast<MemoryReader*>(source)->pos); }

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Decoder errors in a row after which the rest of a stream is given up.
constexpr int kMaxErrorsInRow = 64;

}  // namespace

bool DecodeOggData(const uint8_t* data, size_t size, DecodedSound& out) {
    MemoryReader reader{data, size, 0};
    OggVorbis_File vf;
    ov_callbacks callbacks{&ReadMem, &SeekMem, &CloseMem, &TellMem};
    if (!data || ov_open_callbacks(&reader, &vf, nullptr, 0, callbacks) != 0) return false;
    vorbis_info* info = ov_info(&vf, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
        ov_clear(&vf);
        return false;
    }
    out.channels = uint16_t(info->channels);
    out.samplesPerSec = uint32_t(info->rate);
    out.bitsPerSample = 16;
    out.data.clear();
    char buffer[8192];
    int errors = 0;
    for (;;) {
        int section = 0;
        const long got = ov_read(&vf, buffer, sizeof buffer, &section);
        if (got == 0) break;
        if (got < 0) {
            if (++errors > kMaxErrorsInRow) break;
            continue;
        }
        errors = 0;
        out.data.insert(out.data.end(), buffer, buffer + got);
    }
    ov_clear(&vf);
    out.data.resize(out.data.size() - out.data.size() % out.BlockAlign());
    return !out.data.empty();
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
