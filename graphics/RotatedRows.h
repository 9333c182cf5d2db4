#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graphics/Rect.h"
#include "raster/BilinearLanes.h"

// The parts of a rotated (or sub-pixel) blit that memory and surface destinations share:
// bilinear sampling stepped in 16.16 fixed point along each destination row, and the cut of
// each row's span so that every sample and its right and lower neighbours lie inside the
// source rectangle. The pixel loops themselves stay with each destination. Internal to
// graphics/.
namespace Velm {
namespace RotatedRows {

// Float to 16.16 with truncation toward zero; values beyond the int range are pinned to it.
inline int ToFixed(double value) {
    const double scaled = value * 65536.0;
    if (!(scaled > -2147483648.0)) return std::numeric_limits<int>::min();
    if (!(scaled < 2147483647.0)) return std::numeric_limits<int>::max();
    return static_cast<int>(scaled);
}

// The premultiplied bilinear sample of the four source pixels around (u, v): alpha weights
// a[0..3] (summing to A, 0..255) and their ARGB pixels p[0..3] (top left, top right, bottom
// left, bottom right).
struct Sample {
    uint32_t a[4];
    uint32_t p[4];
};

template <typename Fetch>
inline void FetchSample(const Fetch& fetch, size_t base, int srcImageWidth, int u, int v, Sample& out) {
    const size_t index = base + static_cast<size_t>(v >> 16) * srcImageWidth + static_cast<size_t>(u >> 16);
    out.p[0] = fetch(index);
    out.p[1] = fetch(index + 1);
    out.p[2] = fetch(index + srcImageWidth);
    out.p[3] = fetch(index + srcImageWidth + 1);
    const uint32_t fu = (static_cast<uint32_t>(u) & 0xFFFE) | 1;
    const uint32_t fv = (static_cast<uint32_t>(v) & 0xFFFE) | 1;
    const uint32_t w[4] = {(0x10000 - fu) * (0x10000 - fv), fu * (0x10000 - fv), (0x10000 - fu) * fv, fu * fv};
    for (int k = 0; k < 4; ++k) out.a[k] = ((w[k] >> 16) * (out.p[k] >> 24)) >> 16;
}

#if defined(__SSE2__)
// FetchSample and the channel sums of its four pixels, worked in 16-bit lanes for 32-bit ARGB
// sources (raster/BilinearLanes.h) and stepped along a row: each call samples at the current
// (u, v) and then moves on by (du, dv). The fractions live in lanes as the low 16 bits of u
// and v (with bit 0 set, as in FetchSample), so a step is one add.
class LaneSampler {
public:
    LaneSampler(const uint32_t* pixels, int stride, int u, int v, int du, int dv)
            : mPixels(pixels),
              mStride(static_cast<size_t>(stride)),
              mU(u),
              mV(v),
              mDu(du),
              mDv(dv),
              mULanes(_mm_set1_epi16(static_cast<short>(u))),
              mVLanes(_mm_set1_epi16(static_cast<short>(v))),
              mDuLanes(_mm_set1_epi16(static_cast<short>(du))),
              mDvLanes(_mm_set1_epi16(static_cast<short>(dv))) {}

    // Lanes 0..2 hold the blue, green and red sums (channel times alpha weight over the four
    // pixels, each below 255 * 256); lanes 0..3 of A the sum of the alpha weights (0..255).
    __m128i Next(__m128i& A) {
        const uint32_t* p = mPixels + static_cast<size_t>(mV >> 16) * mStride + static_cast<size_t>(mU >> 16);
        const __m128i one = _mm_set1_epi16(1);
        const __m128i sums = Raster::BilinearLaneSums(Raster::TexelPairLanes(p), Raster::TexelPairLanes(p + mStride),
                                                      Raster::AcrossLanes(_mm_or_si128(mULanes, one)),
                                                      _mm_or_si128(mVLanes, one), A);
        mU += mDu;
        mV += mDv;
        mULanes = _mm_add_epi16(mULanes, mDuLanes);
        mVLanes = _mm_add_epi16(mVLanes, mDvLanes);
        return sums;
    }

