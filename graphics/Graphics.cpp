#include "graphics/Graphics.h"

#include <cmath>

#include "graphics/Font.h"
#include "graphics/Image.h"

namespace Velm {

namespace {

Image* EmptyImage() {
    static Image empty;
    return &empty;
}

}  // namespace

void GraphicsState::CopyStateFrom(const GraphicsState& other) { *this = other; }

Graphics::Graphics(Image* destImage) {
    if (destImage == nullptr) {
        dest = EmptyImage();
        is3D = false;
    } else {
        dest = destImage;
        is3D = destImage->IsDrawingSurfaceIn3D();
    }
    clip = Rect(0, 0, dest->width, dest->height);
}

Graphics::Graphics(const Graphics& other) : GraphicsState() { CopyStateFrom(other); }

Graphics::~Graphics() = default;

Graphics* Graphics::Duplicate() { return new Graphics(*this); }

void Graphics::PushState() { stateStack.push_back(static_cast<const GraphicsState&>(*this)); }

void Graphics::PopState() {
    if (stateStack.empty()) return;
    CopyStateFrom(stateStack.back());
    stateStack.pop_back();
}

void Graphics::Translate(int dx, int dy) {
    transX += dx;
    transY += dy;
}

void Graphics::ClearClipRect() { clip = Rect(0, 0, dest->width, dest->height); }

void Graphics::SetClipRect(int x, int y, int w, int h) {
    clip = Rect(0, 0, dest->width, dest->height).Intersection(Rect(TransX(x), TransY(y), w, h));
}

void Graphics::SetClipRect(const Rect& rect) { SetClipRect(rect.x, rect.y, rect.width, rect.height); }

void Graphics::ClipRect(int x, int y, int w, int h) { clip = clip.Intersection(Rect(TransX(x), TransY(y), w, h)); }

void Graphics::ClearRect(int x, int y, int w, int h) {
    dest->ClearRect(Rect(TransX(x), TransY(y), w, h).Intersection(clip));
}

void Graphics::ClearRect(const Rect& rect) { ClearRect(rect.x, rect.y, rect.width, rect.height); }

void Graphics::FillRect(int x, int y, int w, int h) {
    if (color.alpha == 0) return;
    dest->FillRect(Rect(TransX(x), TransY(y), w, h).Intersection(clip), color, drawMode);
}

void Graphics::FillRect(const Rect& rect) { FillRect(rect.x, rect.y, rect.width, rect.height); }

void Graphics::DrawRect(int x, int y, int w, int h) {
    if (color.alpha == 0) return;
    const Rect outline(TransX(x), TransY(y), w + 1, h + 1);
    if (outline.Intersection(clip) == outline) {
        dest->DrawRect(Rect(outline.x, outline.y, w, h), color, drawMode);
        return;
    }
    FillRect(x, y, w + 1, 1);
    FillRect(x, y + h, w + 1, 1);
    FillRect(x, y + 1, 1, h - 1);
    FillRect(x + w, y + 1, 1, h - 1);
}

void Graphics::DrawRect(const Rect& rect) { DrawRect(rect.x, rect.y, rect.width, rect.height); }

bool Graphics::ClipLine(double& startX, double& startY, double& endX, double& endY) {
    const double left = clip.x, right = clip.x + clip.width;
    const double top = clip.y, bottom = clip.y + clip.height;
    double x1 = startX, y1 = startY, x2 = endX, y2 = endY;
    // Cuts the line to lo <= a < hi along one axis (a), moving the other coordinate (b) along
    // the line; the ends are first put in order along that axis.
    auto cut = [](double& a1, double& b1, double& a2, double& b2, double lo, double hi) {
        if (a1 > a2) {
            std::swap(a1, a2);
            std::swap(b1, b2);
        }
        if (a1 < lo) {
            if (a2 < lo) return false;
            b1 += (b2 - b1) / (a2 - a1) * (lo - a1);
            a1 = lo;
        }
        if (a2 >= hi) {
            if (a1 >= hi) return false;
            b2 += (b2 - b1) / (a2 - a1) * ((hi - 1) - a2);
            a2 = hi - 1;
        }
        return true;
    };
    if (!cut(x1, y1, x2, y2, left, right) || !cut(y1, x1, y2, x2, top, bottom)) return false;
    startX = x1;
    startY = y1;
    endX = x2;
    endY = y2;
    return true;
}

void Graphics::DrawLine(int startX, int startY, int endX, int endY) {
    double x1 = startX + transX, y1 = startY + transY, x2 = endX + transX, y2 = endY + transY;
    if (ClipLine(x1, y1, x2, y2)) dest->DrawLine(x1, y1, x2, y2, color, drawMode);
}

void Graphics::DrawLineAA(int startX, int startY, int endX, int endY) {
    double x1 = startX + transX, y1 = startY + transY, x2 = endX + transX, y2 = endY + transY;
    if (ClipLine(x1, y1, x2, y2)) dest->DrawLineAA(x1, y1, x2, y2, color, drawMode);
}

void Graphics::DrawString(const std::string& text, int x, int y) {
    if (font != nullptr) font->DrawString(this, x, y, text, color, clip);
}

void Graphics::Stretch(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror) {
    if (mirror)
        dest->StretchBltMirrored(image, destRect, srcRect, clip, ImageColor(), drawMode, fastStretch);
    else
        dest->StretchBlt(image, destRect, srcRect, clip, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImage(Image* image, int x, int y) {
    if (image == nullptr) return;
    if (scaleX == 1.0f && scaleY == 1.0f) {
        const int tx = TransX(x), ty = TransY(y);
        const Rect r = Rect(tx, ty, image->width, image->height).Intersection(clip);
        if (r.width > 0 && r.height > 0)
            dest->Blt(image, r.x, r.y, Rect(r.x - tx, r.y - ty, r.width, r.height), ImageColor(), drawMode);
        return;
    }
    DrawImage(image, x, y, Rect(0, 0, image->width, image->height));
}

void Graphics::DrawImage(Image* image, int x, int y, const Rect& srcRect) {
    if (image == nullptr) return;
    if (!srcRect.LiesWithin(image->width, image->height)) return;
    const int tx = TransX(x), ty = TransY(y);
    if (scaleX == 1.0f && scaleY == 1.0f) {
        const Rect r = Rect(tx, ty, srcRect.width, srcRect.height).Intersection(clip);
        if (r.width > 0 && r.height > 0)
            dest->Blt(image, r.x, r.y, Rect(srcRect.x + r.x - tx, srcRect.y + r.y - ty, r.width, r.height),
                      ImageColor(), drawMode);
        return;
    }
    const Rect destRect(static_cast<int>(std::floor((tx - scaleOrigX) * scaleX) + scaleOrigX),
                        static_cast<int>(std::floor((ty - scaleOrigY) * scaleY) + scaleOrigY),
                        static_cast<int>(std::ceil(srcRect.width * scaleX)),
                        static_cast<int>(std::ceil(srcRect.height * scaleY)));
    Stretch(image, destRect, srcRect, false);
}

void Graphics::DrawImage(Image* image, int x, int y, int w, int h) {
    if (image == nullptr) return;
    Stretch(image, Rect(TransX(x), TransY(y), w, h), Rect(0, 0, image->width, image->height), false);
}

void Graphics::DrawImage(Image* image, const Rect& destRect, const Rect& srcRect) {
    if (image == nullptr) return;
    Stretch(image, Rect(TransX(destRect.x), TransY(destRect.y), destRect.width, destRect.height), srcRect, false);
}

void Graphics::DrawImageMirror(Image* image, int x, int y, const Rect& srcRect, bool mirror) {
    if (!mirror) {
        DrawImage(image, x, y, srcRect);
        return;
    }
    if (image == nullptr) return;
    if (!srcRect.LiesWithin(image->width, image->height)) return;
    const int tx = TransX(x), ty = TransY(y);
    const Rect r = Rect(tx, ty, srcRect.width, srcRect.height).Intersection(clip);
    if (r.width > 0 && r.height > 0) {
        // The visible part of the flipped source: what is cut at the right of the destination
        // comes off the left of the source.
        const Rect visible(srcRect.x + srcRect.width + tx - r.x - r.width, srcRect.y + r.y - ty, r.width, r.height);
        dest->BltMirrored(image, r.x, r.y, visible, ImageColor(), drawMode);
    }
}

void Graphics::DrawImageMirror(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror) {
    if (!mirror) {
        DrawImage(image, destRect, srcRect);
        return;
    }
    if (image == nullptr) return;
    Stretch(image, Rect(TransX(destRect.x), TransY(destRect.y), destRect.width, destRect.height), srcRect, true);
}

void Graphics::DrawImageF(Image* image, float x, float y) {
    if (image == nullptr) return;
    DrawImageF(image, x, y, Rect(0, 0, image->width, image->height));
}

void Graphics::DrawImageF(Image* image, float x, float y, const Rect& srcRect) {
    if (image == nullptr) return;
    dest->BltF(image, x + transX, y + transY, srcRect, clip, ImageColor(), drawMode);
}

void Graphics::DrawImageRotatedF(Image* image, float x, float y, double angle, float rotCenterX, float rotCenterY,
                                 const Rect* srcRect) {
    if (image == nullptr) return;
    const Rect src = srcRect ? *srcRect : Rect(0, 0, image->width, image->height);
    dest->BltRotated(image, x + transX, y + transY, src, clip, ImageColor(), drawMode, angle, rotCenterX, rotCenterY);
}

void Graphics::DrawImageRotated(Image* image, int x, int y, double angle, int rotCenterX, int rotCenterY,
                                const Rect* srcRect) {
    DrawImageRotatedF(image, static_cast<float>(x), static_cast<float>(y), angle, static_cast<float>(rotCenterX),
                      static_cast<float>(rotCenterY), srcRect);
}

void Graphics::DrawImageMatrix(Image* image, const Matrix3& matrix, float x, float y) {
    if (image == nullptr) return;
    DrawImageMatrix(image, matrix, Rect(0, 0, image->width, image->height), x, y);
}

void Graphics::DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& srcRect, float x, float y) {
    if (image == nullptr) return;
    dest->BltMatrix(image, x + transX, y + transY, matrix, clip, ImageColor(), drawMode, srcRect, linearFilter);
}

void Graphics::DrawImageTransform(Image* image, const Transform& transform, float x, float y) {
    if (image == nullptr) return;
    DrawImageTransformHelper(image, transform, Rect(0, 0, image->width, image->height), x, y, false);
}

void Graphics::DrawImageTransform(Image* image, const Transform& transform, const Rect& srcRect, float x, float y) {
    DrawImageTransformHelper(image, transform, srcRect, x, y, false);
}

void Graphics::DrawImageTransformF(Image* image, const Transform& transform, float x, float y) {
    if (image == nullptr) return;
    DrawImageTransformHelper(image, transform, Rect(0, 0, image->width, image->height), x, y, true);
}

void Graphics::DrawImageTransformF(Image* image, const Transform& transform, const Rect& srcRect, float x, float y) {
    DrawImageTransformHelper(image, transform, srcRect, x, y, true);
}

void Graphics::DrawImageTransformHelper(Image* image, const Transform& transform, const Rect& srcRect, float x, float y,
                                        bool useFloat) {
    if (image == nullptr) return;
    Transform t = transform;  // GetMatrix rebuilds the cached matrix
    const float halfW = srcRect.width * 0.5f;
    const float halfH = srcRect.height * 0.5f;
    if (t.complex || (useFloat && dest->IsDrawingSurfaceIn3D())) {
        DrawImageMatrix(image, t.GetMatrix(), srcRect, x, y);
        return;
    }
    if (t.hasRotation) {
        const float cx = halfW - t.preX;
        const float cy = halfH - t.preY;
        const float px = x + t.postX - cx + 0.5f;
        const float py = y + t.postY - cy + 0.5f;
        if (useFloat)
            DrawImageRotatedF(image, px, py, t.rotation, cx, cy, &srcRect);
        else
            DrawImageRotated(image, static_cast<int>(px), static_cast<int>(py), t.rotation, static_cast<int>(cx),
                             static_cast<int>(cy), &srcRect);
        return;
    }
    if (t.hasScale) {
        if (t.scaleX == -1.0f && t.scaleY == 1.0f) {
            DrawImageMirror(image, static_cast<int>(x + t.postX + t.preX - halfW + 0.5f),
                            static_cast<int>(y + t.postY + t.preY - halfH + 0.5f), srcRect, true);
            return;
        }
        const float sw = halfW * std::fabs(t.scaleX);
        const float sh = halfH * t.scaleY;
        const Rect destRect(static_cast<int>(x + t.postX - sw), static_cast<int>(y + t.postY - sh),
                            static_cast<int>(2 * sw), static_cast<int>(2 * sh));
        DrawImageMirror(image, destRect, srcRect, t.scaleX == -1.0f);
        return;
    }
    const float px = x + t.postX + t.preX - halfW + 0.5f;
    const float py = y + t.postY + t.preY - halfH + 0.5f;
    if (useFloat)
        DrawImageF(image, px, py, srcRect);
    else
        DrawImage(image, static_cast<int>(px), static_cast<int>(py), srcRect);
}

void Graphics::DrawImageBox(const Rect& destRect, Image* image) {
    if (image == nullptr) return;
    DrawImageBox(Rect(0, 0, image->width, image->height), destRect, image);
}

void Graphics::DrawImageBox(const Rect& srcRect, const Rect& destRect, Image* image) {
    if (image == nullptr) return;
    const int sx = srcRect.x, sy = srcRect.y, sw = srcRect.width, sh = srcRect.height;
    const int dx = destRect.x, dy = destRect.y, dw = destRect.width, dh = destRect.height;
    if (sw < 1 || sh < 1) return;
    const int cw = sw / 3, ch = sh / 3;
    const int mw = sw - 2 * cw, mh = sh - 2 * ch;
    const int edgeW = dw - 2 * cw, edgeH = dh - 2 * ch;
    const int columns = edgeW > 0 ? (edgeW + mw - 1) / mw : 0;
    const int rows = edgeH > 0 ? (edgeH + mh - 1) / mh : 0;

    DrawImage(image, dx, dy, Rect(sx, sy, cw, ch));
    DrawImage(image, dx + dw - cw, dy, Rect(sx + cw + mw, sy, cw, ch));
    DrawImage(image, dx, dy + dh - ch, Rect(sx, sy + ch + mh, cw, ch));
    DrawImage(image, dx + dw - cw, dy + dh - ch, Rect(sx + cw + mw, sy + ch + mh, cw, ch));

    Graphics across(*this);
    across.ClipRect(dx + cw, dy, edgeW, dh);
    for (int i = 0; i < columns; ++i) {
        across.DrawImage(image, dx + cw + i * mw, dy, Rect(sx + cw, sy, mw, ch));
        across.DrawImage(image, dx + cw + i * mw, dy + dh - ch, Rect(sx + cw, sy + ch + mh, mw, ch));
    }

    Graphics down(*this);
    down.ClipRect(dx, dy + ch, dw, edgeH);
    for (int j = 0; j < rows; ++j) {
        down.DrawImage(image, dx, dy + ch + j * mh, Rect(sx, sy + ch, cw, mh));
        down.DrawImage(image, dx + dw - cw, dy + ch + j * mh, Rect(sx + cw + mw, sy + ch, cw, mh));
    }

    Graphics middle(*this);
    middle.ClipRect(dx + cw, dy + ch, edgeW, edgeH);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j)
            middle.DrawImage(image, dx + cw + i * mw, dy + ch + j * mh, Rect(sx + cw, sy + ch, mw, mh));
}

}  // namespace Velm
