#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "graphics/DDInterface.h"
#include "platform/D3D7.h"

namespace Velm {

class D3DHost;
class D3DTester;
struct TextureData;

// The process-wide 3D error state (one display exists). gD3DError holds the first failed
// call ("label: NAME") since the last present checked it; gD3DDrawingFailed is set while the
// device refuses the drawing surface as render target.
extern std::string gD3DError;
extern bool gD3DDrawingFailed;

// True when result is a failure. The first failure since the last present is kept in
// gD3DError and written once to the registry as "Test3D\RuntimeError"; later failures of the
// same frame change nothing, so the present sees the cause.
bool CheckD3DError(plat::d3d7::Result result, const char* label);
void SetD3DErrorHost(D3DHost* host);

// Vertices of one primitive, 100 kept inside the object before the list moves to the heap.
class VertexList {
public:
    VertexList() = default;
    VertexList(const VertexList&) = delete;
    VertexList& operator=(const VertexList&) = delete;

    void reserve(int capacity);
    void push_back(const plat::d3d7::TLVertex& vertex);
    void clear() { mSize = 0; }
    int size() const { return mSize; }
    int capacity() const { return mCapacity; }
    plat::d3d7::TLVertex* data() { return mVertices; }
    plat::d3d7::TLVertex& operator[](int i) { return mVertices[i]; }
    const plat::d3d7::TLVertex& operator[](int i) const { return mVertices[i]; }

private:
    plat::d3d7::TLVertex mInline[100];
    std::vector<plat::d3d7::TLVertex> mHeap;  // once the inline room is outgrown
    plat::d3d7::TLVertex* mVertices = mInline;
    int mSize = 0;
    int mCapacity = 100;
};

// Polygon clipping on vertex components (0 x, 1 y, 2 z, 3 u, 4 v), Sutherland-Hodgman.
float GetVertexComponent(const plat::d3d7::TLVertex& vertex, int component);
plat::d3d7::TLVertex InterpolateVertex(const plat::d3d7::TLVertex& a, const plat::d3d7::TLVertex& b, float t);
void ClipPolygonMin(VertexList& in, VertexList& out, int component, float limit);  // keeps >= limit
void ClipPolygonMax(VertexList& in, VertexList& out, int component, float limit);  // keeps < limit
void DrawClippedPolygon(VertexList& vertices, const Rect& clip, plat::d3d7::Device* device);
void ClipToTextureSquare(VertexList& vertices);

// Draws into the display's drawing surface with the hardware device while the display runs in
// 3D: fills, lines, polygons, images as textured quads through any matrix, and textured
// triangles. Owned by the display (DDInterface::Set3DLayer); main thread only. A scene opens
// at the first drawing call after a present and closes at the next present; every failing call
// is recorded (CheckD3DError) so that the present switches 3D off.
class D3DInterface : public Display3D {
public:
    explicit D3DInterface(D3DHost* host);
    ~D3DInterface() override;

    // Display3D
    bool RunCardTest(DDInterface& display, int minVideoMemory, int recommendedVideoMemory,
                     CardTestOutcome* outcome) override;
    bool InitD3D(DDInterface& display) override;
    void Cleanup() override;
    std::string LastError() override { return gD3DError; }
    void ClearLastError() override { gD3DError.clear(); }
    void EndSceneIfOpen() override { FinishScene(); }
    bool PresentInWindow(plat::Window* window) override;
    bool IsTransformStackEmpty() override { return true; }
    void FreeImageTexture(MemoryImage* image) override;

    void FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                  int ty) override;
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
             bool linearFilter) override;
    void BltClipF(Image* image, float x, float y, const Rect& srcRect, const Rect* clip, const Color& color,
                  int drawMode) override;
    void BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                   bool linearFilter) override;
    void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect* clip, const Color& color,
                    int drawMode, bool fastStretch, bool mirror) override;
    void BltRotate(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode, double angle,
                   float centerX, float centerY, const Rect& srcRect) override;
    void BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& srcRect,
                        const Matrix3& matrix, bool linearFilter, float x, float y, bool centered) override;
    void DrawTexturedTriangles(const TriVertex (*triangles)[3], int count, const Color& color, int drawMode,
                               Image* texture, float tx, float ty, bool linearFilter) override;

    // Makes a device on a render target directly (InitD3D does it on the drawing surface).
    bool CreateDevice(plat::dd::Surface* renderTarget, int width, int height);
    bool PreDraw();
    // Ends an open scene; the recorded error stays for the present to see.
    void FinishScene();
    void SetDrawModeBlend(int drawMode);
    void SetLinearFilter(bool linear);
    // True when the image has usable textures after the call.
    bool CreateImageTexture(MemoryImage* image);

    plat::d3d7::Device* GetDevice() { return mDevice.get(); }
    D3DTester* GetTester() { return mTester.get(); }
    // Where the video-card test looks for its card lists ("" = the current folder).
    std::string mCardListFolder;
    const std::set<MemoryImage*>& TexturedImages() const { return mImageSet; }

private:
    // The set-up every untextured primitive shares: an open scene, the mode's blend and no
    // texture; false when nothing can be drawn.
    bool PrepareUntexturedDraw(int drawMode);
    // The set-up every image draw shares: an open scene, the image's textures, the mode's blend
    // and the filter. The memory image behind `image`, or null when nothing can be drawn.
    MemoryImage* PrepareTexturedDraw(Image* image, int drawMode, bool linearFilter);
    void DrawTexturePieces(TextureData* data, float x, float y, const Rect& srcRect, uint32_t color);
    void DrawTexturePiecesTransformed(TextureData* data, const Rect* clip, uint32_t color, const Rect& srcRect,
                                      const Matrix3& matrix, float x, float y, bool centered);
    void DrawTextureTriangles(TextureData* data, const TriVertex (*triangles)[3], int count, uint32_t color, float tx,
                              float ty);

    D3DHost* mHost;
    DDInterface* mDisplay = nullptr;
    int mWidth = 640;
    int mHeight = 480;
    plat::dd::Surface* mRenderTarget = nullptr;
    std::unique_ptr<plat::d3d7::Device> mDevice;
    bool mSceneBegun = false;
    bool mLinearFilter = false;
    std::set<MemoryImage*> mImageSet;
    std::unique_ptr<D3DTester> mTester;
};

}  // namespace Velm
