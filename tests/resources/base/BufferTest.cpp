#include "resources/base/Buffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Bytes(const Velm::Buffer& b) {
    const uint8_t* p = b.GetDataPtr();
    return p ? std::vector<uint8_t>(p, p + b.GetDataLen()) : std::vector<uint8_t>();
}

Velm::Buffer Loaded(const std::vector<uint8_t>& bytes) {
    Velm::Buffer b;
    b.SetData(bytes.data(), static_cast<int>(bytes.size()));
    return b;
}

TEST(Buffer, FreshBufferIsEmpty) {
    Velm::Buffer b;
    EXPECT_TRUE(b.AtEnd());
    EXPECT_EQ(b.GetDataLen(), 0);
    EXPECT_EQ(b.GetDataPtr(), nullptr);
    EXPECT_EQ(b.ReadLong(), 0);
    EXPECT_EQ(b.ReadString(), "");
}

TEST(Buffer, ByteAfterSingleBitStraddlesTwoBytes) {
    Velm::Buffer b;
    b.WriteNumBits(1, 1);
    b.WriteByte(0xFF);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0xFF, 0x01}));
    EXPECT_EQ(b.GetDataSizeBits(), 9);
    EXPECT_EQ(b.ReadNumBits(1, false), 1);
    EXPECT_EQ(b.ReadByte(), 0xFF);
    EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, MixedFieldsRoundTrip) {
    Velm::Buffer b;
    b.WriteNumBits(5, 3);
    b.WriteLong(-123456789);
    b.WriteBoolean(true);
    b.WriteString("hello");
    b.WriteNumBits(0x2AB, 10);
    b.WriteByte(0x80);

    Velm::Buffer r = Loaded(Bytes(b));
    EXPECT_EQ(r.ReadNumBits(3, false), 5);
    EXPECT_EQ(r.ReadLong(), -123456789);
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_EQ(r.ReadString(), "hello");
    EXPECT_EQ(r.ReadNumBits(10, false), 0x2AB);
    EXPECT_EQ(r.ReadByte(), 0x80);
}

TEST(Buffer, LittleEndianLayouts) {
    struct Case {
        const char* why;
        void (*write)(Velm::Buffer&);
        std::vector<uint8_t> bytes;
    };
    // clang-format off
    const Case cases[] = {
            {"long", [](Velm::Buffer& b) { b.WriteLong(0x01020304); }, {0x04, 0x03, 0x02, 0x01}},
            {"string", [](Velm::Buffer& b) { b.WriteString("abc"); }, {0x03, 0x00, 'a', 'b', 'c'}},
            {"booleans", [](Velm::Buffer& b) { b.WriteBoolean(true); b.WriteBoolean(false); }, {0x01, 0x00}},
            {"bits low first", [](Velm::Buffer& b) { b.WriteNumBits(1, 1); b.WriteNumBits(0, 1); b.WriteNumBits(1, 1); }, {0x05}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Velm::Buffer b;
        c.write(b);
        EXPECT_EQ(Bytes(b), c.bytes);
    }
}

TEST(Buffer, SignExtension) {
    Velm::Buffer b = Loaded({0x05});
    EXPECT_EQ(b.ReadNumBits(3, false), 5);
    b.RewindRead();
    EXPECT_EQ(b.ReadNumBits(3, true), -3);
}

TEST(Buffer, StringWithTopBitLengthReadsEmpty) {
    Velm::Buffer b = Loaded({0x00, 0x80, 'x', 'y'});
    EXPECT_EQ(b.ReadString(), "");
    EXPECT_EQ(b.GetReadBitPos(), 16);
    EXPECT_EQ(b.ReadByte(), 'x');
}

TEST(Buffer, OverlongStringIsClampedSoLaterFieldsSurvive) {
    const std::string big(40000, 'q');
    Velm::Buffer b;
    b.WriteString(big);
    b.WriteLong(77);
    Velm::Buffer r = Loaded(Bytes(b));
    const std::string back = r.ReadString();
    EXPECT_EQ(back.size(), static_cast<size_t>(Velm::Buffer::kMaxStringLength));
    EXPECT_EQ(back, big.substr(0, Velm::Buffer::kMaxStringLength));
    EXPECT_EQ(r.ReadLong(), 77);
}

TEST(Buffer, ReadLineDropsCarriageReturns) {
    Velm::Buffer b = Loaded({'a', 'b', '\r', '\n', 'c', 'd'});
    EXPECT_EQ(b.ReadLine(), "ab");
    EXPECT_EQ(b.ReadLine(), "cd");
    EXPECT_EQ(b.ReadLine(), "");
}

TEST(Buffer, UnalignedByteReadNeedsBothBytesStored) {
    Velm::Buffer b = Loaded({0xFF});
    EXPECT_EQ(b.ReadNumBits(1, false), 1);
    EXPECT_EQ(b.ReadByte(), 0);
    EXPECT_EQ(b.GetReadBitPos(), 1);
}

TEST(Buffer, ReadPastEndStopsEarly) {
    Velm::Buffer b = Loaded({0x01, 0x02});
    EXPECT_EQ(b.ReadLong(), 0x0201);
    EXPECT_EQ(b.GetReadBitPos(), 16);
    EXPECT_EQ(b.ReadNumBits(8, false), 0);
    EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, ClearResetsEverything) {
    Velm::Buffer b;
    b.WriteLong(5);
    b.ReadByte();
    b.Clear();
    EXPECT_EQ(b.GetDataLen(), 0);
    EXPECT_EQ(b.GetReadBitPos(), 0);
    EXPECT_EQ(b.GetWriteBitPos(), 0);
    b.WriteByte(9);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{9}));
}

TEST(Buffer, Utf8Decoding) {
    struct Case {
        const char* why;
        std::vector<uint8_t> in;
        std::wstring out;
    };
    const Case cases[] = {
            {"leading BOM dropped", {0xEF, 0xBB, 0xBF, 0x41}, L"A"},
            {"later BOM kept", {0x41, 0xEF, 0xBB, 0xBF}, std::wstring(L"A") + wchar_t(0xFEFF)},
            {"two-byte e acute", {0xC3, 0xA9}, std::wstring(1, wchar_t(0xE9))},
            {"three-byte euro", {0xE2, 0x82, 0xAC, 0x21}, std::wstring(1, wchar_t(0x20AC)) + L"!"},
            {"overlong two-byte stops", {0x41, 0xC0, 0x80, 0x42}, L"A"},
            {"overlong three-byte stops", {0x41, 0xE0, 0x80, 0x80}, L"A"},
            {"surrogate stops", {0x41, 0xED, 0xA0, 0x80}, L"A"},
            {"U+FFFF stops", {0x41, 0xEF, 0xBF, 0xBF}, L"A"},
            {"stray continuation stops", {0x41, 0x80, 0x42}, L"A"},
            {"bad continuation stops", {0x41, 0xC3, 0x41}, L"A"},
            {"truncated sequence stops", {0x41, 0xE2, 0x82}, L"A"},
            {"0xFE stops", {0x41, 0xFE}, L"A"},
            {"four-byte keeps low 16 bits", {0xF0, 0x9F, 0x98, 0x80}, std::wstring(1, wchar_t(0xF600))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Loaded(c.in).UTF8ToWideString(), c.out);
    }
}

}  // namespace
