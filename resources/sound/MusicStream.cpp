#include "resources/sound/MusicStream.h"

#include <algorithm>
#include <cstring>

#include "platform/Files.h"
#include "resources/base/StringUtils.h"

namespace Velm {
namespace {

// Decoded PCM played from memory: WAV files and sounds decoded in advance.
class PcmStream : public MusicStream {
public:
    explicit PcmStream(const DecodedSound& sound) : mPcm(sound.data.size() / 2) {
        mChannels = sound.channels;
        mRate = sound.samplesPerSec;
        std::memcpy(mPcm.data(), sound.data.data(), mPcm.size() * 2);
    }

    size_t Read(int16_t* out, size_t frames) override {
        const size_t total = mPcm.size() / mChannels;
        const size_t n = std::min(frames, total - std::min(total, mFrame));
        std::memcpy(out, mPcm.data() + mFrame * mChannels, n * BlockAlign());
        mFrame += n;
        return n;
    }
    bool Rewind() override { return Seek(0); }
    bool Seek(uint64_t frame) override {
        if (frame > mPcm.size() / mChannels) return false;
        mFrame = size_t(frame);
        return true;
    }

private:
    std::vector<int16_t> mPcm;
    size_t mFrame = 0;
};

// 8-bit unsigned PCM widened to 16-bit signed, so every stream gives one sample type.
DecodedSound To16Bit(const DecodedSound& sound) {
    if (sound.bitsPerSample == 16) return sound;
    DecodedSound wide = sound;
    wide.bitsPerSample = 16;
    wide.data.resize(sound.data.size() * 2);
    for (size_t i = 0; i < sound.data.size(); ++i) {
        const int16_t s = int16_t((int(sound.data[i]) - 128) * 256);
        std::memcpy(&wide.data[i * 2], &s, 2);
    }
    return wide;
}

// The longest song DecodeWholeStream keeps: an hour at 48 kHz stereo.
constexpr size_t kMaxWholeBytes = size_t(48000) * 4 * 3600;

}  // namespace

std::unique_ptr<MusicStream> OpenPcmStream(const DecodedSound& sound, std::string* error) {
    if ((sound.channels != 1 && sound.channels != 2) || (sound.bitsPerSample != 8 && sound.bitsPerSample != 16) ||
        sound.samplesPerSec == 0 || sound.data.size() < sound.BlockAlign()) {
        *error = "no PCM to play";
        return nullptr;
    }
    return std::make_unique<PcmStream>(To16Bit(sound));
}

std::unique_ptr<MusicStream> OpenMusicStream(const std::string& path, std::string* error) {
    const size_t dot = path.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : StringToLower(path.substr(dot + 1));
    if (extension == "ogg") return OpenOggStream(path, error);
    if (extension == "mp3") return OpenMp3Stream(path, error);
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(path, bytes)) {
        *error = "cannot read the file";
        return nullptr;
    }
    if (extension != "wav") return OpenModuleStream(bytes.data(), bytes.size(), error);
    DecodedSound sound;
    if (!DecodeWavData(bytes.data(), bytes.size(), sound)) {
        *error = "not a PCM WAV file";
        return nullptr;
    }
    return OpenPcmStream(sound, error);
}

bool DecodeWholeStream(MusicStream& stream, DecodedSound& out) {
    out.channels = stream.Channels();
    out.samplesPerSec = stream.SamplesPerSec();
    out.bitsPerSample = 16;
    out.data.clear();
    std::vector<int16_t> chunk(size_t(4096) * stream.Channels());
    while (out.data.size() < kMaxWholeBytes) {
        const size_t frames = stream.Read(chunk.data(), 4096);
        if (frames == 0) break;
        const auto* bytes = reinterpret_cast<const uint8_t*>(chunk.data());
        out.data.insert(out.data.end(), bytes, bytes + frames * stream.BlockAlign());
    }
    return !out.data.empty();
}

}  // namespace Velm
