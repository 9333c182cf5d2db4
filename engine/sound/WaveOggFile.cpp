#include "engine/sound/WaveOggFile.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/sound/SoundError.h"

namespace Sound {
namespace {

// The decoder's reads go through the storage handle. Errors of the storage must not pass
// through the C decoder as exceptions: they become a short read or a failed seek.
size_t ReadCallback(void* ptr, size_t size, size_t count, void* source) {
    if (size == 0 || count == 0) return 0;
    auto* file = static_cast<FileDescr_t*>(source);
    unsigned got = 0;
    try {
        const size_t want = size * count;
        file->Read(ptr, want > 0x7FFFFFFF ? 0x7FFFFFFF : int(want), &got);
    } catch (const err_e&) {
        return 0;
    }
    return got / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int origin) {
    if (origin < 0 || origin > 2) return -1;
    auto* file = static_cast<FileDescr_t*>(source);
    try {
        int now = 0;
        file->Seek(origin, int(uint32_t(uint64_t(offset))), &now);
    } catch (const err_e&) {
        return -1;
    }
    return 0;
}

int CloseCallback(void* source) {
    try {
        static_cast<FileDescr_t*>(source)->Close();
    } catch (const err_e&) {
    }
    return 0;
}

long TellCallback(void* source) {
    try {
        int now = 0;
        static_cast<FileDescr_t*>(source)->Seek(1, 0, &now);
        return now;
    } catch (const err_e&) {
        return -1;
    }
}

// Errors in a row after which a stream is taken as ended.
constexpr int kMaxErrorsInRow = 64;

// The first sound decoded at the opening, in bytes (whole frames of up to two channels).
constexpr size_t kFirstBytes = 4096;

}  // namespace

struct WaveOggFile_t::Decoder {
    OggVorbis_File file;
    // The first sound, decoded at the opening and given first, so that opening never has to
    // seek back (a damaged file may not seek).
    std::vector<char> first;
    size_t firstPos = 0;
    // True once the decoder has gone on past the first sound (or was moved).
    bool pastFirst = false;
};

WaveOggFile_t::WaveOggFile_t() = default;

WaveOggFile_t::~WaveOggFile_t() {
    if (mDecoder) ov_clear(&mDecoder->file);
}

void WaveOggFile_t::Open(FileDescr_t* file) {
    if (mDecoder) {
        ov_clear(&mDecoder->file);
        mDecoder.reset();
        mFile = nullptr;
    }
    if (!file) throw errSnd_e(kErrBadFileFormat);
    auto decoder = std::make_unique<Decoder>();
    ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(file, &decoder->file, nullptr, 0, callbacks) != 0) {
        // A failed open leaves the handle to us.
        file->Close();
        throw errSnd_e(kErrBadFileFormat);
    }
    vorbis_info* info = ov_info(&decoder->file, -1);
    if (!info || info->channels < 1 || info->rate < 1) {
        ov_clear(&decoder->file);  // closes the handle
        throw errSnd_e(kErrBadFileFormat);
    }
    mDecoder = std::move(decoder);
    mFile = file;
    mChannels = info->channels;
    // A stream that gives no sound at all (a file cut short behind its headers, or damaged
    // before any sound) is refused here, as the whole-file decoder refuses it, rather than
    // played as silence.
    const unsigned frameBytes = unsigned(mChannels) * 2;
    std::vector<char>& first = mDecoder->first;
    first.resize(kFirstBytes - kFirstBytes % frameBytes);
    first.resize(DecodeFrames(first.data(), unsigned(first.size()) / frameBytes) * frameBytes);
    if (first.empty()) {
        ov_clear(&mDecoder->file);  // closes the handle
        mDecoder.reset();
        mFile = nullptr;
        throw errSnd_e(kErrBadFileFormat);
    }
    mSampleRate = int(info->rate);
    mFormat = WAVEFORMATEX();
    mFormat.formatTag = kWaveFormatPcm;
    mFormat.channels = uint16_t(mChannels);
    mFormat.samplesPerSec = uint32_t(mSampleRate);
    mFormat.bitsPerSample = 16;
    mFormat.blockAlign = uint16_t(mChannels * 2);
    mFormat.avgBytesPerSec = uint32_t(mSampleRate) * uint32_t(mChannels) * 2;
}

unsigned WaveOggFile_t::ReadFrames(void* buffer, unsigned frames) {
    if (!mDecoder) throw errSnd_e(kErrBadInit);
    const unsigned frameBytes = unsigned(mChannels) * 2;
    Decoder& d = *mDecoder;
    const unsigned kept = std::min(frames, unsigned((d.first.size() - d.firstPos) / frameBytes));
    if (kept > 0) std::memcpy(buffer, d.first.data() + d.firstPos, size_t(kept) * frameBytes);
    d.firstPos += size_t(kept) * frameBytes;
    if (kept == frames) return kept;
    d.pastFirst = true;
    return kept + DecodeFrames(static_cast<char*>(buffer) + size_t(kept) * frameBytes, frames - kept);
}

unsigned WaveOggFile_t::DecodeFrames(void* buffer, unsigned frames) {
    const unsigned frameBytes = unsigned(mChannels) * 2;
    auto* out = static_cast<char*>(buffer);
    unsigned done = 0;
    int errorsInRow = 0;
    while (done < frames) {
        const unsigned wantBytes = (frames - done) * frameBytes;
        int section = 0;
        const long got = ov_read(&mDecoder->file, out + size_t(done) * frameBytes,
                                 wantBytes > 0x7FFFFFFF ? 0x7FFFFFFF : int(wantBytes), &section);
        if (got == 0) break;
        if (got < 0) {
            if (++errorsInRow >= kMaxErrorsInRow) break;
            continue;
        }
        errorsInRow = 0;
        done += unsigned(got) / frameBytes;
    }
    return done;
}

unsigned WaveOggFile_t::Read(void* buffer, unsigned bytes, unsigned* read) {
    if (!mDecoder) throw errSnd_e(kErrBadInit);
    const unsigned frameBytes = unsigned(mChannels) * 2;
    const unsigned got = ReadFrames(buffer, bytes / frameBytes) * frameBytes;
    if (read) *read = got;
    return got;
}

unsigned WaveOggFile_t::GetDataSize() {
    if (!mDecoder) return 0;
    const ogg_int64_t samples = ov_pcm_total(&mDecoder->file, -1);
    if (samples <= 0) return 0;
    const uint64_t bytes = uint64_t(samples) * uint64_t(mChannels) * 2;
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : unsigned(bytes);
}

unsigned WaveOggFile_t::GetDurationMs() {
    if (!mDecoder) return 0;
    const ogg_int64_t ms = ov_time_total(&mDecoder->file, -1);  // Tremor counts milliseconds
    return ms <= 0 ? 0 : unsigned(ms);
}

bool WaveOggFile_t::Rewind() {
    if (!mDecoder) throw errSnd_e(kErrBadInit);
    if (!mDecoder->pastFirst) {
        mDecoder->firstPos = 0;
        return true;
    }
    if (ov_pcm_seek(&mDecoder->file, 0) != 0) return false;
    mDecoder->first.clear();
    mDecoder->firstPos = 0;
    return true;
}

}  // namespace Sound
