#pragma once

#include <cstdint>

// The body of a memory-storage file or of a memory handle: a byte block with a position.
// The block is either a private copy that this record frees and may grow (owns data), or
// a caller's block that is only borrowed and never written. Nothing here throws: reading
// past the end yields fewer bytes, seeking beyond the end goes to the start, and writing
// to a borrowed or closed body does nothing.
struct MemBuffer_t {
    uint8_t* data = nullptr;
    unsigned position = 0;
    unsigned size = 0;
    unsigned capacity = 0;  // bytes allocated; meaningful only when ownsData
    bool ownsData = false;
    bool open = false;

    MemBuffer_t() = default;
    ~MemBuffer_t();
    MemBuffer_t(const MemBuffer_t&) = delete;
    MemBuffer_t& operator=(const MemBuffer_t&) = delete;

    // With copy the capacity is the smallest power of two not below the length (at least
    // 1) and the bytes are copied in; without it the block is borrowed as it is. Opens
    // the body at position 0.
    void Init(const void* source, unsigned length, bool copy);
    void Read(void* buffer, unsigned count, unsigned* read);
    // Origin 0 start, 1 current position, 2 end; any other origin keeps the position.
    void Seek(int origin, int offset, int* newPosition);
    bool Write(const void* source, unsigned count, unsigned* written);
    // Grows the capacity by doubling and sets the size to n, also when n is smaller.
    void Resize(unsigned n);

private:
    void FreeData();
};
