#pragma once

#include <cstdint>
#include <string>

#include "graphics/CelAnimation.h"
#include "graphics/Color.h"
#include "graphics/Matrix3.h"
#include "graphics/Point.h"
#include "graphics/Rect.h"
#include "graphics/TriVertex.h"

namespace Velm {

// The abstract drawing target and blit source: a size, a cel grid for sprite sheets, an
// optional cel animation, and the drawing operations that Graphics turns every call into.
// Every drawing operation does nothing here except DrawRect (four FillRect calls) and
// FillSpans (one FillRect per span); MemoryImage draws into 32-bit pixels and the surface
// image into a display surface.
//
// Clipping: FillRect, DrawRect, ClearRect, DrawLine, DrawLineAA, FillSpans,
// FillSpansWithCoverage, Blt and BltMirrored expect rectangles and positions that Graphics
// already clipped to the destination and the source. BltF, BltRotated, StretchBlt, BltMatrix,
// BltTexturedTriangles and StretchBltMirrored take the clip rectangle and clip themselves.
// Draw modes are DrawMode values. Images belong to the drawing thread.
class Image {
public:
    bool drawn = false;  // set by blits that read this image as their source
    std::string path;    // file the image came from; never copied
    int width = 0;
    int height = 0;
    int numRows = 1;  // cel grid of a sprite sheet
    int numCols = 1;
    CelAnimation* animation = nullptr;  // owned; null when not animated

    Image();
    // Copies the size, the cel grid and a deep copy of the animation; not the path.
    Image(const Image& other);
    Image& operator=(const Image&) = delete;
    virtual ~Image();

    // Fills a polygon through the 3D device; false when not drawn (the base never draws).
    virtual bool FillPoly3D(const Point* vertices, int count, const Rect* clip, const Color& color, int drawMode,
                            int tx, int ty, bool unusedFlag);
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    // Outline of (width + 1) x (height + 1) pixels.
    virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
    virtual void ClearRect(const Rect& rect);
    virtual void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode);
    virtual void DrawLineAA(double startX, double startY, double endX, double endY, const Color& color, int drawMode);
    virtual void FillSpans(const Span* spans, int count, const Color& color, int drawMode);
    // coverage holds one byte per pixel; the byte of pixel (x, y) is at
    // (y - coverY) * coverPitch + (x - coverX).
    virtual void FillSpansWithCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                       const uint8_t* coverage, int coverX, int coverY, int coverPitch,
                                       int coverHeight);
    virtual void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
    virtual void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                      int drawMode);
    // Turns srcRect by angle (radians, counter-clockwise on screen) about (rotCenterX,
    // rotCenterY), measured from srcRect's top-left corner, which lies at (x, y) before turning.
    virtual void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                            const Color& color, int drawMode, double angle, float rotCenterX, float rotCenterY);
    virtual void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                            const Color& color, int drawMode, bool fastStretch);
    // The matrix acts on srcRect centred on the origin; (x, y) is added afterwards.
    virtual void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                           const Color& color, int drawMode, const Rect& srcRect, bool linearFilter);
    virtual void BltTexturedTriangles(Image* texture, const TriVertex (*triangles)[3], int triangleCount,
                                      const Rect& clipRect, const Color& color, int drawMode, float tx, float ty,
                                      bool linearFilter);
    // As Blt, with the source flipped left-right.
    virtual void BltMirrored(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
    virtual void StretchBltMirrored(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                                    const Color& color, int drawMode, bool fastStretch);

    // True for the image that is the display's drawing surface while the display draws through
    // the 3D device; the surface image overrides it. Graphics then prefers matrix blits.
    virtual bool IsDrawingSurfaceIn3D() const;

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetCelWidth() const;
    int GetCelHeight() const;
    // Cels are numbered row by row.
    Rect GetCelRect(int cel) const;
    void CopyCelAttributes(const Image* other);
};

}  // namespace Velm
