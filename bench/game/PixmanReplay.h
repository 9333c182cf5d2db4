#pragma once

// A screen's frame done again with pixman, for the game benchmarks' comparisons: a memory
// image that records the blits and fills a frame makes on it (and draws them as usual), and
// a replay that makes each recorded call one pixman composite of the same source pixels at
// the same place, in 8888 or 565. The replay does the same work as our blitters, not always
// bit for bit the same arithmetic (a tint becomes a component-alpha mask; rotations and
// stretches a transform with the nearest or bilinear filter). Lines, spans, triangles and
// matrix blits are drawn but not replayed; `Unreplayed` counts them so a report can say so.
// Main thread.

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "graphics/Color.h"
#include "graphics/MemoryImage.h"
#include "graphics/NativePixelFormat.h"
#include "graphics/Rect.h"

namespace benchgame {

// One recorded call. Transformed calls keep the source-to-screen transform of srcRect's pixels.
struct DrawCall {
    enum Kind { Fill, Copy, Transformed } kind = Copy;
    Velm::Image* image = nullptr;  // null for a fill
    Velm::Rect srcRect;            // the fill's rectangle for a fill
    int x = 0, y = 0;              // Copy: where srcRect's top-left lands
    pixman_f_transform toScreen{};
    Velm::Rect clip;
    Velm::Color color = Velm::Color::White;
    int drawMode = 0;  // 0 normal, 1 additive
    bool bilinear = false;
};

class RecordingImage : public Velm::MemoryImage {
public:
    RecordingImage() : MemoryImage(nullptr) {}
    std::vector<DrawCall> calls;
    int unreplayed = 0;

    void FillRect(const Velm::Rect& rect, const Velm::Color& color, int drawMode) override {
        Record(DrawCall::Fill, nullptr, rect, color, drawMode);
        MemoryImage::FillRect(rect, color, drawMode);
    }
    void Blt(Velm::Image* image, int x, int y, const Velm::Rect& srcRect, const Velm::Color& color,
             int drawMode) override {
        DrawCall& c = Record(DrawCall::Copy, image, srcRect, color, drawMode);
        c.x = x;
        c.y = y;
        MemoryImage::Blt(image, x, y, srcRect, color, drawMode);
    }
    void BltF(Velm::Image* image, float x, float y, const Velm::Rect& srcRect, const Velm::Rect& clipRect,
              const Velm::Color& color, int drawMode) override {
        pixman_f_transform t;
        pixman_f_transform_init_translate(&t, x, y);
        AddTransformed(image, srcRect, t, clipRect, color, drawMode, true);
        MemoryImage::BltF(image, x, y, srcRect, clipRect, color, drawMode);
    }
    void BltRotated(Velm::Image* image, float x, float y, const Velm::Rect& srcRect, const Velm::Rect& clipRect,
                    const Velm::Color& color, int drawMode, double angle, float rotCenterX, float rotCenterY) override {
        // Counter-clockwise on screen (y down) about the centre, then to (x, y).
        pixman_f_transform t;
        pixman_f_transform_init_translate(&t, -rotCenterX, -rotCenterY);
        pixman_f_transform_rotate(&t, nullptr, std::cos(angle), -std::sin(angle));
        pixman_f_transform_translate(&t, nullptr, x + rotCenterX, y + rotCenterY);
        AddTransformed(image, srcRect, t, clipRect, color, drawMode, true);
        MemoryImage::BltRotated(image, x, y, srcRect, clipRect, color, drawMode, angle, rotCenterX, rotCenterY);
    }
    void StretchBlt(Velm::Image* image, const Velm::Rect& destRect, const Velm::Rect& srcRect,
                    const Velm::Rect& clipRect, const Velm::Color& color, int drawMode, bool fastStretch) override {
        pixman_f_transform t;
        pixman_f_transform_init_scale(&t, static_cast<double>(destRect.width) / std::max(srcRect.width, 1),
                                      static_cast<double>(destRect.height) / std::max(srcRect.height, 1));
        pixman_f_transform_translate(&t, nullptr, destRect.x, destRect.y);
        AddTransformed(image, srcRect, t, clipRect, color, drawMode, !fastStretch);
        MemoryImage::StretchBlt(image, destRect, srcRect, clipRect, color, drawMode, fastStretch);
    }

