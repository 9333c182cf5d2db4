#include <gtest/gtest.h>

#include <cstring>

#include "SoundTestSupport.h"
#include "engine/sound/SoundError.h"
#include "engine/sound/WaveFile.h"

using namespace soundtest;

namespace {

struct Parsed {
    bool ok;
    Sound::WAVEFORMATEX format;
    uint32_t dataSize = 0;
    uint32_t dataStart = 0;
};

Parsed Parse(const std::string& bytes) {
    FileDescr_t* file = NewMemFileDescr(bytes.data(), unsigned(bytes.size()), false);
    Parsed p;
    p.ok = Sound::ParseWavHeader(file, p.format, p.dataSize, p.dataStart);
    file->Close();
    return p;
}

}  // namespace

TEST(WavHeader, ChunkOrdersAndBrokenHeaders) {
    const std::vector<int16_t> pcm = {1, 2, 3};
    const std::string fmt = FmtChunk(1, kRate, 16);
    const std::string data = DataChunk(pcm);
    struct Case {
        const char* why;
        std::string file;
        bool ok;
        uint32_t dataStart;
        uint16_t bits = 16;
    };
    // clang-format off
    const Case cases[] = {
            {"fmt then data", Riff(fmt + data), true, 12 + 24 + 8},
            {"data before fmt", Riff(data + fmt), true, 12 + 8},
            {"odd chunk before fmt is skipped with its pad byte", Riff(Chunk("LIST", "abc") + fmt + data), true,
             12 + 12 + 24 + 8},
            {"second fmt and data are ignored", Riff(fmt + data + FmtChunk(2, 8000, 8) + data), true, 12 + 24 + 8},
            {"fmt of 14 bytes leaves the rest zero", Riff(FmtChunk(1, kRate, 16, 14) + data), true, 12 + 22 + 8, 0},
            {"no fmt", Riff(data + Chunk("junk", "x")), false, 0},
            {"fmt shorter than 14 bytes", Riff(FmtChunk(1, kRate, 16, 12) + data), false, 0},
            {"not RIFF", "RIFX" + Riff(fmt + data).substr(4), false, 0},
            {"not WAVE", Riff(fmt + data).replace(8, 4, "AVI "), false, 0},
            {"truncated in the header", Riff(fmt + data).substr(0, 10), false, 0},
            {"chunk larger than the file",
             Riff(Chunk("LIST", "abcd").replace(4, 4, std::string("\xff\xff\x00\x00", 4)) + fmt + data), false, 0},
            {"empty", "", false, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const Parsed p = Parse(c.file);
        EXPECT_EQ(p.ok, c.ok);
        if (!c.ok || !p.ok) continue;
        EXPECT_EQ(p.dataStart, c.dataStart);
        EXPECT_EQ(p.dataSize, 6u);
        EXPECT_EQ(p.format.formatTag, 1);
        EXPECT_EQ(p.format.channels, 1);
        EXPECT_EQ(p.format.samplesPerSec, kRate);
        EXPECT_EQ(p.format.bitsPerSample, c.bits);
    }
}

TEST(WavFile, ReadsThePcmWhereverTheDataChunkLies) {
    const std::vector<int16_t> pcm = {10, -20, 30, -40};
    const std::string files[] = {
            Riff(FmtChunk(1, kRate, 16) + DataChunk(pcm)),
            Riff(DataChunk(pcm) + Chunk("odd ", "q") + FmtChunk(1, kRate, 16)),
    };
    for (const std::string& bytes : files) {
        Sound::WaveWavFile_t wav;
        wav.OpenMemory(bytes.data(), unsigned(bytes.size()));
        EXPECT_EQ(wav.GetDataSize(), 8u);
        std::vector<int16_t> got(8, 99);
        unsigned read = 0;
        EXPECT_EQ(wav.Read(got.data(), 16, &read), 8u) << "reads stop at the end of the data";
        EXPECT_EQ(std::memcmp(got.data(), pcm.data(), 8), 0);
        EXPECT_EQ(wav.Read(got.data(), 16, &read), 0u);
        ASSERT_TRUE(wav.Rewind());
        EXPECT_EQ(wav.Read(got.data(), 4, &read), 4u);
        EXPECT_EQ(got[0], 10);
        EXPECT_EQ(got[1], -20);
    }
}

TEST(WavFile, BadFilesAreBadFileFormat) {
    const std::string broken[] = {
            Riff(DataChunk({1, 2})),  // no fmt
            "not a wave file at all",
            "",
    };
    for (const std::string& bytes : broken) {
        Sound::WaveWavFile_t wav;
        try {
            wav.OpenMemory(bytes.data(), unsigned(bytes.size()));
            ADD_FAILURE() << "opened";
        } catch (const Sound::errSnd_e& e) {
            EXPECT_EQ(e.GetCode(), 6u);
            EXPECT_STREQ(e.GetMessage(), "Bad file format");
        }
        unsigned read = 0;
        char buffer[4];
        EXPECT_EQ(ThrownCode([&] { wav.Read(buffer, 4, &read); }), 8) << "no file";
    }
}

TEST(WavFile, DataSizeBeyondTheFileIsCutToTheBytesPresent) {
    std::string bytes = Riff(FmtChunk(1, kRate, 16) + DataChunk({5, 6, 7, 8}));
    bytes.replace(12 + 24 + 4, 4, "\xf0\xff\xff\x7f");  // the data chunk claims 2 GB
    Sound::WaveWavFile_t wav;
    wav.OpenMemory(bytes.data(), unsigned(bytes.size()));
    EXPECT_EQ(wav.GetDataSize(), 8u);
    EXPECT_EQ(wav.GetDurationMs(), 8u * 1000 / (kRate * 2));
}

TEST(WavFile, RawBlockStartsAtByte22) {
    Sound::WAVEFORMATEX f;
    f.formatTag = 1;
    f.channels = 2;
    f.samplesPerSec = kRate;
    f.avgBytesPerSec = kRate * 4;
    f.blockAlign = 4;
    f.bitsPerSample = 16;
    std::string block(22, '\0');
    Sound::EncodeWaveFormat(f, reinterpret_cast<uint8_t*>(&block[0]));
    block[18] = 8;  // 8 PCM bytes
    const int16_t pcm[4] = {100, 200, 300, 400};
    block.append(reinterpret_cast<const char*>(pcm), 8);
    block += "trailing bytes not counted";

    Sound::WaveWavFile_t wav;
    wav.OpenRaw(block.data(), unsigned(block.size()));
    EXPECT_EQ(wav.GetFormat().channels, 2);
    EXPECT_EQ(wav.GetDataSize(), 8u);
    int16_t got[8] = {};
    unsigned read = 0;
    EXPECT_EQ(wav.Read(got, 16, &read), 8u);
    EXPECT_EQ(got[0], 100);
    EXPECT_EQ(got[3], 400);
    EXPECT_EQ(ThrownCode([&] { wav.OpenRaw(block.data(), 21); }), 6) << "shorter than the header";
}

TEST(SoundError, TextsOfTheCodes) {
    struct Case {
        unsigned code;
        const char* text;
    };
    const Case cases[] = {
            {0, "Sond unknown errror"},  {6, "Bad file format"},      {9, "Bad file data"},
            {24, "Sond unknown errror"}, {32, "Error playing sound"}, {33, "Sond unknown errror"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_STREQ(Sound::errSnd_e(c.code).GetMessage(), c.text);
    }
    const err_e& base = Sound::errSnd_e(6);
    EXPECT_STREQ(base.GetName(), "Sound errror");
}
