#pragma once

// An Ogg Vorbis wave source, decoded with Tremor (the integer decoder) as 16-bit signed
// little-endian PCM with the stream's channels and rate. The decoder reads through the
// storage file handle it was given; clearing the decoder closes the handle.

#include <memory>

#include "engine/sound/WaveFile.h"

namespace Sound {

class WaveOggFile_t : public WaveFile_t {
public:
    WaveOggFile_t();
    ~WaveOggFile_t() override;

    // Throws errSnd_e 6 when the data is not an Ogg Vorbis stream or its first sound does
    // not decode (a file cut short behind its headers, or damaged before any sound); what
    // decodes plays. Opening never seeks back.
    void Open(FileDescr_t* file) override;
    // Raw blocks are for the WAV reader; nothing happens here.
    void OpenRaw(const void*, unsigned) override {}
    // The decoder keeps its handle until the source is destroyed.
    void Close() override {}
    // Whole frames only: the bytes read are a multiple of channels x 2.
    unsigned Read(void* buffer, unsigned bytes, unsigned* read) override;
    // Decodes up to `frames` frames; stops at the end of the stream, skips holes in the
    // data, and gives up after a run of errors with no sound between them.
    unsigned ReadFrames(void* buffer, unsigned frames);
    unsigned GetDataSize() override;
    unsigned GetDurationMs() override;
    bool Rewind() override;

private:
    // Decodes from where the decoder stands, as ReadFrames does.
    unsigned DecodeFrames(void* buffer, unsigned frames);

    struct Decoder;
    std::unique_ptr<Decoder> mDecoder;  // the decoder's file state, present while open
    FileDescr_t* mFile = nullptr;       // closed by the decoder
    int mChannels = 0;
    int mSampleRate = 0;
};

}  // namespace Sound
