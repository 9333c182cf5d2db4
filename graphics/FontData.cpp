#include "graphics/FontData.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "graphics/FontHost.h"
#include "graphics/MemoryImage.h"
#include "platform/Files.h"
#include "resources/base/Paths.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

const char kInvalidType[] = "Invalid Paramater Type";
const char kSizeMismatch[] = "List Size Mismatch";

enum CommandId {
    Cmd_Define,
    Cmd_CreateHorzSpanRectList,
    Cmd_SetDefaultPointSize,
    Cmd_SetCharMap,
    Cmd_CreateLayer,
    Cmd_CreateLayerFrom,
    Cmd_LayerRequireTags,
    Cmd_LayerExcludeTags,
    Cmd_LayerPointRange,
    Cmd_LayerSetPointSize,
    Cmd_LayerSetHeight,
    Cmd_LayerSetImage,
    Cmd_LayerSetDrawMode,
    Cmd_LayerSetColorMult,
    Cmd_LayerSetColorAdd,
    Cmd_LayerSetAscent,
    Cmd_LayerSetAscentPadding,
    Cmd_LayerSetLineSpacingOffset,
    Cmd_LayerSetOffset,
    Cmd_LayerSetCharWidths,
    Cmd_LayerSetSpacing,
    Cmd_LayerSetImageMap,
    Cmd_LayerSetCharOffsets,
    Cmd_LayerSetKerningPairs,
    Cmd_LayerSetBaseOrder,
    Cmd_LayerSetCharOrders,
};

// Command names in the order they are matched, with the number of items including the name.
struct CommandInfo {
    const char* name;
    int count;
};
const CommandInfo kCommands[] = {
        {"Define", 3},
        {"CreateHorzSpanRectList", 4},
        {"SetDefaultPointSize", 2},
        {"SetCharMap", 3},
        {"CreateLayer", 2},
        {"CreateLayerFrom", 3},
        {"LayerRequireTags", 3},
        {"LayerExcludeTags", 3},
        {"LayerPointRange", 4},
        {"LayerSetPointSize", 3},
        {"LayerSetHeight", 3},
        {"LayerSetImage", 3},
        {"LayerSetDrawMode", 3},
        {"LayerSetColorMult", 3},
        {"LayerSetColorAdd", 3},
        {"LayerSetAscent", 3},
        {"LayerSetAscentPadding", 3},
        {"LayerSetLineSpacingOffset", 3},
        {"LayerSetOffset", 3},
        {"LayerSetCharWidths", 4},
        {"LayerSetSpacing", 3},
        {"LayerSetImageMap", 4},
        {"LayerSetCharOffsets", 4},
        {"LayerSetKerningPairs", 4},
        {"LayerSetBaseOrder", 3},
        {"LayerSetCharOrders", 4},
};

bool EqualNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

unsigned char CharIndex(const std::string& text) { return static_cast<unsigned char>(text[0]); }

}  // namespace

FontLayer::FontLayer(FontData* owner) : fontData(owner) {}

FontData::FontData() {
    for (int i = 0; i < 256; ++i) charMap[i] = static_cast<unsigned char>(i);
}

FontData::~FontData() = default;

bool FontData::Load(FontHost* host, const std::string& path) {
    if (initialized) return false;
    app = host;
    currentCommand.clear();
    errorHeader = "Font Descriptor Error in " + path + "\r\n";
    sourcePath = path;
    initialized = LoadDescriptor(path);
    return true;
}

bool FontData::LoadLegacy(Image* image, const std::string& path) {
    if (initialized) return false;
    layers.emplace_back(this);
    FontLayer* layer = &layers.back();
    layerNames[""] = layer;
    layer->image = dynamic_cast<MemoryImage*>(image);
    const int imageHeight = image != nullptr ? image->height : 0;
    layer->defaultHeight = imageHeight;
    layer->ascent = imageHeight;

    FILE* file = plat::OpenFile(path, "r");
    if (file == nullptr) return false;
    sourcePath = path;

    int spaceWidth = 0;
    int ascentValue = 0;
    if (std::fscanf(file, "%d%d", &spaceWidth, &ascentValue) != 2) {
        // Not a width file: the font stays uninitialized rather than half described.
        std::fclose(file);
        return false;
    }
    layer->chars[static_cast<unsigned char>(' ')].width = spaceWidth;
    layer->ascent = ascentValue;

    char glyph[2] = {0, 0};
    int width = 0;
    int x = 0;
    while (std::fscanf(file, "%1s%d", glyph, &width) == 2) {
        CharData& data = layer->chars[static_cast<unsigned char>(glyph[0])];
        data.imageRect = Rect(x, 0, width, imageHeight);
        data.width = width;
        x += width;
    }
    for (int c = 'A'; c <= 'Z'; ++c)
        if (layer->chars[c].width == 0 && layer->chars[c - 'A' + 'a'].width != 0)
            charMap[c] = static_cast<unsigned char>(c - 'A' + 'a');
    for (int c = 'a'; c <= 'z'; ++c)
        if (layer->chars[c].width == 0 && layer->chars[c - 'a' + 'A'].width != 0)
            charMap[c] = static_cast<unsigned char>(c - 'a' + 'A');
    initialized = true;
    std::fclose(file);
    return true;
}

