// Surface images: the choice between the 3D, memory and surface paths, and the surface's life
// (building it from the pixels, reading it back, locking).
#include "graphics/DDImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/DDInterface.h"
#include "graphics/DrawMode.h"
#include "graphics/ImageHost.h"

namespace Velm {

DDImage::DDImage(DDInterface* display)
        : MemoryImage(display != nullptr && display->mApp != nullptr ? display->mApp->GetImageHost() : GetImageHost()),
          mDDInterface(display) {
    if (mDDInterface != nullptr) mDDInterface->AddImage(this);
}

DDImage::~DDImage() {
    mSurface.reset();
    if (mDDInterface != nullptr) mDDInterface->RemoveImage(this);
}

// ---- Path choice ----

bool DDImage::DisplayIs3D() const { return mDDInterface != nullptr && mDDInterface->mIs3D; }

bool DDImage::Is3DTarget() const {
    return DisplayIs3D() && mSurface != nullptr && mSurface.get() == mDDInterface->GetDrawSurface() &&
           mDDInterface->Get3DLayer() != nullptr;
}

bool DDImage::IsDrawingSurfaceIn3D() const { return Is3DTarget(); }

bool DDImage::IsCursorAreaImage() const {
    return mDDInterface != nullptr &&
           (this == mDDInterface->mOldCursorAreaImage.get() || this == mDDInterface->mNewCursorAreaImage.get());
}

void DDImage::FinishSurfacePath() {
    if (mSurfaceTouched) DropMemoryCopies();
    mSurfaceTouched = false;
}

bool DDImage::BeginSurfaceRoutine() {
    if (!LockSurface()) return false;
    mSurfaceTouched = true;
    return true;
}

void DDImage::EndSurfaceRoutine() { UnlockSurface(); }

// ---- Drawing slots ----

bool DDImage::FillPoly3D(const Point* vertices, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                         int ty, bool) {
    if (!Is3DTarget()) return false;
    mDDInterface->Get3DLayer()->FillPoly(vertices, count, clip, color, drawMode, tx, ty);
    return true;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode) {
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->FillRect(rect, color, drawMode);
        return;
    }
    RefreshAlphaFlags();
    if (hasAlpha || hasTrans || DisplayIs3D() || mDDInterface == nullptr) {
        MemoryImage::FillRect(rect, color, drawMode);
        return;
    }
    mSurfaceTouched = false;
    if (drawMode == DRAWMODE_NORMAL)
        FillRectNormal(rect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        FillRectAdditive(rect, color);
    FinishSurfacePath();
}

void DDImage::DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) {
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (hasAlpha || hasTrans || DisplayIs3D() || mDDInterface == nullptr) {
        MemoryImage::DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (startY == endY) {
        const int x0 = static_cast<int>(std::min(startX, endX));
        const int x1 = static_cast<int>(std::max(startX, endX));
        FillRect(Rect(x0, static_cast<int>(startY), x1 - x0 + 1, static_cast<int>(endY - startY + 1)), color, drawMode);
        return;
    }
    if (startX == endX) {
        const int y0 = static_cast<int>(std::min(startY, endY));
        const int y1 = static_cast<int>(std::max(startY, endY));
        FillRect(Rect(static_cast<int>(startX), y0, static_cast<int>(endX - startX + 1), y1 - y0 + 1), color, drawMode);
        return;
    }
    RefreshAlphaFlags();
    mSurfaceTouched = false;
    if (drawMode == DRAWMODE_NORMAL)
        DrawLineNormal(startX, startY, endX, endY, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        DrawLineAdditive(startX, startY, endX, endY, color);
    FinishSurfacePath();
}

void DDImage::DrawLineAA(double startX, double startY, double endX, double endY, const Color& color, int drawMode) {
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (hasAlpha || hasTrans || DisplayIs3D() || mDDInterface == nullptr) {
        MemoryImage::DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (startY == endY || startX == endX) {
        DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    RefreshAlphaFlags();
    mSurfaceTouched = false;
    if (drawMode == DRAWMODE_NORMAL)
        DrawLineAANormal(startX, startY, endX, endY, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        DrawLineAAAdditive(startX, startY, endX, endY, color);
    // The additive form draws nothing, yet the routine ran on the surface.
    if (drawMode == DRAWMODE_ADDITIVE && mSurface != nullptr && !mNoLock) mSurfaceTouched = true;
    FinishSurfacePath();
}

void DDImage::FillSpansWithCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                    const uint8_t* coverage, int coverX, int coverY, int coverPitch, int coverHeight) {
    if (count <= 0 || spans == nullptr) return;
    if (Is3DTarget()) {
        int minX = spans[0].x, maxX = spans[0].x + spans[0].width - 1, minY = spans[0].y, maxY = spans[0].y;
        for (int i = 1; i < count; ++i) {
            minX = std::min(minX, spans[i].x);
            maxX = std::max(maxX, spans[i].x + spans[i].width - 1);
            minY = std::min(minY, spans[i].y);
            maxY = std::max(maxY, spans[i].y);
        }
        // The caller's spans are moved to the box's corner in place.
        Span* moved = const_cast<Span*>(spans);
        for (int i = 0; i < count; ++i) {
            moved[i].x -= minX;
            moved[i].y -= minY;
        }
        const int boxWidth = maxX - minX + 1, boxHeight = maxY - minY + 1;
        MemoryImage temp(app);
        temp.Create(boxWidth, boxHeight);
        temp.hasTrans = true;
        temp.hasAlpha = true;
        temp.MarkBitsChanged();
        temp.FillSpansWithCoverage(moved, count, color, drawMode, coverage, coverX - minX, coverY - minY, coverPitch,
                                   coverHeight);
        Blt(&temp, minX, minY, Rect(0, 0, boxWidth, boxHeight), Color::White, drawMode);
        mDDInterface->FreeImageTexture(&temp);  // also without a host, which would free it
        return;
    }
    if (mDDInterface == nullptr) {
        MemoryImage::FillSpansWithCoverage(spans, count, color, drawMode, coverage, coverX, coverY, coverPitch,
                                           coverHeight);
        return;
    }
    mSurfaceTouched = false;
    FillSpansWithCoverageSurface(spans, count, color, coverage, coverX, coverY, coverPitch);
    FinishSurfacePath();
}

void DDImage::Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    if (image == nullptr) return;
    image->drawn = true;
    RefreshAlphaFlags();
    if (Is3DTarget()) {
        // Surface images too go through their textures, which stay with them: a copy between
        // surfaces would make the device hand its pixels back to the drawing surface.
        mDDInterface->Get3DLayer()->Blt(image, static_cast<float>(x), static_cast<float>(y), srcRect, color, drawMode,
                                        false);
        return;
    }
    if (hasAlpha || hasTrans || (DisplayIs3D() && !IsCursorAreaImage()) || mDDInterface == nullptr) {
        MemoryImage::Blt(image, x, y, srcRect, color, drawMode);
        return;
    }
    mSurfaceTouched = false;
    if (drawMode == DRAWMODE_NORMAL)
        BltNormal(image, x, y, srcRect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        BltAdditive(image, x, y, srcRect, color);
    FinishSurfacePath();
}

void DDImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                   int drawMode) {
    if (image == nullptr) return;
    image->drawn = true;
    if (!Is3DTarget()) {
        BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
        return;
    }
    const DRect dest(x, y, srcRect.width, srcRect.height);
    const DRect cut = dest.Intersection(DRect(clipRect));
    Display3D* d3d = mDDInterface->Get3DLayer();
    if (cut.width == dest.width && cut.height == dest.height)
        d3d->Blt(image, x, y, srcRect, color, drawMode, true);
    else if (cut.width != 0 && cut.height != 0)
        d3d->BltClipF(image, x, y, srcRect, &clipRect, color, drawMode);
}

namespace {

// The rasteriser's format code for a locked surface; 0 when it has none.
int RasterFormatOf(const plat::dd::SurfaceDesc& desc) {
    if (desc.format.bitCount == 32) return 0x888;
    if (desc.format.bitCount == 16 && desc.format.redMask == 0xF800 && desc.format.greenMask == 0x7E0 &&
        desc.format.blueMask == 0x1F)
        return 0x565;
    if (desc.format.bitCount == 16 && desc.format.redMask == 0x7C00 && desc.format.greenMask == 0x3E0 &&
        desc.format.blueMask == 0x1F)
        return 0x555;
    return 0;
}

}  // namespace

template <typename Raster>
void DDImage::RasterOntoSurface(const Rect& clipRect, Raster&& raster) {
    if (!LockSurface()) return;
    const int format = RasterFormatOf(mLockedSurfaceDesc);
    if (format != 0) {
        mSurfaceTouched = true;
        raster(clipRect.Intersection(Rect(0, 0, width, height)), reinterpret_cast<uint32_t*>(mLockedSurfaceDesc.pixels),
               mLockedSurfaceDesc.pitch, format);
    }
    UnlockSurface();
    FinishSurfacePath();
}

void DDImage::BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect, const Color& color,
                        int drawMode, const Rect& srcRect, bool linearFilter) {
    if (image == nullptr) return;
    image->drawn = true;
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->BltTransformed(image, &clipRect, color, drawMode, srcRect, matrix, linearFilter, x,
                                                   y, true);
        return;
    }
    if (mDDInterface == nullptr) {
        MemoryImage::BltMatrix(image, x, y, matrix, clipRect, color, drawMode, srcRect, linearFilter);
        return;
    }
    RasterOntoSurface(clipRect, [&](const Rect& clip, uint32_t* pixels, int pitch, int format) {
        RasterizeMatrixQuad(image, x, y, matrix, clip, color, drawMode, srcRect, pixels, pitch, format, linearFilter);
    });
}

void DDImage::BltTexturedTriangles(Image* texture, const TriVertex (*triangles)[3], int triangleCount,
                                   const Rect& clipRect, const Color& color, int drawMode, float tx, float ty,
                                   bool linearFilter) {
    if (texture != nullptr) texture->drawn = true;
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->DrawTexturedTriangles(triangles, triangleCount, color, drawMode, texture, tx, ty,
                                                          linearFilter);
        return;
    }
    if (mDDInterface == nullptr) {
        MemoryImage::BltTexturedTriangles(texture, triangles, triangleCount, clipRect, color, drawMode, tx, ty,
                                          linearFilter);
        return;
    }
    RasterOntoSurface(clipRect, [&](const Rect& clip, uint32_t* pixels, int pitch, int format) {
        RasterizeTriangles(texture, triangles, triangleCount, clip, color, drawMode, tx, ty, pixels, pitch, format,
                           linearFilter);
    });
}