    // Two samples, here and one step on, and then two steps on: lanes 0..3 of the result and
    // of A are the first sample's (as Next's lanes 0..3), lanes 4..7 the second's.
    __m128i NextPair(__m128i& A) {
        const int u1 = mU + mDu, v1 = mV + mDv;
        const __m128i u1Lanes = _mm_add_epi16(mULanes, mDuLanes), v1Lanes = _mm_add_epi16(mVLanes, mDvLanes);
        __m128i a0, a1;
        const __m128i s0 = Unfolded(mU, mV, mULanes, mVLanes, a0);
        const __m128i s1 = Unfolded(u1, v1, u1Lanes, v1Lanes, a1);
        mU = u1 + mDu;
        mV = v1 + mDv;
        mULanes = _mm_add_epi16(u1Lanes, mDuLanes);
        mVLanes = _mm_add_epi16(v1Lanes, mDvLanes);
        A = _mm_add_epi16(_mm_unpacklo_epi64(a0, a1), _mm_unpackhi_epi64(a0, a1));
        return _mm_add_epi16(_mm_unpacklo_epi64(s0, s1), _mm_unpackhi_epi64(s0, s1));
    }

    // The same with the alpha sum as a number.
    __m128i Next(uint32_t& A) {
        __m128i lanes;
        const __m128i sums = Next(lanes);
        A = Raster::LaneAlpha(lanes);
        return sums;
    }

private:
    __m128i Unfolded(int u, int v, __m128i uLanes, __m128i vLanes, __m128i& A) const {
        const uint32_t* p = mPixels + static_cast<size_t>(v >> 16) * mStride + static_cast<size_t>(u >> 16);
        const __m128i one = _mm_set1_epi16(1);
        const __m128i across = Raster::AcrossLanes(_mm_or_si128(uLanes, one));
        const __m128i fy = _mm_or_si128(vLanes, one);
        return Raster::UnfoldedLaneSums(Raster::TexelPairLanes(p), Raster::TexelPairLanes(p + mStride),
                                        _mm_mulhi_epu16(across, _mm_sub_epi16(_mm_setzero_si128(), fy)),
                                        _mm_mulhi_epu16(across, fy), A);
    }

    const uint32_t* mPixels;
    size_t mStride;
    int mU, mV, mDu, mDv;
    __m128i mULanes, mVLanes, mDuLanes, mDvLanes;
};

using Raster::SumsHighBytes;
#endif

// Truncating division by a divisor fixed per blit, as the built-in `/` gives it, from a
// reciprocal worked out once: the floating-point quotient is at most one off for numerators
// below 2^50, and the remainder test puts it right. A positive power of two (the step of an
// unturned blit) divides by a shift of the magnitude.
class Divider {
public:
    explicit Divider(int64_t divisor = 1)
            : mDivisor(divisor),
              mSign(divisor < 0 ? -1 : 1),
              mMagnitude(divisor < 0 ? -divisor : divisor),
              mShift(ShiftOf(divisor)),
              mInverse(divisor != 0 ? 1.0 / static_cast<double>(divisor) : 0.0) {}

    int64_t operator()(int64_t n) const {
        if (mShift >= 0) return n >= 0 ? n >> mShift : -((-n) >> mShift);
        int64_t q = static_cast<int64_t>(static_cast<double>(n) * mInverse);
        int64_t r = n - q * mDivisor;
        // The remainder of a truncating division has n's sign (or is 0) and is below |divisor|.
        if (n >= 0) {
            while (r < 0) r += mMagnitude, q -= mSign;
            while (r >= mMagnitude) r -= mMagnitude, q += mSign;
        } else {
            while (r > 0) r -= mMagnitude, q += mSign;
            while (r <= -mMagnitude) r += mMagnitude, q -= mSign;
        }
        return q;
    }

private:
    // k where divisor is 2^k (k below 62), else -1.
    static int ShiftOf(int64_t divisor) {
        if (divisor <= 0 || (divisor & (divisor - 1)) != 0 || divisor >= int64_t(1) << 62) return -1;
        return __builtin_ctzll(static_cast<unsigned long long>(divisor));
    }

