#pragma once

#include <memory>
#include <string>

#include "game/shell/ui/UiStyle.h"

namespace Velm {

class EditWidget;
class Font;
class HyperlinkWidget;
class Image;
class RadioButton;
class VornButtonWidget;
class VornCheckbox;
class VornDialogButton;
class VornSlider;

// A picture found by name: the picture (null for none) and whether it was
// loaded from a file for the caller, who then owns it.
struct UiPicture_t {
    Image* image = nullptr;
    bool owned = false;
};

// Picture resolution: an empty name takes fallback; a name that is a file (pack
// or disk) is loaded into a new picture (owned); otherwise a resource name
// gives its bound picture (not owned). A name that is neither, a resource name
// that is not a picture, or a picture resource whose group is not bound yet
// gives no picture and a message through the debug log naming context.
UiPicture_t ResolveUiPicture(const std::string& name, const std::string& fallback, const std::string& context);

// Font resolution: a bound font resource (ids 0..8) that exists, else a font
// made from path when it loads, else one made from "fonts/Tahoma14". The result
// is always a new font owned by the caller (a duplicate of a bound font), so
// handing it to a control's SetFont (which keeps its own duplicate) and letting
// it go is always right. Null only when not even the fallback can be made.
std::unique_ptr<Font> ResolveUiFont(int resourceId, const std::string& path);

// The font every style falls back to.
extern const char* const kUiFallbackFont;

// Style application, one per control kind (used by UiDescription_t). Pictures
// loaded from files are adopted by the control. context names the file and
// section in messages.
void ApplyDialogButtonStyle(const UiStyle_t& style, VornDialogButton* button, const std::string& context);
void ApplyButtonStyle(const UiStyle_t& style, VornButtonWidget* button, const std::string& context);
void ApplyCheckboxStyle(const UiStyle_t& style, VornCheckbox* checkbox, const std::string& context);
void ApplyRadioStyle(const UiStyle_t& style, RadioButton* radio, const std::string& context);
void ApplySliderStyle(const UiStyle_t& style, VornSlider* slider, const std::string& context);
// Hyperlinks and number labels. A label without the hand cursor reports its
// clicks with the id -1.
void ApplyLabelStyle(const UiStyle_t& style, HyperlinkWidget* label);
void ApplyEditStyle(const UiStyle_t& style, EditWidget* edit);

}  // namespace Velm
