#pragma once

#include <memory>
#include <string>

#include "graphics/Rect.h"

class IniSection_t;

namespace Velm {

// The kinds of style, chosen by the "Type" of a style section.
enum class UiStyleKind {
    Button,    // "DialogButton", "Button"
    Radio,     // "RadioButton"
    CheckBox,  // "CheckBox"
    Slider,    // "Slider"
    Label,     // "Link", "NumberLabel"
    List,      // "ListBox"
    Edit,      // "Edit"
};

// The style kind of a "Type" value (exact, case-sensitive); false for any other value.
bool UiStyleKindFromType(const std::string& type, UiStyleKind* kind);

// The look of one control: rectangles, picture names, colours, a font and the
// hand-cursor flag. Every kind has every field and uses some of them (see the
// reader). Colours are 0xAARRGGBB values (a top byte of 0 means opaque). A new
// style has every string empty, every number and rectangle 0 and every flag false.
struct UiStyle_t {
    UiStyleKind kind = UiStyleKind::Button;
    Rect normalRect;            // "NormalRect"
    Rect overRect;              // "OverRect"
    Rect downRect;              // "DownRect"
    Rect disabledRect;          // "DisabledRect"
    Rect uncheckedRect;         // "UncheckedRect"
    Rect checkedRect;           // "CheckedRect"
    std::string image;          // "Image"
    std::string overImage;      // "OverImage"
    std::string downImage;      // "DownImage"
    std::string disabledImage;  // "DisabledImage"
    int labelColor = 0;         // "COLOR_LABEL" (colour index 0)
    int labelHiliteColor = 0;   // "COLOR_LABEL_HILITE" (colour index 1)
    int fontId = 0;             // "Font" as a resource id; 71 when not a resource name
    bool doFinger = false;      // "DoFinger"
    // Sliders.
    std::string imageTrack;  // "ImageTrack"
    std::string imageThumb;  // "ImageThumb"
    // Labels.
    int color = 0;             // "Color"
    int overColor = 0;         // "OverColor"
    int underLine = 0;         // "UnderLine"
    int underOffset = 0;       // "UnderOffset"
    int shadowX = 0;           // "ShadowX"
    int shadowY = 0;           // "ShadowY"
    int shadowColor = 0;       // "ShadowColor"
    int align = 0;             // "Align"
    bool wrappedDraw = false;  // "WrappedDraw"
    // List boxes and edit fields.
    int textColor = 0;     // "COLOR_TEXT"
    int hiliteColor = 0;   // "COLOR_HILITE"
    int bkgColor = 0;      // "COLOR_BKG"
    int outlineColor = 0;  // "COLOR_OUTLINE" (edit fields)
};

// Reads the keys of the kind from a section. Values are trimmed; rectangles
// are "x,y,w,h"; numbers decimal or "0x" hexadecimal; an absent (or empty)
// key leaves the field at its new-style value. A value that is present but
// malformed is reported through the debug log, naming origin (the file),
// section and key, and the result is null: the style is not used.
std::unique_ptr<UiStyle_t> ReadUiStyle(const IniSection_t& section, UiStyleKind kind, const std::string& origin,
                                       const std::string& sectionName);

}  // namespace Velm