    int64_t mDivisor, mSign, mMagnitude;
    int mShift;
    double mInverse;
};

struct Setup {
    int x0, y0, lastCol;  // the destination box: top left and last column offset
    double boxHeight;
    double cosA, sinA;
    int du, dv;          // 16.16 source step per destination pixel
    Divider byDu, byDv;  // division by du and dv (unused while 0)
    float x, y, cx, cy;
    int srcW, srcH;  // source rectangle
    size_t srcBase;  // index of the source rectangle's first pixel
    int srcImageWidth;
};

// The set-up for drawing `src` (already cut to the source image, whose rows are
// `srcImageWidth` pixels apart) at (x, y) turned by `angle` about (cx, cy), into `box`.
inline Setup MakeSetup(const DRect& box, double angle, float x, float y, float cx, float cy, const Rect& src,
                       int srcImageWidth) {
    Setup st;
    st.x0 = static_cast<int>(box.x);
    st.y0 = static_cast<int>(box.y);
    st.lastCol = static_cast<int>(box.width - 1.0);
    st.boxHeight = box.height;
    st.cosA = std::cos(angle);
    st.sinA = std::sin(angle);
    st.du = static_cast<int>(st.cosA * 65536);
    st.dv = static_cast<int>(st.sinA * 65536);
    st.byDu = Divider(st.du);
    st.byDv = Divider(st.dv);
    st.x = x;
    st.y = y;
    st.cx = cx;
    st.cy = cy;
    st.srcW = src.width;
    st.srcH = src.height;
    st.srcImageWidth = srcImageWidth;
    st.srcBase = static_cast<size_t>(src.y) * srcImageWidth + src.x;
    return st;
}

// The span [first, last] of box columns in row r whose samples lie wholly inside the source,
// and the 16.16 source position (u, v) of its first column; false when the row draws nothing.
inline bool RowSpan(const Setup& st, int r, int& u, int& v, int64_t& first, int64_t& last) {
    const int W = st.srcW, H = st.srcH;
    const int du = st.du, dv = st.dv;
    const double dx = st.x0 - st.cx - st.x;
    const double dy = (st.y0 + r) - st.cy - st.y;
    u = ToFixed(dx * st.cosA - dy * st.sinA + st.cx);
    v = ToFixed(dy * st.cosA + dx * st.sinA + st.cy);
    // The cuts are worked in 64 bits: a row far outside the source has u or v near the ends
    // of the int range.
    const int64_t U = u, V = v, W16 = int64_t(W) * 65536, H16 = int64_t(H) * 65536;
    first = 0;
    last = st.lastCol;
    if (du < 0) {
        if (U < 0) return false;
        const int64_t f = st.byDu(W16 - U - 0x27FFF);
        if (f >= 0) first = f;
        last = std::min(last, st.byDu(0x7FFF - U));
    } else if (du == 0) {
        if (U < 0 || U >= W16 - 65536) return false;
    } else {
        if ((u >> 16) >= W - 1) return false;
        const int64_t f = st.byDu(0x10000 - U);
        if (f > 0) first = f;
        last = std::min(last, st.byDu(W16 - U - 0x17FFF));
    }
    if (dv < 0) {
        if (V < 0) return false;
        first = std::max(first, st.byDv(H16 - V - 0x27FFF));
        last = std::min(last, -st.byDv(V));
    } else if (dv == 0) {
        if (V < 0 || V >= H16 - 65536) return false;
    } else {
        if ((v >> 16) >= H - 1) return false;
        first = std::max(first, st.byDv(0x10000 - V));
        last = std::min(last, st.byDv(H16 - V - 0x17FFF));
    }
    if (first > last) return false;
    u = static_cast<int>(U + first * du);
    v = static_cast<int>(V + first * dv);
    return true;
}

}  // namespace RotatedRows
}  // namespace Velm
