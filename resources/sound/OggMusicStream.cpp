// Ogg Vorbis through Tremor: songs read from the disk a page at a time as they play, and
// sounds decoded from bytes in memory, by one reader. A stream opens only when its first
// sound decodes (a file cut short behind its headers, or damaged before any sound, is
// refused); that first sound is kept and played first, so opening never seeks back.

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

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

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

size_t ReadMemory(void* ptr, size_t size, size_t count, void* source) {
    auto* r = static_cast<MemoryReader*>(source);
    if (size == 0) return 0;
    const size_t items = std::min(count, (r->size - r->pos) / size);
    std::memcpy(ptr, r->data + r->pos, items * size);
    r->pos += items * size;
    return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int origin) {
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

int CloseMemory(void* source) {
    delete static_cast<MemoryReader*>(source);
    return 0;
}

long TellMemory(void* source) { return long(static_cast<MemoryReader*>(source)->pos); }

// Decoder errors in a row after which the rest of a song is given up.
constexpr int kMaxErrorsInRow = 64;
// The first sound decoded at the opening, in frames.
constexpr size_t kFirstFrames = 1024;

class OggStream : public MusicStream {
public:
    ~OggStream() override {
        if (mOpen) ov_clear(&mFile);  // closes the source too
    }

    // The stream owns `source` from here on, also when the opening fails.
    bool Open(void* source, const ov_callbacks& callbacks, std::string* error) {
        if (ov_open_callbacks(source, &mFile, nullptr, 0, callbacks) != 0) {
            callbacks.close_func(source);
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
        mFirst.resize(kFirstFrames * mChannels);
        mFirst.resize(Decode(mFirst.data(), kFirstFrames) * mChannels);
        if (mFirst.empty()) {
            *error = "no sound in the Ogg Vorbis file";
            return false;
        }
        return true;
    }
    size_t Read(int16_t* out, size_t frames) override {
        const size_t kept = std::min(frames, (mFirst.size() - mFirstPos) / mChannels);
        std::copy_n(mFirst.begin() + ptrdiff_t(mFirstPos), kept * mChannels, out);
        mFirstPos += kept * mChannels;
        if (kept == frames) return kept;
        mPastFirst = true;
        return kept + Decode(out + kept * mChannels, frames - kept);
    }
    bool Rewind() override {
        if (mPastFirst) return Seek(0);
        mFirstPos = 0;
        return true;
    }
    bool Seek(uint64_t frame) override {
        if (ov_pcm_seek(&mFile, ogg_int64_t(frame)) != 0) return false;
        mFirst.clear();
        mFirstPos = 0;
        mPastFirst = true;
        return true;
    }

private:
    // Decodes up to `frames` frames from where the decoder stands; holes in the data are
    // skipped, a run of errors with no sound between them ends the song.
    size_t Decode(int16_t* out, size_t frames) {
        char* to = reinterpret_cast<char*>(out);
        const size_t want = frames * BlockAlign();
        size_t got = 0;
        int errors = 0;
        while (got < want) {
            int section = 0;
            const long n = ov_read(&mFile, to + got, int(std::min<size_t>(want - got, 0x7FFFFFFF)), &section);
            if (n == 0) break;
            if (n < 0) {
                if (++errors >= kMaxErrorsInRow) break;
                continue;
            }
            errors = 0;
            got += size_t(n);
        }
        return got / BlockAlign();
    }

    OggVorbis_File mFile{};
    bool mOpen = false;
    // The first sound, decoded at the opening and given first.
    std::vector<int16_t> mFirst;
    size_t mFirstPos = 0;
    // True once the decoder has gone on past the first sound (or was moved).
    bool mPastFirst = false;
};

}  // namespace

std::unique_ptr<MusicStream> OpenOggStream(const std::string& path, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot open the file";
        return nullptr;
    }
    const ov_callbacks callbacks{&ReadFile, &SeekFile, &CloseFile, &TellFile};
    return OpenDecoder<OggStream>(error, static_cast<void*>(file), callbacks);
}

std::unique_ptr<MusicStream> OpenOggStream(const void* data, size_t size, std::string* error) {
    if (!data) {
        *error = "empty file";
        return nullptr;
    }
    const ov_callbacks callbacks{&ReadMemory, &SeekMemory, &CloseMemory, &TellMemory};
    auto* reader = new MemoryReader{static_cast<const uint8_t*>(data), size, 0};
    return OpenDecoder<OggStream>(error, static_cast<void*>(reader), callbacks);
}

}  // namespace Velm
