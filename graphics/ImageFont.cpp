#include "graphics/ImageFont.h"

#include <algorithm>
#include <cctype>
#include <mutex>

#include "graphics/FontData.h"
#include "graphics/FontHost.h"
#include "graphics/Graphics.h"
#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"

namespace Velm {

namespace {

// The glyph draws of the string being drawn, shared by every image font of the process:
// a fixed pool of commands and, per draw order, a chain of the commands of that order in the
// order they were queued. Order o goes into bucket o + 128, limited to 0..255.
struct RenderPool {
    std::recursive_mutex lock;  // the font lock
    FontRenderCommand commands[ImageFont::kMaxRenderCommands];
    FontRenderCommand* first[256] = {};
    FontRenderCommand* last[256] = {};
    int used = 0;
};

RenderPool& Pool() {
    static RenderPool pool;
    return pool;
}

std::string Upper(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

FontHost* HostOf(const FontLayer* layer) {
    return layer != nullptr && layer->fontData != nullptr ? layer->fontData->app : nullptr;
}

}  // namespace

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
        : baseLayer(other.baseLayer), scaledImage(other.scaledImage), ownsImage(other.ownsImage) {
    std::copy(std::begin(other.charRects), std::end(other.charRects), std::begin(charRects));
    if (ownsImage && scaledImage != nullptr) {
        FontHost* host = HostOf(baseLayer);
        FontHost plain;
        scaledImage = (host != nullptr ? host : &plain)->CopyImage(other.scaledImage);
        ownsImage = scaledImage != nullptr;
    }
}

ActiveFontLayer::~ActiveFontLayer() {
    if (ownsImage) delete scaledImage;
}

ImageFont::ImageFont(FontHost* app, const std::string& descriptorPath) : fontData(new FontData()) {
    fontData->refCount = 1;
    fontData->Load(app, descriptorPath);
    pointSize = fontData->defaultPointSize;
    BuildActiveLayers();
    activeLayersValid = true;
}

ImageFont::ImageFont(Image* image, const std::string& widthFile) : fontData(new FontData()) {
    fontData->refCount = 1;
    fontData->LoadLegacy(image, widthFile);
    pointSize = fontData->defaultPointSize;
    BuildActiveLayers();
    activeLayersValid = true;
}

ImageFont::ImageFont(const ImageFont& other)
        : Font(other),
          fontData(other.fontData),
          pointSize(other.pointSize),
          tags(other.tags),
          activeLayersValid(other.activeLayersValid),
          scale(other.scale) {
    ++fontData->refCount;
    if (activeLayersValid)
        for (const ActiveFontLayer& layer : other.activeLayers) activeLayers.push_back(layer);
}

ImageFont::~ImageFont() {
    if (--fontData->refCount == 0) delete fontData;
    activeLayers.clear();
}

double ImageFont::LayerScale(const FontLayer& layer) const {
    return layer.pointSize != 0 ? pointSize * scale / layer.pointSize : scale;
}

void ImageFont::BuildActiveLayers() {
    if (!fontData->initialized) return;
    activeLayers.clear();
    ascent = 0;
    ascentPadding = 0;
    height = 0;
    lineSpacingOffset = 0;
    bool first = true;
    for (FontLayer& layer : fontData->layers) {
        if (pointSize < layer.minPointSize) continue;
        if (layer.maxPointSize != -1 && pointSize > layer.maxPointSize) continue;
        bool tagsMatch = true;
        for (const std::string& tag : layer.requiredTags)
            if (std::find(tags.begin(), tags.end(), tag) == tags.end()) tagsMatch = false;
        for (const std::string& tag : tags)
            if (std::find(layer.excludedTags.begin(), layer.excludedTags.end(), tag) != layer.excludedTags.end())
                tagsMatch = false;
        if (!tagsMatch) continue;

        activeLayers.emplace_back();
        ActiveFontLayer& active = activeLayers.back();
        active.baseLayer = &layer;
        const bool unscaled = scale == 1.0 && (layer.pointSize == 0 || layer.pointSize == pointSize);
        const double k = unscaled ? 1.0 : LayerScale(layer);
        if (unscaled) {
            active.scaledImage = layer.image.GetImage();
            for (int c = 0; c < 256; ++c) active.charRects[c] = layer.chars[c].imageRect;
        } else {
            // Every glyph stretched into a strip of its own, side by side.
            int stripWidth = 0;
            int stripHeight = 0;
            for (int c = 0; c < 256; ++c) {
                const Rect& source = layer.chars[c].imageRect;
                const int w = static_cast<int>(source.width * k);
                const int h = static_cast<int>(source.height * k);
                active.charRects[c] = Rect(stripWidth, 0, w, h);
                stripWidth += w;
                stripHeight = std::max(stripHeight, h);
            }
            FontHost* host = fontData->app;
            MemoryImage* strip = new MemoryImage(host != nullptr ? host->GetImageHost() : GetImageHost());
            strip->Create(std::max(stripWidth, 0), std::max(stripHeight, 0));
            Image* source = layer.image.GetImage();
            if (source != nullptr) {
                Graphics g(strip);
                g.SetTintImages(false);
                g.SetFastStretch(false);
                for (int c = 0; c < 256; ++c) {
                    const Rect& dest = active.charRects[c];
                    if (dest.width <= 0 || dest.height <= 0) continue;
                    g.DrawImage(source, dest, layer.chars[c].imageRect);
                }
            }
            strip->Palletize();
            active.scaledImage = strip;
            active.ownsImage = true;
        }
        auto f = [&](int v) { return unscaled ? v : static_cast<int>(v * k); };
        ascent = std::max(ascent, f(layer.ascent));
        height = std::max(height, f(layer.height != 0 ? layer.height : layer.defaultHeight));
        ascentPadding = first ? f(layer.ascentPadding) : std::min(ascentPadding, f(layer.ascentPadding));
        lineSpacingOffset =
                first ? f(layer.lineSpacingOffset) : std::max(lineSpacingOffset, f(layer.lineSpacingOffset));
        first = false;
    }
}

void ImageFont::EnsureActiveLayers() {
    if (activeLayersValid) return;
    BuildActiveLayers();
    activeLayersValid = true;
}

int ImageFont::CharWidthKern(char c, char prev) {
    EnsureActiveLayers();
    const unsigned char ch = fontData->charMap[static_cast<unsigned char>(c)];
    const unsigned char before = prev != 0 ? fontData->charMap[static_cast<unsigned char>(prev)] : 0;
    int widest = 0;
    for (const ActiveFontLayer& active : activeLayers) {
        const FontLayer& layer = *active.baseLayer;
        const double k = LayerScale(layer);
        const int advance = static_cast<int>(layer.chars[ch].width * k);
        const int kern = prev != 0 ? static_cast<int>((layer.chars[before].kerningOffsets[ch] + layer.spacing) * k) : 0;
        widest = std::max(widest, advance + kern);
    }
    return widest;
}

int ImageFont::CharWidth(char c) { return CharWidthKern(c, 0); }

int ImageFont::StringWidth(const std::string& text) {
    int width = 0;
    char prev = 0;
    for (char c : text) {
        width += CharWidthKern(c, prev);
        prev = c;
    }
    return width;
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) {
    DrawStringWithLayers(g, x, y, text, color, clip, nullptr, nullptr);
}

void ImageFont::DrawStringWithLayers(Graphics* g, int x, int y, const std::string& text, const Color& color,
                                     const Rect&, std::list<Rect>* drawnRects, int* width) {
    RenderPool& pool = Pool();
    std::lock_guard<std::recursive_mutex> hold(pool.lock);
    std::fill(std::begin(pool.first), std::end(pool.first), nullptr);
    std::fill(std::begin(pool.last), std::end(pool.last), nullptr);
    pool.used = 0;
    if (drawnRects != nullptr) drawnRects->clear();
    if (!fontData->initialized) {
        if (width != nullptr) *width = 0;
        return;
    }
    EnsureActiveLayers();
    const bool tinted = g->GetTintImages();
    g->SetTintImages(true);

    int pen = x;
    const size_t length = text.size();
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = fontData->charMap[static_cast<unsigned char>(text[i])];
        const unsigned char next = i + 1 < length ? fontData->charMap[static_cast<unsigned char>(text[i + 1])] : 0;
        int reach = pen;
        for (const ActiveFontLayer& active : activeLayers) {
            const FontLayer& layer = *active.baseLayer;
            const CharData& ch = layer.chars[c];
            const double k = LayerScale(layer);
            int gx;
            int gy;
            int advance;
            int kern;
            if (k == 1.0) {
                gx = pen + layer.offset.x + ch.offset.x;
                gy = y + ch.offset.y - layer.ascent + layer.offset.y;
                advance = ch.width;
                kern = next != 0 ? ch.kerningOffsets[next] + layer.spacing : 0;
            } else {
                gx = pen + static_cast<int>((layer.offset.x + ch.offset.x) * k);
                gy = y - static_cast<int>((layer.ascent - ch.offset.y - layer.offset.y) * k);
                advance = static_cast<int>(ch.width * k);
                kern = next != 0 ? static_cast<int>((ch.kerningOffsets[next] + layer.spacing) * k) : 0;
            }
            Color glyphColor;
            for (int channel = 0; channel < 4; ++channel) {
                const int value = layer.colorMult[channel] * color[channel] / 255 + layer.colorAdd[channel];
                glyphColor[channel] = value >= 255 ? 255 : value;
            }
            const int bucket = std::clamp(layer.baseOrder + ch.order + 128, 0, 255);
            if (pool.used == kMaxRenderCommands) break;
            FontRenderCommand& command = pool.commands[pool.used++];
            command.image = active.scaledImage;
            command.x = gx;
            command.y = gy;
            command.source = active.charRects[c];
            command.drawMode = layer.drawMode;
            command.color = glyphColor;
            command.next = nullptr;
            if (pool.last[bucket] != nullptr)
                pool.last[bucket]->next = &command;
            else
                pool.first[bucket] = &command;
            pool.last[bucket] = &command;
            if (drawnRects != nullptr) drawnRects->push_back(Rect(gx, gy, command.source.width, command.source.height));
            reach = std::max(reach, pen + advance + kern);
        }
        pen = reach;
    }
    if (width != nullptr) *width = pen - x;

