#pragma once

#include <cstdint>

// Fixed-point helpers of the edge walk. 16.16 values live in signed 32-bit
// integers and wrap like the machine words they model; every wrap is done
// through unsigned arithmetic so that none of it is undefined.
namespace Velm::Raster {

inline int32_t Wrap32(uint64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }
inline int32_t Add32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t Sub32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Smallest integer not below the 16.16 value y.
inline int32_t Ceil(int32_t y) { return static_cast<int32_t>(static_cast<uint32_t>(y) + 0xffffu) >> 16; }

// The same ceiling kept as a 16.16 value.
inline int32_t Ceil16(int32_t x) { return static_cast<int32_t>((static_cast<uint32_t>(x) + 0xffffu) & 0xffff0000u); }

// 1/d with 32 fraction bits for a 16.16 difference d (d != 0), truncated.
inline int64_t Recip(int32_t d) { return (int64_t{1} << 48) / static_cast<int64_t>(d); }

// Bits 32..63 of d * r modulo 2^64: with r = Recip(e) this is d / e in 16.16,
// rounded toward minus infinity.
inline int32_t HighMul(int64_t d, int64_t r) {
    return Wrap32((static_cast<uint64_t>(d) * static_cast<uint64_t>(r)) >> 32);
}

// A 16.16 rate times a 16.16 distance, floored, low 32 bits kept.
inline int32_t FxMul(int32_t s, int32_t t) {
    const int64_t product = static_cast<int64_t>(s) * static_cast<int64_t>(t);
    return Wrap32(static_cast<uint64_t>(product >> 16));
}

}  // namespace Velm::Raster
