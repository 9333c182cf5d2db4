// Fills, lines, anti-aliased lines and coverage spans drawn straight into a surface image's
// locked surface in its own 16- or 32-bit format, with integer arithmetic in the channel masks.
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graphics/DDImage.h"
#include "graphics/DDImageSurface.h"
#include "graphics/PixelRows.h"
#include "graphics/PixelRowsAvx2.h"

namespace Velm {

using namespace SurfaceOps;

namespace {

template <typename Pixel, typename Op>
void ForEachInRect(const plat::dd::SurfaceDesc& desc, const Rect& rect, Op op) {
    const int x0 = rect.x, y0 = rect.y, w = rect.width, h = rect.height;
    for (int y = y0; y < y0 + h; ++y) {
        Pixel* p = RowOf<Pixel>(desc, y) + x0;
        for (int i = 0; i < w; ++i) p[i] = static_cast<Pixel>(op(static_cast<uint32_t>(p[i])));
    }
}

// The 16-bit translucent fill, eight pixels a step. For a channel mask m = M << sh (M at most
// 255, its bits contiguous) ((v & m) * inv + m) >> 8 & m is ((c * inv + M) >> 8) << sh of the
// channel value c, which 16-bit lanes hold; the sum with F wraps at 16 bits as the plain
// form's store does. The last one to seven pixels of a row go through plain. False (nothing
// drawn) when the SSE2 forms are off or a mask does not have that shape.
template <typename Plain>
bool TranslucentFill16Wide(const plat::dd::SurfaceDesc& desc, const Rect& rect, const uint32_t* m, uint32_t F,
                           uint32_t inv, Plain plain) {
#if defined(__SSE2__)
    if (!PixelRows::SimdEnabled()) return false;
    __m128i shift[3], top[3];
    for (int k = 0; k < 3; ++k) {
        if (m[k] == 0 || m[k] > 0xFFFF) return false;
        const int sh = __builtin_ctz(m[k]);
        const uint32_t M = m[k] >> sh;
        if (M > 255 || (M & (M + 1)) != 0) return false;
        shift[k] = _mm_cvtsi32_si128(sh);
        top[k] = _mm_set1_epi16(static_cast<short>(M));
    }
    const __m128i scale = _mm_set1_epi16(static_cast<short>(inv));
    const __m128i fill = _mm_set1_epi16(static_cast<short>(F));
    const int x0 = rect.x, y0 = rect.y, w = rect.width, h = rect.height;
    for (int y = y0; y < y0 + h; ++y) {
        uint16_t* p = RowOf<uint16_t>(desc, y) + x0;
        int i = 0;
        for (; i + 8 <= w; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            __m128i out = fill;
            for (int k = 0; k < 3; ++k) {
                const __m128i c = _mm_and_si128(_mm_srl_epi16(v, shift[k]), top[k]);
                const __m128i scaled = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(c, scale), top[k]), 8);
                out = _mm_add_epi16(out, _mm_sll_epi16(scaled, shift[k]));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), out);
        }
        for (; i < w; ++i) p[i] = static_cast<uint16_t>(plain(p[i]));
    }
    return true;
#else
    (void)desc;
    (void)rect;
    (void)m;
    (void)F;
    (void)inv;
    (void)plain;
    return false;
#endif
}

inline double Frac(double v) { return v - static_cast<int>(v); }

// Additive colour: each channel adds k (the colour's channel times its alpha, cut to the
// channel's width) through the display's saturation table.
struct AddColor {
    const Layout* L;
    uint32_t k[3];
    AddColor(const Layout& layout, const Color& color) : L(&layout) {
        const uint32_t a = static_cast<uint32_t>(color.alpha);
        for (int ch = 0; ch < 3; ++ch) k[ch] = ((a * ChannelOf(color, ch)) / 255) >> (8 - L->bits[ch]);
    }
    uint32_t operator()(uint32_t v) const {
        uint32_t out = 0;
        for (int ch = 0; ch < 3; ++ch)
            out |= static_cast<uint32_t>(L->table[ch][k[ch] + ((v & L->mask[ch]) >> L->shift[ch])]) << L->shift[ch];
        return out;
    }
};

