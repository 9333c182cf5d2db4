#include "graphics/SysFont.h"

#include <algorithm>
#include <vector>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DrawMode.h"
#include "graphics/FontHost.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/DdSurface.h"

namespace Velm {

namespace {

const int kScreenDpi = 96;

// One copy of the text: its shadow first when wanted, then the text, each drawn twice when
// bold is simulated.
void RenderCopies(plat::text::TextFont* font, const std::string& text, int x, int top, uint32_t rgb,
                  const plat::text::PixelTarget& target, const Rect& clip, bool shadow, bool bold) {
    const int right = clip.x + clip.width;
    const int bottom = clip.y + clip.height;
    if (shadow) {
        font->DrawString(text, x + 1, top + 1, 0, target, clip.x, clip.y, right, bottom);
        if (bold) font->DrawString(text, x + 2, top + 1, 0, target, clip.x, clip.y, right, bottom);
    }
    font->DrawString(text, x, top, rgb, target, clip.x, clip.y, right, bottom);
    if (bold) font->DrawString(text, x + 1, top, rgb, target, clip.x, clip.y, right, bottom);
}

int Clamp255(int value) { return std::min(255, std::max(0, value)); }

// The pixel seen over white (w) and over black (b), both 0x00RRGGBB, as 0xAARRGGBB: per
// channel the coverage is b - w + 255 and the colour b * 255 / coverage; alpha is the
// smallest coverage. A channel whose coverage is 0 (only where coverage differs between
// channels) takes the value 0.
uint32_t RecoverPixel(uint32_t w, uint32_t b) {
    w &= 0xFFFFFF;
    b &= 0xFFFFFF;
    if (w == b) return 0xFF000000u | w;
    if (w == 0xFFFFFF && b == 0) return 0;
    int alpha = 255;
    uint32_t pixel = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const int overWhite = static_cast<int>((w >> shift) & 0xFF);
        const int overBlack = static_cast<int>((b >> shift) & 0xFF);
        const int coverage = Clamp255(overBlack - overWhite + 255);
        const int value = coverage != 0 ? Clamp255(overBlack * 255 / coverage) : 0;
        alpha = std::min(alpha, coverage);
        pixel |= static_cast<uint32_t>(value) << shift;
    }
    return (static_cast<uint32_t>(alpha) << 24) | pixel;
}

}  // namespace

SysFont::SysFont(const std::string& face, int pointSize, bool bold, bool italic, bool underline) {
    Init(GetFontHost(), face, pointSize, plat::text::kAnsiCharset, bold, italic, underline);
}

SysFont::SysFont(FontHost* host, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                 bool underline) {
    Init(host, face, pointSize, charSet, bold, italic, underline);
}

SysFont::SysFont(const SysFont& other) : Font(other), app(other.app) {
    if (other.font) font = plat::text::TextFont::Open(other.font->GetRequest());
}

SysFont::~SysFont() = default;

void SysFont::Init(FontHost* host, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                   bool underline) {
    app = host;
    plat::text::FontRequest request;
    if (face.find('/') != std::string::npos)
        request.path = face;
    else
        request.face = face;
    request.pixelHeight = plat::text::PointsToPixels(pointSize, kScreenDpi);
    request.bold = bold;
    request.italic = italic;
    request.underline = underline;
    request.charSet = charSet;
    font = plat::text::TextFont::Open(request);
    if (font) {
        ascent = font->GetAscent();
        height = font->GetHeight();
    }
    drawShadow = false;
    simulateBold = false;
}

int SysFont::StringWidth(const std::string& text) { return font ? font->MeasureString(text) : 0; }

void SysFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) {
    if (!font) return;
    const uint32_t rgb = (static_cast<uint32_t>(color.red & 0xFF) << 16) |
                         (static_cast<uint32_t>(color.green & 0xFF) << 8) | static_cast<uint32_t>(color.blue & 0xFF);

    if (DDImage* surfaceImage = dynamic_cast<DDImage*>(g->dest)) {
        // Writing on the 3D device's drawing surface would make the device hand its pixels back
        // and take them up again.
        if (surfaceImage->IsDrawingSurfaceIn3D())
            DrawThroughDevice(surfaceImage, g, x, y, text, rgb, clip);
        else
            DrawOnSurface(surfaceImage, g, x, y, text, rgb, clip);
        return;
    }
    if (g->dest->width <= 0 || g->dest->height <= 0) return;  // a Graphics without an image
    std::vector<uint32_t> pixels = RenderPixels(text, rgb);
    if (pixels.empty()) return;
    MemoryImage image(static_cast<ImageHost*>(nullptr));
    image.SetBits(pixels.data(), StringWidth(text), height);
    g->DrawImage(&image, x, y - ascent);
}