    // Drawn, not replayed.
    void DrawLine(double x1, double y1, double x2, double y2, const Velm::Color& color, int drawMode) override {
        ++unreplayed;
        MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
    }
    void DrawLineAA(double x1, double y1, double x2, double y2, const Velm::Color& color, int drawMode) override {
        ++unreplayed;
        MemoryImage::DrawLineAA(x1, y1, x2, y2, color, drawMode);
    }
    void FillSpansWithCoverage(const Velm::Span* spans, int count, const Velm::Color& color, int drawMode,
                               const uint8_t* coverage, int coverX, int coverY, int coverPitch,
                               int coverHeight) override {
        ++unreplayed;
        MemoryImage::FillSpansWithCoverage(spans, count, color, drawMode, coverage, coverX, coverY, coverPitch,
                                           coverHeight);
    }
    void BltMatrix(Velm::Image* image, float x, float y, const Velm::Matrix3& matrix, const Velm::Rect& clipRect,
                   const Velm::Color& color, int drawMode, const Velm::Rect& srcRect, bool linearFilter) override {
        ++unreplayed;
        MemoryImage::BltMatrix(image, x, y, matrix, clipRect, color, drawMode, srcRect, linearFilter);
    }
    void BltTexturedTriangles(Velm::Image* texture, const Velm::TriVertex (*triangles)[3], int triangleCount,
                              const Velm::Rect& clipRect, const Velm::Color& color, int drawMode, float tx, float ty,
                              bool linearFilter) override {
        ++unreplayed;
        MemoryImage::BltTexturedTriangles(texture, triangles, triangleCount, clipRect, color, drawMode, tx, ty,
                                          linearFilter);
    }

private:
    DrawCall& Record(DrawCall::Kind kind, Velm::Image* image, const Velm::Rect& srcRect, const Velm::Color& color,
                     int drawMode) {
        DrawCall c;
        c.kind = kind;
        c.image = image;
        c.srcRect = srcRect;
        c.color = color;
        c.drawMode = drawMode;
        calls.push_back(c);
        return calls.back();
    }
    void AddTransformed(Velm::Image* image, const Velm::Rect& srcRect, const pixman_f_transform& toScreen,
                        const Velm::Rect& clipRect, const Velm::Color& color, int drawMode, bool bilinear) {
        DrawCall& c = Record(DrawCall::Transformed, image, srcRect, color, drawMode);
        c.toScreen = toScreen;
        c.clip = clipRect;
        c.bilinear = bilinear;
    }
};

// The percentage of the width x height pixels where two pictures (XRGB, read by a(x, y) and
// b(x, y)) are within 8 in every channel: a check that a replay or another target drew the
// same picture (565 rounds a channel by up to 7).
template <typename PixelA, typename PixelB>
double SamePicturePercent(int width, int height, PixelA a, PixelB b) {
    size_t same = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = a(x, y);
            const uint32_t q = b(x, y);
            bool near = true;
            for (int shift : {0, 8, 16}) {
                const int d = static_cast<int>(p >> shift & 0xFF) - static_cast<int>(q >> shift & 0xFF);
                near = near && d <= 8 && d >= -8;
            }
            same += near ? 1 : 0;
        }
    return 100.0 * static_cast<double>(same) / (static_cast<double>(width) * height);
}

// The recorded calls as pixman composites onto a screen of its own in `format`
// (PIXMAN_x8r8g8b8 or PIXMAN_r5g6b5). Everything but the composites is made here, so that
// Draw times only the drawing.
class PixmanReplay {
public:
    PixmanReplay(const std::vector<DrawCall>& calls, pixman_format_code_t format, int width, int height)
            : mWidth(width), mScreenPixels(static_cast<size_t>(width) * height, 0xFF000000u) {
        // 565 rows take half the bytes; the 32-bit buffer is simply larger than needed.
        const int pitch = PIXMAN_FORMAT_BPP(format) / 8 * width;
        mScreen = pixman_image_create_bits(format, width, height, mScreenPixels.data(), pitch);
        const Velm::Rect screen(0, 0, width, height);
        for (const DrawCall& c : calls) {
            Step s;
            s.op = c.drawMode == 1 ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
            s.mask = Mask(c.kind == DrawCall::Fill ? Velm::Color::White : c.color);
            if (c.kind == DrawCall::Fill) {
                const Velm::Rect box = c.srcRect.Intersection(screen);
                s.source = Solid(c.color);
                s.x = box.x;
                s.y = box.y;
                s.width = box.width;
                s.height = box.height;
            } else if (c.kind == DrawCall::Copy) {
                s.source = Source(c.image, c.srcRect);
                s.x = c.x;
                s.y = c.y;
                s.width = c.srcRect.width;
                s.height = c.srcRect.height;
            } else {
                const Velm::Rect box = ScreenBox(c).Intersection(c.clip).Intersection(screen);
                s.source = Source(c.image, c.srcRect);
                pixman_f_transform toSource;
                if (s.source == nullptr || !pixman_f_transform_invert(&toSource, &c.toScreen)) continue;
                pixman_transform_t fixed;
                pixman_transform_from_pixman_f_transform(&fixed, &toSource);
                pixman_image_set_transform(s.source, &fixed);
                pixman_image_set_filter(s.source, c.bilinear ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr,
                                        0);
                s.sourceX = box.x;
                s.sourceY = box.y;
                s.x = box.x;
                s.y = box.y;
                s.width = box.width;
                s.height = box.height;
            }
            if (s.source != nullptr && s.width > 0 && s.height > 0) mSteps.push_back(s);
        }
    }
    ~PixmanReplay() {
        for (pixman_image_t* image : mOwned) pixman_image_unref(image);
        pixman_image_unref(mScreen);
    }
    PixmanReplay(const PixmanReplay&) = delete;
    PixmanReplay& operator=(const PixmanReplay&) = delete;