enum class FracTerm { StartMinor, StartX, Zero };

// Walks a line that is neither horizontal nor vertical and calls plot(x, y) for each pixel.
template <typename Plot>
void WalkLine(double x1, double y1, double x2, double y2, FracTerm term, Plot plot) {
    const double minX = std::fmin(x1, x2), maxX = std::fmax(x1, x2);
    const double minY = std::fmin(y1, y2), maxY = std::fmax(y1, y2);
    const double dx = x2 - x1, dy = y2 - y1;
    const bool xMajor = std::fabs(dx) > std::fabs(dy);
    double sx, sy, ex, ey;
    if ((xMajor && dx >= 0) || (!xMajor && dy >= 0)) {
        sx = x1;
        sy = y1;
        ex = x2;
        ey = y2;
    } else {
        sx = x2;
        sy = y2;
        ex = x1;
        ey = y1;
    }
    const double dMaj = xMajor ? std::fabs(dx) : std::fabs(dy);
    const double dMin = xMajor ? std::fabs(dy) : std::fabs(dx);
    const int step = (xMajor ? ey - sy : ex - sx) >= 0 ? 1 : -1;
    double f = 0;
    if (term == FracTerm::StartMinor)
        f = xMajor ? Frac(sy) : Frac(sx);
    else if (term == FracTerm::StartX)
        f = Frac(sx);
    const int M = static_cast<int>(2 * dMin);
    const int J = static_cast<int>(2 * (dMin - dMaj));
    int err = static_cast<int>(f * M + static_cast<int>(2 * dMin - dMaj));
    int x = static_cast<int>(sx), y = static_cast<int>(sy);
    plot(x, y);
    if (xMajor) {
        for (int major = static_cast<int>(sx) + 1; major <= ex; ++major) {
            if (err < 1) {
                err += M;
            } else {
                if (major < minX) return;
                y += step;
                if (major > maxX || y < minY || y > maxY) return;
                err += J;
            }
            x = major;
            plot(x, y);
        }
    } else {
        for (int major = static_cast<int>(sy) + 1; major <= ey; ++major) {
            if (err < 1) {
                err += M;
            } else {
                x += step;
                if (x < minX || x > maxX || major < minY || major > maxY) return;
                err += J;
            }
            y = major;
            plot(x, y);
        }
    }
}

template <typename Pixel, typename Op>
void PlotLine(const plat::dd::SurfaceDesc& desc, double x1, double y1, double x2, double y2, FracTerm term, Op op) {
    WalkLine(x1, y1, x2, y2, term, [&](int x, int y) {
        Pixel* p = RowOf<Pixel>(desc, y) + x;
        *p = static_cast<Pixel>(op(static_cast<uint32_t>(*p)));
    });
}

}  // namespace

