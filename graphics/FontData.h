#pragma once

#include <list>
#include <map>
#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/DescParser.h"
#include "graphics/Point.h"
#include "graphics/Rect.h"
#include "graphics/SharedImage.h"

namespace Velm {

class FontData;
class FontHost;
class Image;

// One character of one font layer. Positions and sizes are in pixels of the layer image.
struct CharData {
    Rect imageRect;                     // where the glyph lies in the layer image
    Point offset;                       // added to the pen position when the glyph is drawn
    signed char kerningOffsets[256]{};  // extra advance when the character of that index follows
    int width = 0;                      // advance
    int order = 0;                      // draw order within the layer (added to the base order)
};

// One layer of a bitmap font: a glyph image with its per-character rectangles, metrics and
// draw order, a colouring, and the conditions (tags, point-size range) under which it takes
// part. Copying a layer shares its image handle (counted).
class FontLayer {
public:
    FontData* fontData = nullptr;
    std::vector<std::string> requiredTags;  // upper case
    std::vector<std::string> excludedTags;  // upper case
    CharData chars[256];
    Color colorMult = Color::White;
    Color colorAdd = Color(0, 0, 0, 0);
    SharedImageHandle image;
    int drawMode = -1;  // DrawMode, or -1 to keep the drawing interface's mode
    Point offset;
    int spacing = 0;
    int minPointSize = -1;
    int maxPointSize = -1;  // -1: no upper bound
    int pointSize = 0;      // size the layer is made for; 0: not scaled by point size
    int ascent = 0;
    int ascentPadding = 0;
    int height = 0;         // 0: defaultHeight
    int defaultHeight = 0;  // tallest glyph, from LayerSetImageMap
    int lineSpacingOffset = 0;
    int baseOrder = 0;

    explicit FontLayer(FontData* owner = nullptr);
};

// The description of one bitmap font, built once from a font descriptor file (or from an
// image and a legacy width file) and shared, reference-counted, by every ImageFont made from
// it. Characters are translated through charMap and index every table as unsigned char.
// Errors in a descriptor are shown to the user through the host with the file, the line and
// the failing command; the first failing command ends the load and leaves the font
// uninitialized (it then measures 0 and draws nothing).
class FontData : public DescParser {
public:
    bool initialized = false;
    int refCount = 0;
    FontHost* app = nullptr;  // loads layer images and shows errors; not owned
    int defaultPointSize = 0;
    unsigned char charMap[256];
    std::list<FontLayer> layers;                   // creation order = drawing order
    std::map<std::string, FontLayer*> layerNames;  // upper-cased names
    std::string sourcePath;
    std::string errorHeader;

    FontData();
    ~FontData() override;

    // Runs the descriptor; the outcome is in initialized. False only when already loaded.
    bool Load(FontHost* host, const std::string& path);
    // An image with its glyphs side by side and a width file read from the disk: the advance
    // of the space and the ascent, then pairs of a character and its width.
    bool LoadLegacy(Image* image, const std::string& path);

    bool Error(const std::string& message) override;
    bool HandleCommand(ListDataElement* command) override;
    bool GetLayer(DataElement* value, FontLayer*& out);
    bool GetColor(DataElement* value, Color& out);

private:
    bool GetIntToken(DataElement* value, int* out);
    bool RegisterLayer(const std::string& name, FontLayer* layer);
    bool CmdDefine(ListDataElement* command);
    bool CmdCreateHorzSpanRectList(ListDataElement* command);
    bool CmdSetCharMap(ListDataElement* command);
    bool CmdCreateLayer(ListDataElement* command, bool fromSource);
    bool CmdLayerTags(ListDataElement* command, bool required);
    bool CmdLayerSetImage(ListDataElement* command);
    bool CmdLayerSetImageMap(ListDataElement* command);
    bool CmdLayerSetCharOffsets(ListDataElement* command);
    bool CmdLayerSetKerningPairs(ListDataElement* command);
    // LayerSetCharWidths and LayerSetCharOrders: characters with one integer each.
    bool CmdLayerSetCharInts(ListDataElement* command, bool orders);
};

}  // namespace Velm
