#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Image.h"
#include "graphics/NativePixelFormat.h"

namespace Velm {

class ImageHost;
struct TextureData;  // the 3D layer's per-image record; created and freed by that layer

// 3D texture hints set by the resource manager.
enum ImageFlags {
    ImageFlag_MinimizeNumSubdivisions = 1,
    ImageFlag_Use64By64Subdivisions = 2,
    ImageFlag_UseA4R4G4B4 = 4,
    ImageFlag_UseA8R8G8B8 = 8,
};

// An image whose pixels live in main memory as 32-bit 0xAARRGGBB words, row after row
// (pitch = width), with one guard word (kGuardWord) after the last pixel whenever the buffer
// exists. Beside the pixels it keeps derived forms that are built on demand and all dropped by
// MarkBitsChanged, which must follow every change to the pixels:
//   - alpha flags (hasTrans: some alpha 0; hasAlpha: some alpha 1..254);
//   - nativeAlphaData: premultiplied pixels in the display's format, source alpha on top
//     (256 entries, one per palette entry, when palettised);
//   - runLengthAlphaData / runLengthAdditiveData: one byte per pixel giving how many pixels
//     are left in its run of alike pixels (alpha 0 / 255 / partial; adds nothing / adds),
//     capped at 255, runs never crossing a row end;
//   - weightedAddData: per pixel, its colour as the untinted additive blit adds it
//     (PixelRows::AddWeight), for sources that have non-opaque pixels;
//   - a palettised form (palette of 256 ARGB values + one index byte per pixel);
//   - the 3D layer's texture.
// GetBits rebuilds the pixels from whichever other form exists. The image registers with its
// ImageHost (the application) for its whole life. Drawing-thread only, apart from construction
// and destruction, which the host guards.
class MemoryImage : public Image {
public:
    static constexpr uint32_t kGuardWord = 0x4BEEFADE;

    uint32_t* bits = nullptr;  // width * height + 1 words when present
    int changeCount = 0;
    TextureData* textureData = nullptr;
    int flags = 0;                    // ImageFlags
    uint32_t* palette = nullptr;      // 256 entries; present together with colorIndices
    uint8_t* colorIndices = nullptr;  // width * height
    bool alphaFlagsForced = false;
    bool hasTrans = false;
    bool hasAlpha = false;
    bool isVolatile = false;
    bool purgeBits = false;
    bool wantPalette = false;
    uint32_t* nativeAlphaData = nullptr;
    uint8_t* runLengthAlphaData = nullptr;
    uint8_t* runLengthAdditiveData = nullptr;
    std::vector<uint32_t> weightedAddData;     // empty until built
    std::vector<uint32_t> expandedNativeData;  // empty until built; palettised images only
    bool bitsChanged = false;                  // alpha flags are stale
    ImageHost* app = nullptr;
    NativePixelFormat nativeFormat;  // the format nativeAlphaData was built in

    MemoryImage();  // on the process's ImageHost (may be none)
    explicit MemoryImage(ImageHost* host);
    MemoryImage(const MemoryImage& other);
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() override;

