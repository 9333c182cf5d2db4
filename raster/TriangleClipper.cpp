#include "raster/TriangleClipper.h"

#include <cstdint>

namespace Velm {

namespace {

uint32_t LerpChannel(uint32_t from, uint32_t to, int shift, float t) {
    const int a = static_cast<int>((from >> shift) & 0xff);
    const int b = static_cast<int>((to >> shift) & 0xff);
    float value = static_cast<float>(a) + static_cast<float>(b - a) * t;
    // Keeps the conversion defined whatever rounding did to t.
    if (!(value >= 0.0f)) value = 0.0f;
    if (value > 255.0f) value = 255.0f;
    return (static_cast<uint32_t>(static_cast<int>(value)) & 0xffu) << shift;
}

void Interpolate(const TriVertex& outside, const TriVertex& inside, TriVertex& result, float t) {
    result.x = outside.x + (inside.x - outside.x) * t;
    result.y = outside.y + (inside.y - outside.y) * t;
    result.u = outside.u + (inside.u - outside.u) * t;
    result.v = outside.v + (inside.v - outside.v) * t;
    result.color = LerpChannel(outside.color, inside.color, 24, t) | LerpChannel(outside.color, inside.color, 16, t) |
                   LerpChannel(outside.color, inside.color, 8, t) | LerpChannel(outside.color, inside.color, 0, t);
}

template <bool kY, bool kMax>
int ClipPass(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool) {
    int n = 0;
    while (n < kClipListSize && input[n] != nullptr) ++n;
    auto coordinate = [](const TriVertex* v) { return kY ? v->y : v->x; };
    auto outside = [&](const TriVertex* v) { return kMax ? coordinate(v) > bound : coordinate(v) < bound; };
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const TriVertex* p = input[i];
        const TriVertex* q = input[i + 1 < n ? i + 1 : 0];
        const bool pOut = outside(p);
        const bool qOut = outside(q);
        if (!pOut) output[count++] = p;
        if (pOut != qOut) {
            TriVertex& made = pool.records[pool.count++];
            const TriVertex& from = pOut ? *p : *q;
            const TriVertex& to = pOut ? *q : *p;
            if (kY) {
                ClipVertexAtY(from, to, made, bound);
            } else {
                ClipVertexAtX(from, to, made, bound);
            }
            output[count++] = &made;
        }
    }
    output[count] = nullptr;
    return count;
}

}  // namespace

void ClipVertexAtX(const TriVertex& outside, const TriVertex& inside, TriVertex& result, float bound) {
    Interpolate(outside, inside, result, (bound - outside.x) / (inside.x - outside.x));
}

void ClipVertexAtY(const TriVertex& outside, const TriVertex& inside, TriVertex& result, float bound) {
    Interpolate(outside, inside, result, (bound - outside.y) / (inside.y - outside.y));
}

int ClipPolygonMinX(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool) {
    return ClipPass<false, false>(input, output, bound, pool);
}
int ClipPolygonMaxX(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool) {
    return ClipPass<false, true>(input, output, bound, pool);
}
int ClipPolygonMinY(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool) {
    return ClipPass<true, false>(input, output, bound, pool);
}
int ClipPolygonMaxY(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool) {
    return ClipPass<true, true>(input, output, bound, pool);
}

int ClipTriangle(const TriVertex* const triangle[3], const TriVertex** output, float xMin, float xMax, float yMin,
                 float yMax, ClipVertexPool& pool) {
    pool.count = 0;
    const TriVertex* first[kClipListSize] = {triangle[0], triangle[1], triangle[2], nullptr};
    const TriVertex* second[kClipListSize];
    if (ClipPolygonMinX(first, second, xMin, pool) < 3) return 0;
    if (ClipPolygonMaxX(second, first, xMax, pool) < 3) return 0;
    if (ClipPolygonMinY(first, second, yMin, pool) < 3) return 0;
    const int count = ClipPolygonMaxY(second, output, yMax, pool);
    return count < 3 ? 0 : count;
}

}  // namespace Velm
