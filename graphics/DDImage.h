#pragma once

#include <cstdint>
#include <memory>

#include "graphics/MemoryImage.h"
#include "platform/DdSurface.h"

namespace Velm {

class DDInterface;

// A memory image whose pixels can also live on a display surface in the display's pixel
// format. Three kinds exist: the screen image over the display's drawing surface, the two
// cursor-area images, and every other image the application makes on the display. The first
// two adopt a surface the display made (SetSurface); the others build their own surface the
// first time a surface routine needs it and upload their pixels into it.
//
// Every drawing operation picks one of three paths: the 3D layer when the display runs in 3D
// and this image is the drawing surface; the memory image's software routine on the memory
// pixels when the image has translucent or transparent pixels (or the display runs in 3D);
// otherwise the surface path, which locks the surface and runs this class's routine for the
// surface's 16- or 32-bit format and the draw mode. After a surface path that drew, the memory
// copies are freed: the surface holds the only copy until GetBits reads it back.
//
// Drawing-thread only; surface creation and registration take the display lock.
class DDImage : public MemoryImage {
public:
    DDInterface* mDDInterface;
    std::shared_ptr<plat::dd::Surface> mSurface;
    bool mSurfaceSet = false;  // adopted from the display
    bool mNoLock = false;      // the surface must not be locked for software drawing
    bool mVideoMemory = false;
    bool mWantDDSurface = false;
    int mLockCount = 0;
    plat::dd::SurfaceDesc mLockedSurfaceDesc;  // valid while mLockCount > 0

    explicit DDImage(DDInterface* display);
    ~DDImage() override;

    // ---- Drawing ----
    bool FillPoly3D(const Point* vertices, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                    int ty, bool unusedFlag) override;
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
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
    void BltMirrored(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void StretchBltMirrored(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                            const Color& color, int drawMode, bool fastStretch) override;
    bool IsDrawingSurfaceIn3D() const override;

    // ---- Pixel forms ----
    void DiscardBits() override;
    void FreeAllCaches() override;
    void RestoreAfterReset() override;
    void MarkBitsChanged() override;
    void RefreshAlphaFlags() override;
    void FreeNativeData() override;
    void Create(int newWidth, int newHeight) override;
    uint32_t* GetBits() override;
    bool Palletize() override;

    // ---- Surface management ----
    virtual void SetVideoMemory(bool wantVideoMemory);
    virtual bool SetSurfaceColorKey();
    virtual bool LockSurface();
    virtual bool UnlockSurface();
    // Adopts a surface the display made; width and height come from it.
    virtual void SetSurface(std::shared_ptr<plat::dd::Surface> surface);
    bool BuildSurface();
    plat::dd::Surface* GetSurface();
    // Reads a surface-only image back into bits, then lets the surface go.
    void ReleaseSurface();
    void DropMemoryCopies();
    // RestoreAfterReset with its result: whether a wanted surface was built.
    bool RestoreSurface();

    // ---- Surface routines (locked surface, display format; arguments arrive clipped) ----
    // False when the surface cannot be locked; true otherwise, also when no lock is set.
    virtual bool FillRectNormal(const Rect& rect, const Color& color);
    virtual bool FillRectAdditive(const Rect& rect, const Color& color);
    virtual bool BltNormal(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    virtual bool BltAdditive(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    virtual bool DrawLineNormal(double startX, double startY, double endX, double endY, const Color& color);
    virtual bool DrawLineAdditive(double startX, double startY, double endX, double endY, const Color& color);
    virtual bool DrawLineAANormal(double startX, double startY, double endX, double endY, const Color& color);
    virtual bool DrawLineAAAdditive(double startX, double startY, double endX, double endY, const Color& color);
    virtual bool BltMirroredNormal(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    virtual bool BltMirroredAdditive(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    bool FillSpansWithCoverageSurface(const Span* spans, int count, const Color& color, const uint8_t* coverage,
                                      int coverX, int coverY, int coverPitch);

    // ARGB <-> surface value in the display's channel layout (top bits kept, no replication).
    uint32_t ArgbToSurface(uint32_t argb) const;
    uint32_t SurfaceToArgb(uint32_t value) const;

protected:
    // The image's surface is the display's drawing surface and the display runs in 3D.
    bool Is3DTarget() const;
    bool DisplayIs3D() const;
    bool IsCursorAreaImage() const;
    // Lock for a surface routine: builds the surface when needed. Records that the surface
    // was touched, so that the caller drops the memory copies only then.
    bool BeginSurfaceRoutine();
    void EndSurfaceRoutine();
    // A whole surface routine: body(desc, layout) runs on the locked surface between the two
    // calls above. True when done or when the image draws nothing (no lock allowed), false
    // when the surface cannot be locked. Defined in DDImageSurface.h.
    template <typename Body>
    bool SurfaceRoutine(Body&& body);
    // The DirectDraw copy of an opaque or colour-keyed surface image onto this surface.
    void SurfaceCopy(DDImage* source, int x, int y, const Rect& srcRect);
    // Drops the memory copies when a routine changed the surface.
    void FinishSurfacePath();
    // Locks the surface and, when the triangle rasteriser knows its format, runs
    // raster(clip, pixels, pitch, format) with the clip cut to this image; then finishes the
    // surface path. Defined in DDImage.cpp.
    template <typename Raster>
    void RasterOntoSurface(const Rect& clipRect, Raster&& raster);

    bool mSurfaceTouched = false;

private:
    bool BltNormalImpl(Image* image, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
    bool BltAdditiveImpl(Image* image, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
    void StretchLoop(MemoryImage* source, const Rect& dest, const DRect& src, const Color& color, int drawMode,
                     bool mirror);
};

}  // namespace Velm
