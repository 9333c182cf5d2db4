#pragma once

// Wave sources: they deliver the PCM of a sound from a WAV file, an Ogg Vorbis file or a
// raw PCM block, through one storage file handle each (a disk file of a storage, or a
// memory handle over bytes already read). A source owns its handle from the moment it is
// given to Open, also when Open fails, and closes it when destroyed.
//
// Raw PCM block: the 18-byte wave format, a u32 count of PCM bytes at offset 18, the PCM
// bytes from offset 22. Made when an Ogg file of a static sound is decoded in advance.
//
// A source is used by one thread at a time (the sound system's lock serialises it).

#include <cstdint>

#include "engine/sound/SoundTypes.h"
#include "engine/storage/FileDescr.h"

namespace Sound {

class WaveFile_t {
public:
    WaveFile_t() = default;
    virtual ~WaveFile_t() = default;
    WaveFile_t(const WaveFile_t&) = delete;
    WaveFile_t& operator=(const WaveFile_t&) = delete;

    // Takes the handle; throws errSnd_e 6 when it holds no playable data.
    virtual void Open(FileDescr_t* file) = 0;
    // Opens over `size` bytes at `data`: borrowed (they must outlive the source's reads),
    // or copied when `copy` is set.
    virtual void OpenMemory(const void* data, unsigned size, bool copy = false);
    virtual void OpenRaw(const void* block, unsigned size) = 0;
    virtual void Close() = 0;
    // Reads up to `bytes` bytes of PCM into `buffer`; fewer at the end of the data.
    virtual unsigned Read(void* buffer, unsigned bytes, unsigned* read) = 0;
    virtual unsigned GetDataSize() = 0;
    virtual unsigned GetDurationMs() = 0;
    // Back to the first PCM byte; false when the source cannot seek there.
    virtual bool Rewind() = 0;

    const WAVEFORMATEX& GetFormat() const { return mFormat; }

protected:
    WAVEFORMATEX mFormat;
};

// Reads a RIFF WAVE header: the format of the first "fmt " chunk and the size and start
// (byte offset from the file's start) of the first "data" chunk, in either order. Other
// chunks are skipped with their pad byte. False on any failure (never throws); the
// file's position is then undefined.
bool ParseWavHeader(FileDescr_t* file, WAVEFORMATEX& format, uint32_t& dataSize, uint32_t& dataStart);

class WaveWavFile_t : public WaveFile_t {
public:
    ~WaveWavFile_t() override;

    // A data size larger than what the file holds is cut to the bytes present.
    void Open(FileDescr_t* file) override;
    void OpenRaw(const void* block, unsigned size) override;
    void Close() override;
    // Without a file throws errSnd_e 8.
    unsigned Read(void* buffer, unsigned bytes, unsigned* read) override;
    unsigned GetDataSize() override { return mDataSize; }
    unsigned GetDurationMs() override;
    bool Rewind() override;

private:
    uint32_t mDataSize = 0;
    uint32_t mPosition = 0;   // next byte to read, from the file's start
    uint32_t mDataStart = 0;  // first PCM byte
    FileDescr_t* mFile = nullptr;
};

}  // namespace Sound
