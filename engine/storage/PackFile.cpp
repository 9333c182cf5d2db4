#include "engine/storage/PackFile.h"

#include <cstring>
#include <new>

namespace {

bool ReadInt32(FILE* file, int& value) {
    uint8_t bytes[4];
    if (std::fread(bytes, 1, 4, file) != 4) return false;
    value = static_cast<int>(static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                             (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
    return true;
}

bool WriteInt32(FILE* file, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return std::fwrite(bytes, 1, 4, file) == 4;
}

// Bytes of the file after the current position, or -1 when it cannot be told.
long RemainingBytes(FILE* file) {
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
    return end - here;
}

// Deflate never shrinks data by more than about 1032 to 1; an announced content larger
// than that bound cannot come from the stream, so it is refused before anything as large
// is allocated.
const long long kMaxInflateRatio = 1040;

}  // namespace

PackFile_t::PackFile_t(FILE* file, bool write) : mFile(file), mWriteMode(write) {
    if (!mFile) {
        mError = true;
        return;
    }
    if (write) {
        OpenForWriting();
    } else {
        OpenForReading();
    }
}

PackFile_t::~PackFile_t() { Finish(); }

void PackFile_t::OpenForReading() {
    if (!ReadInt32(mFile, mUnpackedSize) || !ReadInt32(mFile, mPackedSize) || mUnpackedSize < 0 || mPackedSize < 0) {
        mError = true;
        return;
    }
    long remaining = RemainingBytes(mFile);
    if (remaining < 0 || mPackedSize > remaining ||
        static_cast<long long>(mUnpackedSize) > static_cast<long long>(mPackedSize) * kMaxInflateRatio + 1024) {
        mError = true;
        return;
    }
    std::vector<uint8_t> packed;
    try {
        // One spare byte so that an empty content still has an output address.
        mBuffer.resize(static_cast<size_t>(mUnpackedSize) + 1);
        packed.resize(static_cast<size_t>(mPackedSize) + 1);
    } catch (const std::bad_alloc&) {
        mError = true;
        return;
    }
    if (std::fread(packed.data(), 1, static_cast<size_t>(mPackedSize), mFile) != static_cast<size_t>(mPackedSize)) {
        mError = true;
        return;
    }
    z_stream inflater{};
    inflater.next_in = packed.data();
    inflater.avail_in = static_cast<uInt>(mPackedSize);
    inflater.next_out = mBuffer.data();
    inflater.avail_out = static_cast<uInt>(mUnpackedSize);
    if (inflateInit(&inflater) != Z_OK) {
        mError = true;
        return;
    }
    int result = inflate(&inflater, Z_FINISH);
    if (result != Z_STREAM_END || inflater.total_out != static_cast<uLong>(mUnpackedSize)) mError = true;
    inflateEnd(&inflater);
}

void PackFile_t::OpenForWriting() {
    try {
        mBuffer.resize(static_cast<size_t>(mCapacity));
    } catch (const std::bad_alloc&) {
        mError = true;
        return;
    }
    if (deflateInit(&mStream, 1) != Z_OK) {
        mError = true;
        return;
    }
    mStreamReady = true;
    mStream.next_out = mBuffer.data();
    mStream.avail_out = static_cast<uInt>(mCapacity);
}

bool PackFile_t::DeflateAll(int flush) {
    int result = deflate(&mStream, flush);
    while (result != Z_STREAM_ERROR && mStream.avail_out == 0) {
        size_t used = static_cast<size_t>(mStream.next_out - mBuffer.data());
        try {
            mBuffer.resize(mBuffer.size() + kBufferStep);
        } catch (const std::bad_alloc&) {
            return false;
        }
        mCapacity += kBufferStep;
        mStream.next_out = mBuffer.data() + used;
        mStream.avail_out = kBufferStep;
        result = deflate(&mStream, flush);
    }
    if (result == Z_STREAM_ERROR) return false;
    return flush != Z_FINISH || result == Z_STREAM_END;
}

int PackFile_t::Read(void* buffer, unsigned count, unsigned* read) {
    // A body being written has no content to read yet.
    if (mError || mWriteMode) return -1;
    unsigned size = static_cast<unsigned>(mUnpackedSize);
    unsigned left = mReadPosition < size ? size - mReadPosition : 0;
    unsigned n = count < left ? count : left;
    if (n) std::memcpy(buffer, mBuffer.data() + mReadPosition, n);
    mReadPosition += n;
    if (read) *read = n;
    return 0;
}

int PackFile_t::Write(const void* data, int count, int* written) {
    if (mError || !mWriteMode || count < 0) return -1;
    mWritten = true;
    mStream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    mStream.avail_in = static_cast<uInt>(count);
    if (!DeflateAll(Z_NO_FLUSH)) {
        mError = true;
        return -1;
    }
    if (written) *written = count;
    return 0;
}

int PackFile_t::Seek(int origin, unsigned offset, unsigned* position) {
    if (mError) return -1;
    if (mWriteMode) {
        // The output only grows at its end; the write position stays 0.
        if (position) *position = 0;
        return 0;
    }
    unsigned size = static_cast<unsigned>(mUnpackedSize);
    unsigned base = 0;
    if (origin == 1) base = mReadPosition;
    if (origin == 2) base = size;
    unsigned target = base + offset;
    if (target > size) target = size;
    mReadPosition = target;
    if (position) *position = target;
    return 0;
}

bool PackFile_t::Finish() {
    if (mFinished) return !mError;
    mFinished = true;
    bool ok = !mError;
    if (mWriteMode && mStreamReady) {
        if (ok && mWritten) {
            ok = DeflateAll(Z_FINISH);
            if (ok) {
                uint32_t packedSize = static_cast<uint32_t>(mStream.total_out);
                ok = WriteInt32(mFile, static_cast<uint32_t>(mStream.total_in)) && WriteInt32(mFile, packedSize) &&
                     std::fwrite(mBuffer.data(), 1, packedSize, mFile) == packedSize;
            }
        }
        deflateEnd(&mStream);
        mStreamReady = false;
    }
    if (mFile && std::fclose(mFile) != 0 && mWriteMode) ok = false;
    mFile = nullptr;
    std::vector<uint8_t>().swap(mBuffer);
    if (!ok) mError = true;
    return ok;
}
