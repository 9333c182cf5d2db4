#pragma once

#include <list>
#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/Font.h"
#include "graphics/Rect.h"

namespace Velm {

class FontData;
class FontHost;
class FontLayer;
class Image;

// A layer of the font data that takes part in an ImageFont at its current point size, scale
// and tags, with the image its glyphs are drawn from: the layer's own image, or a scaled copy
// owned by this record.
class ActiveFontLayer {
public:
    FontLayer* baseLayer = nullptr;
    Image* scaledImage = nullptr;
    bool ownsImage = false;
    Rect charRects[256];  // each character's rectangle in scaledImage

    ActiveFontLayer() = default;
    // A copy of a layer that owns its image gets its own copy of the image.
    ActiveFontLayer(const ActiveFontLayer& other);
    ActiveFontLayer& operator=(const ActiveFontLayer&) = delete;
    virtual ~ActiveFontLayer();
};

// One queued glyph draw: source rectangle of image drawn with its top-left corner at (x, y).
struct FontRenderCommand {
    Image* image = nullptr;
    int x = 0;
    int y = 0;
    Rect source;
    int drawMode = -1;  // -1: keep the drawing interface's mode
    Color color = Color(0, 0, 0, 255);
    FontRenderCommand* next = nullptr;  // next command of the same order
};

// The bitmap font: a shared FontData plus what one use of it adds, a point size, a scale and
// tags, which select the active layers. Metrics (ascent, height, ...) follow the active
// layers and are in pixels. Strings are drawn layer by layer through a process-wide pool of
// 4096 glyph draws sorted into 256 order buckets, so that a layer of lower order is drawn for
// every character before a layer of higher order is drawn for any; one string is drawn at a
// time in the process (the font lock). Layers are rebuilt lazily after a change of size, scale
// or tags. Characters index every table as unsigned char.
class ImageFont : public Font {
public:
    static const int kMaxRenderCommands = 4096;

    FontData* fontData = nullptr;
    int pointSize = 0;
    std::vector<std::string> tags;  // upper case
    bool activeLayersValid = false;
    std::list<ActiveFontLayer> activeLayers;
    double scale = 1.0;

    // From a descriptor file; whether it loaded is fontData->initialized.
    ImageFont(FontHost* app, const std::string& descriptorPath);
    // From an image with its glyphs side by side and a legacy width file.
    ImageFont(Image* image, const std::string& widthFile);
    ImageFont(const ImageFont& other);
    ImageFont& operator=(const ImageFont&) = delete;
    ~ImageFont() override;

    int StringWidth(const std::string& text) override;
    int CharWidth(char c) override;
    int CharWidthKern(char c, char prev) override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) override;
    Font* Duplicate() override;

    virtual void BuildActiveLayers();
    // drawnRects and width are optional outputs: every glyph's destination rectangle and the
    // pen advance. clip is not used: glyphs are clipped by g's own clip rectangle.
    virtual void DrawStringWithLayers(Graphics* g, int x, int y, const std::string& text, const Color& color,
                                      const Rect& clip, std::list<Rect>* drawnRects, int* width);
    virtual void SetPointSize(int size);
    virtual int GetPointSize();
    virtual void SetScale(double newScale);
    virtual int GetDefaultPointSize();
    virtual bool AddTag(const std::string& tag);
    virtual bool RemoveTag(const std::string& tag);
    virtual bool HasTag(const std::string& tag);
    // The descriptor's define of that name as text; "" when there is none.
    virtual std::string GetDefine(const std::string& name);
    virtual void EnsureActiveLayers();

private:
    double LayerScale(const FontLayer& layer) const;
};

}  // namespace Velm
