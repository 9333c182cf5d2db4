#include "resources/base/Buffer.h"

#include "resources/base/Utf8.h"

#include <cstring>

namespace Velm {

Buffer::Buffer() : mDataBitSize(0), mReadBitPos(0), mWriteBitPos(0) {}

Buffer::~Buffer() {}

void Buffer::Clear() {
    std::vector<uint8_t>().swap(mData);
    mDataBitSize = 0;
    mReadBitPos = 0;
    mWriteBitPos = 0;
}

void Buffer::SetData(const void* data, int count) {
    if (count < 0) count = 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    mData.assign(bytes, bytes + count);
    mDataBitSize = count * 8;
}

const uint8_t* Buffer::GetDataPtr() const { return mData.empty() ? nullptr : mData.data(); }

uint8_t* Buffer::GetDataPtr() { return mData.empty() ? nullptr : mData.data(); }

int Buffer::GetDataLen() const { return (mDataBitSize + 7) / 8; }

void Buffer::RewindRead() { mReadBitPos = 0; }

bool Buffer::AtEnd() const { return mReadBitPos >= mDataBitSize; }

void Buffer::WriteByte(int value) {
    const uint8_t byte = static_cast<uint8_t>(value);
    const int shift = mWriteBitPos % 8;
    if (shift == 0) {
        mData.push_back(byte);
    } else {
        mData[mWriteBitPos / 8] |= static_cast<uint8_t>(byte << shift);
        mData.push_back(static_cast<uint8_t>(byte >> (8 - shift)));
    }
    mWriteBitPos += 8;
    if (mDataBitSize < mWriteBitPos) mDataBitSize = mWriteBitPos;
}

void Buffer::WriteNumBits(int value, int count) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < count; ++i) {
        if (mWriteBitPos % 8 == 0) mData.push_back(0);
        if (bits & (1u << (i % 32))) mData[mWriteBitPos / 8] |= static_cast<uint8_t>(1u << (mWriteBitPos % 8));
        ++mWriteBitPos;
    }
    if (mDataBitSize < mWriteBitPos) mDataBitSize = mWriteBitPos;
}

void Buffer::WriteBoolean(bool value) { WriteByte(value ? 1 : 0); }

void Buffer::WriteLong(int value) {
    const uint32_t v = static_cast<uint32_t>(value);
    WriteByte(static_cast<int>(v & 0xFF));
    WriteByte(static_cast<int>((v >> 8) & 0xFF));
    WriteByte(static_cast<int>((v >> 16) & 0xFF));
    WriteByte(static_cast<int>((v >> 24) & 0xFF));
}

void Buffer::WriteString(const std::string& text) {
    // A stored length with its top bit set would read back as an empty string
    // and leave the text's bytes to be parsed as the fields after it.
    int length = static_cast<int>(text.size());
    if (length > kMaxStringLength) length = kMaxStringLength;
    WriteByte(length & 0xFF);
    WriteByte((length >> 8) & 0xFF);
    for (int i = 0; i < length; ++i) WriteByte(static_cast<uint8_t>(text[i]));
}

void Buffer::WriteBytes(const void* data, int count) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (int i = 0; i < count; ++i) WriteByte(bytes[i]);
}

uint8_t Buffer::ReadByte() {
    const int stored = static_cast<int>(mData.size());
    if ((mReadBitPos + 7) / 8 >= stored) return 0;
    const int shift = mReadBitPos % 8;
    const int index = mReadBitPos / 8;
    uint8_t result;
    if (shift == 0)
        result = mData[index];
    else
        result = static_cast<uint8_t>((mData[index] >> shift) | (mData[index + 1] << (8 - shift)));
    mReadBitPos += 8;
    return result;
}

int Buffer::ReadNumBits(int count, bool signExtension) {
    const int stored = static_cast<int>(mData.size());
    uint32_t result = 0;
    bool lastBit = false;
    bool anyRead = false;
    for (int i = 0; i < count; ++i) {
        if (mReadBitPos / 8 >= stored) break;
        lastBit = (mData[mReadBitPos / 8] >> (mReadBitPos % 8)) & 1;
        anyRead = true;
        ++mReadBitPos;
        if (lastBit) result |= 1u << (i % 32);
    }
    if (signExtension && anyRead && lastBit) {
        for (int i = count; i < 32; ++i) result |= 1u << i;
    }
    return static_cast<int>(result);
}

bool Buffer::ReadBoolean() { return ReadByte() != 0; }

int Buffer::ReadLong() {
    uint32_t v = ReadByte();
    v |= static_cast<uint32_t>(ReadByte()) << 8;
    v |= static_cast<uint32_t>(ReadByte()) << 16;
    v |= static_cast<uint32_t>(ReadByte()) << 24;
    return static_cast<int>(v);
}

void Buffer::ReadBytes(void* data, int count) {
    uint8_t* bytes = static_cast<uint8_t*>(data);
    for (int i = 0; i < count; ++i) bytes[i] = ReadByte();
}

std::string Buffer::ReadString() {
    const int low = ReadByte();
    const int high = ReadByte();
    if (high & 0x80) return std::string();
    const int length = high * 256 + low;
    std::string text;
    text.reserve(length);
    for (int i = 0; i < length; ++i) text.push_back(static_cast<char>(ReadByte()));
    return text;
}

std::string Buffer::ReadLine() {
    std::string line;
    for (;;) {
        const uint8_t c = ReadByte();
        if (c == 0 || c == '\n') break;
        if (c != '\r') line.push_back(static_cast<char>(c));
    }
    return line;
}

std::wstring Buffer::UTF8ToWideString() const {
    const int length = GetDataLen();
    const uint8_t* in = mData.data();
    std::wstring out;
    int pos = 0;
    bool first = true;
    auto next = [&](uint8_t& byte) {
        if (pos >= length) return false;
        byte = in[pos++];
        return true;
    };
    while (pos < length) {
        uint32_t value = 0;
        if (!DecodeUtf8Char(in[pos++], next, &value)) break;
        // A byte-order mark is dropped only at the very start.
        if (first && value == 0xFEFF) {
            first = false;
            continue;
        }
        first = false;
        out.push_back(static_cast<wchar_t>(value & 0xFFFF));
    }
    return out;
}

}  // namespace Velm