void DDImage::BltMirrored(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    if (image == nullptr) return;
    RefreshAlphaFlags();
    if (Is3DTarget()) {
        image->drawn = true;
        mDDInterface->Get3DLayer()->BltMirror(image, static_cast<float>(x), static_cast<float>(y), srcRect, color,
                                              drawMode, false);
        return;
    }
    if (mDDInterface == nullptr) return;
    mSurfaceTouched = false;
    if (drawMode == DRAWMODE_NORMAL)
        BltMirroredNormal(image, x, y, srcRect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        BltMirroredAdditive(image, x, y, srcRect, color);
    FinishSurfacePath();
}

void DDImage::SurfaceCopy(DDImage* source, int x, int y, const Rect& srcRect) {
    plat::dd::Surface* from = source->GetSurface();
    plat::dd::Surface* to = GetSurface();
    if (from == nullptr || to == nullptr) return;
    if (mLockCount > 0) to->Unlock();
    const plat::dd::Box dest{x, y, x + srcRect.width, y + srcRect.height};
    const plat::dd::Box src{srcRect.x, srcRect.y, srcRect.x + srcRect.width, srcRect.y + srcRect.height};
    uint32_t bltFlags = plat::dd::kBltWait;
    if (source->hasTrans) bltFlags |= plat::dd::kBltKeySrc;
    if (!plat::dd::Failed(to->Blt(&dest, from, &src, bltFlags))) mSurfaceTouched = true;
    if (mLockCount > 0 && plat::dd::Failed(to->Lock(&mLockedSurfaceDesc))) mLockedSurfaceDesc.pixels = nullptr;
}

// ---- Surface management ----

void DDImage::SetSurface(std::shared_ptr<plat::dd::Surface> surface) {
    mSurfaceSet = true;
    mSurface = std::move(surface);
    if (mSurface != nullptr) {
        plat::dd::SurfaceDesc desc;
        mSurface->GetDesc(&desc);
        width = desc.width;
        height = desc.height;
    }
    mNoLock = false;
}

plat::dd::Surface* DDImage::GetSurface() {
    if (mSurface == nullptr) BuildSurface();
    return mSurface.get();
}

bool DDImage::LockSurface() {
    if (Is3DTarget()) return false;
    if (mLockCount == 0) {
        mLockedSurfaceDesc = plat::dd::SurfaceDesc();
        if (mSurface == nullptr && !BuildSurface()) return false;
        if (mSurface == nullptr || plat::dd::Failed(mSurface->Lock(&mLockedSurfaceDesc))) return false;
    } else if (mLockedSurfaceDesc.pixels == nullptr) {
        // An outer lock lost its pixels when a display copy could not lock again afterwards.
        if (mSurface == nullptr || plat::dd::Failed(mSurface->Lock(&mLockedSurfaceDesc))) return false;
    }
    ++mLockCount;
    return true;
}

bool DDImage::UnlockSurface() {
    if (Is3DTarget() || mLockCount <= 0) return false;
    --mLockCount;
    if (mLockCount == 0 && mSurface != nullptr) mSurface->Unlock();
    return true;
}

void DDImage::ReleaseSurface() {
    if (mSurface == nullptr) return;
    if (bits == nullptr && palette == nullptr && textureData == nullptr) GetBits();
    mSurface.reset();
    mLockCount = 0;
}

void DDImage::DropMemoryCopies() {
    delete[] bits;
    bits = nullptr;
    FreePalette();
    FreeDerived();
}

void DDImage::SetVideoMemory(bool wantVideoMemory) {
    if (wantVideoMemory == mVideoMemory) return;
    mVideoMemory = wantVideoMemory;
    GetBits();
    ReleaseSurface();
}

bool DDImage::SetSurfaceColorKey() {
    if (!BuildSurface()) return false;
    return mNoLock;
}

uint32_t DDImage::ArgbToSurface(uint32_t p) const {
    const DDInterface& d = *mDDInterface;
    return (((p >> (24 - d.mRedBits)) << d.mRedShift) & d.mRedMask) |
           (((p >> (16 - d.mGreenBits)) << d.mGreenShift) & d.mGreenMask) |
           (((p >> (8 - d.mBlueBits)) << d.mBlueShift) & d.mBlueMask);
}

uint32_t DDImage::SurfaceToArgb(uint32_t f) const {
    const DDInterface& d = *mDDInterface;
    const uint32_t r = ((f >> d.mRedShift) << (8 - d.mRedBits)) & 0xFF;
    const uint32_t g = ((f >> d.mGreenShift) << (8 - d.mGreenBits)) & 0xFF;
    const uint32_t b = ((f >> d.mBlueShift) << (8 - d.mBlueBits)) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

namespace {

// The lowest value whose bit is clear in a set of 32-bit words; the candidate when none is.
uint32_t LowestFree(const std::vector<uint32_t>& used, uint32_t candidate) {
    for (size_t word = 0; word < used.size(); ++word) {
        if (used[word] == 0xFFFFFFFFu) continue;
        for (uint32_t bit = 0; bit < 32; ++bit)
            if (!(used[word] & (1u << bit))) return static_cast<uint32_t>(word * 32 + bit);
    }
    return candidate;
}

}  // namespace

bool DDImage::BuildSurface() {
    if (mSurface != nullptr) return true;
    if (mDDInterface == nullptr) return false;
    RefreshAlphaFlags();
    if (hasAlpha) return false;
    mWantDDSurface = true;
    if (palette != nullptr) GetBits();

    plat::dd::SurfaceRequest request;
    request.flags = plat::dd::kDescCaps | plat::dd::kDescHeight | plat::dd::kDescWidth;
    request.width = width;
    request.height = height;
    request.caps = mVideoMemory ? plat::dd::kCapsVideoMemory : plat::dd::kCapsSystemMemory;

    CritSectLock lock(mDDInterface->GetLock());
    std::shared_ptr<plat::dd::Surface> surface;
    if (plat::dd::Failed(mDDInterface->CreateSurface(request, &surface)) || surface == nullptr) return false;
    mSurface = surface;
    if (!LockSurface()) {
        // A surface that cannot be filled would hold garbage: let it go.
        mSurface.reset();
        mLockCount = 0;
        return false;
    }
    const plat::dd::SurfaceDesc& desc = mLockedSurfaceDesc;
    const size_t count = static_cast<size_t>(width) * height;
    if (desc.format.bitCount == 16 || desc.format.bitCount == 32) {
        const bool wide = desc.format.bitCount == 32;
        if (bits != nullptr) {
            std::vector<uint32_t> converted(count);
            uint32_t candidate = 0;
            bool candidateFound = false;
            for (size_t i = 0; i < count; ++i) {
                converted[i] = ArgbToSurface(bits[i]);
                if (!candidateFound && (bits[i] >> 24) < 255) {
                    candidate = wide ? bits[i] : converted[i];
                    candidateFound = true;
                }
            }
            uint32_t key = candidate;
            if (hasTrans) {
                bool collision = false;
                for (size_t i = 0; i < count && !collision; ++i)
                    if ((bits[i] >> 24) == 255 && converted[i] == candidate) collision = true;
                if (collision) {
                    std::vector<uint32_t> used(wide ? (1u << 24) / 32 : (1u << 16) / 32, 0);
                    for (size_t i = 0; i < count; ++i)
                        if ((bits[i] >> 24) > 0) {
                            const uint32_t v = converted[i] & (wide ? 0xFFFFFFu : 0xFFFFu);
                            used[v >> 5] |= 1u << (v & 31);
                        }
                    key = LowestFree(used, candidate);
                }
            }
            for (int y = 0; y < height; ++y) {
                uint8_t* row = desc.pixels + static_cast<size_t>(y) * desc.pitch;
                for (int x = 0; x < width; ++x) {
                    const size_t i = static_cast<size_t>(y) * width + x;
                    const uint32_t value = (hasTrans && (bits[i] >> 24) < 255) ? key : converted[i];
                    if (wide)
                        reinterpret_cast<uint32_t*>(row)[x] = value;
                    else
                        reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(value);
                }
            }
            if (hasTrans) mSurface->SetColorKey(key, key);
        } else if (hasTrans) {
            mSurface->SetColorKey(0, 0);
        }
    }
    UnlockSurface();
    if (desc.format.bitCount != 16 && desc.format.bitCount != 32) {
        mSurface.reset();
        mLockCount = 0;
        return false;
    }
    return true;
}

// ---- Pixel forms ----

void DDImage::Create(int newWidth, int newHeight) {
    delete[] bits;
    bits = nullptr;
    FreePalette();
    width = newWidth < 0 ? 0 : newWidth;
    height = newHeight < 0 ? 0 : newHeight;
    MarkBitsChanged();
}

void DDImage::MarkBitsChanged() {
    ++changeCount;
    bitsChanged = true;
    FreeDerived();
    // The memory pixels are the newer copy. A surface the display made stays: it is the
    // display's own drawing surface, not a copy of these pixels.
    if (!mSurfaceSet) {
        mSurface.reset();
        mLockCount = 0;
    }
}

void DDImage::RefreshAlphaFlags() {
    if (mSurface != nullptr) return;
    MemoryImage::RefreshAlphaFlags();
}

uint32_t* DDImage::GetBits() {
    if (bits != nullptr) return bits;
    if (mSurface == nullptr) return MemoryImage::GetBits();
    if (mNoLock || !LockSurface()) return nullptr;
    const plat::dd::SurfaceDesc& desc = mLockedSurfaceDesc;
    const size_t count = static_cast<size_t>(width) * height;
    uint32_t* out = AllocateBits(static_cast<int>(count));
    const bool keyed = hasTrans && mSurface->HasColorKey();
    const uint32_t key = mSurface->ColorKey();
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = desc.pixels + static_cast<size_t>(y) * desc.pitch;
        for (int x = 0; x < width; ++x) {
            const uint32_t value = desc.format.bitCount == 32 ? reinterpret_cast<const uint32_t*>(row)[x]
                                                              : reinterpret_cast<const uint16_t*>(row)[x];
            // Pixels written as the colour key were transparent.
            out[static_cast<size_t>(y) * width + x] = (keyed && value == key) ? 0u : SurfaceToArgb(value);
        }
    }
    UnlockSurface();
    bits = out;
    return bits;
}

void DDImage::DiscardBits() {
    if (mSurfaceSet) return;
    purgeBits = true;
    RefreshAlphaFlags();
    if (app != nullptr && app->Is3DAccelerated()) {
        if (mSurface != nullptr) {
            GetBits();
            mSurface.reset();
            mLockCount = 0;
        }
        MemoryImage::DiscardBits();
        return;
    }
    if (mWantDDSurface && BuildSurface()) {
        delete[] bits;
        bits = nullptr;
        FreePalette();
        return;
    }
    MemoryImage::DiscardBits();
}

void DDImage::FreeNativeData() {
    if (mSurfaceSet) return;
    if (bits == nullptr && colorIndices == nullptr) GetBits();
    delete[] nativeAlphaData;
    nativeAlphaData = nullptr;
    delete[] runLengthAdditiveData;
    runLengthAdditiveData = nullptr;
    ReleaseSurface();
}

void DDImage::FreeAllCaches() {
    if (mSurfaceSet) return;
    FreeSoftwareCaches();
    FreeTextureData();
    ReleaseSurface();
}

void DDImage::RestoreAfterReset() { RestoreSurface(); }

bool DDImage::RestoreSurface() {
    if (wantPalette) Palletize();
    if (purgeBits) DiscardBits();
    if (mWantDDSurface) return BuildSurface();
    return false;
}

bool DDImage::Palletize() {
    if (!MemoryImage::Palletize()) return false;
    ReleaseSurface();
    return true;
}

}  // namespace Velm