bool DDImage::FillRectNormal(const Rect& rect, const Color& color) {
    return SurfaceRoutine([&](const plat::dd::SurfaceDesc& desc, const Layout& L) {
        const uint32_t* m = L.mask;
        const uint32_t a = static_cast<uint32_t>(color.alpha);
        const uint32_t c[3] = {ChannelOf(color, 0), ChannelOf(color, 1), ChannelOf(color, 2)};
        if (L.bitCount == 16) {
            if (a == 255) {
                const uint32_t value = PackP1(c, m);
                ForEachInRect<uint16_t>(desc, rect, [&](uint32_t) { return value; });
            } else {
                uint32_t F = 0;
                for (int k = 0; k < 3; ++k) F += (((((c[k] * a + 128) >> 8) + 1) * m[k]) >> 8) & m[k];
                const uint32_t inv = 256 - a;
                const auto plain = [&](uint32_t v) {
                    return F + ((((v & m[0]) * inv + m[0]) >> 8) & m[0]) + ((((v & m[1]) * inv + m[1]) >> 8) & m[1]) +
                           ((((v & m[2]) * inv + m[2]) >> 8) & m[2]);
                };
                if (!TranslucentFill16Wide(desc, rect, m, F, inv, plain)) ForEachInRect<uint16_t>(desc, rect, plain);
            }
        } else if (L.bitCount == 32) {
            if (a == 255) {
                // An opaque fill writes the colour itself (the truncating form gave one step
                // less in every channel, 0x20 as 0x1F).
                const uint32_t value = PackP1(c, m);
                const int x0 = rect.x, y0 = rect.y, w = rect.width, h = rect.height;
                for (int y = y0; y < y0 + h; ++y) {
                    uint32_t* p = RowOf<uint32_t>(desc, y) + x0;
                    for (int i = 0; i < w; ++i) p[i] = value;
                }
            } else {
                uint32_t F = 0;
                for (int k = 0; k < 3; ++k) F += (((((c[k] * a + 127) >> 8) + 1) * m[k]) >> 8) & m[k];
                const uint32_t inv = 256 - a;
                if (L.byteLanes) {
                    // The same sum, red and blue worked together (neither lane can carry into the
                    // other: a byte times at most 256 fits in 16 bits). Local bounds: a pixel store
                    // could otherwise alias the rectangle's ints and stop the loop vectorising.
                    const int x0 = rect.x, y0 = rect.y, w = rect.width, h = rect.height;
                    for (int y = y0; y < y0 + h; ++y) {
                        uint32_t* p = RowOf<uint32_t>(desc, y) + x0;
                        int i = 0;
#if defined(__SSE2__)
                        if (PixelRows::Avx2Enabled()) {
                            PixelRows::avx2::SurfaceFillRow(p, w, F, inv);
                            continue;
                        }
                        // Four pixels at a time in 16-bit lanes: each channel times inv is at most
                        // 255 * 256, and F's byte adds to it without a carry (see above).
                        const __m128i zero = _mm_setzero_si128();
                        const __m128i scale = _mm_set1_epi16(static_cast<short>(inv));
                        const __m128i fill = _mm_set1_epi32(static_cast<int>(F));
                        const __m128i channels = _mm_set1_epi32(0x00FFFFFF);
                        for (; i + 4 <= w; i += 4) {
                            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
                            const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), scale), 8);
                            const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), scale), 8);
                            const __m128i scaled = _mm_and_si128(_mm_packus_epi16(lo, hi), channels);
                            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_add_epi8(scaled, fill));
                        }
#endif
                        for (; i < w; ++i) {
                            const uint32_t v = p[i];
                            p[i] = F + ((((v & 0xFF00FF) * inv) >> 8) & 0xFF00FF) +
                                   ((((v & 0xFF00) * inv) >> 8) & 0xFF00);
                        }
                    }
                } else {
                    ForEachInRect<uint32_t>(desc, rect, [&](uint32_t v) {
                        return F + ((((v & m[0]) * inv) >> 8) & m[0]) + ((((v & m[1]) * inv) >> 8) & m[1]) +
                               ((((v & m[2]) * inv) >> 8) & m[2]);
                    });
                }
            }
        }
    });
}

bool DDImage::FillRectAdditive(const Rect& rect, const Color& color) {
    return SurfaceRoutine([&](const plat::dd::SurfaceDesc& desc, const Layout& L) {
        const AddColor op(L, color);
        if (L.bitCount == 16)
            ForEachInRect<uint16_t>(desc, rect, op);
        else if (L.bitCount == 32)
            ForEachInRect<uint32_t>(desc, rect, op);
    });
}

