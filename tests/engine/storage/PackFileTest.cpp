#include "engine/storage/PackFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <zlib.h>

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

namespace {

std::vector<uint8_t> RandomBytes(size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(generator());
    return bytes;
}

void PutInt32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A packed file as it lies on the disk, with the sizes given separately so that tests can
// announce wrong ones.
std::vector<uint8_t> PackedImage(const std::vector<uint8_t>& content, int announcedUnpacked, int cutStream = 0) {
    uLongf packedSize = compressBound(static_cast<uLong>(content.size()));
    std::vector<uint8_t> stream(packedSize);
    EXPECT_EQ(compress2(stream.data(), &packedSize, content.data(), static_cast<uLong>(content.size()), 1), Z_OK);
    stream.resize(packedSize - static_cast<size_t>(cutStream));
    std::vector<uint8_t> image;
    PutInt32(image, static_cast<uint32_t>(announcedUnpacked));
    PutInt32(image, static_cast<uint32_t>(stream.size()));
    image.insert(image.end(), stream.begin(), stream.end());
    return image;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = plat::OpenFile(path, "wb");
    ASSERT_NE(file, nullptr);
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
}

std::vector<uint8_t> ReadAll(PackFile_t& pack) {
    std::vector<uint8_t> out(static_cast<size_t>(pack.GetUnpackedSize()) + 16);
    unsigned read = 0;
    EXPECT_EQ(pack.Read(out.data(), static_cast<unsigned>(out.size()), &read), 0);
    out.resize(read);
    return out;
}

TEST(PackFile, TwelveMegabytesOfNoiseRoundTrip) {
    velmtest::TempDir dir;
    const std::string path = dir / "noise.cdf";
    const std::vector<uint8_t> content = RandomBytes(12000000, 7);
    {
        PackFile_t pack(plat::OpenFile(path, "wb"), true);
        // Written in pieces, as a caller streaming a file would.
        for (size_t offset = 0; offset < content.size(); offset += 1000000) {
            int written = 0;
            ASSERT_EQ(pack.Write(content.data() + offset, 1000000, &written), 0);
            EXPECT_EQ(written, 1000000);
        }
        EXPECT_TRUE(pack.Finish());
        // Noise does not compress: the output outgrew two steps of the buffer.
        EXPECT_EQ(pack.GetCapacity(), 15000000);
    }
    PackFile_t pack(plat::OpenFile(path, "rb"), false);
    ASSERT_FALSE(pack.HasError());
    EXPECT_EQ(pack.GetUnpackedSize(), 12000000);
    EXPECT_TRUE(ReadAll(pack) == content);
}

TEST(PackFile, SmallContentRoundTripAndFormat) {
    velmtest::TempDir dir;
    const std::string path = dir / "small.cdf";
    const std::string text = "hello packed world, hello packed world";
    {
        PackFile_t pack(plat::OpenFile(path, "wb"), true);
        EXPECT_EQ(pack.GetCapacity(), PackFile_t::kBufferStep);
        ASSERT_EQ(pack.Write(text.data(), static_cast<int>(text.size()), nullptr), 0);
    }
    std::vector<uint8_t> image;
    ASSERT_TRUE(plat::ReadFile(path, image));
    ASSERT_GE(image.size(), 10u);
    int32_t unpacked = 0;
    int32_t packed = 0;
    std::memcpy(&unpacked, image.data(), 4);
    std::memcpy(&packed, image.data() + 4, 4);
    EXPECT_EQ(unpacked, static_cast<int32_t>(text.size()));
    EXPECT_EQ(static_cast<size_t>(packed), image.size() - 8);
    // A zlib header: deflate with a 32 KB window, level 1 (fastest).
    EXPECT_EQ(image[8], 0x78);
    EXPECT_EQ(image[9], 0x01);

    PackFile_t pack(plat::OpenFile(path, "rb"), false);
    std::vector<uint8_t> back = ReadAll(pack);
    EXPECT_EQ(std::string(back.begin(), back.end()), text);
}

TEST(PackFile, ClosedWithoutWritingStaysEmpty) {
    velmtest::TempDir dir;
    const std::string path = dir / "empty.cdf";
    { PackFile_t pack(plat::OpenFile(path, "wb"), true); }
    EXPECT_EQ(plat::FileSize(path), 0);
}

TEST(PackFile, EmptyContentWrittenOnceReadsBack) {
    velmtest::TempDir dir;
    const std::string path = dir / "zero.cdf";
    {
        PackFile_t pack(plat::OpenFile(path, "wb"), true);
        ASSERT_EQ(pack.Write("", 0, nullptr), 0);
    }
    PackFile_t pack(plat::OpenFile(path, "rb"), false);
    EXPECT_FALSE(pack.HasError());
    EXPECT_EQ(pack.GetUnpackedSize(), 0);
    EXPECT_TRUE(ReadAll(pack).empty());
}

TEST(PackFile, BrokenBodiesFailWithoutCrashing) {
    const std::vector<uint8_t> content = RandomBytes(5000, 3);
    std::vector<uint8_t> emptyStream;
    PutInt32(emptyStream, 0);
    PutInt32(emptyStream, 0);
    std::vector<uint8_t> corrupt = PackedImage(content, 5000);
    for (size_t i = 20; i < 60; ++i) corrupt[i] ^= 0x5A;
    std::vector<uint8_t> hugeClaim;
    PutInt32(hugeClaim, 0x7FFFFFF0);
    PutInt32(hugeClaim, 4);
    for (int i = 0; i < 4; ++i) hugeClaim.push_back(0);

    struct Case {
        const char* why;
        std::vector<uint8_t> image;
    };
    // clang-format off
    const Case kCases[] = {
            {"empty file", {}},
            {"half a header", {1, 0, 0, 0, 2, 0}},
            {"8-byte empty stream", emptyStream},
            {"announces more than the stream holds", PackedImage(content, 6000)},
            {"announces less than the stream holds", PackedImage(content, 4000)},
            {"stream cut short", PackedImage(content, 5000, 10)},
            {"packed size beyond the file", [&] {
                 std::vector<uint8_t> image = PackedImage(content, 5000);
                 image.resize(image.size() - 100);
                 return image;
             }()},
            {"corrupt stream", corrupt},
            {"negative unpacked size", PackedImage(content, -5)},
            {"impossible unpacked size", hugeClaim},
    };
    // clang-format on
    velmtest::TempDir dir;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::string path = dir / "broken.cdf";
        WriteBytes(path, c.image);
        PackFile_t pack(plat::OpenFile(path, "rb"), false);
        EXPECT_TRUE(pack.HasError());
        char buffer[16];
        unsigned position = 0;
        EXPECT_EQ(pack.Read(buffer, sizeof buffer, nullptr), -1);
        EXPECT_EQ(pack.Seek(0, 0, &position), -1);
    }
}