std::vector<uint32_t> SysFont::RenderPixels(const std::string& text, uint32_t rgb) {
    const int w = StringWidth(text);
    const int h = height;
    if (w <= 0 || h <= 0) return {};
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<uint32_t> overWhite(count, 0xFFFFFFu);
    std::vector<uint32_t> overBlack(count, 0u);
    const Rect whole(0, 0, w, h);
    plat::text::PixelTarget target;
    target.width = w;
    target.height = h;
    target.pitchBytes = w * 4;
    target.pixels = overWhite.data();
    RenderCopies(font.get(), text, 0, 0, rgb, target, whole, drawShadow, simulateBold);
    target.pixels = overBlack.data();
    RenderCopies(font.get(), text, 0, 0, rgb, target, whole, drawShadow, simulateBold);
    std::vector<uint32_t> pixels(count);
    for (size_t i = 0; i < count; ++i) pixels[i] = RecoverPixel(overWhite[i], overBlack[i]);
    return pixels;
}

void SysFont::DrawThroughDevice(DDImage* image, Graphics* g, int x, int y, const std::string& text, uint32_t rgb,
                                const Rect& clip) {
    // As on the surface: translated but not scaled, one pixel lower, cut by the clip, untinted.
    const Rect place(static_cast<int>(x + g->transX), static_cast<int>(y - ascent + 1 + g->transY), StringWidth(text),
                     height);
    const Rect cut = place.Intersection(clip);
    if (cut.width <= 0 || cut.height <= 0) return;
    std::vector<uint32_t> pixels = RenderPixels(text, rgb);
    if (pixels.empty()) return;
    MemoryImage textImage(static_cast<ImageHost*>(nullptr));
    textImage.SetBits(pixels.data(), place.width, place.height);
    image->Blt(&textImage, cut.x, cut.y, Rect(cut.x - place.x, cut.y - place.y, cut.width, cut.height), Color::White,
               DRAWMODE_NORMAL);
    // The image goes now; without a host nobody else would drop its textures.
    image->mDDInterface->FreeImageTexture(&textImage);
}

void SysFont::DrawOnSurface(DDImage* image, Graphics* g, int x, int y, const std::string& text, uint32_t rgb,
                            const Rect& clip) {
    if (image->mSurface == nullptr && !image->BuildSurface()) return;
    if (image->mSurface == nullptr) return;
    DDInterface* display = image->mDDInterface;
    if (display != nullptr && image == display->GetScreenImage() && display->Is3D() && display->Get3DLayer() != nullptr)
        display->Get3DLayer()->EndSceneIfOpen();

    // A surface locked by a caller is drawn on through that lock; otherwise it is locked for
    // the text alone.
    plat::dd::SurfaceDesc desc;
    const bool lockedOnEntry = image->mLockCount > 0;
    if (lockedOnEntry)
        desc = image->mLockedSurfaceDesc;
    else if (plat::dd::Failed(image->mSurface->Lock(&desc)))
        return;
    plat::text::PixelTarget target;
    target.pixels = desc.pixels;
    target.pitchBytes = desc.pitch;
    target.width = desc.width;
    target.height = desc.height;
    target.bitsPerPixel = desc.format.bitCount;
    target.redMask = desc.format.redMask;
    target.greenMask = desc.format.greenMask;
    target.blueMask = desc.format.blueMask;
    const int tx = static_cast<int>(x + g->transX);
    const int ty = static_cast<int>(y - ascent + 1 + g->transY);
    RenderCopies(font.get(), text, tx, ty, rgb, target, clip, drawShadow, simulateBold);
    if (!lockedOnEntry) image->mSurface->Unlock();
    image->DropMemoryCopies();
}

Font* SysFont::Duplicate() { return new SysFont(*this); }

}  // namespace Velm
