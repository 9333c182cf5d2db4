#include "game/shell/ui/UiDescription.h"

#include <memory>

#include "engine/util/IniFile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/ui/IniWriter.h"
#include "game/shell/ui/NumberLabelWidget.h"
#include "game/shell/ui/RadioButton.h"
#include "game/shell/ui/UiHost.h"
#include "game/shell/ui/UiStyleApply.h"
#include "game/shell/ui/UiStyleRegistry.h"
#include "game/shell/ui/UiValueReader.h"
#include "game/shell/ui/VornWidgets.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "resources/base/StringUtils.h"
#include "widgets/CheckboxListener.h"
#include "widgets/Dialog.h"
#include "widgets/EditListener.h"
#include "widgets/EditWidget.h"
#include "widgets/ListListener.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/SliderListener.h"

namespace Velm {

namespace {

// A list box that owns the font the description gave it.
class UiListWidget : public ListWidget {
public:
    UiListWidget(int id, Font* font, ListListener* listener) : ListWidget(id, font, listener) {}
    void TakeFont(std::unique_ptr<Font> font) {
        mOwnedFont = std::move(font);
        mFont = mOwnedFont.get();
    }

private:
    std::unique_ptr<Font> mOwnedFont;
};

// Element ids run from -1 (none) to this; a list box takes the next one for its scroll bar.
constexpr int kMaxElementId = 1 << 20;

// The keys every element section may carry.
struct ElementKeys {
    int id = -1;
    std::string caption;
    Rect position;
    int visible = 1;
    int disabled = 0;
    int addToWidget = 1;
};

enum class ElementType {
    DialogButton,
    Button,
    CheckBox,
    RadioButton,
    Slider,
    Link,
    NumberLabel,
    Image,
    Point,
    ListBox,
    Edit
};

bool ElementTypeFromName(const std::string& type, ElementType* out) {
    static const struct {
        const char* name;
        ElementType type;
    } kTypes[] = {
            {"DialogButton", ElementType::DialogButton},
            {"Button", ElementType::Button},
            {"CheckBox", ElementType::CheckBox},
            {"RadioButton", ElementType::RadioButton},
            {"Slider", ElementType::Slider},
            {"Link", ElementType::Link},
            {"NumberLabel", ElementType::NumberLabel},
            {"Image", ElementType::Image},
            {"Point", ElementType::Point},
            {"ListBox", ElementType::ListBox},
            {"Edit", ElementType::Edit},
    };
    for (const auto& entry : kTypes) {
        if (type == entry.name) {
            *out = entry.type;
            return true;
        }
    }
    return false;
}

// The style an element takes: the named style of the registry, or its own
// section read as a style of its kind (owned by holder). Null when a named
// style is missing (the control keeps the framework's look) or when the own
// section is malformed (*malformed is then set).
const UiStyle_t* ElementStyle(const IniSection_t& section, UiStyleKind kind, const std::string& origin,
                              const std::string& name, UiValueReader& in, std::unique_ptr<UiStyle_t>& holder,
                              bool* malformed) {
    *malformed = false;
    if (section.HasKey("Description")) {
        const std::string styleName = in.String("Description");
        const UiStyle_t* style = UiStyleRegistry_t::Instance().FindStyle(styleName);
        if (style == nullptr) in.Report("Description", styleName, "no such style; the control keeps its plain look");
        return style;
    }
    holder = ReadUiStyle(section, kind, origin, name);
    *malformed = !holder;
    return holder.get();
}

std::string CaptionText(const std::string& key) { return TextTable_t::Instance()->Lookup(key); }

}  // namespace

UiDescription_t::UiDescription_t(const std::string& fileName, Dialog* owner) : mOwner(owner), mFileName(fileName) {
    IniFile_t file;
    if (!file.Load(fileName, true)) UiLog(fileName + ": UI description could not be read; nothing built");
    Build(file);
}

UiDescription_t::UiDescription_t(const char* text, size_t length, const std::string& originName, Dialog* owner)
        : mOwner(owner), mFileName(originName) {
    IniFile_t file;
    file.Parse(text, length, true, originName);
    Build(file);
}

UiDescription_t::~UiDescription_t() {
    for (UiImageEntry_t& entry : mImages) {
        if (entry.owned) delete entry.image;
    }
    for (Widget* widget : mDetached) {
        if (widget->mParent == nullptr) delete widget;
    }
    if (mOwner != nullptr) mOwner->RemoveAllWidgets(true, false);
}

void UiDescription_t::Build(const IniFile_t& file) {
    for (auto it = file.SectionsBegin(); it != file.SectionsEnd(); ++it) BuildElement(it->first, it->second);
}

void UiDescription_t::BuildElement(const std::string& name, const IniSection_t& section) {
    UiValueReader in(section, mFileName, name);
    const std::string typeName = in.String("Type");
    if (typeName.empty()) return;
    ElementType type;
    if (!ElementTypeFromName(typeName, &type)) {
        in.Report("Type", typeName, "not an element type; element skipped");
        return;
    }

    ElementKeys keys;
    keys.id = in.Int("ID", -1, -1, kMaxElementId);
    keys.caption = in.String("Caption");
    keys.position = in.RectValue("Position");
    keys.visible = in.Int("Visible", 1);
    keys.disabled = in.Int("Disabled", 0);
    keys.addToWidget = in.Int("AddToWidget", 1);
    const std::string context = in.Context();

    if (type == ElementType::Point) {
        const Point point(in.Coordinate("X", 0), in.Coordinate("Y", 0));
        if (in.Failed()) {
            UiLog(context + ": element skipped");
            return;
        }
        mPoints[name] = point;
        return;
    }
    if (type == ElementType::Image) {
        const int level = in.Int("Level", 0);
        if (in.Failed()) {
            UiLog(context + ": element skipped");
            return;
        }
        const std::string imageName = in.String("Image");
        if (imageName.empty()) {
            in.Report("Image", imageName, "no picture named; element skipped");
            return;
        }
        const UiPicture_t picture = ResolveUiPicture(imageName, std::string(), context + " key \"Image\"");
        if (picture.image == nullptr) {
            UiLog(context + ": element skipped");
            return;
        }
        UiImageEntry_t entry;
        entry.image = picture.image;
        entry.x = keys.position.x;
        entry.y = keys.position.y;
        entry.level = level;
        entry.owned = picture.owned;
        mImages.push_back(entry);
        return;
    }

    ButtonListener* buttonListener = mOwner;
    Widget* widget = nullptr;
    Widget* companion = nullptr;  // the scroll bar of a list box
    if (type == ElementType::ListBox) {
        const std::string fontName = in.String("Font");
        const int textColor = in.Int("COLOR_TEXT", 0);
        const int hiliteColor = in.Int("COLOR_HILITE", 0);
        const int bkgColor = in.Int("COLOR_BKG", 0);
        if (in.Failed()) {
            UiLog(context + ": element skipped");
            return;
        }
        UiListWidget* list = new UiListWidget(keys.id, reinterpret_cast<Font*>(GetResourceById(FONT_DEFAULT_ID)),
                                              dynamic_cast<ListListener*>(mOwner));
        ScrollbarWidget* scrollbar = new ScrollbarWidget(keys.id + 1, list);
        list->mScrollbar = scrollbar;
        list->Resize(keys.position);
        scrollbar->ResizeScrollbar(list->mX + list->mWidth, list->mY, 20, list->mHeight);
        scrollbar->SetHideWhenNoScroll(true);
        list->TakeFont(ResolveUiFont(GetResourceIdByName(fontName.c_str()), fontName));
        // Colour indices of the list: 2 text, 3 highlighted text, 0 background;
        // 0 keeps the list's built-in colour.
        const struct {
            int index;
            int value;
        } colours[] = {{ListWidget::COLOR_TEXT, textColor},
                       {ListWidget::COLOR_HILITE, hiliteColor},
                       {ListWidget::COLOR_BKG, bkgColor}};
        for (const auto& colour : colours) {
            if (colour.value != 0) list->SetColor(colour.index, Color(colour.value));
        }
        widget = list;
        companion = scrollbar;
    } else {
        const int doFinger = type == ElementType::RadioButton ? in.Int("DoFinger", 0) : 0;
        UiStyleKind kind = UiStyleKind::Button;
        UiStyleKindFromType(typeName, &kind);
        std::unique_ptr<UiStyle_t> ownStyle;
        bool malformed = false;
        const UiStyle_t* style = ElementStyle(section, kind, mFileName, name, in, ownStyle, &malformed);
        if (in.Failed() || malformed) {
            UiLog(context + ": element skipped");
            return;
        }
        switch (type) {
            case ElementType::DialogButton: {
                VornDialogButton* button = new VornDialogButton(nullptr, keys.id, buttonListener);
                if (style != nullptr) ApplyDialogButtonStyle(*style, button, context);
                button->mLabel = CaptionText(keys.caption);
                widget = button;
                break;
            }
            case ElementType::Button: {
                VornButtonWidget* button = new VornButtonWidget(keys.id, buttonListener);
                if (style != nullptr) ApplyButtonStyle(*style, button, context);
                button->mLabel = CaptionText(keys.caption);
                widget = button;
                break;
            }
            case ElementType::CheckBox: {
                VornCheckbox* checkbox =
                        new VornCheckbox(nullptr, nullptr, keys.id, dynamic_cast<CheckboxListener*>(mOwner));
                if (style != nullptr) ApplyCheckboxStyle(*style, checkbox, context);
                widget = checkbox;
                break;
            }
            case ElementType::RadioButton: {
                RadioButton* radio =
                        new RadioButton(nullptr, nullptr, keys.id, dynamic_cast<CheckboxListener*>(mOwner));
                if (style != nullptr) ApplyRadioStyle(*style, radio, context);
                radio->mDoFinger = doFinger == 1;
                radio->mLabel = CaptionText(keys.caption);
                widget = radio;
                break;
            }
            case ElementType::Slider: {
                VornSlider* slider = new VornSlider(nullptr, nullptr, keys.id, dynamic_cast<SliderListener*>(mOwner));
                if (style != nullptr) ApplySliderStyle(*style, slider, context);
                widget = slider;
                break;
            }
            case ElementType::Link:
            case ElementType::NumberLabel: {
                HyperlinkWidget* label = type == ElementType::Link ? new HyperlinkWidget(keys.id, buttonListener)
                                                                   : new NumberLabelWidget(keys.id, buttonListener);
                if (style != nullptr) ApplyLabelStyle(*style, label);
                label->mLabel = CaptionText(keys.caption);
                widget = label;
                break;
            }
            case ElementType::Edit: {
                EditWidget* edit = new EditWidget(keys.id, dynamic_cast<EditListener*>(mOwner));
                if (style != nullptr) ApplyEditStyle(*style, edit);
                widget = edit;
                break;
            }
            case ElementType::Image:
            case ElementType::Point:
            case ElementType::ListBox: return;
        }
    }

    widget->SetVisible(keys.visible == 1);
    widget->SetDisabled(keys.disabled == 1);
    if (type != ElementType::ListBox) widget->Resize(keys.position);
    if (keys.addToWidget == 1 && mOwner != nullptr) {
        mOwner->AddWidget(widget);
        if (companion != nullptr) mOwner->AddWidget(companion);
    } else {
        mDetached.push_back(widget);
        if (companion != nullptr) mDetached.push_back(companion);
    }
    mWidgets[name] = widget;
}

Widget* UiDescription_t::FindWidget(const std::string& name) {
    const auto it = mWidgets.find(name);
    return it != mWidgets.end() ? it->second : nullptr;
}

Point* UiDescription_t::FindPoint(const std::string& name) {
    const auto it = mPoints.find(name);
    return it != mPoints.end() ? &it->second : nullptr;
}

void UiDescription_t::DrawImages(Graphics* g, int level) {
    const bool floatPositions = GetUiHost().Is3DAccelerated();
    for (const UiImageEntry_t& entry : mImages) {
        if (entry.image == nullptr || entry.level != level) continue;
        if (floatPositions)
            g->DrawImageF(entry.image, static_cast<float>(entry.x), static_cast<float>(entry.y));
        else
            g->DrawImage(entry.image, entry.x, entry.y);
    }
}

bool UiDescription_t::SavePositions() {
    IniFile_t file;
    file.Load(mFileName, true);
    if (file.GetSectionCount() == 0) return false;
    for (const auto& entry : mWidgets) {
        const Widget* widget = entry.second;
        file.GetSection(entry.first)
                .SetValue("Position",
                          FormatString("%d,%d,%d,%d", widget->mX, widget->mY, widget->mWidth, widget->mHeight).c_str());
    }
    const bool written = WriteIniFile(file, mFileName);
    if (!written) UiLog(mFileName + ": positions could not be written");
    return written;
}

}  // namespace Velm
