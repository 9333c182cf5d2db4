#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/Font.h"
#include "platform/Text.h"

namespace Velm {

class DDImage;
class DDInterface;
class FontHost;

// A font of the system (plat::text), used for the framework's default widget fonts, the
// diagnostic overlays and the "!sys:" font resources. Point sizes are converted at 96 dots
// per inch; ascent and height come from the font's metrics, ascentPadding and
// lineSpacingOffset stay 0. A face name that contains a '/' is the path of a font file.
//
// Strings are drawn with the top of the line at y - ascent. On a surface image (DDImage) the
// text is drawn straight onto its locked display surface in the surface's pixel format, one
// pixel lower (y - ascent + 1), without the Graphics' scale, draw mode or tint; the image's
// memory copies are dropped afterwards, and an image that gets no surface is not drawn on. The
// drawing surface of the 3D device gets the same text in the same place as an image drawn
// through the device, so that the device keeps its pixels. On any other
// destination it is rendered twice, over white and over black, the colour and coverage of
// every pixel are recovered from the two, and the result is drawn as an image at
// (x, y - ascent) with the Graphics' translation, clip, tint and draw mode. A shadow (black,
// one pixel right and down) and a simulated bold (every copy again one pixel to the right)
// add nothing to the measured width. Drawing thread only.
class SysFont : public Font {
public:
    std::unique_ptr<plat::text::TextFont> font;  // null when no face could be opened
    FontHost* app = nullptr;                     // not owned
    bool drawShadow = false;
    bool simulateBold = false;

    // On the process's font host, ANSI character set.
    SysFont(const std::string& face, int pointSize, bool bold = false, bool italic = false, bool underline = false);
    SysFont(FontHost* host, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
            bool underline);
    // A new font with the same attributes; the shadow and simulated bold are not copied.
    SysFont(const SysFont& other);
    SysFont& operator=(const SysFont&) = delete;
    ~SysFont() override;

    int StringWidth(const std::string& text) override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) override;
    Font* Duplicate() override;

private:
    void Init(FontHost* host, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
              bool underline);
    void DrawOnSurface(DDImage* image, Graphics* g, int x, int y, const std::string& text, uint32_t rgb,
                       const Rect& clip);
    // The drawing surface of the 3D device: the text as an image, put where and as the surface
    // routine puts it, through the device.
    void DrawThroughDevice(DDImage* image, Graphics* g, int x, int y, const std::string& text, uint32_t rgb,
                           const Rect& clip);
    // The text rendered into pixels of its own, StringWidth x height, colour and coverage as
    // alpha; empty when there is nothing to draw.
    std::vector<uint32_t> RenderPixels(const std::string& text, uint32_t rgb);
};

}  // namespace Velm
