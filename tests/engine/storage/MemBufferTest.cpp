#include "engine/storage/MemBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/storage/FileDescr.h"
#include "engine/storage/StgError.h"

namespace {

TEST(MemBuffer, CopyCapacityIsPowerOfTwo) {
    struct Case {
        unsigned length;
        unsigned capacity;
    };
    const Case kCases[] = {{0, 1}, {1, 1}, {5, 8}, {8, 8}, {9, 16}, {1000, 1024}};
    const char bytes[1000] = {};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.length);
        FileDescr_t* handle = NewMemFileDescr(bytes, c.length, true);
        ASSERT_NE(handle->memory, nullptr);
        EXPECT_EQ(handle->memory->capacity, c.capacity);
        EXPECT_EQ(handle->memory->size, c.length);
        EXPECT_TRUE(handle->memory->ownsData);
        EXPECT_EQ(handle->owner, nullptr);
        EXPECT_EQ(handle->kind, 0);
        EXPECT_FALSE(handle->writable);
        handle->Close();
    }
}

TEST(MemBuffer, BorrowedHandleReadsTheCallersBytes) {
    const char text[] = "0123456789";
    FileDescr_t* handle = NewMemFileDescr(text, 10, false);
    EXPECT_EQ(handle->memory->data, reinterpret_cast<const uint8_t*>(text));
    EXPECT_EQ(handle->GetSize(), 10);
    char out[16] = {};
    unsigned read = 0;
    handle->Seek(0, 4, nullptr);
    handle->Read(out, 16, &read);
    EXPECT_EQ(read, 6u);
    EXPECT_STREQ(out, "456789");
    // A borrowed body is never written.
    EXPECT_FALSE(handle->memory->Write("x", 1, nullptr));
    handle->Close();
}

TEST(MemBuffer, Seek) {
    struct Case {
        const char* why;
        int start;
        int origin;
        int offset;
        int position;
    };
    const Case kCases[] = {
            {"from start", 0, 0, 4, 4},
            {"to the end exactly", 0, 0, 10, 10},
            {"beyond the end goes to the start", 5, 0, 11, 0},
            {"from the end backwards", 0, 2, -3, 7},
            {"from the current position", 2, 1, 3, 5},
            {"before the start wraps past the end", 2, 1, -3, 0},
            {"unknown origin keeps the position", 6, 9, 3, 6},
    };
    const char bytes[10] = {};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        MemBuffer_t body;
        body.Init(bytes, 10, true);
        body.position = static_cast<unsigned>(c.start);
        int position = -1;
        body.Seek(c.origin, c.offset, &position);
        EXPECT_EQ(position, c.position);
        EXPECT_EQ(body.position, static_cast<unsigned>(c.position));
    }
}

TEST(MemBuffer, WriteCutsAtItsEnd) {
    const char bytes[10] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'};
    MemBuffer_t body;
    body.Init(bytes, 10, true);
    body.Seek(0, 3, nullptr);
    unsigned written = 0;
    EXPECT_TRUE(body.Write("XY", 2, &written));
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(body.size, 5u);
    EXPECT_EQ(std::memcmp(body.data, "abcXY", 5), 0);
}

TEST(MemBuffer, WriteGrowsByDoubling) {
    MemBuffer_t body;
    body.Init(nullptr, 0, true);
    std::string text(100, 'q');
    EXPECT_TRUE(body.Write(text.data(), 100, nullptr));
    EXPECT_EQ(body.size, 100u);
    EXPECT_EQ(body.capacity, 128u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(body.data), 100), text);
}

TEST(MemBuffer, ClosedBodyDoesNothing) {
    const char bytes[4] = {1, 2, 3, 4};
    MemBuffer_t body;
    body.Init(bytes, 4, true);
    body.open = false;
    char out[4] = {};
    unsigned read = 77;
    int position = 77;
    body.Read(out, 4, &read);
    body.Seek(0, 2, &position);
    EXPECT_EQ(read, 77u);
    EXPECT_EQ(position, 77);
    EXPECT_FALSE(body.Write(bytes, 4, nullptr));
    EXPECT_EQ(body.size, 4u);
}

TEST(MemBuffer, GuardedFunctionsRefuseNullHandles) {
    char buffer[4];
    try {
        StgReadFile(nullptr, buffer, 4, nullptr);
        FAIL() << "no exception";
    } catch (const errStg_e& error) {
        EXPECT_EQ(error.GetCode(), 2);
        EXPECT_EQ(error.GetOperation(), 8);
    }
    try {
        StgGetFileSize(nullptr);
        FAIL() << "no exception";
    } catch (const errStg_e& error) {
        EXPECT_EQ(error.GetCode(), 2);
        EXPECT_EQ(error.GetOperation(), 3);
    }
    FileDescr_t* handle = NewMemFileDescr("abc", 3, true);
    unsigned read = 0;
    StgReadFile(handle, buffer, 4, &read);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(StgGetFileSize(handle), 3);
    handle->Close();
}

}  // namespace
