#include "graphics/D3DInterface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/Color.h"
#include "graphics/D3DHost.h"
#include "graphics/D3DTester.h"
#include "graphics/Matrix3.h"
#include "graphics/MemoryImage.h"
#include "graphics/Point.h"
#include "graphics/TextureData.h"
#include "graphics/TriVertex.h"
#include "platform/Window.h"
#include "resources/base/StringUtils.h"

namespace Velm {

using plat::d3d7::TLVertex;

std::string gD3DError;
bool gD3DDrawingFailed = false;

namespace {

D3DHost* gErrorHost = nullptr;

uint32_t ToDiffuse(const Color& c) {
    auto clamp = [](int v) { return static_cast<uint32_t>(std::min(255, std::max(0, v))); };
    return clamp(c.alpha) << 24 | clamp(c.red) << 16 | clamp(c.green) << 8 | clamp(c.blue);
}

TLVertex MakeVertex(float x, float y, uint32_t color, float u = 0.0f, float v = 0.0f) {
    TLVertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.color = color;
    vertex.tu = u;
    vertex.tv = v;
    return vertex;
}

}  // namespace

bool CheckD3DError(plat::d3d7::Result result, const char* label) {
    if (!plat::dd::Failed(result)) return false;
    if (gD3DError.empty()) {
        gD3DError = std::string(label) + ": " + GetDirectXErrorName(result);
        if (gErrorHost != nullptr) gErrorHost->RegistryWriteString("Test3D\\RuntimeError", gD3DError);
    }
    return true;
}

void SetD3DErrorHost(D3DHost* host) { gErrorHost = host; }

// ---- VertexList ----

void VertexList::reserve(int capacity) {
    if (capacity <= mCapacity) return;
    std::vector<TLVertex> grown(static_cast<size_t>(capacity));
    std::copy(mVertices, mVertices + mSize, grown.begin());
    mHeap.swap(grown);
    mVertices = mHeap.data();
    mCapacity = capacity;
}

void VertexList::push_back(const TLVertex& vertex) {
    if (mSize == mCapacity) reserve(mCapacity * 2);
    mVertices[mSize++] = vertex;
}

// ---- Clipping ----

float GetVertexComponent(const TLVertex& vertex, int component) {
    switch (component) {
        case 0: return vertex.x;
        case 1: return vertex.y;
        case 2: return vertex.z;
        case 3: return vertex.tu;
        case 4: return vertex.tv;
        default: return 0.0f;
    }
}

TLVertex InterpolateVertex(const TLVertex& a, const TLVertex& b, float t) {
    TLVertex out = a;
    out.x = a.x + t * (b.x - a.x);
    out.y = a.y + t * (b.y - a.y);
    out.tu = a.tu + t * (b.tu - a.tu);
    out.tv = a.tv + t * (b.tv - a.tv);
    if (a.color != b.color) {
        uint32_t color = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const float ca = static_cast<float>(a.color >> shift & 0xFF);
            const float cb = static_cast<float>(b.color >> shift & 0xFF);
            color |= static_cast<uint32_t>(static_cast<int>(ca + t * (cb - ca)) & 0xFF) << shift;
        }
        out.color = color;
    }
    return out;
}

namespace {

template <typename Keep>
void ClipPolygon(VertexList& in, VertexList& out, int component, float limit, Keep keep) {
    out.clear();
    const int n = in.size();
    if (n < 2) return;
    const TLVertex* prev = &in[n - 1];
    bool prevIn = keep(GetVertexComponent(*prev, component));
    for (int i = 0; i < n; ++i) {
        const TLVertex& cur = in[i];
        const bool curIn = keep(GetVertexComponent(cur, component));
        if (curIn != prevIn) {
            const float start = GetVertexComponent(*prev, component);
            const float end = GetVertexComponent(cur, component);
            out.push_back(InterpolateVertex(*prev, cur, (limit - start) / (end - start)));
        }
        if (curIn) out.push_back(cur);
        prev = &cur;
        prevIn = curIn;
    }
}

}  // namespace

void ClipPolygonMin(VertexList& in, VertexList& out, int component, float limit) {
    ClipPolygon(in, out, component, limit, [limit](float v) { return v >= limit; });
}

void ClipPolygonMax(VertexList& in, VertexList& out, int component, float limit) {
    ClipPolygon(in, out, component, limit, [limit](float v) { return v < limit; });
}

