#include "game/shell/ui/UiStyle.h"

#include "game/shell/DataNumbers.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ui/UiValueReader.h"

namespace Velm {

bool UiStyleKindFromType(const std::string& type, UiStyleKind* kind) {
    static const struct {
        const char* type;
        UiStyleKind kind;
    } kTypes[] = {
            {"DialogButton", UiStyleKind::Button}, {"Button", UiStyleKind::Button}, {"RadioButton", UiStyleKind::Radio},
            {"CheckBox", UiStyleKind::CheckBox},   {"Slider", UiStyleKind::Slider}, {"Link", UiStyleKind::Label},
            {"NumberLabel", UiStyleKind::Label},   {"ListBox", UiStyleKind::List},  {"Edit", UiStyleKind::Edit},
    };
    for (const auto& entry : kTypes) {
        if (type == entry.type) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

namespace {

int ReadFontId(const UiValueReader& in) { return GetResourceIdByName(in.String("Font").c_str()); }

void ReadButtonKeys(UiValueReader& in, UiStyle_t& style) {
    style.normalRect = in.RectValue("NormalRect");
    style.overRect = in.RectValue("OverRect");
    style.downRect = in.RectValue("DownRect");
    style.disabledRect = in.RectValue("DisabledRect");
    style.image = in.String("Image");
    style.overImage = in.String("OverImage");
    style.downImage = in.String("DownImage");
    style.disabledImage = in.String("DisabledImage");
    style.doFinger = in.Flag("DoFinger");
    style.labelColor = in.Int("COLOR_LABEL", 0);
    style.labelHiliteColor = in.Int("COLOR_LABEL_HILITE", 0);
    style.fontId = ReadFontId(in);
}

void ReadTextColours(UiValueReader& in, UiStyle_t& style) {
    style.fontId = ReadFontId(in);
    style.textColor = in.Int("COLOR_TEXT", 0);
    style.hiliteColor = in.Int("COLOR_HILITE", 0);
    style.bkgColor = in.Int("COLOR_BKG", 0);
}

}  // namespace

std::unique_ptr<UiStyle_t> ReadUiStyle(const IniSection_t& section, UiStyleKind kind, const std::string& origin,
                                       const std::string& sectionName) {
    std::unique_ptr<UiStyle_t> style(new UiStyle_t());
    style->kind = kind;
    UiValueReader in(section, origin, sectionName);
    switch (kind) {
        case UiStyleKind::Button: ReadButtonKeys(in, *style); break;
        case UiStyleKind::Radio:
            ReadButtonKeys(in, *style);
            style->uncheckedRect = in.RectValue("UncheckedRect");
            style->checkedRect = in.RectValue("CheckedRect");
            break;
        case UiStyleKind::CheckBox:
            style->image = in.String("Image");
            style->uncheckedRect = in.RectValue("UncheckedRect");
            style->checkedRect = in.RectValue("CheckedRect");
            style->doFinger = in.Flag("DoFinger");
            break;
        case UiStyleKind::Slider:
            style->imageTrack = in.String("ImageTrack");
            style->imageThumb = in.String("ImageThumb");
            style->doFinger = in.Flag("DoFinger");
            break;
        case UiStyleKind::Label:
            style->fontId = ReadFontId(in);
            style->color = in.Int("Color", 0);
            style->overColor = in.Int("OverColor", 0);
            style->underLine = in.Size("UnderLine", 0, DataNumbers::kScreenHeight);
            style->underOffset = in.Int("UnderOffset", 0, -DataNumbers::kScreenHeight, DataNumbers::kScreenHeight);
            style->shadowX = in.Int("ShadowX", 0, -DataNumbers::kScreenWidth, DataNumbers::kScreenWidth);
            style->shadowY = in.Int("ShadowY", 0, -DataNumbers::kScreenHeight, DataNumbers::kScreenHeight);
            style->shadowColor = in.Int("ShadowColor", 0);
            style->doFinger = in.Flag("DoFinger");
            style->align = in.Int("Align", 0);
            style->wrappedDraw = in.Flag("WrappedDraw");
            break;
        case UiStyleKind::List: ReadTextColours(in, *style); break;
        case UiStyleKind::Edit:
            ReadTextColours(in, *style);
            style->outlineColor = in.Int("COLOR_OUTLINE", 0);
            break;
    }
    if (in.Failed()) return nullptr;
    return style;
}

}  // namespace Velm