bool DDImage::DrawLineNormal(double startX, double startY, double endX, double endY, const Color& color) {
    return SurfaceRoutine([&](const plat::dd::SurfaceDesc& desc, const Layout& L) {
        const uint32_t* m = L.mask;
        const uint32_t a = static_cast<uint32_t>(color.alpha);
        auto packPH = [&](const uint32_t* c) {
            uint32_t value = 0;
            for (int k = 0; k < 3; ++k) value += ((c[k] * m[k] + (m[k] >> 1)) >> 8) & m[k];
            return value;
        };
        const uint32_t c[3] = {ChannelOf(color, 0), ChannelOf(color, 1), ChannelOf(color, 2)};
        if (L.bitCount == 16 || L.bitCount == 32) {
            const bool wide = L.bitCount == 32;
            if (a == 255) {
                const uint32_t value = packPH(c);
                auto op = [&](uint32_t) { return value; };
                if (wide)
                    PlotLine<uint32_t>(desc, startX, startY, endX, endY, FracTerm::StartMinor, op);
                else
                    PlotLine<uint16_t>(desc, startX, startY, endX, endY, FracTerm::StartMinor, op);
            } else {
                const uint32_t pc[3] = {(c[0] * a + 128) >> 8, (c[1] * a + 128) >> 8, (c[2] * a + 128) >> 8};
                const uint32_t F = packPH(pc);
                const uint32_t inv = 256 - a;
                auto op = [&](uint32_t v) {
                    return F + ((((v & m[0]) * inv + (m[0] >> 1)) >> 8) & m[0]) +
                           ((((v & m[1]) * inv + (m[1] >> 1)) >> 8) & m[1]) +
                           ((((v & m[2]) * inv + (m[2] >> 1)) >> 8) & m[2]);
                };
                if (wide)
                    PlotLine<uint32_t>(desc, startX, startY, endX, endY, FracTerm::StartX, op);
                else
                    PlotLine<uint16_t>(desc, startX, startY, endX, endY, FracTerm::StartMinor, op);
            }
        }
    });
}

bool DDImage::DrawLineAdditive(double startX, double startY, double endX, double endY, const Color& color) {
    return SurfaceRoutine([&](const plat::dd::SurfaceDesc& desc, const Layout& L) {
        const AddColor op(L, color);
        if (L.bitCount == 16)
            PlotLine<uint16_t>(desc, startX, startY, endX, endY, FracTerm::StartMinor, op);
        else if (L.bitCount == 32)
            PlotLine<uint32_t>(desc, startX, startY, endX, endY, FracTerm::Zero, op);
    });
}