void DrawClippedPolygon(VertexList& vertices, const Rect& clip, plat::d3d7::Device* device) {
    VertexList temp;
    ClipPolygonMin(vertices, temp, 0, static_cast<float>(clip.x));
    ClipPolygonMin(temp, vertices, 1, static_cast<float>(clip.y));
    ClipPolygonMax(vertices, temp, 0, static_cast<float>(clip.x + clip.width));
    ClipPolygonMax(temp, vertices, 1, static_cast<float>(clip.y + clip.height));
    if (vertices.size() > 2 && device != nullptr)
        CheckD3DError(device->DrawPrimitive(plat::d3d7::kTriangleFan, vertices.data(), vertices.size()),
                      "DrawPrimitive (Tri) 2");
}

void ClipToTextureSquare(VertexList& vertices) {
    VertexList temp;
    ClipPolygonMin(vertices, temp, 3, 0.0f);
    ClipPolygonMin(temp, vertices, 4, 0.0f);
    ClipPolygonMax(vertices, temp, 3, 1.0f);
    ClipPolygonMax(temp, vertices, 4, 1.0f);
}

// ---- D3DInterface ----

D3DInterface::D3DInterface(D3DHost* host) : mHost(host) {
    TextureLimits& limits = GetTextureLimits();
    limits = TextureLimits();
    SetD3DErrorHost(host);
}

D3DInterface::~D3DInterface() {
    Cleanup();
    if (gErrorHost == mHost) SetD3DErrorHost(nullptr);
}

bool D3DInterface::RunCardTest(DDInterface& display, int minVideoMemory, int recommendedVideoMemory,
                               CardTestOutcome* outcome) {
    if (!mTester) {
        mTester = std::make_unique<D3DTester>(mHost);
        mTester->mListFolder = mCardListFolder;
    }
    mTester->mMinVidMemory = static_cast<unsigned>(std::max(0, minVideoMemory));
    mTester->mRecVidMemory = static_cast<unsigned>(std::max(0, recommendedVideoMemory));
    mTester->RunTest(display.GetDirectDraw());
    if (outcome != nullptr) {
        outcome->fresh = mTester->mResultsChanged;
        outcome->hasFailure = !mTester->mFailureReason.empty();
        outcome->hasWarning = !mTester->mWarning.empty();
    }
    return true;
}

bool D3DInterface::InitD3D(DDInterface& display) {
    gD3DError.clear();
    mDisplay = &display;
    plat::dd::Surface* target = display.GetDrawSurface();
    if (target == nullptr) {
        CheckD3DError(plat::dd::kErrGeneric, "Query DrawSurface");
        return false;
    }
    return CreateDevice(target, display.mWidth, display.mHeight);
}

bool D3DInterface::CreateDevice(plat::dd::Surface* renderTarget, int width, int height) {
    mRenderTarget = renderTarget;
    mWidth = width;
    mHeight = height;
    std::string why;
    if (!plat::d3d7::IsAvailable(&why)) {
        CheckD3DError(plat::dd::kErrNoDirectDrawHw, "QueryInterface IID_IDirect3D7");
        return false;
    }
    if (CheckD3DError(plat::d3d7::Device::Create(renderTarget, &mDevice), "CreateDevice IID_IDirect3DHALDevice"))
        return false;
    plat::d3d7::Caps caps;
    if (CheckD3DError(mDevice->GetCaps(&caps), "")) return false;
    TextureLimits& limits = GetTextureLimits();
    if (caps.maxTextureWidth == 0) {
        limits.minWidth = limits.minHeight = limits.maxWidth = limits.maxHeight = 64;
        limits.maxAspectRatio = 1;
    } else {
        limits.minWidth = std::max(1, caps.minTextureWidth);
        limits.minHeight = std::max(1, caps.minTextureHeight);
        limits.maxWidth = std::min(1024, caps.maxTextureWidth);
        limits.maxHeight = std::min(1024, caps.maxTextureHeight);
        limits.maxAspectRatio = caps.maxTextureAspectRatio == 0 ? 65536 : caps.maxTextureAspectRatio;
    }
    mLinearFilter = false;
    limits.supportedFormats = 0;
    for (const plat::d3d7::PixelFormat& format : mDevice->EnumTextureFormats())
        limits.supportedFormats |= GetPixelFormatType(format);
    if (!(caps.textureCaps & plat::d3d7::kTexCapsAlphaPalette)) limits.supportedFormats &= ~TextureFormat_Palette8;
    if (CheckD3DError(mDevice->SetViewport(0, 0, width, height), "SetViewport")) return false;
    if (CheckD3DError(mDevice->Clear(0xFF000000u), "Clear")) return false;
    return true;
}