bool FontData::Error(const std::string& message) {
    if (app != nullptr) {
        std::string text = errorHeader + message;
        if (currentLine > 0) text += FormatString(" on Line %d:\r\n\r\n", currentLine) + currentCommand;
        app->Popup(text);
    }
    return false;
}

bool FontData::GetLayer(DataElement* value, FontLayer*& out) {
    if (value->isList) return false;
    auto it = layerNames.find(UpperName(static_cast<SingleDataElement*>(value)->value));
    if (it == layerNames.end()) return Error("Undefined Layer");
    out = it->second;
    return true;
}

bool FontData::GetColor(DataElement* value, Color& out) {
    if (value->isList) {
        std::vector<double> channels;
        if (!GetDoubleVector(value, &channels) || channels.size() != 4) return false;
        out = Color(static_cast<int>(channels[0] * 255), static_cast<int>(channels[1] * 255),
                    static_cast<int>(channels[2] * 255), static_cast<int>(channels[3] * 255));
        return true;
    }
    int argb = 0;
    if (!StringToInt(static_cast<SingleDataElement*>(value)->value, &argb)) return false;
    const int alpha = (argb >> 24) & 0xFF;
    out = Color((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, alpha == 0 ? 255 : alpha);
    return true;
}

bool FontData::GetIntToken(DataElement* value, int* out) {
    if (value->isList) return false;
    return StringToInt(static_cast<SingleDataElement*>(value)->value, out);
}

bool FontData::RegisterLayer(const std::string& name, FontLayer* layer) {
    const std::string key = UpperName(name);
    if (layerNames.count(key) != 0) {
        // Reported, but the command succeeds: the new layer stays in the list unnamed.
        Error("Layer Already Exists");
        return true;
    }
    layerNames[key] = layer;
    return true;
}

bool FontData::HandleCommand(ListDataElement* command) {
    const std::string& name = static_cast<SingleDataElement*>(command->items[0])->value;
    int id = -1;
    for (int i = 0; i < static_cast<int>(sizeof(kCommands) / sizeof(kCommands[0])); ++i) {
        if (EqualNoCase(name, kCommands[i].name)) {
            id = i;
            break;
        }
    }
    if (id < 0) return Error("Unknown Command");
    if (static_cast<int>(command->items.size()) != kCommands[id].count) return Error("Invalid Number of Parameters");
    std::vector<DataElement*>& items = command->items;

    switch (id) {
        case Cmd_Define: return CmdDefine(command);
        case Cmd_CreateHorzSpanRectList: return CmdCreateHorzSpanRectList(command);
        case Cmd_SetDefaultPointSize:
            if (!GetIntToken(items[1], &defaultPointSize)) return Error(kInvalidType);
            return true;
        case Cmd_SetCharMap: return CmdSetCharMap(command);
        case Cmd_CreateLayer: return CmdCreateLayer(command, false);
        case Cmd_CreateLayerFrom: return CmdCreateLayer(command, true);
        case Cmd_LayerRequireTags: return CmdLayerTags(command, true);
        case Cmd_LayerExcludeTags: return CmdLayerTags(command, false);
        case Cmd_LayerSetImage: return CmdLayerSetImage(command);
        case Cmd_LayerSetImageMap: return CmdLayerSetImageMap(command);
        case Cmd_LayerSetCharOffsets: return CmdLayerSetCharOffsets(command);
        case Cmd_LayerSetKerningPairs: return CmdLayerSetKerningPairs(command);
        case Cmd_LayerSetCharWidths: return CmdLayerSetCharInts(command, false);
        case Cmd_LayerSetCharOrders: return CmdLayerSetCharInts(command, true);
        default: break;
    }

    // The remaining commands take a layer and plain values.
    FontLayer* layer = nullptr;
    if (!GetLayer(items[1], layer)) return Error(kInvalidType);
    switch (id) {
        case Cmd_LayerPointRange: {
            int minSize = 0;
            int maxSize = 0;
            if (!GetIntToken(items[2], &minSize) || !GetIntToken(items[3], &maxSize)) return Error(kInvalidType);
            layer->minPointSize = minSize;
            layer->maxPointSize = maxSize;
            return true;
        }
        case Cmd_LayerSetDrawMode: {
            int mode = 0;
            if (!GetIntToken(items[2], &mode) || (mode != 0 && mode != 1)) return Error(kInvalidType);
            layer->drawMode = mode;
            return true;
        }
        case Cmd_LayerSetColorMult:
        case Cmd_LayerSetColorAdd: {
            Color color;
            if (!GetColor(items[2], color)) return Error(kInvalidType);
            (id == Cmd_LayerSetColorMult ? layer->colorMult : layer->colorAdd) = color;
            return true;
        }
        case Cmd_LayerSetOffset: {
            std::vector<int> values;
            if (!GetIntVector(items[2], &values) || values.size() != 2) return Error(kInvalidType);
            layer->offset = Point(values[0], values[1]);
            return true;
        }
        default: break;
    }

    int* field = nullptr;
    switch (id) {
        case Cmd_LayerSetPointSize: field = &layer->pointSize; break;
        case Cmd_LayerSetHeight: field = &layer->height; break;
        case Cmd_LayerSetAscent: field = &layer->ascent; break;
        case Cmd_LayerSetAscentPadding: field = &layer->ascentPadding; break;
        case Cmd_LayerSetLineSpacingOffset: field = &layer->lineSpacingOffset; break;
        case Cmd_LayerSetSpacing: field = &layer->spacing; break;
        case Cmd_LayerSetBaseOrder: field = &layer->baseOrder; break;
        default: return Error("Unknown Command");
    }
    int value = 0;
    if (!GetIntToken(items[2], &value)) return Error(kInvalidType);
    *field = value;
    return true;
}

bool FontData::CmdDefine(ListDataElement* command) {
    DataElement* nameItem = command->items[1];
    if (nameItem->isList) return Error(kInvalidType);
    const std::string name = static_cast<SingleDataElement*>(nameItem)->value;
    if (IsImmediate(name)) return Error(kInvalidType);
    RemoveDefine(name);

    DataElement* valueItem = command->items[2];
    if (valueItem->isList) {
        ListDataElement* resolved = new ListDataElement();
        if (!ResolveList(static_cast<ListDataElement*>(valueItem), resolved)) {
            delete resolved;
            return false;
        }
        SetDefine(name, resolved);
        return true;
    }
    const std::string& text = static_cast<SingleDataElement*>(valueItem)->value;
    DataElement* defined = Dereference(text);
    SetDefine(name, defined != nullptr ? defined->Duplicate() : new SingleDataElement(text));
    return true;
}

bool FontData::CmdCreateHorzSpanRectList(ListDataElement* command) {
    std::vector<DataElement*>& items = command->items;
    std::vector<int> rect;
    std::vector<int> widths;
    if (items[1]->isList || !GetIntVector(items[2], &rect) || rect.size() != 4 || !GetIntVector(items[3], &widths))
        return Error(kInvalidType);
    ListDataElement* list = new ListDataElement();
    int x = rect[0];
    for (int width : widths) {
        ListDataElement* entry = new ListDataElement();
        for (int number : {x, rect[1], width, rect[3]})
            entry->items.push_back(new SingleDataElement(FormatString("%d", number)));
        list->items.push_back(entry);
        x += width;
    }
    SetDefine(static_cast<SingleDataElement*>(items[1])->value, list);
    return true;
}

bool FontData::CmdSetCharMap(ListDataElement* command) {
    std::vector<std::string> from;
    std::vector<std::string> to;
    if (!GetStringVector(command->items[1], &from) || !GetStringVector(command->items[2], &to))
        return Error(kInvalidType);
    if (from.size() != to.size()) return Error(kSizeMismatch);
    bool bad = false;
    for (size_t i = 0; i < from.size(); ++i) {
        if (from[i].size() != 1 || to[i].size() != 1) {
            bad = true;
            continue;
        }
        charMap[CharIndex(from[i])] = CharIndex(to[i]);
    }
    return bad ? Error(kInvalidType) : true;
}

bool FontData::CmdCreateLayer(ListDataElement* command, bool fromSource) {
    DataElement* nameItem = command->items[1];
    if (nameItem->isList) return Error(kInvalidType);
    FontLayer* source = nullptr;
    if (fromSource && !GetLayer(command->items[2], source)) return Error(kInvalidType);
    if (source != nullptr)
        layers.push_back(*source);
    else
        layers.emplace_back(this);
    return RegisterLayer(static_cast<SingleDataElement*>(nameItem)->value, &layers.back());
}

bool FontData::CmdLayerTags(ListDataElement* command, bool required) {
    FontLayer* layer = nullptr;
    if (!GetLayer(command->items[1], layer)) return Error(kInvalidType);
    std::vector<std::string> tags;
    if (!GetStringVector(command->items[2], &tags)) return Error(kInvalidType);
    for (const std::string& tag : tags)
        (required ? layer->requiredTags : layer->excludedTags).push_back(UpperName(tag));
    return true;
}

bool FontData::CmdLayerSetImage(ListDataElement* command) {
    FontLayer* layer = nullptr;
    if (!GetLayer(command->items[1], layer)) return Error(kInvalidType);
    std::string fileName;
    if (!GetStringValue(command->items[2], &fileName)) return Error(kInvalidType);
    const std::string path = ResolvePath(fileName, GetFolderPart(sourcePath, false));
    bool isNew = false;
    SharedImageHandle handle;
    if (app != nullptr) handle = app->GetSharedImage(path, "", &isNew);
    MemoryImage* image = handle.GetImage();
    if (image == nullptr) return Error("Failed to Load Image");
    if (isNew) image->Palletize();
    layer->image = handle;
    return true;
}

bool FontData::CmdLayerSetImageMap(ListDataElement* command) {
    FontLayer* layer = nullptr;
    if (!GetLayer(command->items[1], layer)) return Error(kInvalidType);
    std::vector<std::string> chars;
    ListDataElement rects;
    if (!GetStringVector(command->items[2], &chars) || !GetListValue(command->items[3], &rects))
        return Error(kInvalidType);
    if (chars.size() != rects.items.size()) return Error(kSizeMismatch);
    Image* image = layer->image.GetImage();
    if (image == nullptr) return Error("Layer image not set");
    bool bad = false;
    for (size_t i = 0; i < chars.size(); ++i) {
        std::vector<int> rect;
        if (chars[i].size() != 1 || !GetIntVector(rects.items[i], &rect) || rect.size() != 4) {
            bad = true;
            continue;
        }
        if (rect[0] < 0 || rect[1] < 0 || rect[0] + rect[2] > image->width || rect[1] + rect[3] > image->height)
            return Error("Image rectangle out of bounds");
        layer->chars[CharIndex(chars[i])].imageRect = Rect(rect[0], rect[1], rect[2], rect[3]);
    }
    int tallest = 0;
    for (const CharData& data : layer->chars) tallest = std::max(tallest, data.imageRect.height + data.offset.y);
    layer->defaultHeight = tallest;
    return bad ? Error(kInvalidType) : true;
}

bool FontData::CmdLayerSetCharOffsets(ListDataElement* command) {
    FontLayer* layer = nullptr;
    if (!GetLayer(command->items[1], layer)) return Error(kInvalidType);
    std::vector<std::string> chars;
    ListDataElement offsets;
    if (!GetStringVector(command->items[2], &chars) || !GetListValue(command->items[3], &offsets))
        return Error(kInvalidType);
    if (chars.size() != offsets.items.size()) return Error(kSizeMismatch);
    bool bad = false;
    for (size_t i = 0; i < chars.size(); ++i) {
        std::vector<int> offset;
        if (chars[i].size() != 1 || !offsets.items[i]->isList || !GetIntVector(offsets.items[i], &offset) ||
            offset.size() != 2) {
            bad = true;
            continue;
        }
        layer->chars[CharIndex(chars[i])].offset = Point(offset[0], offset[1]);
    }
    return bad ? Error(kInvalidType) : true;
}

bool FontData::CmdLayerSetKerningPairs(ListDataElement* command) {
    FontLayer* layer = nullptr;
    if (!GetLayer(command->items[1], layer)) return Error(kInvalidType);
    std::vector<std::string> pairs;
    std::vector<int> values;
    if (!GetStringVector(command->items[2], &pairs) || !GetIntVector(command->items[3], &values))
        return Error(kInvalidType);
    if (pairs.size() != values.size()) return Error(kSizeMismatch);
    bool bad = false;
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].size() != 2) {
            bad = true;
            continue;
        }
        // The table holds signed bytes: larger values wrap (200 is stored as -56).
        layer->chars[static_cast<unsigned char>(pairs[i][0])].kerningOffsets[static_cast<unsigned char>(pairs[i][1])] =
                static_cast<signed char>(values[i]);
    }
    return bad ? Error(kInvalidType) : true;
}

bool FontData::CmdLayerSetCharInts(ListDataElement* command, bool orders) {
    FontLayer* layer = nullptr;
    if (!GetLayer(command->items[1], layer)) return Error(kInvalidType);
    std::vector<std::string> chars;
    std::vector<int> values;
    if (!GetStringVector(command->items[2], &chars) || !GetIntVector(command->items[3], &values))
        return Error(kInvalidType);
    if (chars.size() != values.size()) return Error(kSizeMismatch);
    bool bad = false;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].size() != 1) {
            bad = true;
            continue;
        }
        CharData& data = layer->chars[CharIndex(chars[i])];
        (orders ? data.order : data.width) = values[i];
    }
    return bad ? Error(kInvalidType) : true;
}

}  // namespace Velm
