#include "engine/sound/WaveOggFile.h"

#include <tremor/ivorbisfile.h>

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

// Decodes the stream's first sound and goes back to its start: true when at least one
// whole frame came out and the way back worked.
bool YieldsSamples(OggVorbis_File* file, int channels) {
    char probe[4096];
    const long frameBytes = long(channels) * 2;
    for (int errors = 0; errors < kMaxErrorsInRow;) {
        int section = 0;
        const long got = ov_read(file, probe, int(sizeof probe), &section);
        if (got == 0) return false;
        if (got < 0) {
            ++errors;
            continue;
        }
        if (got >= frameBytes) return ov_pcm_seek(file, 0) == 0;
    }
    return false;
}

}  // namespace

struct WaveOggFile_t::Decoder {
    OggVorbis_File file;
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
    // A stream that gives no sound at all (a file cut short behind its headers) is refused
    // here, as the whole-file decoder refuses it, rather than played as silence.
    if (!YieldsSamples(&decoder->file, info->channels)) {
        ov_clear(&decoder->file);  // closes the handle
        throw errSnd_e(kErrBadFileFormat);
    }
    mDecoder = std::move(decoder);
    mFile = file;
    mChannels = info->channels;
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
    return ov_pcm_seek(&mDecoder->file, 0) == 0;
}

}  // namespace Sound