void D3DInterface::Cleanup() {
    FinishScene();
    {
        std::unique_ptr<CritSectLock> lock;
        if (mDisplay != nullptr) lock = std::make_unique<CritSectLock>(mDisplay->GetLock());
        for (MemoryImage* image : mImageSet) {
            delete image->textureData;
            image->textureData = nullptr;
        }
        mImageSet.clear();
    }
    mDevice.reset();
    mRenderTarget = nullptr;
}

void D3DInterface::FreeImageTexture(MemoryImage* image) {
    if (image == nullptr) return;
    if (image->textureData != nullptr) {
        delete image->textureData;
        image->textureData = nullptr;
    }
    std::unique_ptr<CritSectLock> lock;
    if (mDisplay != nullptr) lock = std::make_unique<CritSectLock>(mDisplay->GetLock());
    mImageSet.erase(image);
}

bool D3DInterface::PreDraw() {
    if (mDevice == nullptr) return false;
    if (mHost != nullptr && mHost->IsMinimized()) return false;
    if (mSceneBegun) return true;
    if (plat::dd::Failed(mDevice->SetRenderTarget(mRenderTarget))) {
        gD3DDrawingFailed = true;
        return false;
    }
    gD3DDrawingFailed = false;
    using namespace plat::d3d7;
    mDevice->BeginScene();
    mDevice->SetRenderState(kRsAlphaBlendEnable, 1);
    mDevice->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    mDevice->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    mDevice->SetRenderState(kRsLighting, 0);
    mDevice->SetTextureStageState(kTssMinFilter, kFilterPoint);
    mDevice->SetTextureStageState(kTssMagFilter, kFilterPoint);
    mDevice->SetTextureStageState(kTssMipFilter, kFilterPoint);
    mDevice->SetTextureStageState(kTssAlphaOp, kTopModulate);
    mDevice->SetTextureStageState(kTssAddressU, kAddressClamp);
    mDevice->SetTextureStageState(kTssAddressV, kAddressClamp);
    mDevice->SetRenderState(kRsDitherEnable, 0);
    mDevice->SetRenderState(kRsSpecularEnable, 0);
    mDevice->SetRenderState(kRsZWriteEnable, 0);
    mDevice->SetRenderState(kRsZEnable, 0);
    mDevice->SetRenderState(kRsCullMode, kCullNone);
    mSceneBegun = true;
    mLinearFilter = false;
    return true;
}

void D3DInterface::FinishScene() {
    if (!mSceneBegun) return;
    if (mDevice != nullptr) mDevice->EndScene();
    mSceneBegun = false;
}

bool D3DInterface::PresentInWindow(plat::Window* window) {
    if (window == nullptr || mDevice == nullptr || (mHost != nullptr && mHost->IsMinimized())) return false;
    if (mDevice->GetRenderTarget() != mRenderTarget || !mDevice->EndFrameInDevice()) return false;
    mSceneBegun = false;
    return window->PresentTexture(mDevice->FrameTexture(), mDevice->Width(), mDevice->Height());
}

void D3DInterface::SetDrawModeBlend(int drawMode) {
    mDevice->SetRenderState(plat::d3d7::kRsSrcBlend, plat::d3d7::kBlendSrcAlpha);
    mDevice->SetRenderState(plat::d3d7::kRsDestBlend,
                            drawMode == 1 ? plat::d3d7::kBlendOne : plat::d3d7::kBlendInvSrcAlpha);
}

void D3DInterface::SetLinearFilter(bool linear) {
    if (linear == mLinearFilter) return;
    const uint32_t value = linear ? plat::d3d7::kFilterLinear : plat::d3d7::kFilterPoint;
    const char* label = linear ? "SetTextureStageState LINEAR" : "SetTextureStageState Point";
    CheckD3DError(mDevice->SetTextureStageState(plat::d3d7::kTssMinFilter, value), label);
    CheckD3DError(mDevice->SetTextureStageState(plat::d3d7::kTssMagFilter, value), label);
    CheckD3DError(mDevice->SetTextureStageState(plat::d3d7::kTssMipFilter, value), label);
    mLinearFilter = linear;
}