    const Color oldColor = g->GetColor();
    for (int bucket = 0; bucket < 256; ++bucket) {
        for (FontRenderCommand* command = pool.first[bucket]; command != nullptr; command = command->next) {
            const int oldMode = g->GetDrawMode();
            if (command->drawMode != -1) g->SetDrawMode(command->drawMode);
            g->SetColor(command->color);
            if (command->image != nullptr) g->DrawImage(command->image, command->x, command->y, command->source);
            g->SetDrawMode(oldMode);
        }
    }
    g->SetColor(oldColor);
    g->SetTintImages(tinted);
}

Font* ImageFont::Duplicate() { return new ImageFont(*this); }

void ImageFont::SetPointSize(int size) {
    pointSize = size;
    activeLayersValid = false;
}

int ImageFont::GetPointSize() { return pointSize; }

void ImageFont::SetScale(double newScale) {
    scale = newScale;
    activeLayersValid = false;
}

int ImageFont::GetDefaultPointSize() { return fontData->defaultPointSize; }

bool ImageFont::AddTag(const std::string& tag) {
    if (HasTag(tag)) return false;
    tags.push_back(Upper(tag));
    activeLayersValid = false;
    return true;
}

bool ImageFont::RemoveTag(const std::string& tag) {
    auto it = std::find(tags.begin(), tags.end(), Upper(tag));
    if (it == tags.end()) return false;
    tags.erase(it);
    activeLayersValid = false;
    return true;
}

bool ImageFont::HasTag(const std::string& tag) { return std::find(tags.begin(), tags.end(), Upper(tag)) != tags.end(); }

std::string ImageFont::GetDefine(const std::string& name) {
    DataElement* value = fontData->Dereference(name);
    return value != nullptr ? fontData->DataElementToString(value) : std::string();
}

}  // namespace Velm