    // Drawing (software routines into the 32-bit pixels).
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void ClearRect(const Rect& rect) override;
    void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) override;
    void DrawLineAA(double startX, double startY, double endX, double endY, const Color& color, int drawMode) override;
    void FillSpansWithCoverage(const Span* spans, int count, const Color& color, int drawMode, const uint8_t* coverage,
                               int coverX, int coverY, int coverPitch, int coverHeight) override;
    void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
              int drawMode) override;
    void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                    int drawMode, double angle, float rotCenterX, float rotCenterY) override;
    void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect, const Color& color,
                    int drawMode, bool fastStretch) override;
    void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect, const Color& color,
                   int drawMode, const Rect& srcRect, bool linearFilter) override;
    void BltTexturedTriangles(Image* texture, const TriVertex (*triangles)[3], int triangleCount, const Rect& clipRect,
                              const Color& color, int drawMode, float tx, float ty, bool linearFilter) override;

    // Caches and pixel forms.
    virtual uint32_t* GetNativeAlphaData(const NativePixelFormat& format);
    virtual uint8_t* GetRLAlphaData();
    virtual uint8_t* GetRLAdditiveData(const NativePixelFormat& format);
    // width * height pixels of weightedAddData (one word for an empty image), built on first use.
    const uint32_t* GetWeightedAddData();
    // A palettised image's width * height pixels looked up in the native format, built on first
    // use and dropped with the native data; for any other image, the native data itself.
    const uint32_t* GetExpandedNativeData(const NativePixelFormat& format);
    // Marks the pixels for dropping (purgeBits) and drops them once another copy exists.
    virtual void DiscardBits();
    virtual void FreeSoftwareCaches();
    virtual void FreeTextureData();
    virtual void FreeAllCaches();
    // Re-applies wantPalette and purgeBits after the display was re-created.
    virtual void RestoreAfterReset();
    virtual void MarkBitsChanged();
    virtual void RefreshAlphaFlags();
    virtual void FreeNativeData();
    virtual void Clear();
    // Copies the pixels in; refresh recomputes the alpha flags at once.
    virtual void SetBits(const uint32_t* pixels, int newWidth, int newHeight, bool refresh = true);
    // New size with all-zero pixels (made on the next GetBits); hasTrans and hasAlpha set.
    virtual void Create(int newWidth, int newHeight);
    virtual uint32_t* GetBits();
    virtual void ForceAlphaFlags(bool trans, bool alpha);
    virtual void SetVolatile(bool isVol);
    // Converts to the palettised form when there are at most 256 distinct colours.
    virtual bool Palletize();

    // The software kernels, also used by the surface image.
    void BltNormal(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    void BltAdditive(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    void DrawLineNormal(double startX, double startY, double endX, double endY, const Color& color);
    void DrawLineAdditive(double startX, double startY, double endX, double endY, const Color& color);
    void DrawLineAANormal(double startX, double startY, double endX, double endY, const Color& color);
    // destRect is clipped and inside this image; srcRect is the matching source area.
    void FastStretchBlt(Image* image, const Rect& destRect, const DRect& srcRect, const Color& color, int drawMode);
    void SlowStretchBlt(Image* image, const Rect& destRect, const DRect& srcRect, const Color& color, int drawMode);
    void RasterizeMatrixQuad(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                             const Color& color, int drawMode, const Rect& srcRect, uint32_t* destBits,
                             int destPitchBytes, int pixelFormat, bool linearFilter);
    void RasterizeTriangles(Image* texture, const TriVertex (*triangles)[3], int triangleCount, const Rect& clipRect,
                            const Color& color, int drawMode, float tx, float ty, uint32_t* destBits,
                            int destPitchBytes, int pixelFormat, bool linearFilter);
    // The rasteriser format for this image: 0x888 when its alpha flags are forced opaque,
    // else 0x8888.
    int GetRasterPixelFormat() const;

    // Bounding box of srcRect turned about the centre, intersected with the clip; false (box
    // untouched) when empty.
    bool GetRotatedBounds(float& x, float& y, const Rect& srcRect, const Rect& clipRect, double angle, DRect& box,
                          float rotCenterX, float rotCenterY);
    // destRect cut to the clip, and the source area that matches it (fractional); false when
    // nothing is left.
    bool GetStretchRects(const Rect& srcRect, const Rect& clipRect, const Rect& destRect, DRect& clippedSrc,
                         Rect& clippedDest);
    // The same for a left-right flipped source: what is cut at the right of the destination
    // comes off the left of the source.
    bool GetStretchRectsMirrored(const Rect& srcRect, const Rect& clipRect, const Rect& destRect, DRect& clippedSrc,
                                 Rect& clippedDest);

protected:
    void FreePalette();
    void FreeDerived();  // native data, both run tables and the weighted additive pixels
    uint32_t* AllocateBits(int pixelCount);
};

}  // namespace Velm