bool D3DInterface::CreateImageTexture(MemoryImage* image) {
    if (image == nullptr || mDevice == nullptr) return false;
    TextureData* data = image->textureData;
    bool made = false;
    if (data == nullptr) {
        data = new TextureData;
        image->textureData = data;
        std::unique_ptr<CritSectLock> lock;
        if (mDisplay != nullptr) lock = std::make_unique<CritSectLock>(mDisplay->GetLock());
        mImageSet.insert(image);
        made = true;
    }
    const bool purge = image->purgeBits;
    if (data->format == TextureFormat_None || data->width != image->width || data->height != image->height ||
        data->changeCount != image->changeCount || data->imageFlags != image->flags)
        data->complete = data->CreateTextures(image, mDevice.get());
    // The pixels go only when the textures hold all of them; otherwise they are the only copy.
    if (made && purge && data->format != TextureFormat_None && data->complete) image->DiscardBits();
    return data->format != TextureFormat_None;
}

// ---- Untextured primitives ----

bool D3DInterface::PrepareUntexturedDraw(int drawMode) {
    if (!PreDraw()) return false;
    SetDrawModeBlend(drawMode);
    return !CheckD3DError(mDevice->SetTexture(nullptr), "SetTexture NULL");
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
    if (!PrepareUntexturedDraw(drawMode)) return;
    const uint32_t c = ToDiffuse(color);
    const TLVertex v[3] = {MakeVertex(static_cast<float>(x1), static_cast<float>(y1), c),
                           MakeVertex(static_cast<float>(x2), static_cast<float>(y2), c),
                           MakeVertex(static_cast<float>(x2 + 0.5), static_cast<float>(y2 + 0.5), c)};
    CheckD3DError(mDevice->DrawPrimitive(plat::d3d7::kLineStrip, v, 3), "DrawPrimitive (Line)");
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode) {
    if (!PrepareUntexturedDraw(drawMode)) return;
    const uint32_t c = ToDiffuse(color);
    const float x = rect.x - 0.5f, y = rect.y - 0.5f;
    const float right = rect.x + rect.width - 0.5f, bottom = rect.y + rect.height - 0.5f;
    const TLVertex v[4] = {MakeVertex(x, y, c), MakeVertex(x, bottom, c), MakeVertex(right, y, c),
                           MakeVertex(right, bottom, c)};
    CheckD3DError(mDevice->DrawPrimitive(plat::d3d7::kTriangleStrip, v, 4), "DrawPrimitive (Rect)");
}

void D3DInterface::FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                            int ty) {
    if (points == nullptr || count <= 2) return;
    if (!PrepareUntexturedDraw(drawMode)) return;
    const uint32_t c = ToDiffuse(color);
    VertexList vertices;
    vertices.reserve(count);
    for (int i = 0; i < count; ++i)
        vertices.push_back(MakeVertex(static_cast<float>(tx + points[i].x), static_cast<float>(ty + points[i].y), c));
    if (clip != nullptr)
        DrawClippedPolygon(vertices, *clip, mDevice.get());
    else
        CheckD3DError(mDevice->DrawPrimitive(plat::d3d7::kTriangleFan, vertices.data(), vertices.size()),
                      "DrawPrimitive (FillPoly)");
}

// ---- Image blits ----

MemoryImage* D3DInterface::PrepareTexturedDraw(Image* image, int drawMode, bool linearFilter) {
    MemoryImage* memory = dynamic_cast<MemoryImage*>(image);
    if (memory == nullptr || !PreDraw()) return nullptr;
    if (!CreateImageTexture(memory)) return nullptr;
    SetDrawModeBlend(drawMode);
    SetLinearFilter(linearFilter);
    return memory;
}

void D3DInterface::Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                       bool linearFilter) {
    MemoryImage* memory = PrepareTexturedDraw(image, drawMode, linearFilter);
    if (memory == nullptr) return;
    DrawTexturePieces(memory->textureData, x, y, srcRect, ToDiffuse(color));
}