bool DDImage::DrawLineAANormal(double startX, double startY, double endX, double endY, const Color& color) {
    return SurfaceRoutine([&](const plat::dd::SurfaceDesc& desc, const Layout& L) {
        if (L.bitCount != 16 && L.bitCount != 32) return;
        const bool wide = L.bitCount == 32;
        const uint32_t P = PackP0(ChannelOf(color, 0), ChannelOf(color, 1), ChannelOf(color, 2), L.mask);
        const uint32_t spreadMask = L.mask[1] == 0x3E0 ? kSpread555 : kSpread565;
        const uint32_t spreadP = Spread(P, spreadMask);
        const uint32_t alpha = static_cast<uint32_t>(color.alpha);

        auto blend = [&](int x, int y, uint32_t w) {
            if (alpha < 255) w = (w * (alpha + 1)) >> 8;
            if (wide) {
                uint32_t* p = RowOf<uint32_t>(desc, y) + x;
                const uint32_t v = *p;
                *p = ((((v & 0xFF00FF) * (256 - w) + (P & 0xFF00FF) * w) >> 8) & 0xFF00FF) |
                     ((((v & 0xFF00) * (256 - w) + (P & 0xFF00) * w) >> 8) & 0xFF00);
            } else {
                uint16_t* p = RowOf<uint16_t>(desc, y) + x;
                const uint32_t v = *p;
                *p = static_cast<uint16_t>(Fold((((w >> 3) * spreadP) >> 5) & spreadMask) +
                                           Fold(((Spread(v, spreadMask) * ((256 - w) >> 3)) >> 5) & spreadMask));
            }
        };

        double x1 = startX, y1 = startY, x2 = endX, y2 = endY;
        int xi1 = static_cast<int>(x1), yi1 = static_cast<int>(y1);
        int xi2 = static_cast<int>(x2), yi2 = static_cast<int>(y2);
        if (yi1 > yi2) {
            std::swap(xi1, xi2);
            std::swap(yi1, yi2);
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int xdir = xi2 < xi1 ? -1 : 1;
        const int DX = std::abs(xi2 - xi1);
        const int DY = yi2 - yi1;
        const double dxd = (x2 - x1) * xdir;
        const double dyd = y2 - y1;
        int acc = static_cast<int>(std::fabs(y1 - yi1) * std::fabs(x1 - xi1) * 65536);
        auto weight = [&]() { return 255u - ((static_cast<uint32_t>(acc) >> 8) & 0xFF); };
        const int pitchPixels = desc.pitch >> (wide ? 2 : 1);

        int x = xi1, y = yi1;
        blend(x, y, weight());
        if (DX < DY) {
            const int inc = static_cast<int>(dxd / dyd * 65536);
            for (int i = 0; i < DY - 1; ++i) {
                acc += inc;
                if (static_cast<uint32_t>(acc) > 0xFFFF) {
                    acc &= 0xFFFF;
                    x += xdir;
                }
                ++y;
                const uint32_t w = weight();
                blend(x, y, w);
                // The side pixel must stay on this row of the image (not in the row before, nor in
                // the row's padding).
                if (x < pitchPixels - 1 && x + xdir >= 0 && x + xdir < width) blend(x + xdir, y, 255 - w);
            }
        } else {
            const int inc = static_cast<int>(dyd / dxd * 65536);
            for (int i = 0; i < DX - 1; ++i) {
                acc += inc;
                if (static_cast<uint32_t>(acc) > 0xFFFF) {
                    acc &= 0xFFFF;
                    ++y;
                }
                x += xdir;
                const uint32_t w = weight();
                blend(x, y, w);
                if (y < height - 1) blend(x, y + 1, 255 - w);
            }
        }
        blend(xi2, yi2, weight());
    });
}

bool DDImage::DrawLineAAAdditive(double, double, double, double, const Color&) { return true; }

bool DDImage::FillSpansWithCoverageSurface(const Span* spans, int count, const Color& color, const uint8_t* coverage,
                                           int coverX, int coverY, int coverPitch) {
    return SurfaceRoutine([&](const plat::dd::SurfaceDesc& desc, const Layout& L) {
        const uint32_t* m = L.mask;
        const uint32_t P = PackP0(ChannelOf(color, 0), ChannelOf(color, 1), ChannelOf(color, 2), m);
        const uint32_t a = static_cast<uint32_t>(color.alpha);
        auto run = [&](auto* row, const uint8_t* cov, int n) {
            for (int i = 0; i < n; ++i) {
                const uint32_t A = ((static_cast<uint32_t>(cov[i]) + 1) * a) >> 8;
                const uint32_t v = row[i];
                uint32_t out = 0;
                for (int k = 0; k < 3; ++k) out += ((((P & m[k]) * A) + ((v & m[k]) * (256 - A))) >> 8) & m[k];
                row[i] = static_cast<std::remove_reference_t<decltype(row[i])>>(out);
            }
        };
        if (L.bitCount == 16 || L.bitCount == 32) {
            for (int i = 0; i < count; ++i) {
                const Span& s = spans[i];
                const uint8_t* cov = coverage + static_cast<int64_t>(s.y - coverY) * coverPitch + (s.x - coverX);
                if (L.bitCount == 16)
                    run(RowOf<uint16_t>(desc, s.y) + s.x, cov, s.width);
                else
                    run(RowOf<uint32_t>(desc, s.y) + s.x, cov, s.width);
            }
        }
    });
}

}  // namespace Velm
