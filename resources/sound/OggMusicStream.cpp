// Ogg Vorbis songs through Tremor, read from the disk a page at a time as they play.

#include <tremor/ivorbisfile.h>

#include <cstdio>

#include "resources/sound/MusicStream.h"

namespace Velm {
namespace {

size_t ReadFile(void* ptr, size_t size, size_t count, void* file) {
    return std::fread(ptr, size, count, static_cast<std::FILE*>(file));
}
int SeekFile(void* file, ogg_int64_t offset, int origin) {
    return std::fseek(static_cast<std::FILE*>(file), long(offset), origin);
}
int CloseFile(void* file) { return std::fclose(static_cast<std::FILE*>(file)); }
long TellFile(void* file) { return std::ftell(static_cast<std::FILE*>(file)); }

// Decoder errors in a row after which the rest of a song is given up.
constexpr int kMaxErrorsInRow = 64;

class OggStream : public MusicStream {
public:
    ~OggStream() override {
        if (mOpen) ov_clear(&mFile);  // closes the file too
    }

    bool Open(const std::string& path, std::string* error) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            *error = "cannot open the file";
            return false;
        }
        const ov_callbacks callbacks{&ReadFile, &SeekFile, &CloseFile, &TellFile};
        if (ov_open_callbacks(file, &mFile, nullptr, 0, callbacks) != 0) {
            std::fclose(file);
            *error = "not an Ogg Vorbis file";
            return false;
        }
        mOpen = true;
        const vorbis_info* info = ov_info(&mFile, -1);
        if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
            *error = "unsupported Ogg Vorbis channels or rate";
            return false;
        }
        mChannels = uint16_t(info->channels);
        mRate = uint32_t(info->rate);
        return true;
    }
    size_t Read(int16_t* out, size_t frames) override {
        char* to = reinterpret_cast<char*>(out);
        const size_t want = frames * BlockAlign();
        size_t got = 0;
        int errors = 0;
        while (got < want) {
            int section = 0;
            const long n = ov_read(&mFile, to + got, int(want - got), &section);
            if (n == 0) break;
            if (n < 0) {
                if (++errors > kMaxErrorsInRow) break;
                continue;
            }
            errors = 0;
            got += size_t(n);
        }
        return got / BlockAlign();
    }
    bool Rewind() override { return Seek(0); }
    bool Seek(uint64_t frame) override { return ov_pcm_seek(&mFile, ogg_int64_t(frame)) == 0; }

private:
    OggVorbis_File mFile{};
    bool mOpen = false;
};

}  // namespace

std::unique_ptr<MusicStream> OpenOggStream(const std::string& path, std::string* error) {
    return OpenDecoder<OggStream>(error, path);
}

}  // namespace Velm