TEST(PackFile, NullFileFails) {
    PackFile_t reader(nullptr, false);
    PackFile_t writer(nullptr, true);
    EXPECT_TRUE(reader.HasError());
    EXPECT_TRUE(writer.HasError());
    EXPECT_EQ(writer.Write("x", 1, nullptr), -1);
    EXPECT_FALSE(writer.Finish());
}

TEST(PackFile, SeekClampsToTheContent) {
    velmtest::TempDir dir;
    const std::string path = dir / "seek.cdf";
    const std::vector<uint8_t> content = RandomBytes(100, 11);
    WriteBytes(path, PackedImage(content, 100));
    PackFile_t pack(plat::OpenFile(path, "rb"), false);
    ASSERT_FALSE(pack.HasError());

    struct Step {
        const char* why;
        int origin;
        int offset;
        unsigned position;
    };
    const Step kSteps[] = {
            {"from the start", 0, 40, 40},
            {"origin 1 offset 0 tells the position", 1, 0, 40},
            {"forward from here", 1, 10, 50},
            {"back from the end", 2, -30, 70},
            {"past the end stops at the end", 0, 110, 100},
            {"unknown origin counts from the start", 7, 5, 5},
    };
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.why);
        unsigned position = 999;
        ASSERT_EQ(pack.Seek(s.origin, static_cast<unsigned>(s.offset), &position), 0);
        EXPECT_EQ(position, s.position);
    }
    pack.Seek(0, 95, nullptr);
    uint8_t tail[10] = {};
    unsigned read = 0;
    ASSERT_EQ(pack.Read(tail, 10, &read), 0);
    EXPECT_EQ(read, 5u);
    EXPECT_EQ(std::memcmp(tail, content.data() + 95, 5), 0);
    ASSERT_EQ(pack.Read(tail, 10, &read), 0);
    EXPECT_EQ(read, 0u);
}

TEST(PackFile, WritingBodyRefusesReadsAndKeepsPositionZero) {
    velmtest::TempDir dir;
    PackFile_t pack(plat::OpenFile(dir / "w.cdf", "wb"), true);
    ASSERT_EQ(pack.Write("abc", 3, nullptr), 0);
    char buffer[4];
    EXPECT_EQ(pack.Read(buffer, 4, nullptr), -1);
    unsigned position = 9;
    EXPECT_EQ(pack.Seek(2, 0, &position), 0);
    EXPECT_EQ(position, 0u);
}

}  // namespace
