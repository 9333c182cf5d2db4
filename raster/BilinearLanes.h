#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The bilinear weighting of four ARGB texels worked in 16-bit lanes: the same integers as the
// plain forms (the rasteriser's FetchBilinear, the rotated blits' bilinear sample), weight
// (g * h) >> 16 of the two 16-bit fractions and alpha weight (weight * alpha) >> 16, both
// unsigned high multiplies, and channel sums below 255 * 256. Shared by the rasteriser and the
// drawing layer's rotated rows.
namespace Velm::Raster {

#if defined(__SSE2__)
// The horizontal fraction lanes for BilinearLaneSums from fx (odd, 1..0xFFFF) in every lane:
// lanes 0..3 (the left texel) hold 0x10000 - fx, lanes 4..7 (the right texel) fx.
inline __m128i AcrossLanes(__m128i fx) {
    const __m128i left = _mm_set_epi32(0, 0, -1, -1);
    return _mm_sub_epi16(_mm_xor_si128(fx, left), left);
}

// top and bottom: the left and right texels of the upper and lower row as 16-bit lanes (B, G, R,
// A of the left texel, then of the right); wTop and wBottom their position weights, the left
// texel's in lanes 0..3 and the right one's in lanes 4..7. Lanes 0..2 of the result hold the
// blue, green and red sums (channel times alpha weight), lanes 0..3 of A the sum of the four
// alpha weights.
// WeightedLaneSums before the left and right texels' halves are added: lanes 0..3 hold the
// left texels' part, lanes 4..7 the right ones', in the result and in A.
inline __m128i UnfoldedLaneSums(__m128i top, __m128i bottom, __m128i wTop, __m128i wBottom, __m128i& A) {
    const __m128i aTop = _mm_mulhi_epu16(wTop, _mm_shufflehi_epi16(_mm_shufflelo_epi16(top, 0xFF), 0xFF));
    const __m128i aBottom = _mm_mulhi_epu16(wBottom, _mm_shufflehi_epi16(_mm_shufflelo_epi16(bottom, 0xFF), 0xFF));
    A = _mm_add_epi16(aTop, aBottom);
    return _mm_add_epi16(_mm_mullo_epi16(top, aTop), _mm_mullo_epi16(bottom, aBottom));
}

inline __m128i WeightedLaneSums(__m128i top, __m128i bottom, __m128i wTop, __m128i wBottom, __m128i& A) {
    const __m128i sums = UnfoldedLaneSums(top, bottom, wTop, wBottom, A);
    A = _mm_add_epi16(A, _mm_srli_si128(A, 8));
    return _mm_add_epi16(sums, _mm_srli_si128(sums, 8));
}

// WeightedLaneSums with the weights formed from the fractions: across from AcrossLanes, fy the
// vertical fraction (odd) in every lane.
inline __m128i BilinearLaneSums(__m128i top, __m128i bottom, __m128i across, __m128i fy, __m128i& A) {
    return WeightedLaneSums(top, bottom, _mm_mulhi_epu16(across, _mm_sub_epi16(_mm_setzero_si128(), fy)),
                            _mm_mulhi_epu16(across, fy), A);
}

// Lane 0 of A as a number.
inline uint32_t LaneAlpha(__m128i A) { return static_cast<uint32_t>(_mm_cvtsi128_si32(A)) & 0xFFFF; }

// Two adjacent ARGB texels from p as 16-bit lanes.
inline __m128i TexelPairLanes(const uint32_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

// The high bytes of the sums (sum >> 8 per channel) packed as 0x00RRGGBB.
inline uint32_t SumsHighBytes(__m128i sums) {
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_srli_epi16(sums, 8), _mm_setzero_si128()))) &
           0xFFFFFF;
}
#endif

}  // namespace Velm::Raster
