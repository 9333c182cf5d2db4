#include "engine/storage/MemBuffer.h"

#include <cstring>

MemBuffer_t::~MemBuffer_t() { FreeData(); }

void MemBuffer_t::FreeData() {
    if (ownsData) delete[] data;
    data = nullptr;
    capacity = 0;
    ownsData = false;
}

void MemBuffer_t::Init(const void* source, unsigned length, bool copy) {
    FreeData();
    if (copy) {
        unsigned wanted = 1;
        while (wanted < length && wanted < 0x80000000u) wanted <<= 1;
        if (wanted < length) wanted = length;
        data = new uint8_t[wanted];
        capacity = wanted;
        ownsData = true;
        if (source && length) std::memcpy(data, source, length);
    } else {
        data = static_cast<uint8_t*>(const_cast<void*>(source));
        ownsData = false;
    }
    size = length;
    position = 0;
    open = true;
}

void MemBuffer_t::Read(void* buffer, unsigned count, unsigned* read) {
    if (!open) return;
    unsigned left = position < size ? size - position : 0;
    unsigned n = count < left ? count : left;
    if (n) std::memcpy(buffer, data + position, n);
    position += n;
    if (read) *read = n;
}

void MemBuffer_t::Seek(int origin, int offset, int* newPosition) {
    if (!open) return;
    unsigned target = position;
    switch (origin) {
        case 0: target = static_cast<unsigned>(offset); break;
        case 1: target = position + static_cast<unsigned>(offset); break;
        case 2: target = size + static_cast<unsigned>(offset); break;
        default: break;
    }
    position = target > size ? 0 : target;
    if (newPosition) *newPosition = static_cast<int>(position);
}

bool MemBuffer_t::Write(const void* source, unsigned count, unsigned* written) {
    if (!open || !ownsData) return false;
    Resize(position + count);
    if (count) std::memcpy(data + position, source, count);
    position += count;
    if (written) *written = count;
    return true;
}

void MemBuffer_t::Resize(unsigned n) {
    if (capacity < n) {
        unsigned grown = capacity ? capacity : 1;
        while (grown < n && grown < 0x80000000u) grown <<= 1;
        if (grown < n) grown = n;
        uint8_t* block = new uint8_t[grown];
        if (size) std::memcpy(block, data, size);
        delete[] data;
        data = block;
        capacity = grown;
    }
    size = n;
}