    void Draw() {
        for (const Step& s : mSteps)
            pixman_image_composite32(s.op, s.source, s.mask, mScreen, s.sourceX, s.sourceY, 0, 0, s.x, s.y, s.width,
                                     s.height);
    }
    int Composites() const { return static_cast<int>(mSteps.size()); }
    // The screen's pixel at (x, y) in its own format: 0x00RRGGBB, or the 16-bit value in 565.
    uint32_t Pixel32(int x, int y) const { return mScreenPixels[static_cast<size_t>(y) * mWidth + x] & 0xFFFFFF; }
    uint32_t Pixel16(int x, int y) const {
        return reinterpret_cast<const uint16_t*>(mScreenPixels.data())[static_cast<size_t>(y) * mWidth + x];
    }

private:
    struct Step {
        pixman_op_t op = PIXMAN_OP_OVER;
        pixman_image_t* source = nullptr;
        pixman_image_t* mask = nullptr;
        int sourceX = 0, sourceY = 0;
        int x = 0, y = 0, width = 0, height = 0;
    };

    static pixman_color_t Premultiplied(const Velm::Color& c) {
        auto channel = [&](int v) { return static_cast<uint16_t>(v * c.alpha / 255 * 0x101); };
        return {channel(c.red), channel(c.green), channel(c.blue), static_cast<uint16_t>(c.alpha * 0x101)};
    }
    static bool IsWhite(const Velm::Color& c) {
        return c.red == 255 && c.green == 255 && c.blue == 255 && c.alpha == 255;
    }

    pixman_image_t* Keep(pixman_image_t* image) {
        if (image != nullptr) mOwned.push_back(image);
        return image;
    }
    pixman_image_t* Solid(const Velm::Color& c) {
        const pixman_color_t colour = Premultiplied(c);
        return Keep(pixman_image_create_solid_fill(&colour));
    }
    // The tint as a mask: none for white; the alpha alone when only that is below 255;
    // otherwise a component-alpha mask of the premultiplied colour.
    pixman_image_t* Mask(const Velm::Color& c) {
        if (IsWhite(c)) return nullptr;
        pixman_image_t* mask = Solid(c);
        if (c.red != 255 || c.green != 255 || c.blue != 255) pixman_image_set_component_alpha(mask, 1);
        return mask;
    }
    // srcRect of the image's premultiplied 8888 copy (made once per image by the library's
    // own conversion), as an image of its own so transforms sample nothing outside it.
    pixman_image_t* Source(Velm::Image* image, const Velm::Rect& srcRect) {
        auto* memory = dynamic_cast<Velm::MemoryImage*>(image);
        if (memory == nullptr) return nullptr;
        std::vector<uint32_t>& pixels = mPremultiplied[memory];
        const int width = memory->GetWidth();
        if (pixels.empty()) {
            const uint32_t* bits = memory->GetBits();
            const Velm::NativePixelFormat argb = Velm::NativePixelFormat::X8R8G8B8();
            pixels.resize(static_cast<size_t>(width) * memory->GetHeight());
            for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = argb.FromArgb(bits[i]);
        }
        const Velm::Rect inside = srcRect.Intersection(Velm::Rect(0, 0, width, memory->GetHeight()));
        if (inside.width <= 0 || inside.height <= 0) return nullptr;
        return Keep(pixman_image_create_bits(PIXMAN_a8r8g8b8, inside.width, inside.height,
                                             pixels.data() + static_cast<size_t>(inside.y) * width + inside.x,
                                             width * 4));
    }
    // The screen box around the transformed source rectangle.
    static Velm::Rect ScreenBox(const DrawCall& c) {
        double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
        for (int corner = 0; corner < 4; ++corner) {
            pixman_f_vector v = {{corner & 1 ? static_cast<double>(c.srcRect.width) : 0.0,
                                  corner & 2 ? static_cast<double>(c.srcRect.height) : 0.0, 1.0}};
            pixman_f_transform_point(&c.toScreen, &v);
            left = std::min(left, v.v[0]);
            top = std::min(top, v.v[1]);
            right = std::max(right, v.v[0]);
            bottom = std::max(bottom, v.v[1]);
        }
        const int x = static_cast<int>(std::floor(left));
        const int y = static_cast<int>(std::floor(top));
        return Velm::Rect(x, y, static_cast<int>(std::ceil(right)) - x, static_cast<int>(std::ceil(bottom)) - y);
    }

    int mWidth;
    std::vector<uint32_t> mScreenPixels;
    pixman_image_t* mScreen = nullptr;
    std::vector<Step> mSteps;
    std::vector<pixman_image_t*> mOwned;
    std::map<Velm::MemoryImage*, std::vector<uint32_t>> mPremultiplied;
};

}  // namespace benchgame