void D3DInterface::DrawTexturePieces(TextureData* data, float x, float y, const Rect& srcRect, uint32_t color) {
    const int right = srcRect.x + srcRect.width;
    const int bottom = srcRect.y + srcRect.height;
    float destY = y;
    for (int srcY = srcRect.y; srcY < bottom;) {
        float destX = x;
        int bandHeight = 0;
        for (int srcX = srcRect.x; srcX < right;) {
            int w = right - srcX, h = bottom - srcY;
            float u1, v1, u2, v2;
            plat::d3d7::Texture* texture = data->GetPiece(srcX, srcY, w, h, u1, v1, u2, v2);
            if (w <= 0 || h <= 0) return;
            if (texture != nullptr && !CheckD3DError(mDevice->SetTexture(texture), "SetTexture gTexture")) {
                const float left = destX - 0.5f, top = destY - 0.5f;
                const TLVertex v[4] = {MakeVertex(left, top, color, u1, v1), MakeVertex(left, top + h, color, u1, v2),
                                       MakeVertex(left + w, top, color, u2, v1),
                                       MakeVertex(left + w, top + h, color, u2, v2)};
                CheckD3DError(mDevice->DrawPrimitive(plat::d3d7::kTriangleStrip, v, 4), "DrawPrimitive (Tri) 1");
            }
            srcX += w;
            destX += w;
            bandHeight = h;
        }
        srcY += bandHeight;
        destY += bandHeight;
    }
}

void D3DInterface::BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& srcRect,
                                  const Matrix3& matrix, bool linearFilter, float x, float y, bool centered) {
    MemoryImage* memory = PrepareTexturedDraw(image, drawMode, linearFilter);
    if (memory == nullptr) return;
    DrawTexturePiecesTransformed(memory->textureData, clip, ToDiffuse(color), srcRect, matrix, x, y, centered);
}

void D3DInterface::DrawTexturePiecesTransformed(TextureData* data, const Rect* clip, uint32_t color,
                                                const Rect& srcRect, const Matrix3& matrix, float x, float y,
                                                bool centered) {
    const int right = srcRect.x + srcRect.width;
    const int bottom = srcRect.y + srcRect.height;
    const float shiftX = centered ? -srcRect.width / 2.0f : 0.0f;
    const float shiftY = centered ? -srcRect.height / 2.0f : 0.0f;
    const float moveX = centered ? x : x - 0.5f;
    const float moveY = centered ? y : y - 0.5f;
    for (int srcY = srcRect.y; srcY < bottom;) {
        int bandHeight = 0;
        for (int srcX = srcRect.x; srcX < right;) {
            int w = right - srcX, h = bottom - srcY;
            float u1, v1, u2, v2;
            plat::d3d7::Texture* texture = data->GetPiece(srcX, srcY, w, h, u1, v1, u2, v2);
            if (w <= 0 || h <= 0) return;
            const float left = srcX - srcRect.x + shiftX, top = srcY - srcRect.y + shiftY;
            auto corner = [&](float px, float py, float u, float v) {
                const Vector2 p = matrix.TransformPoint(Vector2(px, py));
                return MakeVertex(p.x + moveX, p.y + moveY, color, u, v);
            };
            const TLVertex tl = corner(left, top, u1, v1), bl = corner(left, top + h, u1, v2);
            const TLVertex tr = corner(left + w, top, u2, v1), br = corner(left + w, top + h, u2, v2);
            bool outside = false;
            if (clip != nullptr) {
                for (const TLVertex* v : {&tl, &bl, &tr, &br}) {
                    if (v->x < clip->x || v->x >= clip->x + clip->width || v->y < clip->y ||
                        v->y >= clip->y + clip->height)
                        outside = true;
                }
            }
            if (texture != nullptr && !CheckD3DError(mDevice->SetTexture(texture), "SetTexture gTexture")) {
                if (outside) {
                    VertexList fan;
                    fan.push_back(tl);
                    fan.push_back(bl);
                    fan.push_back(br);
                    fan.push_back(tr);
                    DrawClippedPolygon(fan, *clip, mDevice.get());
                } else {
                    const TLVertex v[4] = {tl, bl, tr, br};
                    CheckD3DError(mDevice->DrawPrimitive(plat::d3d7::kTriangleStrip, v, 4), "DrawPrimitive (Tri) 3");
                }
            }
            srcX += w;
            bandHeight = h;
        }
        srcY += bandHeight;
    }
}

void D3DInterface::BltClipF(Image* image, float x, float y, const Rect& srcRect, const Rect* clip, const Color& color,
                            int drawMode) {
    Matrix3 matrix;
    matrix.Translate(x, y);
    BltTransformed(image, clip, color, drawMode, srcRect, matrix, true, 0, 0, false);
}

void D3DInterface::BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                             bool linearFilter) {
    Matrix3 matrix;
    matrix.Translate(static_cast<float>(-srcRect.width), 0);
    matrix.Scale(-1, 1);
    matrix.Translate(x, y);
    BltTransformed(image, nullptr, color, drawMode, srcRect, matrix, linearFilter, 0, 0, false);
}

