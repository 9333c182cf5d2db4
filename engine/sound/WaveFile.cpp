#include "engine/sound/WaveFile.h"

#include <algorithm>
#include <cstring>

#include "engine/sound/SoundError.h"

namespace Sound {
namespace {

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

bool ReadExactly(FileDescr_t* file, void* buffer, unsigned count) {
    unsigned got = 0;
    file->Read(buffer, int(count), &got);
    return got == count;
}

bool ParseChunks(FileDescr_t* file, WAVEFORMATEX& format, uint32_t& dataSize, uint32_t& dataStart) {
    // Positions are kept here rather than asked of the handle: a memory handle that is
    // sought beyond its end goes back to the start instead of failing.
    const uint64_t fileSize = uint64_t(std::max(0, file->GetSize()));
    uint8_t head[12];
    if (!ReadExactly(file, head, 12)) return false;
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
    uint64_t position = 12;
    bool haveFormat = false;
    bool haveData = false;
    for (;;) {
        uint8_t chunk[8];
        if (!ReadExactly(file, chunk, 4)) return false;
        if (!ReadExactly(file, chunk + 4, 4)) return false;
        position += 8;
        const uint32_t size = U32(chunk + 4);
        uint64_t skip = uint64_t(size) + (size & 1);
        if (!haveFormat && std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 14) return false;
            uint8_t bytes[kWaveFormatBytes] = {};
            const unsigned take = std::min<uint32_t>(size, kWaveFormatBytes);
            if (!ReadExactly(file, bytes, take)) return false;
            format = DecodeWaveFormat(bytes);
            haveFormat = true;
            if (haveData) return true;
            position += take;
            skip -= take;
        } else if (!haveData && std::memcmp(chunk, "data", 4) == 0) {
            dataSize = size;
            dataStart = uint32_t(position);
            haveData = true;
            if (haveFormat) return true;
        }
        if (position + skip > fileSize) return false;
        if (skip) {
            int now = 0;
            file->Seek(0, int(position + skip), &now);
        }
        position += skip;
    }
}

}  // namespace

WAVEFORMATEX DecodeWaveFormat(const uint8_t* b) {
    WAVEFORMATEX f;
    f.formatTag = U16(b);
    f.channels = U16(b + 2);
    f.samplesPerSec = U32(b + 4);
    f.avgBytesPerSec = U32(b + 8);
    f.blockAlign = U16(b + 12);
    f.bitsPerSample = U16(b + 14);
    f.extraSize = U16(b + 16);
    return f;
}

void EncodeWaveFormat(const WAVEFORMATEX& f, uint8_t* b) {
    auto put16 = [](uint8_t* p, uint16_t v) {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
    };
    auto put32 = [](uint8_t* p, uint32_t v) {
        for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
    };
    put16(b, f.formatTag);
    put16(b + 2, f.channels);
    put32(b + 4, f.samplesPerSec);
    put32(b + 8, f.avgBytesPerSec);
    put16(b + 12, f.blockAlign);
    put16(b + 14, f.bitsPerSample);
    put16(b + 16, f.extraSize);
}

bool ParseWavHeader(FileDescr_t* file, WAVEFORMATEX& format, uint32_t& dataSize, uint32_t& dataStart) {
    if (!file) return false;
    try {
        return ParseChunks(file, format, dataSize, dataStart);
    } catch (const err_e&) {
        return false;
    }
}

void WaveFile_t::OpenMemory(const void* data, unsigned size, bool copy) { Open(NewMemFileDescr(data, size, copy)); }

WaveWavFile_t::~WaveWavFile_t() { Close(); }

void WaveWavFile_t::Open(FileDescr_t* file) {
    Close();
    if (!file) throw errSnd_e(kErrBadFileFormat);
    WAVEFORMATEX format;
    uint32_t dataSize = 0;
    uint32_t dataStart = 0;
    bool ok = ParseWavHeader(file, format, dataSize, dataStart);
    if (ok) {
        try {
            const uint32_t fileSize = uint32_t(std::max(0, file->GetSize()));
            dataSize = dataStart > fileSize ? 0 : std::min(dataSize, fileSize - dataStart);
            int now = 0;
            file->Seek(0, int(dataStart), &now);
        } catch (const err_e&) {
            ok = false;
        }
    }
    if (!ok) {
        file->Close();
        throw errSnd_e(kErrBadFileFormat);
    }
    mFile = file;
    mFormat = format;
    mDataSize = dataSize;
    mDataStart = dataStart;
    mPosition = dataStart;
}

void WaveWavFile_t::OpenRaw(const void* block, unsigned size) {
    Close();
    if (!block || size < 22) throw errSnd_e(kErrBadFileFormat);
    const auto* bytes = static_cast<const uint8_t*>(block);
    mFormat = DecodeWaveFormat(bytes);
    mDataSize = std::min(U32(bytes + 18), size - 22);
    mDataStart = 22;
    mPosition = 22;
    mFile = NewMemFileDescr(block, size, false);
    int now = 0;
    mFile->Seek(0, 22, &now);
}

void WaveWavFile_t::Close() {
    if (mFile) {
        FileDescr_t* file = mFile;
        mFile = nullptr;
        file->Close();
    }
}

unsigned WaveWavFile_t::Read(void* buffer, unsigned bytes, unsigned* read) {
    if (!mFile) throw errSnd_e(kErrBadInit);
    const uint32_t left = mDataStart + mDataSize - mPosition;
    unsigned got = 0;
    const unsigned want = std::min(bytes, left);
    if (want) mFile->Read(buffer, int(want), &got);
    mPosition += got;
    if (read) *read = got;
    return got;
}

unsigned WaveWavFile_t::GetDurationMs() {
    if (mFormat.avgBytesPerSec == 0) return 0;
    return unsigned(uint64_t(mDataSize) * 1000 / mFormat.avgBytesPerSec);
}

bool WaveWavFile_t::Rewind() {
    if (mDataStart == 0) return true;
    if (!mFile) throw errSnd_e(kErrBadInit);
    int now = 0;
    mFile->Seek(0, int(mDataStart), &now);
    mPosition = mDataStart;
    return now == int(mDataStart);
}

}  // namespace Sound