void D3DInterface::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect* clip,
                              const Color& color, int drawMode, bool fastStretch, bool mirror) {
    if (srcRect.width == 0 || srcRect.height == 0) return;
    float sx = static_cast<float>(destRect.width) / srcRect.width;
    const float sy = static_cast<float>(destRect.height) / srcRect.height;
    Matrix3 matrix;
    if (mirror) {
        matrix.Translate(static_cast<float>(-srcRect.width), 0);
        sx = -sx;
    }
    matrix.Scale(sx, sy);
    matrix.Translate(static_cast<float>(destRect.x), static_cast<float>(destRect.y));
    BltTransformed(image, clip, color, drawMode, srcRect, matrix, !fastStretch, 0, 0, false);
}

void D3DInterface::BltRotate(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode,
                             double angle, float centerX, float centerY, const Rect& srcRect) {
    Matrix3 matrix;
    matrix.Translate(-centerX, -centerY);
    matrix.Rotate(static_cast<float>(angle));
    matrix.Translate(x + centerX, y + centerY);
    BltTransformed(image, clip, color, drawMode, srcRect, matrix, true, 0, 0, false);
}

// ---- Textured triangles ----

void D3DInterface::DrawTexturedTriangles(const TriVertex (*triangles)[3], int count, const Color& color, int drawMode,
                                         Image* texture, float tx, float ty, bool linearFilter) {
    if (triangles == nullptr || count <= 0) return;
    MemoryImage* memory = PrepareTexturedDraw(texture, drawMode, linearFilter);
    if (memory == nullptr) return;
    DrawTextureTriangles(memory->textureData, triangles, count, ToDiffuse(color), tx, ty);
}

void D3DInterface::DrawTextureTriangles(TextureData* data, const TriVertex (*triangles)[3], int count, uint32_t color,
                                        float tx, float ty) {
    auto convert = [&](const TriVertex& t) {
        return MakeVertex(tx + t.x, ty + t.y, t.color != 0 ? t.color : color, t.u * data->uScale, t.v * data->vScale);
    };
    if (data->uScale <= 1.0f && data->vScale <= 1.0f) {
        if (data->pieces.empty() ||
            CheckD3DError(mDevice->SetTexture(data->pieces[0].texture.get()), "SetTexture gTexture"))
            return;
        VertexList batch;
        batch.reserve(300);
        for (int i = 0; i < count; ++i) {
            for (int k = 0; k < 3; ++k) batch.push_back(convert(triangles[i][k]));
            if (batch.size() == 300 || i == count - 1) {
                CheckD3DError(mDevice->DrawPrimitive(plat::d3d7::kTriangleList, batch.data(), batch.size()),
                              "DrawPrimitive (TriList)");
                batch.clear();
            }
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        TLVertex v[3];
        for (int k = 0; k < 3; ++k) v[k] = convert(triangles[i][k]);
        const int left = std::max(0, static_cast<int>(std::floor(std::min({v[0].tu, v[1].tu, v[2].tu, data->uScale}))));
        const int top = std::max(0, static_cast<int>(std::floor(std::min({v[0].tv, v[1].tv, v[2].tv, data->vScale}))));
        const int right =
                std::min(data->columns, static_cast<int>(std::ceil(std::max({v[0].tu, v[1].tu, v[2].tu, 0.0f}))));
        const int bottom =
                std::min(data->rows, static_cast<int>(std::ceil(std::max({v[0].tv, v[1].tv, v[2].tv, 0.0f}))));
        for (int row = top; row < bottom; ++row) {
            for (int column = left; column < right; ++column) {
                const TexturePiece& piece = data->pieces[static_cast<size_t>(row) * data->columns + column];
                VertexList part;
                for (int k = 0; k < 3; ++k) {
                    TLVertex p = v[k];
                    p.tu -= column;
                    p.tv -= row;
                    if (row == data->rows - 1) p.tv *= static_cast<float>(data->pieceHeight) / piece.height;
                    if (column == data->columns - 1) p.tu *= static_cast<float>(data->pieceWidth) / piece.width;
                    part.push_back(p);
                }
                ClipToTextureSquare(part);
                if (part.size() < 3 || piece.texture == nullptr) continue;
                if (CheckD3DError(mDevice->SetTexture(piece.texture.get()), "SetTexture gTexture")) continue;
                CheckD3DError(mDevice->DrawPrimitive(plat::d3d7::kTriangleFan, part.data(), part.size()),
                              "DrawPrimitive (Tri) 4");
            }
        }
    }
}

}  // namespace Velm
